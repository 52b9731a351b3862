#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fendro/strategy/spec.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

using testing::read_failure;
using testing::read_ok;

auto costs = [](const json::Value& v) { return read_costs(v); };
auto risk = [](const json::Value& v) { return read_risk(v); };
auto execution = [](const json::Value& v) { return read_execution(v); };
auto sizing = [](const json::Value& v) { return read_sizing(v); };
auto slippage = [](const json::Value& v) { return read_slippage(v); };

using Reader = std::function<std::string(const char*)>;
template <class F>
Reader failures_of(F f) {
  return [f](const char* text) { return read_failure(f, text); };
}

struct Case {
  Reader read;
  const char* json;
  const char* message;
};

constexpr const char* kSizingTags =
    "expected one of `fixed_fraction`, `fixed_qty`, `fixed_cash`, `vol_target`, `risk_per_trade`";

TEST(ReadSettings, ReportsTheFirstFault) {
  const Reader c = failures_of(costs), r = failures_of(risk), e = failures_of(execution),
               s = failures_of(sizing), sl = failures_of(slippage);
  const std::string unknown_fixed = std::string("unknown variant `fixed-fraction`, ") + kSizingTags;
  const std::string unknown_short = std::string("unknown variant `fixed`, ") + kSizingTags;
  const Case cases[] = {
      // records
      {c, "null", "invalid type: null, expected struct Costs"},
      {r, "null", "invalid type: null, expected struct Risk"},
      {e, "null", "invalid type: null, expected struct Execution"},
      {c, "5", "invalid type: integer `5`, expected struct Costs"},
      {r, R"("x")", "invalid type: string \"x\", expected struct Risk"},
      {c, R"([2, 5.5, {"type": "fixed_bps", "bps": 1}, false, 0])",
       "invalid length 5, expected fewer elements in array"},
      {r, "[1, 2, 3, 4, 5, true, 7]", "invalid length 7, expected fewer elements in array"},
      {e, R"(["market", "close", 1, 2, 0, false, 1, 8])", "invalid length 8, expected fewer elements in array"},
      // number, optional number, boolean
      {c, R"({"maker_bps": "2"})", "invalid type: string \"2\", expected f64"},
      {c, R"({"maker_bps": null})", "invalid type: null, expected f64"},
      {c, R"({"funding": 1})", "invalid type: integer `1`, expected a boolean"},
      {c, R"(["2"])", "invalid type: string \"2\", expected f64"},
      {r, R"({"stop_loss_pct": true})", "invalid type: boolean `true`, expected f64"},
      {e, R"({"partial_fills": "true"})", "invalid type: string \"true\", expected a boolean"},
      // members are decoded in key order: "funding" before "maker_bps"
      {c, R"({"maker_bps": "x", "funding": 1})", "invalid type: integer `1`, expected a boolean"},
      // unsigned 32-bit
      {e, R"({"latency_bars": 2.0})", "invalid type: floating point `2.0`, expected u32"},
      {e, R"({"latency_bars": -1})", "invalid value: integer `-1`, expected u32"},
      {e, R"({"latency_bars": null})", "invalid type: null, expected u32"},
      {e, R"({"latency_bars": 4294967296})", "invalid value: integer `4294967296`, expected u32"},
      {e, R"({"latency_bars": 18446744073709551615})",
       "invalid value: integer `18446744073709551615`, expected u32"},
      // choices
      {e, R"({"order_type": "Market"})",
       "unknown variant `Market`, expected one of `market`, `limit`, `stop`, `stop_limit`"},
      {e, R"({"order_type": null})", "invalid type: null, expected string or map"},
      {e, R"({"order_type": 1})", "invalid type: integer `1`, expected string or map"},
      {e, R"({"order_type": ["limit"]})", "invalid type: sequence, expected string or map"},
      {e, R"({"order_type": {}})", "invalid value: map, expected map with a single key"},
      {e, R"({"order_type": {"limit": null, "stop": null}})",
       "invalid value: map, expected map with a single key"},
      {e, R"({"order_type": {"limit": 1}})", "invalid type: integer `1`, expected unit"},
      {e, R"({"order_type": {"Limit": 1}})",
       "unknown variant `Limit`, expected one of `market`, `limit`, `stop`, `stop_limit`"},
      {e, R"({"fill_timing": "open"})", "unknown variant `open`, expected `next_open` or `close`"},
      // sizing, object form
      {s, R"({"fraction": 0.5})", "missing field `type`"},
      {s, R"({"type": "fixed_qty", "fraction": 0.5})", "missing field `qty`"},
      {s, R"({"type": "vol_target", "target_vol": 0.2})", "missing field `lookback`"},
      {s, R"({"type": "vol_target"})", "missing field `target_vol`"},
      {s, R"({"type": "vol_target", "lookback": -1})", "invalid value: integer `-1`, expected u32"},
      {s, R"({"type": "vol_target", "lookback": "x", "target_vol": "y"})",
       "invalid type: string \"x\", expected u32"},
      {s, R"({"type": "risk_per_trade", "risk_pct": null})", "invalid type: null, expected f64"},
      {s, R"({"type": "fixed-fraction", "fraction": 0.5})", unknown_fixed.c_str()},
      {s, R"({"type": 1})", "invalid type: integer `1`, expected variant identifier"},
      {s, R"({"type": null, "fraction": 1})", "invalid type: null, expected variant identifier"},
      {s, R"({})", "missing field `type`"},
      // sizing, array form
      {s, R"(["fixed_fraction"])", "invalid length 0, expected struct variant Sizing::FixedFraction with 1 element"},
      {s, R"(["vol_target", 0.2])", "invalid length 1, expected struct variant Sizing::VolTarget with 2 elements"},
      {s, R"(["fixed_cash", 100, 1])", "invalid length 2, expected 1 element in sequence"},
      {s, R"(["vol_target", 0.2, 20, 1])", "invalid length 3, expected 2 elements in sequence"},
      {s, R"(["vol_target", 0.2, 1.5, 1])", "invalid type: floating point `1.5`, expected u32"},
      {s, R"([])", "missing field `type`"},
      {s, R"([5, 1])", "invalid type: integer `5`, expected variant identifier"},
      {s, R"(["fixed"])", unknown_short.c_str()},
      // sizing, other kinds
      {s, R"("fixed_fraction")",
       "invalid type: string \"fixed_fraction\", expected internally tagged enum Sizing"},
      {s, "null", "invalid type: null, expected internally tagged enum Sizing"},
      // slippage
      {sl, R"(["spread", 3])", "invalid length 1, expected 0 elements in sequence"},
      {sl, R"({"type": "volume_impact"})", "missing field `coef`"},
      {sl, R"(["fixed_bps", 1, 2])", "invalid length 2, expected 1 element in sequence"},
      {sl, R"(["fixed_bps"])", "invalid length 0, expected struct variant Slippage::FixedBps with 1 element"},
      {sl, R"(["volume_impact"])",
       "invalid length 0, expected struct variant Slippage::VolumeImpact with 1 element"},
      {sl, R"({"type": "Spread"})",
       "unknown variant `Spread`, expected one of `fixed_bps`, `spread`, `volume_impact`"},
      {sl, "true", "invalid type: boolean `true`, expected internally tagged enum Slippage"},
      {c, R"({"slippage": {"bps": 3}})", "missing field `type`"},
      {c, R"({"slippage": null})", "invalid type: null, expected internally tagged enum Slippage"},
  };
  for (const Case& k : cases) EXPECT_EQ(k.read(k.json), k.message) << k.json;
}

