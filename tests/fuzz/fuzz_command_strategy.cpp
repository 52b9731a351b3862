// The command entry on commands built from the fuzz bytes: the bytes choose a
// strategy (any of the type keys, every rule form, sizing, costs, risk and
// execution setting) and candles, so that most inputs reach a full "prove".
// Then:
//  - every answer is canonical JSON of the error or success shape;
//  - the proof verifies as valid, and as invalid once a hash or the version
//    in it is altered;
//  - now and then the command text is damaged first, for the paths between.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/module/command.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "fuzz_check.hpp"

namespace {

using namespace fendro;

// Common periods first: the lowest byte values pick them.
constexpr double kNumbers[] = {14,  10,   5,    3,    2,   20,   9,     26,  12,   4,    7,   1,
                               30,  50,   70,   100,  200, 0,    -1,    0.5, 0.1,  1.5,  2.5, 0.02,
                               0.2, 0.9,  0.01, 0.05, 1e6, 1e-9, 4e9,   -5,  1e300, 0.7, 365, 1e15};

constexpr std::string_view kPriceFields[] = {"open", "high", "low", "close", "volume", "hlc3", "ohlc4"};
constexpr std::string_view kCompare[] = {"gt", "lt", "ge", "le", "eq", "ne", "cross_above", "cross_below"};
constexpr std::string_view kArithmetic[] = {"add", "sub", "mul", "div"};
constexpr std::string_view kFeeds[] = {"kline", "trade", "orderbook", "trade_quote", "derivatives", "cross_section"};
constexpr std::string_view kIds[] = {"a", "b", "c", "d", "e", "f"};

struct Indicator {
  std::string id;
  std::vector<std::string> outputs;  // names of the outputs the type gives on these candles
};

class Builder {
 public:
  explicit Builder(FuzzedDataProvider& in) : in_(in) {}

  std::string candles_text;
  std::string strategy_text;
  std::vector<Candle> candles;
  std::string symbol = "BTCUSDT";

  void build() {
    make_candles();
    strategy();
  }

 private:
  FuzzedDataProvider& in_;
  std::vector<Indicator> indicators_;

  std::size_t pick(std::size_t n) { return in_.ConsumeIntegralInRange<std::size_t>(0, n - 1); }
  // Rare choices are taken on the highest value, so that once the bytes run
  // out (every value reads as its lowest) the command stays well formed.
  bool chance(unsigned in) { return in_.ConsumeIntegralInRange<unsigned>(0, in - 1) == in - 1; }

  double number() {
    if (chance(8)) return in_.ConsumeFloatingPoint<double>();
    return kNumbers[pick(std::size(kNumbers))];
  }

  static void put_number(std::string& out, double x) {
    char buf[40];
    if (x != x || x - x != 0) {  // no NaN or infinity in JSON
      out += "0";
      return;
    }
    std::snprintf(buf, sizeof buf, "%.17g", x);
    out += buf;
  }
  static void put_string(std::string& out, std::string_view s) {
    out += '"';
    out += s;
    out += '"';
  }

  // A random walk of bars; the later bytes may spoil single values.
  void make_candles() {
    const std::size_t n = chance(16) ? pick(2) : 10 + pick(chance(4) ? 400 : 120);
    const bool spoil = chance(8);
    const bool arrays = chance(4);
    double price = chance(4) ? number() : 100.0;
    if (!(price > 0) || price > 1e12) price = 100.0;
    std::int64_t time = 1700000000000;
    candles.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      Candle& c = candles[i];
      c.time = time;
      time += chance(32) ? static_cast<std::int64_t>(pick(3)) * 1800000 : 3600000;
      const int move = static_cast<int>(pick(81)) - 40;  // -4% .. +4%
      c.open = price;
      c.close = price * (1.0 + move / 1000.0);
      c.high = std::max(c.open, c.close) * (1.0 + pick(20) / 1000.0);
      c.low = std::min(c.open, c.close) * (1.0 - pick(20) / 1000.0);
      c.volume = 100.0 + static_cast<double>(pick(2000));
      if (spoil && chance(16)) {
        double* fields[] = {&c.open, &c.high, &c.low, &c.close, &c.volume};
        *fields[pick(5)] = chance(2) ? number() : -0.0;
      }
      price = c.close > 0 ? c.close : 100.0;
    }
    std::string& out = candles_text;
    out = "{";
    if (chance(8)) out += R"("ETHUSDT":[[1700000000000,1,1,1,1,1]],)";
    put_string(out, symbol);
    out += ":[";
    for (std::size_t i = 0; i < n; ++i) {
      const Candle& c = candles[i];
      if (i) out += ',';
      if (arrays) {
        out += '[' + std::to_string(c.time);
        for (double x : {c.open, c.high, c.low, c.close, c.volume}) {
          out += ',';
          put_number(out, x);
        }
        out += ']';
        continue;
      }
      out += R"({"time":)" + std::to_string(c.time);
      const std::pair<const char*, double> fields[] = {
          {"open", c.open}, {"high", c.high}, {"low", c.low}, {"close", c.close}, {"volume", c.volume}};
      for (const auto& [name, x] : fields) {
        out += ",\"";
        out += name;
        out += "\":";
        put_number(out, x);
      }
      out += '}';
    }
    out += "]}";
  }

