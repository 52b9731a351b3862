// Generates "prove" command texts for benchmarks: deterministic random-walk
// candles (valid OHLC, positive prices) for symbol BTCUSDT, with the given
// strategy JSON spliced in as spec.strategy and dataset_ref "bench".
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fendro::bench {

namespace detail {

// A fixed generator (splitmix64) so the text is the same on every platform.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : s_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  std::uint64_t below(std::uint64_t n) { return next() % n; }

 private:
  std::uint64_t s_;
};

// A fixed-point amount written as a JSON float: 10125 with 2 decimals is
// "101.25", 10250 is "102.5", 10100 is "101.0".
inline void append_fixed(std::string& out, std::uint64_t units, unsigned decimals) {
  std::uint64_t scale = 1;
  for (unsigned i = 0; i < decimals; ++i) scale *= 10;
  out += std::to_string(units / scale);
  out += '.';
  std::string frac = std::to_string(units % scale);
  frac.insert(0, decimals - frac.size(), '0');
  while (frac.size() > 1 && frac.back() == '0') frac.pop_back();
  out += frac;
}

// The same JSON text with the blanks that JSON writers put by default: a
// space after every comma and colon outside strings.
inline std::string spaced(std::string_view compact) {
  std::string out;
  out.reserve(compact.size() + compact.size() / 4);
  bool in_string = false;
  for (std::size_t k = 0; k < compact.size(); ++k) {
    const char c = compact[k];
    out += c;
    if (in_string) {
      if (c == '\\') out += compact[++k];
      if (c == '"') in_string = false;
      continue;
    }
    if (c == '"') in_string = true;
    if (c == ',' || c == ':') out += ' ';
  }
  return out;
}

}  // namespace detail

// How the text is laid out: compact, or spaced as JSON writers do by default.
enum class Blanks { kNone, kDefault };

// How each candle is written: an object with named fields, or an array
// [time, open, high, low, close, volume].
enum class CandleForm { kObject, kArray };

// The strategy the prove benchmarks run: an SMA 10/30 crossover trading half
// the equity, with fees, slippage and a stop.
inline constexpr const char* kSmaCrossStrategy =
    R"({"symbol":"BTCUSDT","timeframe":"1m",)"
    R"("indicators":{"fast":{"type":"Sma","params":[10]},"slow":{"type":"Sma","params":[30]}},)"
    R"("entry":{"cross_above":["fast","slow"]},"exit":{"cross_below":["fast","slow"]},)"
    R"("sizing":{"type":"fixed_fraction","fraction":0.5},)"
    R"("costs":{"taker_bps":5,"slippage":{"type":"fixed_bps","bps":2}},"risk":{"stop_loss_pct":2}})";

// A strategy declaring `count` entries "i0", "i1", ... of one type with the
// same parameters (`params`: the JSON array's inside), trading the close
// against "i0".
inline std::string repeated_entries_strategy(std::string_view type, std::string_view params, int count) {
  std::string s = R"({"symbol":"BTCUSDT","timeframe":"1m","indicators":{)";
  for (int i = 0; i < count; ++i) {
    if (i > 0) s += ',';
    s += "\"i" + std::to_string(i) + R"(":{"type":")";
    s += type;
    s += R"(","params":[)";
    s += params;
    s += "]}";
  }
  s += R"(},"entry":{"gt":[{"price":"close"},"i0"]},"exit":{"lt":[{"price":"close"},"i0"]},)";
  s += R"("sizing":{"type":"fixed_fraction","fraction":0.5}})";
  return s;
}

// A parameter list as the inside of a JSON array, each number in its
// shortest form.
inline std::string params_text(std::span<const double> p) {
  std::string out;
  char b[32];
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (i > 0) out += ',';
    out.append(b, std::to_chars(b, b + sizeof b, p[i]).ptr);
  }
  return out;
}

// "A,B,C" as its parts (or lines, with '\n' as the separator); a separator
// at the end leaves no empty part after it.
inline std::vector<std::string> parts_of(std::string_view text, char separator = ',') {
  std::vector<std::string> out;
  while (!text.empty()) {
    const std::size_t at = text.find(separator);
    out.emplace_back(text.substr(0, at));
    text = at == std::string_view::npos ? std::string_view{} : text.substr(at + 1);
  }
  return out;
}

inline std::string make_prove_command(std::size_t candles, std::string_view strategy_json,
                                      Blanks blanks = Blanks::kNone,
                                      CandleForm form = CandleForm::kObject) {
  std::string out;
  out.reserve(candles * 100 + strategy_json.size() + 128);
  out += R"({"cmd":"prove","spec":{"strategy":)";
  out += strategy_json;
  out += R"(,"dataset_ref":"bench"},"data":{"BTCUSDT":[)";
  detail::Rng rng(20240101);
  std::uint64_t close = 10000;  // cents
  std::uint64_t time = 1700000000000;
  for (std::size_t i = 0; i < candles; ++i) {
    const std::uint64_t open = close;
    // Step of -150 ..= +150 cents, never below 10.00.
    const std::int64_t step = static_cast<std::int64_t>(rng.below(301)) - 150;
    const std::int64_t next = static_cast<std::int64_t>(open) + step;
    close = next < 1000 ? 1000 : static_cast<std::uint64_t>(next);
    const std::uint64_t high = (open > close ? open : close) + rng.below(100);
    const std::uint64_t low_gap = rng.below(100);
    const std::uint64_t low_base = open < close ? open : close;
    const std::uint64_t low = low_base > low_gap + 500 ? low_base - low_gap : low_base;
    const std::uint64_t volume = 1000 + rng.below(50'000'000);  // thousandths
    if (i > 0) out += ',';
    const bool named = form == CandleForm::kObject;
    out += named ? R"({"time":)" : "[";
    out += std::to_string(time);
    out += named ? R"(,"open":)" : ",";
    detail::append_fixed(out, open, 2);
    out += named ? R"(,"high":)" : ",";
    detail::append_fixed(out, high, 2);
    out += named ? R"(,"low":)" : ",";
    detail::append_fixed(out, low, 2);
    out += named ? R"(,"close":)" : ",";
    detail::append_fixed(out, close, 2);
    out += named ? R"(,"volume":)" : ",";
    detail::append_fixed(out, volume, 3);
    out += named ? '}' : ']';
    time += 60'000;
  }
  out += "]}}";
  return blanks == Blanks::kDefault ? detail::spaced(out) : out;
}

}  // namespace fendro::bench
