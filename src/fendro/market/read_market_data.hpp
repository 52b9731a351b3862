// Candle data of a command, read from its value tree.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "fendro/json/cursor.hpp"
#include "fendro/json/value.hpp"
#include "fendro/market/plain_candles.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The error text carries no line or column; callers add their own prefix.
Result<MarketData, std::string> read_market_data(const json::Value& data);

// The same reading straight from the text of the data value, without its
// tree: for any text that json::parse accepts, the result and the failure
// text are exactly those of reading the parsed tree. (Text that does not
// parse fails with its syntax error, placed within `text`.)
Result<MarketData, std::string> read_market_data_text(std::string_view text);

// Told of the candles as a cursor reading decodes them, in text order.
class CandleListener {
 public:
  // A symbol's list starts: each time a symbol member is met, a repeated
  // one included.
  virtual void symbol(std::string_view name) = 0;
  // The next candles of that list, and where their numbers are spelled:
  // one entry per candle, or none at all (every number then to be written
  // from its value). The spellings point into the text being read.
  virtual void candles(std::span<const Candle> candles, std::span<const CandleSpellings> spellings) = 0;

 protected:
  ~CandleListener() = default;
};

// The same reading from the value at a cursor, which it reads whole unless
// the text fails (cur.failed(): the failure returned is then meaningless).
// `listener`, if any, is told of every candle decoded, also those of a
// list that then fails.
Result<MarketData, std::string> read_market_data(json::Cursor& cur, CandleListener* listener = nullptr);

}  // namespace fendro