  // The outputs a type names on these candles (the rules may read them).
  std::vector<std::string> outputs_of(std::string_view key, const std::vector<double>& params) {
    std::vector<std::string> names;
    auto built = build_indicator(key, params);
    if (!built) return names;
    BarSnapshot snap;
    for (const Candle& c : candles) {
      snap.candle = &c;
      if (!(*built)->update(snap)) continue;
      for (const NamedOutput& o : (*built)->outputs()) names.emplace_back(o.name);
      if (!names.empty()) break;
    }
    return names;
  }

  void indicator(std::string& out, std::size_t slot) {
    const auto rows = registry::key_rows();
    std::string key;
    switch (pick(16)) {
      case 14: key = chance(2) ? "Macd" : "Bollinger"; break;
      case 15: key = chance(2) ? "NoSuchType" : ""; break;
      default: key = std::string(rows[pick(rows.size())].key); break;
    }
    std::vector<double> params;
    const std::size_t count = chance(8) ? 0 : 1 + pick(4);
    for (std::size_t k = 0; k < count; ++k) params.push_back(number());

    Indicator ind;
    ind.id = chance(32) ? "x.y" : std::string(kIds[slot]);
    ind.outputs = outputs_of(key, params);

    put_string(out, ind.id);
    out += R"(:{"type":)";
    put_string(out, key);
    if (!params.empty() || chance(2)) {
      out += R"(,"params":[)";
      for (std::size_t k = 0; k < params.size(); ++k) {
        if (k) out += ',';
        put_number(out, params[k]);
      }
      out += ']';
    }
    if (chance(8)) {
      out += R"(,"feed":)";
      if (chance(4)) {
        out += "null";
      } else {
        const Feed f = feed_of_indicator(key);
        const auto code = static_cast<std::size_t>(f);
        put_string(out, chance(2) && code < std::size(kFeeds) ? kFeeds[code] : kFeeds[pick(std::size(kFeeds))]);
      }
    }
    out += '}';
    indicators_.push_back(std::move(ind));
  }

  void reference(std::string& out) {
    if (chance(32)) {
      put_string(out, chance(2) ? "missing" : "a.b.c");
      return;
    }
    if (indicators_.empty()) {
      out += R"({"price":"close"})";
      return;
    }
    const Indicator& ind = indicators_[pick(indicators_.size())];
    std::string ref = ind.id;
    if (!ind.outputs.empty() && chance(3)) ref += '.' + ind.outputs[pick(ind.outputs.size())];
    put_string(out, ref);
  }

  void operand(std::string& out, int depth) {
    const std::size_t form = depth > 3 ? pick(26) : pick(40);
    if (form < 14) {
      reference(out);
    } else if (form < 20) {
      put_number(out, number());
    } else if (form < 26) {
      out += R"({"price":)";
      put_string(out, chance(16) ? "mid" : kPriceFields[pick(std::size(kPriceFields))]);
      out += '}';
    } else if (form < 30) {
      out += R"({"prev":[)";
      operand(out, depth + 1);
      out += ',' + std::to_string(chance(16) ? 100000 : pick(6)) + "]}";
    } else if (form < 39) {
      out += "{\"";
      out += kArithmetic[pick(std::size(kArithmetic))];
      out += "\":[";
      operand(out, depth + 1);
      out += ',';
      operand(out, depth + 1);
      out += "]}";
    } else {
      out += chance(2) ? "true" : R"({"sma":[1,2]})";
    }
  }

