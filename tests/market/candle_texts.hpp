// Generated candle list texts: prices and times as bulk data writes them,
// every form a candle takes, now and then a value a field may not hold,
// and damage to a text after it is written.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace fendro::test {

class CandleTexts {
 public:
  explicit CandleTexts(std::uint64_t seed) : rng_(seed) {}
  std::uint64_t below(std::uint64_t n) { return rng_() % n; }

  // Mostly prices and times as bulk data writes them; in some texts now
  // and then (see odd_every) one other value a field may hold.
  static constexpr std::string_view kOdd[] = {
      "-0", "-0.0", "1e3", "1.5E-3", "12345678901234567890", "1.0", "-12", "0", "9223372036854775807",
      "9223372036854775808", "1e-30", "9007199254740993", "\"1\"", "null", "true", "[]"};
  std::string_view odd_value;
  std::uint64_t odd_every = 1;  // a field's value is odd_value one time in odd_every
  bool odd() { return below(odd_every) == 0; }
  std::string number(bool time) {
    if (odd()) return std::string(odd_value);
    if (time) return std::to_string(1700000000000 + below(1'000'000) * 60'000);
    return std::to_string(below(100'000)) + (below(5) ? '.' + std::to_string(below(1000)) : "");
  }

  std::uint64_t array_share = 3;  // of 20 candles, those written as arrays

  std::string candle() {
    static const char* const kKeys[] = {"time", "open", "high", "low", "close", "volume"};
    const std::uint64_t form = below(20);
    const bool array = form >= 20 - array_share;
    std::string s = array ? "[" : "{";
    if (array) {  // an array of 5 or 6 numbers, or of 4 or 7
      const std::uint64_t n = odd() ? 4 + below(4) : 5 + below(2);
      for (std::uint64_t k = 0; k < n; ++k) s.append(k ? "," : "").append(number(k == 0));
      return s + ']';
    }
    std::vector<int> order = {0, 1, 2, 3, 4, 5};
    if (form == 0) std::shuffle(order.begin(), order.end(), rng_);
    if (form == 1) order.erase(order.begin() + static_cast<long>(odd() ? below(6) : 5));  // a field missing
    if (form == 2) order.push_back(static_cast<int>(below(6)));  // a field twice
    for (std::size_t k = 0; k < order.size(); ++k) {
      s += k ? "," : "";
      s += form == 3 && k == 2 ? " \"" : "\"";
      s += kKeys[order[k]];
      s += "\":" + number(order[k] == 0);
    }
    if (form == 4) s += ",\"extra\":{\"x\":[1]}";
    return s + '}';
  }

  // Two symbols, the first in key order second in the text.
  std::string data(std::size_t candles) {
    std::string s;
    for (const char* symbol : {"{\"B\":[", "],\"A\":["}) {
      s += symbol;
      for (std::size_t k = 0; k < candles; ++k) s.append(k ? "," : "").append(candle());
    }
    return s + "]}";
  }

  void damage(std::string& s) {
    static constexpr std::string_view kBytes = "0123456789.-eE,:{}[]\" x\n";
    const std::size_t at = below(s.size());
    const std::uint64_t how = below(4);
    if (how == 0) s[at] = kBytes[below(kBytes.size())];
    if (how == 1) s.erase(at, 1 + below(3));
    if (how == 2) s.insert(at, s.substr(below(s.size()), below(20)));
    if (how == 3) s.resize(at);
  }

 private:
  std::mt19937_64 rng_;
};

}  // namespace fendro::test
