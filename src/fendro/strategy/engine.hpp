// The bar loop: one pass per candle, trying the pending order at the open,
// stepping the indicators, recording the bar, applying protective exits,
// marking equity and acting on the rules.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "fendro/strategy/account.hpp"
#include "fendro/strategy/eval.hpp"
#include "fendro/strategy/report.hpp"
#include "fendro/strategy/rule_window.hpp"
#include "fendro/strategy/spec.hpp"
#include "fendro/strategy/walk_pacing.hpp"

namespace fendro {

// One declared indicator and where its values go. A bar's values are stored
// under the id and under "id.name" per named output; only the keys some rule
// reads are kept, each resolved once to its value key.
struct IndicatorSlot {
  struct OutputKey {
    std::string_view name;             // as the indicator names it
    std::optional<std::uint32_t> key;  // value key of "id.name", when a rule reads it
  };

  std::string id;
  IndicatorPtr indicator;
  std::optional<std::uint32_t> id_key;  // value key of the id, when a rule reads it
  std::vector<OutputKey> output_keys;   // in the order the names were first met
  // Some rule key starts with id + ".": the named outputs are read after each
  // update, so this indicator is stepped bar by bar; the others a stretch of
  // bars at a time, ahead of the rules.
  bool outputs_read = false;

  IndicatorSlot(std::string slot_id, IndicatorPtr ind) : id(std::move(slot_id)), indicator(std::move(ind)) {}
};

struct PendingOrder {
  enum class Kind : std::uint8_t { Exit, Market, Limit, Stop, StopLimit };
  Kind kind = Kind::Market;
  Side side = Side::Long;     // entries only
  double price = 0.0;         // limit price, or the trigger of stop / stop_limit
  double limit_price = 0.0;   // stop_limit only
  std::uint32_t bars_left = 0;
};

// The spec's four rules compiled into one set.
struct StrategyRules {
  RuleSet set;
  RuleSet::Id entry = 0;
  RuleSet::Id exit = 0;
  std::optional<RuleSet::Id> short_entry;
  std::optional<RuleSet::Id> short_exit;

  explicit StrategyRules(const StrategySpec& spec);
};

// The factors of a protective level p percent below and above a price
// (x * (p / -100 + 1), x * (p / 100 + 1)), worked out once per run.
struct PercentLevels {
  bool set = false;
  double down = 0.0;
  double up = 0.0;

  explicit PercentLevels(const std::optional<double>& pct)
      : set(pct.has_value()), down(pct ? *pct / -100.0 + 1.0 : 0.0), up(pct ? *pct / 100.0 + 1.0 : 0.0) {}
};

struct LastBar {
  std::int64_t time = 0;
  double close = 0.0;
};

// One run from the first candle to the report: built by prove, walked over
// the candles once, then consumed by finish_report().
class BacktestEngine {
 public:
  // `bars`: the length of the candle list the run will walk (one equity point each).
  BacktestEngine(const StrategySpec& spec, std::vector<IndicatorSlot> slots, std::uint64_t warmup,
                 std::uint64_t window_capacity, std::uint64_t bars, double initial_capital);

  // Walks every candle in order, the first of them bar `first_bar` of the
  // run (a run may be walked in stretches); the only failure is a sizing
  // error of an entry. With `pacing`, the walk asks the command's interrupt
  // from within as it says; once told to stop, the walk ends within the bar,
  // which is left unfinished.
  Status<StrategyError> run(std::span<const Candle> candles, std::uint64_t first_bar = 0,
                            WalkPacing* pacing = nullptr);

  // Readies ahead of the next `bars` bars the storage they will fill: maps
  // the equity curve's, grows the rule window and the list of closed trades,
  // copying what they hold in stretches with `interrupt` asked between them
  // (grown on a bar, a long list would be copied there at once). False once
  // it asked to stop.
  bool make_room(std::uint64_t bars, const Interrupt& interrupt);

  // Frees the indicators, the rule window and the rules (the engine is not
  // to be run after), asking `interrupt` after each indicator, and the
  // thread's scope as the rules go. False once either asked to stop.
  bool release_paced(const Interrupt& interrupt);

  // Closes a position still open at the last close ("end", taker fee, no
  // slippage), computes the metrics, and hands over the run's trades and curve.
  Report finish_report() &&;
  // The same, the metrics asking `interrupt` as they walk the curve.
  Result<Report, Stopped> finish_report(const Interrupt& interrupt) &&;

  // The state as the last bar left it, for inspection.
  const Account& account() const { return account_; }
  const std::vector<EquityPoint>& equity() const { return equity_; }
  const std::optional<PendingOrder>& pending() const { return pending_; }
  const std::optional<std::uint64_t>& entry_bar() const { return entry_bar_; }
  const RuleWindow& window() const { return window_; }
  const RuleSet& rules() const { return rules_.set; }
  std::span<const IndicatorSlot> slots() const { return slots_; }

 private:
  // Maps the equity storage of the next `bars` bars (see the constructor).
  void map_equity_ahead(std::uint64_t bars);
  void step_indicators(std::span<const Candle> stretch);
  // `at`: the bar's place in the stretch the indicators were last stepped over.
  Status<StrategyError> step(const Candle& c, std::uint64_t i, std::size_t at);
  Status<StrategyError> try_pending(const PendingOrder& order, const Candle& c, std::uint64_t i);
  void record_values(const Candle& c, std::size_t at);
  void record_outputs(IndicatorSlot& slot, std::span<std::optional<double>> values);
  void protective_exits(const Candle& c);
  Status<StrategyError> apply_rules(const Candle& c, std::uint64_t i);
  void act_on_exit(const Candle& c, std::uint64_t i);
  Status<StrategyError> act_on_entry(Side side, const Candle& c, std::uint64_t i);
  FillContext fill_context(const Candle& c, std::uint64_t i) const;

  const StrategySpec& spec_;
  std::vector<IndicatorSlot> slots_;
  std::size_t stretch_;  // bars over which the indicators are stepped at once
  // The values of the indicators stepped a stretch at a time, stretch_ per
  // slot (slot order), for the stretch the bar loop is walking.
  std::vector<std::optional<double>> stretch_values_;
  // When no rule reads a named output, a bar's values are copied from
  // stretch_values_ alone: for each indicator whose id some rule reads, where
  // its stretch starts and its value key (a key per id, so no two collide).
  struct SteppedValue {
    std::size_t column;
    std::uint32_t key;
  };
  std::vector<SteppedValue> stepped_values_;
  bool outputs_read_ = false;  // some indicator is stepped bar by bar
  WalkPacing* pacing_ = nullptr;  // of the walk under way
  StrategyRules rules_;
  RuleWindow window_;
  std::uint64_t warmup_;
  std::vector<EquityPoint> equity_;
  std::size_t equity_mapped_ = 0;  // points of equity_'s storage mapped so far
  CurveWalk curve_walk_;  // fed each equity point as it is marked
  Account account_;
  std::optional<PendingOrder> pending_;
  std::optional<std::uint64_t> entry_bar_;
  double trail_ref_ = 0.0;
  std::optional<LastBar> last_bar_;
  PercentLevels stop_loss_;
  PercentLevels trailing_stop_;
  PercentLevels take_profit_;
  double maker_rate_;
  double taker_rate_;
  double initial_capital_;
};

// 1 + the farthest any rule (or a vol_target sizing) reads back; saturating.
std::uint64_t window_capacity_for(const StrategySpec& spec);

}  // namespace fendro
