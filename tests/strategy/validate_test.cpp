#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fendro/strategy/validate.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

// A spec whose parts default to something valid.
struct SpecText {
  SpecText(std::string indicators_ = "{}", std::string entry_ = R"({"all": []})",
           std::string exit_ = R"({"all": []})", std::string extra_ = "",
           std::string sizing_ = R"({"type": "fixed_qty", "qty": 1})")
      : indicators(std::move(indicators_)),
        entry(std::move(entry_)),
        exit(std::move(exit_)),
        extra(std::move(extra_)),
        sizing(std::move(sizing_)) {}

  std::string indicators;
  std::string entry;
  std::string exit;
  std::string extra;  // further members, each followed by ", "
  std::string sizing;

  std::string json() const {
    return "{" + extra + R"("symbol": "BTC", "timeframe": "1h", "sizing": )" + sizing +
           R"(, "indicators": )" + indicators + R"(, "entry": )" + entry + R"(, "exit": )" + exit + "}";
  }
};

std::optional<StrategyError> validation_of(const SpecText& t) {
  const std::string text = t.json();
  const StrategySpec spec = testing::read_ok([](const json::Value& v) { return read_strategy_spec(v); }, text);
  auto r = validate_spec(spec);
  if (r.ok()) return std::nullopt;
  return r.error();
}

StrategyError undeclared(const char* ref) { return StrategyError::undeclared_indicator(ref); }
StrategyError invalid(std::string text) { return StrategyError::invalid_spec(std::move(text)); }

const std::string kRiskText =
    "sizing risk_per_trade requires risk.stop_loss_pct: the position size is" + std::string(18, ' ') +
    "derived from the distance to the stop";
const std::string kStopLimitText =
    "stop_limit order_type requires both execution.stop_offset_pct and" + std::string(22, ' ') +
    "execution.limit_offset_pct";

constexpr const char* kSma = R"({"fast": {"type": "Sma", "params": [3]}})";
constexpr const char* kRiskSizing = R"({"type": "risk_per_trade", "risk_pct": 1})";

// Rules that always hold, with further members `extra` (each followed by ", ").
SpecText always(std::string extra, std::string indicators = "{}",
                std::string sizing = R"({"type": "fixed_qty", "qty": 1})") {
  return SpecText(std::move(indicators), R"({"all": []})", R"({"all": []})", std::move(extra), std::move(sizing));
}

// Rules that always hold and the execution members `members`.
SpecText execution(const std::string& members, std::string indicators = "{}") {
  return always(R"("execution": {)" + members + "}, ", std::move(indicators));
}

struct Case {
  const char* what;
  SpecText spec;
  std::optional<StrategyError> want;
};

