// Candle data decoded as its text is walked: the candles of a large command
// never exist as a value tree.
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <map>

#include "fendro/json/cursor.hpp"
#include "fendro/market/candle_fields.hpp"
#include "fendro/market/plain_candles.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/util/free_later.hpp"
#include "fendro/util/paced_grow.hpp"

namespace fendro {
namespace {

using json::Cursor;
using json::Kind;
using json::Value;

// CandleFields::field_of, by length first: one comparison for each key.
std::size_t field_of(std::string_view key) {
  const char* k = key.data();
  switch (key.size()) {
    case 3: return std::memcmp(k, "low", 3) == 0 ? 3 : CandleFields::kNone;
    case 4:
      if (std::memcmp(k, "time", 4) == 0) return 0;
      if (std::memcmp(k, "open", 4) == 0) return 1;
      return std::memcmp(k, "high", 4) == 0 ? 2 : CandleFields::kNone;
    case 5: return std::memcmp(k, "close", 5) == 0 ? 4 : CandleFields::kNone;
    case 6: return std::memcmp(k, "volume", 6) == 0 ? 5 : CandleFields::kNone;
    default: return CandleFields::kNone;
  }
}

// Stores a value that fits its field as CandleFields would; false for any
// other value (whose failure CandleFields tells).
bool store_plain(std::size_t field, const Value& v, Candle& c) {
  if (field == 0) {
    if (v.kind == Kind::NegInt) {
      c.time = v.i;
      return true;
    }
    if (v.kind != Kind::UInt || v.u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
      return false;
    }
    c.time = static_cast<std::int64_t>(v.u);
    return true;
  }
  if (!v.is_number()) return false;
  c.*kFloatFields[field - 1] = v.as_f64();
  return true;
}

// Gives `fields` the fields stored so far, each with its latest value.
void hand_over(const Candle& c, std::uint8_t seen, CandleFields& fields) {
  for (std::size_t field = 0; field < 6; ++field) {
    if ((seen & (1u << field)) == 0) continue;
    fields.member(field, field == 0 ? Value::integer(c.time) : Value::number(c.*kFloatFields[field - 1]));
  }
}

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
      // Members whose values plainly fit their fields go straight into the
      // candle. At the first other one `fields` takes over, first given the
      // fields stored so far: for fitting values its state depends only on
      // the latest value of each, so every failure is still the one it tells.
      Candle candle;
      std::uint8_t seen = 0;
      bool direct = true;
      std::string_view key;
      while (cur.next_member_read(key, v)) {
        const std::size_t field = field_of(key);
        if (field == CandleFields::kNone) continue;
        if (direct) {
          if (store_plain(field, v, candle)) {
            seen |= static_cast<std::uint8_t>(1u << field);
            continue;
          }
          direct = false;
          hand_over(candle, seen, fields);
        }
        fields.member(field, v);
      }
      if (direct && (seen & kRequiredFields) == kRequiredFields) return candle;
      if (direct) hand_over(candle, seen, fields);
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

// Plain candles are decoded in stretches of about as much text as the
// parser reads between two asks of its interrupt: the ask comes with the
// element after each stretch, so a long list is no longer a reason to wait.
constexpr std::size_t kPlainStretch = 256 * 1024;

Result<std::vector<Candle>, std::string> read_candles(Cursor& cur, CandleFields& fields,
                                                      CandleListener* listener) {
  if (cur.peek() != Kind::Array) {
    Value v;
    cur.read(v);
    return err(not_a_candle_list(v));
  }
  cur.enter();
  std::vector<Candle> candles;
  std::vector<CandleSpellings> spellings;
  std::vector<CandleSpellings>* const spelled = listener != nullptr ? &spellings : nullptr;
  while (cur.next_element()) {
    // Runs of plain candles are decoded straight from the text; the first
    // one that is not plain goes the general way.
    const std::size_t before = candles.size();
    if (const std::size_t taken = read_plain_candles(cur.text_ahead(), candles, kPlainStretch, spelled);
        taken != 0) {
      if (listener != nullptr) {
        // Told while the text just read is still at hand.
        listener->candles(std::span<const Candle>(candles).subspan(before), spellings);
        spellings.clear();
      }
      cur.skip_ahead(taken);
      continue;
    }
    auto candle = read_candle(cur, fields);
    if (!candle) {
      skip_rest_of_array(cur);
      release_long(candles);  // millions read before the one that failed
      return err(std::move(candle).error());
    }
    candles.push_back(*candle);
    if (listener != nullptr) listener->candles(std::span<const Candle>(candles).last(1), {});
  }
  // A long list may have been given room for more than it holds (the room
  // is guessed from all the text ahead, what follows the list included). It
  // gives it back in stretches, asking the parse's interrupt: a stop there
  // leaves the room as it is, and the parse fails as stopped.
  if (candles.capacity() / 2 > candles.size() && !cur.failed()) {
    (void)shrink_to_fit_paced(candles, cur.interrupt());
  }
  return candles;
}

}  // namespace

Result<MarketData, std::string> read_market_data(Cursor& cur, CandleListener* listener) {
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
  // Each symbol costs far more than its text takes to read: millions of
  // short ones are asked over by count as well.
  constexpr std::size_t kSymbolsPerAsk = 4096;
  std::size_t unasked = 0;
  while (cur.next_member(key)) {
    if (++unasked == kSymbolsPerAsk) {
      unasked = 0;
      if (!cur.ask()) break;
    }
    std::string symbol;
    if (!cur.copy_text(key, symbol)) break;  // asked to stop
    if (listener != nullptr) listener->symbol(symbol);
    auto candles = read_candles(cur, fields, listener);
    // A symbol given again replaces its list: a long one is let go of in stretches.
    if (const auto earlier = out.find(symbol); earlier != out.end()) release_long(earlier->second);
    if (candles) {
      failures.erase(symbol);
      out.insert_or_assign(std::move(symbol), std::move(candles).value());
    } else {
      out.erase(symbol);
      failures.insert_or_assign(std::move(symbol), std::move(candles).error());
    }
  }
  if (!failures.empty()) {
    for (auto& [symbol, candles] : out) release_long(candles);
    return err(std::move(failures.begin()->second));
  }
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
