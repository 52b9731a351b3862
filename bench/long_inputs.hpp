// Commands whose length comes from one long input (a long string, number,
// rule or list, many symbols or entries), each placed where a caller might
// put it: the rows over which stop_sweep --inputs measures the longest
// stretch of work without an ask and the time a stop takes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fendro::bench {

struct LongInput {
  std::string name;
  std::function<std::string()> build;
};

namespace long_inputs {

inline constexpr std::size_t kMB = 1'000'000;

// [[time, open, high, low, close, volume], ...] over `n` minutes.
inline std::string candle_list(std::size_t n) {
  std::string out;
  out.reserve(n * 40 + 2);
  out += '[';
  for (std::size_t k = 0; k < n; ++k) {
    if (k > 0) out += ',';
    const std::size_t close = 1000 + (k * 7) % 97 - (k * 3) % 41;
    out += '[' + std::to_string(k * 60000) + ',' + std::to_string(close) + ',' + std::to_string(close + 5) + ',' +
           std::to_string(close - 5) + ',' + std::to_string(close) + ".5,10]";
  }
  out += ']';
  return out;
}

inline std::string quoted(std::size_t bytes, char c = 'a') { return '"' + std::string(bytes, c) + '"'; }

// A strategy on "BTC" of one SMA; each argument, when not empty, replaces
// its part whole.
struct StrategyParts {
  std::string symbol = "\"BTC\"";
  std::string indicators = R"({"sma":{"type":"Sma","params":[5]}})";
  std::string entry = R"({"gt":[{"price":"close"},"sma"]})";
  std::string sizing = R"({"type":"fixed_fraction","fraction":0.5})";
};

inline std::string strategy(const StrategyParts& p) {
  return R"({"symbol":)" + p.symbol + R"(,"timeframe":"1m","indicators":)" + p.indicators + R"(,"entry":)" +
         p.entry + R"(,"exit":{"lt":[{"price":"close"},"sma"]},"sizing":)" + p.sizing + "}";
}

inline std::string spec(const StrategyParts& p, std::string_view dataset_ref = "\"long-inputs\"") {
  return R"({"strategy":)" + strategy(p) + R"(,"dataset_ref":)" + std::string(dataset_ref) + "}";
}

inline std::string prove(const std::string& spec_text, const std::string& data_text) {
  return R"({"cmd":"prove","spec":)" + spec_text + R"(,"data":)" + data_text + "}";
}

inline std::string btc(std::size_t candles) { return R"({"BTC":)" + candle_list(candles) + "}"; }

// n conditions "close > base + k % 1000" under "any": none holds with the
// default base, so every bar evaluates them all; with base 0 the first holds.
inline std::string any_of(std::size_t n, std::size_t base = 100000) {
  std::string out = R"({"any":[)";
  for (std::size_t k = 0; k < n; ++k) {
    if (k > 0) out += ',';
    out += R"({"gt":[{"price":"close"},)" + std::to_string(base + k % 1000) + "]}";
  }
  return out + "]}";
}

inline std::string entries(std::size_t n) {
  std::string out = "{";
  for (std::size_t k = 0; k < n; ++k) {
    if (k > 0) out += ',';
    out += "\"i" + std::to_string(k) + R"(":{"type":"Sma","params":[2]})";
  }
  return out + R"(,"sma":{"type":"Sma","params":[5]}})";
}

inline std::string symbols(std::size_t n) {
  std::string out = "{";
  for (std::size_t k = 0; k < n; ++k) out += "\"S" + std::to_string(k) + "\":[],";
  return out + R"("BTC":)" + candle_list(3) + "}";
}

// A proof whose report is a long array of numbers, about `bytes` long.
inline std::string proof_of(std::size_t bytes) {
  std::string report = "[";
  report.reserve(bytes + 16);
  while (report.size() < bytes) report += "12345.678,";
  report += "1]";
  const std::string hash(64, '0');
  return R"({"engine_version":"0.2.0","inputs_hash":")" + hash + R"(","report":)" + report +
         R"(,"report_hash":")" + hash + "\"}";
}

inline std::string canonicalize(const std::string& value) { return R"({"cmd":"canonicalize","value":)" + value + "}"; }

}  // namespace long_inputs

