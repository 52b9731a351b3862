// The rules for reading one candle from its fields, shared by the readers
// of candle data from a value tree and from text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fendro/json/value.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Failures of the levels above a candle: the data is a map of symbols, and
// each symbol's value a sequence of candles.
std::string not_a_symbol_map(const json::Value& v);
std::string not_a_candle_list(const json::Value& v);

// Fields are numbered as a candle array lists them: time, open, high, low,
// close, volume. The floating ones, by number less one:
inline constexpr double Candle::*kFloatFields[] = {&Candle::open, &Candle::high, &Candle::low,
                                                   &Candle::close, &Candle::volume};
// The five required fields (one bit each): time, open, high, low, close.
inline constexpr std::uint8_t kRequiredFields = 0x1F;

// Collects the fields of one candle, given either as the members of an
// object or as the elements of an array, then checks them. One instance may
// read any number of candles in turn.
class CandleFields {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // The field a candle object's key names, or kNone for a key that is ignored.
  static std::size_t field_of(std::string_view key);

  // Begins the next candle, in either form.
  void start();

  // Object form: members may come in any order, and a later member of a
  // field replaces an earlier one. The failure reported is that of the
  // first field in key order whose value is wrong, else the first missing
  // required field.
  void member(std::size_t field, const json::Value& v);
  Result<Candle, std::string> finish_object();

  // Array form: time, open, high, low, close and an optional volume, read
  // in order; the first wrong element fails the candle. Elements from
  // index 6 on are only counted.
  Status<std::string> element(std::size_t index, const json::Value& v);
  Result<Candle, std::string> finish_array(std::size_t count);

  // Failure of a value that is neither form.
  static std::string not_a_candle(const json::Value& v);

 private:
  Candle candle_;
  std::uint8_t seen_ = 0;    // one bit per field
  std::uint8_t failed_ = 0;  // fields whose latest value is wrong
  std::array<std::string, 6> failures_;
};

}  // namespace fendro
