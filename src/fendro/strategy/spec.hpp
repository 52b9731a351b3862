// The strategy records: what a run trades, with which indicators, rules,
// sizing, costs, risk limits and execution model. Fields are in declaration
// order (the order of each record's array form); defaults are those of an
// absent member.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "fendro/json/value.hpp"
#include "fendro/registry/feed.hpp"
#include "fendro/strategy/rules.hpp"
#include "fendro/util/interrupt.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Price slippage model; the variant index is the model's code.
struct Slippage {
  struct FixedBps {
    double bps = 0.0;  // fraction bps / 10000
    bool operator==(const FixedBps&) const = default;
  };
  struct Spread {  // half the book spread over the mid
    bool operator==(const Spread&) const = default;
  };
  struct VolumeImpact {
    double coef = 0.0;  // fraction coef * order size / bar volume
    bool operator==(const VolumeImpact&) const = default;
  };

  std::variant<FixedBps, Spread, VolumeImpact> model = FixedBps{};
  bool operator==(const Slippage&) const = default;
};

struct Costs {
  double maker_bps = 0.0;  // fee of limit-order fills
  double taker_bps = 0.0;  // fee of every other fill
  Slippage slippage;
  bool funding = false;
  bool operator==(const Costs&) const = default;
};

// Percentages: 5 means 5%.
struct Risk {
  std::optional<double> stop_loss_pct;
  std::optional<double> take_profit_pct;
  std::optional<double> trailing_stop_pct;
  std::optional<double> max_leverage;  // absent: 1
  std::optional<double> max_position_pct;
  bool liquidation = false;
  bool operator==(const Risk&) const = default;
};

enum class OrderType : std::uint8_t { Market, Limit, Stop, StopLimit };
enum class FillTiming : std::uint8_t { NextOpen, Close };

struct Execution {
  OrderType order_type = OrderType::Market;
  FillTiming fill_timing = FillTiming::NextOpen;
  std::optional<double> limit_offset_pct;
  std::optional<double> stop_offset_pct;
  std::uint32_t latency_bars = 0;
  bool partial_fills = false;
  std::optional<double> max_participation;
  bool operator==(const Execution&) const = default;
};

// Position sizing; the variant index is the method's code.
struct Sizing {
  struct FixedFraction {
    double fraction = 0.0;  // notional = equity * fraction
    bool operator==(const FixedFraction&) const = default;
  };
  struct FixedQty {
    double qty = 0.0;
    bool operator==(const FixedQty&) const = default;
  };
  struct FixedCash {
    double cash = 0.0;  // notional
    bool operator==(const FixedCash&) const = default;
  };
  struct VolTarget {
    double target_vol = 0.0;
    std::uint32_t lookback = 0;  // closes
    bool operator==(const VolTarget&) const = default;
  };
  struct RiskPerTrade {
    double risk_pct = 0.0;  // of equity, to the stop loss
    bool operator==(const RiskPerTrade&) const = default;
  };

  std::variant<FixedFraction, FixedQty, FixedCash, VolTarget, RiskPerTrade> method = FixedFraction{};
  bool operator==(const Sizing&) const = default;
};

struct IndicatorSpec {
  std::string type;  // type key, matched exactly
  std::vector<double> params;
  std::optional<Feed> feed;  // as declared by the author; absent when not declared
  bool operator==(const IndicatorSpec&) const = default;
};

// Indicator id -> spec, walked in ascending byte order of the ids.
using IndicatorMap = std::map<std::string, IndicatorSpec, std::less<>>;

inline constexpr std::uint32_t SPEC_VERSION_MAX = 1;

struct StrategySpec {
  std::uint32_t spec_version = 1;
  std::string symbol;
  std::optional<std::string> ref_symbol;  // kept, not used by a run
  std::string timeframe;
  IndicatorMap indicators;
  Condition entry;
  Condition exit;  // also the short exit when short_exit is absent
  std::optional<Condition> short_entry;
  std::optional<Condition> short_exit;
  Sizing sizing;
  Costs costs;
  Risk risk;
  Execution execution;
  std::optional<std::uint32_t> warmup;  // replaces the indicators' warm-up when present
  bool operator==(const StrategySpec&) const = default;
};

// Readers of the value tree. Failures are texts without line or column; the
// first failure met wins (members in key order, then absent fields).
Result<StrategySpec, std::string> read_strategy_spec(const json::Value& v);
// The same, a long symbol copied out of the tree in stretches with
// `interrupt` asked between them, and every node, member and long text read
// noted with the thread's scope (tree_pacing.hpp); when either asks to stop,
// `stopped` is set and the failure is no fault of the strategy.
Result<StrategySpec, std::string> read_strategy_spec_paced(const json::Value& v, const Interrupt& interrupt,
                                                           bool& stopped);
// Frees the spec's rules, indicator entries and reference symbol in
// stretches, the command's interrupt asked between them through the
// thread's scope (see release_paced of a Condition); the spec keeps the
// rest, which a run reads to its end. False once told to stop: what is left
// then goes with the spec as usual.
bool release_paced(StrategySpec& spec);

Result<IndicatorMap, std::string> read_indicators(const json::Value& v);
Result<IndicatorSpec, std::string> read_indicator_spec(const json::Value& v);
Result<std::optional<Feed>, std::string> read_feed(const json::Value& v);

Result<Costs, std::string> read_costs(const json::Value& v);
Result<Risk, std::string> read_risk(const json::Value& v);
Result<Execution, std::string> read_execution(const json::Value& v);
Result<Slippage, std::string> read_slippage(const json::Value& v);
Result<Sizing, std::string> read_sizing(const json::Value& v);
Result<OrderType, std::string> read_order_type(const json::Value& v);
Result<FillTiming, std::string> read_fill_timing(const json::Value& v);

}  // namespace fendro