  void condition(std::string& out, int depth) {
    // Weighted: comparisons most, malformed forms least; no nesting deep down.
    static constexpr std::uint8_t kKinds[40] = {0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
                                                7,  7,  7,  8,  8,  8,  8,  9,  9,  9,  13, 13, 13, 10,
                                                10, 10, 10, 11, 11, 12, 12, 12, 12, 12, 14, 15};
    std::size_t kind = kKinds[pick(40)];
    if (depth > 2 && (kind >= 10 && kind <= 12)) kind = 0;
    out += '{';
    switch (kind) {
      case 0:
        put_string(out, kCompare[chance(3) ? 6 + pick(2) : pick(std::size(kCompare))]);
        out += ":[";
        operand(out, depth);
        out += ',';
        operand(out, depth);
        out += ']';
        break;
      case 7:
        out += R"("between":[)";
        for (int k = 0; k < 3; ++k) {
          if (k) out += ',';
          operand(out, depth);
        }
        out += ']';
        break;
      case 8:
        out += chance(2) ? R"("rising":[)" : R"("falling":[)";
        operand(out, depth);
        out += ',' + std::to_string(pick(5)) + ']';
        break;
      case 9:
        out += R"("bars_since_entry":{)";
        put_string(out, kCompare[pick(5)]);
        out += ':' + std::to_string(pick(12)) + '}';
        break;
      case 10: case 11: {
        out += chance(2) ? R"("all":[)" : R"("any":[)";
        const std::size_t n = pick(4);
        for (std::size_t k = 0; k < n; ++k) {
          if (k) out += ',';
          condition(out, depth + 1);
        }
        out += ']';
        break;
      }
      case 12:
        out += R"("not":)";
        condition(out, depth + 1);
        break;
      case 13:
        out += R"("in_position":)";
        out += chance(2) ? "true" : "false";
        break;
      case 14:
        out += chance(2) ? R"("gt":[1])" : R"("rising":["a",-1])";
        break;
      default:
        out += chance(2) ? R"("unknown":1)" : R"("in_position":null)";
        break;
    }
    out += '}';
  }

  void member(std::string& out, std::string_view name) {
    if (out.back() != '{') out += ',';
    put_string(out, name);
    out += ':';
  }

  void optional_number(std::string& out, std::string_view name, unsigned in = 2, bool nullable = true) {
    if (!chance(in)) return;
    member(out, name);
    if (nullable && chance(16)) {
      out += "null";
    } else {
      put_number(out, number());
    }
  }

  void sizing(std::string& out) {
    member(out, "sizing");
    const std::size_t method = pick(24);
    switch (method < 23 ? method % 5 : 5) {
      case 0: out += R"({"type":"fixed_fraction","fraction":)"; break;
      case 1: out += R"({"type":"fixed_qty","qty":)"; break;
      case 2: out += R"({"type":"fixed_cash","cash":)"; break;
      case 3: out += R"({"type":"vol_target","lookback":)" + std::to_string(pick(30)) + R"(,"target_vol":)"; break;
      case 4: out += R"({"type":"risk_per_trade","risk_pct":)"; break;
      default: out += chance(2) ? R"({"type":"kelly","f":)" : R"({"fraction":)"; break;
    }
    put_number(out, chance(2) ? kNumbers[pick(8)] / 10.0 : number());
    out += '}';
  }

  void costs(std::string& out) {
    member(out, "costs");
    out += '{';
    optional_number(out, "maker_bps", 2, false);
    optional_number(out, "taker_bps", 2, false);
    if (chance(2)) {
      member(out, "slippage");
      const std::size_t model = pick(12);
      switch (model < 10 ? model % 2 : model - 8 + pick(2)) {
        case 0: out += R"({"type":"fixed_bps","bps":)"; break;
        case 1: out += R"({"type":"volume_impact","coef":)"; break;
        case 2: out += R"({"type":"spread","x":)"; break;
        case 3: out += R"({"type":"fixed_bps","coef":)"; break;
        default: out += R"({"kind":"fixed_bps","bps":)"; break;
      }
      put_number(out, number());
      out += '}';
    }
    if (chance(8)) {
      member(out, "funding");
      out += chance(2) ? "true" : "false";
    }
    out += '}';
  }

  void risk(std::string& out) {
    member(out, "risk");
    out += '{';
    optional_number(out, "stop_loss_pct");
    optional_number(out, "take_profit_pct", 3);
    optional_number(out, "trailing_stop_pct", 3);
    optional_number(out, "max_leverage", 3);
    optional_number(out, "max_position_pct", 3);
    if (chance(3)) {
      member(out, "liquidation");
      out += chance(2) ? "true" : "false";
    }
    out += '}';
  }

  void execution(std::string& out) {
    static constexpr std::string_view kOrders[] = {"market", "limit", "stop", "stop_limit", "iceberg"};
    member(out, "execution");
    out += '{';
    if (chance(2)) {
      member(out, "order_type");
      put_string(out, kOrders[chance(16) ? 4 : pick(4)]);
    }
    if (chance(3)) {
      member(out, "fill_timing");
      put_string(out, chance(2) ? "close" : "next_open");
    }
    optional_number(out, "limit_offset_pct");
    optional_number(out, "stop_offset_pct");
    if (chance(3)) {
      member(out, "latency_bars");
      out += std::to_string(pick(4));
    }
    if (chance(3)) {
      member(out, "partial_fills");
      out += chance(2) ? "true" : "false";
    }
    optional_number(out, "max_participation", 3);
    out += '}';
  }

