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
       {"{}", R"({"all": []})", R"({"all": []})",
        R"("short_exit": {"gt": ["t", 1]}, "short_entry": {"gt": ["s", 1]}, )"},
       undeclared("s")},
      {"short_exit", {"{}", R"({"all": []})", R"({"all": []})", R"("short_exit": {"gt": ["t", 1]}, )"},
       undeclared("t")},
      {"reference before version", {"{}", R"({"gt": ["r", 1]})", R"({"all": []})", R"("spec_version": 2, )"},
       undeclared("r")},
      // version
      {"version 0", {"{}", R"({"all": []})", R"({"all": []})", R"("spec_version": 0, )"},
       invalid("spec_version 0 is not supported; this build reads 1..=1")},
      {"version 2 before sizing",
       {"{}", R"({"all": []})", R"({"all": []})",
        R"("spec_version": 2, )", R"({"type": "risk_per_trade", "risk_pct": 1})"},
       invalid("spec_version 2 is not supported; this build reads 1..=1")},
      {"largest version", {"{}", R"({"all": []})", R"({"all": []})", R"("spec_version": 4294967295, )"},
       invalid("spec_version 4294967295 is not supported; this build reads 1..=1")},
      // sizing
      {"risk_per_trade without a stop",
       {"{}", R"({"all": []})", R"({"all": []})", "", R"({"type": "risk_per_trade", "risk_pct": 1})"},
       invalid(kRiskText)},
      {"risk_per_trade with a zero stop",
       {"{}", R"({"all": []})", R"({"all": []})",
        R"("risk": {"stop_loss_pct": 0}, )", R"(["risk_per_trade", 1])"},
       std::nullopt},
      {"sizing before feeds",
       {R"({"fast": {"type": "Sma", "feed": "trade"}})", R"({"all": []})", R"({"all": []})",
        "", R"(["risk_per_trade", 1])"},
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
       {R"({"fast": {"type": "Sma", "feed": "trade_quote"}})", R"({"all": []})", R"({"all": []})",
        R"("execution": {"order_type": "limit"}, )"},
       invalid("indicator 'fast' (Sma) declares feed TradeQuote but consumes Kline")},
      // order types
      {"limit without offset", {kSma, R"({"all": []})", R"({"all": []})", R"("execution": {"order_type": "limit"}, )"},
       invalid("limit order_type requires execution.limit_offset_pct")},
      {"limit with a negative offset",
       {kSma, R"({"all": []})", R"({"all": []})", R"("execution": {"order_type": "limit", "limit_offset_pct": -1}, )"},
       std::nullopt},
      {"stop without offset",
       {kSma, R"({"all": []})", R"({"all": []})",
        R"("execution": {"order_type": "stop", "limit_offset_pct": 1}, )"},
       invalid("stop order_type requires execution.stop_offset_pct")},
      {"stop_limit with only the stop offset",
       {kSma, R"({"all": []})", R"({"all": []})",
        R"("execution": {"order_type": "stop_limit", "stop_offset_pct": 1}, )"},
       invalid(kStopLimitText)},
      {"stop_limit with only the limit offset",
       {kSma, R"({"all": []})", R"({"all": []})",
        R"("execution": {"order_type": "stop_limit", "limit_offset_pct": 1}, )"},
       invalid(kStopLimitText)},
      {"stop_limit with both offsets at 0",
       {kSma, R"({"all": []})", R"({"all": []})",
        R"("execution": {"order_type": "stop_limit", "limit_offset_pct": 0, "stop_offset_pct": 0}, )"},
       std::nullopt},
      // partial fills
      {"partial fills without participation",
       {"{}", R"({"all": []})", R"({"all": []})", R"("execution": {"partial_fills": true}, )"},
       invalid("partial_fills requires execution.max_participation")},
      {"partial fills with zero participation",
       {"{}", R"({"all": []})", R"({"all": []})",
        R"("execution": {"partial_fills": true, "max_participation": 0}, )"},
       std::nullopt},
      {"partial fills before fill timing",
       {"{}", R"({"all": []})", R"({"all": []})",
        R"("execution": {"partial_fills": true, "fill_timing": "close", "latency_bars": 1}, )"},
       invalid("partial_fills requires execution.max_participation")},
      // fill timing
      {"close with a limit order lacking its offset",
       {"{}", R"({"all": []})", R"({"all": []})",
        R"("execution": {"fill_timing": "close", "order_type": "limit"}, )"},
       invalid("limit order_type requires execution.limit_offset_pct")},
      {"close with a limit order",
       {"{}", R"({"all": []})", R"({"all": []})",
        R"("execution": {"fill_timing": "close", "order_type": "limit", "limit_offset_pct": 1, "latency_bars": 1}, )"},
       invalid("fill_timing close requires a market order_type")},
      {"close with latency",
       {"{}", R"({"all": []})", R"({"all": []})", R"("execution": {"fill_timing": "close", "latency_bars": 1}, )"},
       invalid("fill_timing close is incompatible with latency_bars")},
      {"close at once", {"{}", R"({"all": []})", R"({"all": []})", R"("execution": {"fill_timing": "close"}, )"},
       std::nullopt},
      {"latency with next open",
       {"{}", R"({"all": []})", R"({"all": []})", R"("execution": {"latency_bars": 3}, )"}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(validation_of(c.spec), c.want) << c.what;
}

TEST(ValidateSpec, LeavesTheSpecUnchangedAndAnswersTheSame) {
  SpecText t{R"({"fast": {"type": "Sma", "feed": "trade"}})", R"({"gt": ["fast", 1]})"};
  const std::string text = t.json();
  const StrategySpec spec = testing::read_ok([](const json::Value& v) { return read_strategy_spec(v); }, text);
  const StrategySpec copy = spec;
  auto first = validate_spec(spec);
  auto second = validate_spec(spec);
  ASSERT_FALSE(first.ok());
  ASSERT_FALSE(second.ok());
  EXPECT_EQ(first.error(), second.error());
  EXPECT_EQ(spec, copy);
}

}  // namespace
}  // namespace fendro