TEST(ReadSettings, DefaultsFromEmptyObjectsAndArrays) {
  for (const char* text : {"{}", "[]", R"({"note": 1})"}) {
    EXPECT_EQ(read_ok(costs, text), Costs{}) << text;
    EXPECT_EQ(read_ok(risk, text), Risk{}) << text;
    EXPECT_EQ(read_ok(execution, text), Execution{}) << text;
  }
}

TEST(ReadSettings, ObjectAndArrayFormsAgree) {
  Costs fees;
  fees.maker_bps = 2.0;
  fees.taker_bps = 5.5;
  EXPECT_EQ(read_ok(costs, R"({"maker_bps": 2, "taker_bps": 5.5})"), fees);
  Costs with_bps = fees;
  with_bps.slippage.model = Slippage::FixedBps{1.0};
  EXPECT_EQ(read_ok(costs, R"([2, 5.5, {"type": "fixed_bps", "bps": 1}, false])"), with_bps);

  Risk stops;
  stops.stop_loss_pct = 5.0;
  stops.max_leverage = 2.0;
  EXPECT_EQ(read_ok(risk, "[5, null, null, 2]"), stops);
  EXPECT_EQ(read_ok(risk, R"({"stop_loss_pct": 5, "max_leverage": 2.0, "take_profit_pct": null})"), stops);
  EXPECT_EQ(read_ok(risk, R"({"stop_loss_pct": null})"), Risk{});

  Execution ex;
  ex.order_type = OrderType::StopLimit;
  EXPECT_EQ(read_ok(execution, R"({"order_type": "stop_limit"})"), ex);
  EXPECT_EQ(read_ok(execution, R"({"order_type": {"stop_limit": null}})"), ex);
  ex.fill_timing = FillTiming::Close;
  ex.limit_offset_pct = -1.0;
  ex.stop_offset_pct = 0.0;
  ex.latency_bars = 4294967295u;
  ex.partial_fills = true;
  ex.max_participation = 1.5;
  EXPECT_EQ(read_ok(execution, R"(["stop_limit", "close", -1, 0, 4294967295, true, 1.5])"), ex);
  EXPECT_EQ(read_ok(execution, R"({"max_participation": 1.5, "partial_fills": true,
      "latency_bars": 4294967295, "stop_offset_pct": 0, "limit_offset_pct": -1,
      "fill_timing": {"close": null}, "order_type": "stop_limit"})"),
            ex);
}