  void strategy() {
    std::string& out = strategy_text;
    out = "{";
    member(out, "symbol");
    put_string(out, chance(32) ? "ETHUSDT" : symbol);
    member(out, "timeframe");
    out += "\"1h\"";
    if (chance(16)) {
      member(out, "spec_version");
      out += std::to_string(pick(3));
    }
    if (chance(16)) {
      member(out, "ref_symbol");
      out += chance(2) ? "null" : "\"ETHUSDT\"";
    }
    member(out, "indicators");
    out += '{';
    const std::size_t n = chance(16) ? 0 : 1 + pick(std::size(kIds));
    for (std::size_t k = 0; k < n; ++k) {
      if (k) out += ',';
      indicator(out, k);
    }
    out += '}';
    member(out, "entry");
    condition(out, 0);
    member(out, "exit");
    condition(out, 0);
    if (chance(2)) {
      member(out, "short_entry");
      condition(out, 0);
    }
    if (chance(3)) {
      member(out, "short_exit");
      condition(out, 0);
    }
    if (!chance(32)) sizing(out);
    if (chance(2)) costs(out);
    if (chance(2)) risk(out);
    if (chance(2)) execution(out);
    if (chance(6)) {
      member(out, "warmup");
      out += std::to_string(chance(8) ? 1000000 : pick(20));
    }
    out += '}';
  }
};

// One spelling of the command, its members in an order the bytes choose.
std::string command(std::string_view cmd, std::string_view spec, std::string_view data, std::string_view proof,
                    std::size_t order) {
  std::vector<std::pair<std::string_view, std::string_view>> members = {{"cmd", cmd}, {"spec", spec}, {"data", data}};
  if (!proof.empty()) members.emplace_back("proof", proof);
  for (std::size_t k = members.size(); k > 1; --k) {
    std::swap(members[k - 1], members[order % k]);
    order /= k;
  }
  std::string out = "{";
  for (const auto& [key, value] : members) {
    if (out.size() > 1) out += ',';
    out += '"';
    out += key;
    out += "\":";
    out += value;
  }
  out += '}';
  return out;
}

void damage(std::string& text, FuzzedDataProvider& in) {
  if (text.empty()) return;
  const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, text.size() - 1);
  const char byte = static_cast<char>(in.ConsumeIntegral<std::uint8_t>());
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: text.erase(at, 1); break;
    case 1: text.insert(at, 1, byte); break;
    default: text[at] = byte; break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto order = in.ConsumeIntegral<std::uint8_t>();
  // Rare on the highest value, as in Builder::chance.
  const bool damaged = in.ConsumeIntegralInRange(0, 15) == 15;
  const bool pinned = in.ConsumeIntegralInRange(0, 7) == 7;
  Builder b(in);
  b.build();

  std::string spec = R"({"dataset_ref":"fuzz","strategy":)" + b.strategy_text;
  if (pinned) spec += R"(,"engine_version":"0.2.0")";
  spec += '}';
  std::string prove = command("\"prove\"", spec, b.candles_text, {}, order);
  if (damaged) damage(prove, in);

  const std::string response = apply_command(prove);
  const bool ok = fuzz::check_response(response);
  if (damaged || !ok || response.find("\"report_hash\"") == std::string::npos) return 0;

  const std::string verify = command("\"verify\"", spec, b.candles_text, response, order / 7);
  fuzz::expect_same(apply_command(verify), R"({"ok":true,"valid":true})", "a fresh proof does not verify");

  // An altered hash or version is no longer the proof of this run (checked
  // on one run in four: each check is one more run).
  if (in.ConsumeIntegralInRange(0, 3) != 3) return 0;
  std::string altered = response;
  static constexpr std::string_view kFields[] = {"\"inputs_hash\":\"", "\"report_hash\":\"", "\"engine_version\":\""};
  const std::string_view field = kFields[in.ConsumeIntegralInRange<std::size_t>(0, 2)];
  const std::size_t at = altered.find(field) + field.size();
  altered[at] = altered[at] == '0' ? '1' : '0';
  const std::string verdict = apply_command(command("\"verify\"", spec, b.candles_text, altered, order / 3));
  fuzz::expect_same(verdict, R"({"ok":true,"valid":false})", "an altered proof still verifies");
  return 0;
}
