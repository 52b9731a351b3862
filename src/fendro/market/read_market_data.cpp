#include "fendro/market/read_market_data.hpp"

#include "fendro/market/candle_fields.hpp"

namespace fendro {
namespace {

using json::Value;

Result<Candle, std::string> read_candle(const Value& v, CandleFields& fields) {
  fields.start();
  if (v.is_object()) {
    for (const json::Member& m : v.as_object()) {
      const std::size_t field = CandleFields::field_of(m.key);
      if (field != CandleFields::kNone) fields.member(field, m.value);
    }
    return fields.finish_object();
  }
  if (v.is_array()) {
    const std::span<const Value> xs = v.as_array();
    for (std::size_t k = 0; k < xs.size(); ++k) FENDRO_CHECK(fields.element(k, xs[k]));
    return fields.finish_array(xs.size());
  }
  return err(CandleFields::not_a_candle(v));
}

}  // namespace

Result<MarketData, std::string> read_market_data(const json::Value& data) {
  if (!data.is_object()) return err(not_a_symbol_map(data));
  MarketData out;
  CandleFields fields;
  for (const json::Member& m : data.as_object()) {
    if (!m.value.is_array()) return err(not_a_candle_list(m.value));
    std::vector<Candle> candles;
    candles.reserve(m.value.size);
    for (const Value& item : m.value.as_array()) {
      FENDRO_TRY(c, read_candle(item, fields));
      candles.push_back(c);
    }
    // Members arrive sorted by key bytes, so each symbol goes at the end.
    out.emplace_hint(out.end(), std::string(m.key), std::move(candles));
  }
  return out;
}

}  // namespace fendro
