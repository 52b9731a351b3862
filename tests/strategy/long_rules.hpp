// Strategy texts with one long part: a rule of many conditions, a deep
// expression, many entries or members, a long text.
#pragma once

#include <cstddef>
#include <string>

namespace fendro::testing {

// `piece` `n` times, comma separated.
inline std::string repeated(const std::string& piece, std::size_t n) {
  std::string out;
  out.reserve(n * (piece.size() + 1));
  for (std::size_t k = 0; k < n; ++k) {
    if (k != 0) out += ',';
    out += piece;
  }
  return out;
}

// {"any": [n conditions that never hold]}.
inline std::string any_false(std::size_t n) { return R"({"any": [)" + repeated(R"({"gt": ["a", 1e308]})", n) + "]}"; }

// A sum of 2^depth references to "a", as a balanced tree.
inline std::string sum_tree(int depth) {
  if (depth == 0) return R"("a")";
  const std::string half = sum_tree(depth - 1);
  return R"({"add": [)" + half + "," + half + "]}";
}

// `n` members nobody reads, then `rest` (which starts with a member or is empty).
inline std::string unread_members(std::size_t n, const std::string& rest = "") {
  std::string out;
  for (std::size_t k = 0; k < n; ++k) out += (k ? ",\"u" : "\"u") + std::to_string(k) + "\": 1";
  if (!rest.empty()) out += (n ? "," : "") + rest;
  return out;
}

// The members of a strategy, each replaceable; `extra` members go last.
struct StrategyText {
  std::string symbol = "X";
  std::string timeframe = "1m";
  std::string indicators = R"({"a": {"type": "Sma", "params": [3]}})";
  std::string entry = R"({"gt": [{"price": "close"}, "a"]})";
  std::string exit = R"({"lt": [{"price": "close"}, "a"]})";
  std::string sizing = R"({"type": "fixed_fraction", "fraction": 0.5})";
  std::string extra;  // ", \"member\": value, ..."

  std::string text() const {
    return R"({"symbol": ")" + symbol + R"(", "timeframe": ")" + timeframe + R"(", "indicators": )" + indicators +
           R"(, "entry": )" + entry + R"(, "exit": )" + exit + R"(, "sizing": )" + sizing + extra + "}";
  }
};

}  // namespace fendro::testing