// Every row, at `scale` times the sizes in their names.
inline std::vector<LongInput> long_input_rows(double scale = 1.0) {
  using namespace long_inputs;
  const auto mb = [scale](double n) { return static_cast<std::size_t>(n * scale * kMB); };
  const auto count = [scale](double n) { return static_cast<std::size_t>(n * scale); };
  std::vector<LongInput> rows;
  const auto add = [&](std::string name, std::function<std::string()> build) {
    rows.push_back({std::move(name), std::move(build)});
  };
  // Errors that quote what they were given.
  add("error: sizing fraction a 200 MB string", [=] {
    StrategyParts p;
    p.sizing = R"({"type":"fixed_fraction","fraction":)" + quoted(mb(200)) + "}";
    return prove(spec(p), btc(3));
  });
  add("error: candle open a 100 MB string",
      [=] { return prove(spec({}), R"({"BTC":[[0,)" + quoted(mb(100)) + ",1,1,1,1]]}"); });
  add("error: indicator parameter a 100 MB string", [=] {
    StrategyParts p;
    p.indicators = R"({"sma":{"type":"Sma","params":[)" + quoted(mb(100)) + "]}}";
    return prove(spec(p), btc(3));
  });
  add("error: indicator type a 100 MB name", [=] {
    StrategyParts p;
    p.indicators = R"({"sma":{"type":)" + quoted(mb(100)) + R"(,"params":[5]}})";
    return prove(spec(p), btc(3));
  });
  add("error: rule reads an undeclared 100 MB name", [=] {
    StrategyParts p;
    p.entry = R"({"gt":[{"price":"close"},)" + quoted(mb(100)) + "]}";
    return prove(spec(p), btc(3));
  });
  add("error: cmd a 100 MB name", [=] { return R"({"cmd":)" + quoted(mb(100)) + "}"; });
  add("error: no candles for a 100 MB symbol", [=] {
    StrategyParts p;
    p.symbol = quoted(mb(100), 'S');
    return prove(spec(p), btc(3));
  });
  add("error: sizing type a 100 MB name", [=] {
    StrategyParts p;
    p.sizing = R"({"type":)" + quoted(mb(100)) + R"(,"fraction":0.5})";
    return prove(spec(p), btc(3));
  });
  add("error: rule operator a 100 MB name", [=] {
    StrategyParts p;
    p.entry = "{" + quoted(mb(100)) + R"(:[1,2]})";
    return prove(spec(p), btc(3));
  });
  add("error: engine_version a 100 MB string", [=] {
    std::string s = spec({});
    s.insert(s.size() - 1, R"(,"engine_version":)" + quoted(mb(100)));
    return prove(s, btc(3));
  });
  // Long text read after a large data member, and before it.
  add("verify: 4 M candles, then a proof of a 124 MB report", [=] {
    return R"({"cmd":"verify","data":)" + btc(count(4e6)) + R"(,"spec":)" + spec({}) + R"(,"proof":)" +
           proof_of(mb(124)) + "}";
  });
  add("prove: 4 M candles, then a 100 MB member", [=] {
    return R"({"cmd":"prove","data":)" + btc(count(4e6)) + R"(,"spec":)" + spec({}) +
           R"(,"zz":)" + quoted(mb(100)) + "}";
  });
  add("prove: a 100 MB member, then 4 M candles", [=] {
    return R"({"cmd":"prove","aa":)" + quoted(mb(100)) + R"(,"spec":)" + spec({}) + R"(,"data":)" +
           btc(count(4e6)) + "}";
  });
  // Long numbers.
  add("number: 1.000...0001 of 100 MB",
      [=] { return canonicalize("1." + std::string(mb(100), '0') + "1"); });
  add("number: an integer of 100 MB", [=] { return canonicalize("1" + std::string(mb(100), '0')); });
  add("number: 0.000...01e000...09 of 50 + 50 MB",
      [=] { return canonicalize("0." + std::string(mb(50), '0') + "1e" + std::string(mb(50), '0') + "9"); });
  // Wide rules, many symbols, many entries.
  add("rule: any of 1,000,000 conditions, 2 candles", [=] {
    StrategyParts p;
    p.entry = any_of(count(1e6));
    return prove(spec(p), btc(2));
  });
  add("rule: any of 1,000,000 conditions, 200 candles", [=] {
    StrategyParts p;
    p.entry = any_of(count(1e6));
    return prove(spec(p), btc(200));
  });
  add("rule reads bb.<100 MB name>", [=] {
    StrategyParts p;
    p.indicators = R"({"sma":{"type":"Sma","params":[5]},"bb":{"type":"BollingerBands","params":[20,2]}})";
    p.entry = R"({"gt":[{"price":"close"},"bb.)" + std::string(mb(100), 'u') + "\"]}";
    return prove(spec(p), btc(3));
  });
  add("data: 3,000,000 symbols", [=] { return prove(spec({}), symbols(count(3e6))); });
  add("strategy: 1,000,000 entries, 3 candles", [=] {
    StrategyParts p;
    p.indicators = entries(count(1e6));
    return prove(spec(p), btc(3));
  });
  // The hunt beyond: every member a caller may make long.
  add("prove: dataset_ref of 200 MB", [=] { return prove(spec({}, quoted(mb(200), 'r')), btc(3)); });
  add("prove: symbol of 100 MB", [=] {
    StrategyParts p;
    p.symbol = quoted(mb(100), 'S');
    return prove(spec(p), "{" + quoted(mb(100), 'S') + ":" + candle_list(3) + "}");
  });
  add("prove: timeframe of 100 MB", [=] {
    std::string s = spec({});
    s.replace(s.find("\"1m\""), 4, quoted(mb(100)));
    return prove(s, btc(3));
  });
  add("prove: 100 MB of blanks between members", [=] {
    return R"({"cmd":"prove",)" + std::string(mb(100), ' ') + R"("spec":)" + spec({}) + R"(,"data":)" + btc(3) + "}";
  });
  add("prove: candle close a 100 MB number",
      [=] { return prove(spec({}), R"({"BTC":[[0,1,1,1,1)" + std::string(mb(100), '0') + "]]}"); });
  add("prove: an indicator parameter a 100 MB number", [=] {
    StrategyParts p;
    p.indicators = R"({"sma":{"type":"Sma","params":[5)" + std::string(mb(100), '0') + "]}}";
    return prove(spec(p), btc(3));
  });
  add("prove: an indicator of 10,000,000 parameters", [=] {
    StrategyParts p;
    p.indicators = R"({"sma":{"type":"Sma","params":[5)";
    for (std::size_t k = 0; k < count(1e7); ++k) p.indicators += ",5";
    p.indicators += "]}}";
    return prove(spec(p), btc(3));
  });
  add("verify: inputs_hash of 100 MB", [=] {
    const std::string hash(64, '0');
    return R"({"cmd":"verify","proof":{"engine_version":"0.2.0","inputs_hash":)" + quoted(mb(100), 'f') +
           R"(,"report":null,"report_hash":")" + hash + R"("},"spec":)" + spec({}) + R"(,"data":)" + btc(3) + "}";
  });
  add("verify: proof a 100 MB string",
      [=] { return R"({"cmd":"verify","proof":)" + quoted(mb(100)) + R"(,"spec":)" + spec({}) + R"(,"data":)" + btc(3) + "}"; });
  add("canonicalize: a key of 100 MB", [=] { return canonicalize("{" + quoted(mb(100), 'k') + ":1}"); });
  add("canonicalize: 100 MB of blanks", [=] { return canonicalize(std::string(mb(100), ' ') + "1"); });
  add("canonicalize: 1,000,000 nested arrays (depth limit)",
      [=] { return canonicalize(std::string(count(1e6), '[') + std::string(count(1e6), ']')); });
  add("canonicalize: 10,000,000 empty arrays", [=] {
    std::string v = "[";
    for (std::size_t k = 0; k < count(1e7); ++k) v += k == 0 ? "[]" : ",[]";
    return canonicalize(v + "]");
  });
  add("data: a symbol's list of 4 M candles given twice", [=] {
    const std::string list = candle_list(count(4e6));
    return prove(spec({}), R"({"BTC":)" + list + R"(,"BTC":)" + list + "}");
  });
  add("data: 4 M candles, the last one failing", [=] {
    std::string list = candle_list(count(4e6));
    list.insert(list.size() - 1, R"(,[0,"x",1,1,1,1])");
    return prove(spec({}), R"({"BTC":)" + list + "}");
  });
  add("prove: 4 M candles, then any of 1,000,000 conditions", [=] {
    // The rule is read after the candles; its first condition holds, so the
    // walk over 4 M bars does not evaluate a million conditions at each.
    StrategyParts p;
    p.entry = any_of(count(1e6), 0);
    return R"({"cmd":"prove","data":)" + btc(count(4e6)) + R"(,"spec":)" + spec(p) + "}";
  });
  add("prove: 4 M candles, then a sizing fraction of a 100 MB string", [=] {
    StrategyParts p;
    p.sizing = R"({"type":"fixed_fraction","fraction":)" + quoted(mb(100)) + "}";
    return R"({"cmd":"prove","data":)" + btc(count(4e6)) + R"(,"spec":)" + spec(p) + "}";
  });
  add("version: a member of 300 MB of numbers", [=] {
    std::string v = R"({"cmd":"version","x":[)";
    v.reserve(mb(300) + 64);
    while (v.size() < mb(300)) v += "12345.678,";
    return v + "1]}";
  });
  // A text that fails inside or after a long array: the parse's stacks then
  // hold a value per element.
  add("canonicalize: text ends inside a 100 M-element array", [=] {
    std::string v = R"({"cmd":"canonicalize","value":[)";
    v.reserve(2 * count(1e8) + 64);
    for (std::size_t k = 0; k < count(1e8); ++k) v += "1,";
    v.pop_back();
    return v;
  });
  add("canonicalize: syntax error after a 100 M-element array", [=] {
    std::string v = "[";
    v.reserve(2 * count(1e8) + 64);
    for (std::size_t k = 0; k < count(1e8); ++k) v += "1,";
    v.back() = ']';
    return canonicalize(v + " x");
  });
  add("canonicalize: 200 MB array", [=] {
    std::string v = "[";
    v.reserve(mb(200) + 64);
    while (v.size() < mb(200)) v += "12345.678,";
    return canonicalize(v + "1]");
  });
  return rows;
}

}  // namespace fendro::bench