TEST(ReadSettings, TaggedVariants) {
  struct Good {
    const char* json;
    Sizing want;
  };
  const Good cases[] = {
      {R"({"type": "fixed_fraction", "fraction": 0.5, "note": "x"})", {Sizing::FixedFraction{0.5}}},
      {R"({"type": "fixed_qty", "qty": 3, "fraction": 0.5})", {Sizing::FixedQty{3.0}}},
      {R"({"cash": 100, "type": "fixed_cash"})", {Sizing::FixedCash{100.0}}},
      {R"({"type": "vol_target", "target_vol": 0.2, "lookback": 20})", {Sizing::VolTarget{0.2, 20}}},
      {R"(["vol_target", 0.2, 20])", {Sizing::VolTarget{0.2, 20}}},
      {R"(["risk_per_trade", -1])", {Sizing::RiskPerTrade{-1.0}}},
      {R"(["fixed_fraction", 0])", {Sizing::FixedFraction{0.0}}},
  };
  for (const Good& g : cases) EXPECT_EQ(read_ok(sizing, g.json), g.want) << g.json;

  EXPECT_EQ(read_ok(slippage, R"({"type": "spread", "bps": 3})"), Slippage{Slippage::Spread{}});
  EXPECT_EQ(read_ok(slippage, R"(["spread"])"), Slippage{Slippage::Spread{}});
  EXPECT_EQ(read_ok(slippage, R"({"type": "volume_impact", "coef": 0.1, "bps": "x"})"),
            Slippage{Slippage::VolumeImpact{0.1}});
  EXPECT_EQ(read_ok(slippage, R"(["fixed_bps", 7])"), Slippage{Slippage::FixedBps{7.0}});
}

}  // namespace
}  // namespace fendro
