// Candle data decoded as its text is walked: the candles of a large command
// never exist as a value tree.
#include <functional>
#include <map>

#include "fendro/json/cursor.hpp"
#include "fendro/market/candle_fields.hpp"
#include "fendro/market/read_market_data.hpp"

namespace fendro {
namespace {

using json::Cursor;
using json::Kind;
using json::Value;

// After a failure inside an array: its remaining elements are only checked.
void skip_rest_of_array(Cursor& cur) {
  Value ignored;
  while (cur.next_element()) cur.read(ignored);
}

Result<Candle, std::string> read_candle(Cursor& cur, CandleFields& fields) {
  fields.start();
  Value v;
  switch (cur.peek()) {
    case Kind::Object: {
      cur.enter();
      std::string_view key;
      while (cur.next_member_read(key, v)) {
        const std::size_t field = CandleFields::field_of(key);
        if (field != CandleFields::kNone) fields.member(field, v);
      }
      return fields.finish_object();
    }
    case Kind::Array: {
      cur.enter();
      std::size_t count = 0;
      for (; cur.next_element(); ++count) {
        cur.read(v);
        if (auto read = fields.element(count, v); !read) {
          skip_rest_of_array(cur);
          return err(std::move(read).error());
        }
      }
      return fields.finish_array(count);
    }
    default:
      cur.read(v);
      return err(CandleFields::not_a_candle(v));
  }
}

Result<std::vector<Candle>, std::string> read_candles(Cursor& cur, CandleFields& fields) {
  if (cur.peek() != Kind::Array) {
    Value v;
    cur.read(v);
    return err(not_a_candle_list(v));
  }
  cur.enter();
  std::vector<Candle> candles;
  while (cur.next_element()) {
    auto candle = read_candle(cur, fields);
    if (!candle) {
      skip_rest_of_array(cur);
      return err(std::move(candle).error());
    }
    candles.push_back(*candle);
  }
  return candles;
}

}  // namespace

Result<MarketData, std::string> read_market_data(Cursor& cur) {
  if (cur.peek() != Kind::Object) {
    Value v;
    cur.read(v);
    return err(not_a_symbol_map(v));
  }
  cur.enter();
  MarketData out;
  // Symbols are met in text order, a repeated one replacing the earlier,
  // but checked as the tree orders them (by key bytes): the failure is
  // that of the first symbol in that order whose latest value fails.
  std::map<std::string, std::string, std::less<>> failures;
  CandleFields fields;
  std::string_view key;
  while (cur.next_member(key)) {
    std::string symbol(key);
    auto candles = read_candles(cur, fields);
    if (candles) {
      failures.erase(symbol);
      out.insert_or_assign(std::move(symbol), std::move(candles).value());
    } else {
      out.erase(symbol);
      failures.insert_or_assign(std::move(symbol), std::move(candles).error());
    }
  }
  if (!failures.empty()) return err(std::move(failures.begin()->second));
  return out;
}

Result<MarketData, std::string> read_market_data_text(std::string_view text) {
  Cursor cur(text);
  auto data = read_market_data(cur);
  cur.finish();
  if (cur.failed()) return err(cur.error().display());
  return data;
}

}  // namespace fendro
