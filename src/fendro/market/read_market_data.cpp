#include "fendro/market/read_market_data.hpp"

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "fendro/json/describe.hpp"

namespace fendro {
namespace {

using json::Kind;
using json::Value;

Result<std::int64_t, std::string> read_time(const Value& v) {
  switch (v.kind) {
    case Kind::UInt:
      if (v.u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return err(json::invalid_value(v, "i64"));
      }
      return static_cast<std::int64_t>(v.u);
    case Kind::NegInt: return v.i;
    default: return err(json::invalid_type(v, "i64"));
  }
}

Result<double, std::string> read_f64(const Value& v) {
  if (!v.is_number()) return err(json::invalid_type(v, "f64"));
  return v.as_f64();
}

// The five required fields in the order they are reported missing, then volume.
constexpr std::string_view kFields[] = {"time", "open", "high", "low", "close", "volume"};
constexpr std::size_t kRequired = 5;

Status<std::string> read_field(std::size_t field, const Value& v, Candle& c) {
  if (field == 0) {
    FENDRO_TRY(t, read_time(v));
    c.time = t;
    return Unit{};
  }
  FENDRO_TRY(x, read_f64(v));
  double* slots[] = {nullptr, &c.open, &c.high, &c.low, &c.close, &c.volume};
  *slots[field] = x;
  return Unit{};
}

std::optional<std::size_t> field_index(std::string_view key) {
  for (std::size_t k = 0; k < std::size(kFields); ++k) {
    if (key == kFields[k]) return k;
  }
  return std::nullopt;
}

Result<Candle, std::string> read_candle_object(const Value& v) {
  Candle c;
  bool seen[std::size(kFields)] = {};
  // Members come in key order; values are read before any field is missed.
  for (const json::Member& m : v.as_object()) {
    const std::optional<std::size_t> field = field_index(m.key);
    if (!field) continue;
    if (seen[*field]) return err(json::duplicate_field(kFields[*field]));
    seen[*field] = true;
    FENDRO_CHECK(read_field(*field, m.value, c));
  }
  for (std::size_t k = 0; k < kRequired; ++k) {
    if (!seen[k]) return err(json::missing_field(kFields[k]));
  }
  return c;
}

Result<Candle, std::string> read_candle_array(const Value& v) {
  const std::span<const Value> xs = v.as_array();
  Candle c;
  for (std::size_t k = 0; k < kRequired; ++k) {
    if (k >= xs.size()) return err(json::invalid_length(k, "struct Candle with 6 elements"));
    FENDRO_CHECK(read_field(k, xs[k], c));
  }
  if (xs.size() > kRequired) {
    FENDRO_CHECK(read_field(kRequired, xs[kRequired], c));
    if (xs.size() > kRequired + 1) return err(json::invalid_length(xs.size(), "fewer elements in array"));
  }
  return c;
}

Result<Candle, std::string> read_candle(const Value& v) {
  if (v.is_object()) return read_candle_object(v);
  if (v.is_array()) return read_candle_array(v);
  return err(json::invalid_type(v, "struct Candle"));
}

}  // namespace

Result<MarketData, std::string> read_market_data(const json::Value& data) {
  if (!data.is_object()) return err(json::invalid_type(data, "a map"));
  MarketData out;
  for (const json::Member& m : data.as_object()) {
    if (!m.value.is_array()) return err(json::invalid_type(m.value, "a sequence"));
    std::vector<Candle> candles;
    candles.reserve(m.value.size);
    for (const Value& item : m.value.as_array()) {
      FENDRO_TRY(c, read_candle(item));
      candles.push_back(c);
    }
    // Members arrive sorted by key bytes, so each symbol goes at the end.
    out.emplace_hint(out.end(), std::string(m.key), std::move(candles));
  }
  return out;
}

}  // namespace fendro