TEST(ValidateSpec, ReportsTheFirstFault) {
  const std::string macd = R"({"macd": {"type": "Macd"}})";
  const Case cases[] = {
      {"numbers and prices need no indicator",
       {"{}", R"({"gt": [{"price": "close"}, {"mul": [2, {"prev": [{"price": "hlc3"}, 3]}]}]})"},
       std::nullopt},
      // references
      {"output of a declared id", {macd, R"({"gt": ["macd.signal", 0]})"}, std::nullopt},
      {"output of an undeclared id", {"{}", R"({"gt": ["macd.signal", 0]})"}, undeclared("macd.signal")},
      {"case matters", {macd, R"({"gt": ["MACD", 0]})"}, undeclared("MACD")},
      {"trailing point", {R"({"rsi": {"type": "Rsi"}})", R"({"lt": ["rsi.", 30]})"}, std::nullopt},
      {"empty base, declared", {R"({"": {"type": "Rsi"}})", R"({"lt": [".x", 30]})"}, std::nullopt},
      {"empty base, undeclared", {R"({"x": {"type": "Rsi"}})", R"({"lt": [".x", 30]})"}, undeclared(".x")},
      {"base is before the first point", {R"({"a.b": {"type": "Rsi"}})", R"({"lt": ["a.b.c", 30]})"},
       undeclared("a.b.c")},
      {"prev of add: left first", {"{}", R"({"gt": [{"prev": [{"add": ["a", "b"]}, 2]}, 0]})"}, undeclared("a")},
      {"prev of add: then right", {R"({"a": {"type": "Sma"}})", R"({"gt": [{"prev": [{"add": ["a", "b"]}, 2]}, 0]})"},
       undeclared("b")},
      {"between: value, lower, upper", {"{}", R"({"between": [1, "lo", "hi"]})"}, undeclared("lo")},
      {"rising checks its operand", {"{}", R"({"rising": ["r", 3]})"}, undeclared("r")},
      {"groups in list order", {"{}", R"({"any": [{"in_position": true}, {"not": {"lt": [1, "n"]}}, {"gt": ["m", 1]}]})"},
       undeclared("n")},
      {"entry before exit", {"{}", R"({"gt": ["e", 1]})", R"({"gt": ["x", 1]})"}, undeclared("e")},
      {"exit before short_entry",
       {"{}", R"({"all": []})", R"({"gt": ["x", 1]})", R"("short_entry": {"gt": ["s", 1]}, )"}, undeclared("x")},
      {"short_entry before short_exit",
       always(R"("short_exit": {"gt": ["t", 1]}, "short_entry": {"gt": ["s", 1]}, )"), undeclared("s")},
      {"short_exit", always(R"("short_exit": {"gt": ["t", 1]}, )"), undeclared("t")},
      {"reference before version", {"{}", R"({"gt": ["r", 1]})", R"({"all": []})", R"("spec_version": 2, )"},
       undeclared("r")},
      // version
      {"version 0", always(R"("spec_version": 0, )"),
       invalid("spec_version 0 is not supported; this build reads 1..=1")},
      {"version 2 before sizing", always(R"("spec_version": 2, )", "{}", kRiskSizing),
       invalid("spec_version 2 is not supported; this build reads 1..=1")},
      {"largest version", always(R"("spec_version": 4294967295, )"),
       invalid("spec_version 4294967295 is not supported; this build reads 1..=1")},
      // sizing
      {"risk_per_trade without a stop", always("", "{}", kRiskSizing), invalid(kRiskText)},
      {"risk_per_trade with a zero stop",
       always(R"("risk": {"stop_loss_pct": 0}, )", "{}", R"(["risk_per_trade", 1])"), std::nullopt},
      {"sizing before feeds",
       always("", R"({"fast": {"type": "Sma", "feed": "trade"}})", R"(["risk_per_trade", 1])"),
       invalid(kRiskText)},
      // feeds
      {"declared feed matches", {R"({"fast": {"type": "Sma", "feed": "kline"}})"}, std::nullopt},
      {"declared feed differs", {R"({"fast": {"type": "Sma", "feed": "trade"}})"},
       invalid("indicator 'fast' (Sma) declares feed Trade but consumes Kline")},
      {"unknown type key passes here", {R"({"x": {"type": "NoSuchThing", "feed": "orderbook"}})"}, std::nullopt},
      {"first id in byte order",
       {R"({"b": {"type": "Sma", "feed": "trade"}, "a": {"type": "Ema", "feed": "derivatives"}})"},
       invalid("indicator 'a' (Ema) declares feed Derivatives but consumes Kline")},
      {"feeds before order type",
       execution(R"("order_type": "limit")", R"({"fast": {"type": "Sma", "feed": "trade_quote"}})"),
       invalid("indicator 'fast' (Sma) declares feed TradeQuote but consumes Kline")},
      // order types
      {"limit without offset", execution(R"("order_type": "limit")", kSma),
       invalid("limit order_type requires execution.limit_offset_pct")},
      {"limit with a negative offset", execution(R"("order_type": "limit", "limit_offset_pct": -1)", kSma),
       std::nullopt},
      {"stop without offset", execution(R"("order_type": "stop", "limit_offset_pct": 1)", kSma),
       invalid("stop order_type requires execution.stop_offset_pct")},
      {"stop_limit with only the stop offset", execution(R"("order_type": "stop_limit", "stop_offset_pct": 1)", kSma),
       invalid(kStopLimitText)},
      {"stop_limit with only the limit offset",
       execution(R"("order_type": "stop_limit", "limit_offset_pct": 1)", kSma), invalid(kStopLimitText)},
      {"stop_limit with both offsets at 0",
       execution(R"("order_type": "stop_limit", "limit_offset_pct": 0, "stop_offset_pct": 0)", kSma), std::nullopt},
      // partial fills
      {"partial fills without participation", execution(R"("partial_fills": true)"),
       invalid("partial_fills requires execution.max_participation")},
      {"partial fills with zero participation", execution(R"("partial_fills": true, "max_participation": 0)"),
       std::nullopt},
      {"partial fills before fill timing",
       execution(R"("partial_fills": true, "fill_timing": "close", "latency_bars": 1)"),
       invalid("partial_fills requires execution.max_participation")},
      // fill timing
      {"close with a limit order lacking its offset", execution(R"("fill_timing": "close", "order_type": "limit")"),
       invalid("limit order_type requires execution.limit_offset_pct")},
      {"close with a limit order",
       execution(R"("fill_timing": "close", "order_type": "limit", "limit_offset_pct": 1, "latency_bars": 1)"),
       invalid("fill_timing close requires a market order_type")},
      {"close with latency", execution(R"("fill_timing": "close", "latency_bars": 1)"),
       invalid("fill_timing close is incompatible with latency_bars")},
      {"close at once", execution(R"("fill_timing": "close")"), std::nullopt},
      {"latency with next open", execution(R"("latency_bars": 3)"), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(validation_of(c.spec), c.want) << c.what;
}

}  // namespace
}  // namespace fendro
