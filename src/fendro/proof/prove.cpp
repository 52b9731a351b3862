#include <algorithm>
#include <chrono>
#include <cstdint>
#include <span>
#include <utility>
#include <variant>
#include <vector>

#include "fendro/util/run_scope.hpp"
#include "fendro/proof/canonical.hpp"
#include "fendro/proof/inputs.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/proof/report_text.hpp"
#include "fendro/registry/registry.hpp"
#include "fendro/strategy/engine.hpp"
#include "fendro/strategy/report.hpp"
#include "fendro/strategy/spec.hpp"
#include "fendro/strategy/tree_pacing.hpp"
#include "fendro/strategy/validate.hpp"
#include "fendro/util/free_later.hpp"
#include "fendro/util/number_format.hpp"
#include "fendro/util/paced_copy.hpp"
#include "fendro/util/paced_grow.hpp"

namespace fendro {
namespace {

// A command carries candles only: these cost models would silently do nothing.
// The runs of blanks are part of the texts: callers match them byte for byte.
constexpr std::string_view kSpreadRefused =
    "costs.slippage spread needs an order-book feed; without one every fill              would be priced at zero "
    "slippage";
constexpr std::string_view kFundingRefused =
    "costs.funding needs a derivatives feed; without one no funding would be              charged at all";

bool is_spread(const Slippage& s) { return std::holds_alternative<Slippage::Spread>(s.model); }

using Clock = std::chrono::steady_clock;

// With an interrupt the bars are walked in stretches of about this long, the
// interrupt asked between them. A stretch is sized by the time the last one
// took rather than by a count of bars: a bar costs anything from tens of
// nanoseconds to far more (many indicators, long windows).
constexpr Clock::duration kStretchTime = std::chrono::milliseconds(1);
// In stretches of at most this many bars, the indicators stepped bar by bar
// look at the clock after each bar's update too: only bars of tens of
// microseconds or more come in stretches this short.
constexpr std::size_t kShortStretch = 64;
// A stretch running this long asks from within, and again each time as long.
constexpr std::int64_t kPacedAfterNs = 3'000'000;

// A bar's own long work asks the interrupt through `scope`; once told to
// stop there, the bar gives up at once and the run ends as stopped (and not
// with whatever fault the abandoned bar might leave behind).
//
// `changes`: the bars (ascending) from which a bar may suddenly cost far
// more, where the indicators' windows fill and the rules start: a stretch
// ends there and the next is measured afresh from a single bar.
Status<ProofError> run_bars(BacktestEngine& engine, std::span<const Candle> candles, const Interrupt& interrupt,
                            RunScope& scope, std::span<const std::uint64_t> changes) {
  const auto failed = [&](const StrategyError& e) {
    return scope.stopped() ? ProofError::stopped() : ProofError::backtest(e);
  };
  if (!interrupt.active()) {
    engine.make_room(candles.size(), interrupt);
    if (auto ran = engine.run(candles); !ran) return err(failed(ran.error()));
    return Unit{};
  }
  std::size_t stretch = 1;
  for (std::size_t first = 0; first < candles.size();) {
    while (!changes.empty() && changes.front() <= first) changes = changes.subspan(1);
    std::size_t n = std::min(stretch, candles.size() - first);
    if (!changes.empty() && changes.front() - first < n) n = static_cast<std::size_t>(changes.front() - first);
    if (!engine.make_room(n, interrupt)) return err(ProofError::stopped());
    const Clock::time_point start = Clock::now();
    // The stretch asks from within once it runs past a few times its time.
    WalkPacing pacing(scope, kPacedAfterNs, kPacedAfterNs, n <= kShortStretch);
    if (auto ran = engine.run(candles.subspan(first, n), first, &pacing); !ran) return err(failed(ran.error()));
    const Clock::duration took = Clock::now() - start;
    first += n;
    if (!changes.empty() && changes.front() == first) {
      stretch = 1;
    } else if (took < kStretchTime / 2) {
      stretch = std::min(2 * n, candles.size());
    } else if (took > kStretchTime * 2) {
      stretch = std::max<std::size_t>(1, static_cast<std::size_t>(n * kStretchTime.count() / took.count()));
    }
    if (scope.stopped() || interrupt.stop_requested()) return err(ProofError::stopped());
  }
  return Unit{};
}

// The bars (ascending) from which a bar may suddenly cost far more (see
// run_bars), marked as the indicators are built and read in order after:
// a strategy of millions of indicators needs no sort. Bars past the last
// candle never end a stretch, so they are not kept.
class CostChanges {
 public:
  explicit CostChanges(std::size_t bars) : bars_(bars), marks_((bars + 63) / 64) {}

  void mark(std::uint64_t bar) {
    if (bar < bars_) marks_[bar / 64] |= std::uint64_t{1} << (bar % 64);
  }

  std::vector<std::uint64_t> ascending() const {
    std::vector<std::uint64_t> out;
    for (std::size_t w = 0; w < marks_.size(); ++w) {
      for (std::uint64_t bits = marks_[w]; bits != 0; bits &= bits - 1) {
        out.push_back(w * 64 + static_cast<std::uint64_t>(__builtin_ctzll(bits)));
      }
    }
    return out;
  }

 private:
  std::size_t bars_;
  std::vector<std::uint64_t> marks_;  // a bit per bar
};

// The run of a strategy read without fault, to its report. Its rules and
// indicator entries as read are freed once compiled and built.
Result<Report, ProofError> run_strategy(StrategySpec& strategy, const MarketData& data, const Interrupt& interrupt,
                                        RunScope& scope) {
  const auto found = find_paced(data, strategy.symbol, interrupt);
  if (!found) return err(ProofError::stopped());
  if (*found == data.end()) {
    // The symbol may be very long.
    std::string text = "no candles for symbol ";
    if (!append_paced(text, strategy.symbol)) return err(ProofError::stopped());
    return err(ProofError::data(std::move(text)));
  }
  const std::vector<Candle>& candles = (*found)->second;

  // Checking rules of millions of nodes asks through the scope.
  if (auto valid = validate_spec(strategy); !valid) {
    return err(scope.stopped() ? ProofError::stopped() : ProofError::backtest(valid.error()));
  }
  if (is_spread(strategy.costs.slippage)) {
    return err(ProofError::backtest(StrategyError::invalid_spec(std::string(kSpreadRefused))));
  }
  if (strategy.costs.funding) {
    return err(ProofError::backtest(StrategyError::invalid_spec(std::string(kFundingRefused))));
  }
  if (candles.empty()) return err(ProofError::backtest(StrategyError::invalid_input("no candles")));

  std::vector<IndicatorSlot> slots;
  FreeIfStopped free_slots(scope, slots);
  slots.reserve(strategy.indicators.size());
  CostChanges cost_changes(candles.size());
  std::uint64_t indicator_warmup = 0;
  for (const auto& [id, ind] : strategy.indicators) {  // ids in byte order
    // A strategy may declare any number of indicators, each dear to build.
    if (interrupt.stop_requested()) return err(ProofError::stopped());
    auto built = build_indicator(ind.type, ind.params);
    if (!built) return err(scope.stopped() ? ProofError::stopped() : ProofError::backtest(built.error()));
    indicator_warmup = std::max(indicator_warmup, (*built)->warmup_period());
    cost_changes.mark((*built)->warmup_period());
    // An id may be very long: copied in stretches, asking between them.
    std::string slot_id;
    if (!append_paced(slot_id, id)) return err(ProofError::stopped());
    slots.emplace_back(std::move(slot_id), std::move(built).value());
  }
  const std::uint64_t warmup = strategy.warmup ? *strategy.warmup : indicator_warmup;
  cost_changes.mark(warmup);

  // Measuring and compiling rules of millions of nodes asks through the
  // scope; told to stop there, the engine is left unrun.
  const std::uint64_t window_capacity = window_capacity_for(strategy);
  BacktestEngine engine(strategy, std::move(slots), warmup, window_capacity, candles.size(), INITIAL_CAPITAL);
  // What a stopped run holds (millions of indicators, their windows) is
  // freed off the caller's path.
  FreeIfStopped free_engine(scope, engine);
  if (scope.stopped() || interrupt.stop_requested()) return err(ProofError::stopped());
  // The engine reads neither of them again: freed in stretches now, they
  // are not left for a stop during the walk to free all at once.
  if (!release_paced(strategy)) return err(ProofError::stopped());
  if (auto ran = run_bars(engine, candles, interrupt, scope, cost_changes.ascending()); !ran) {
    // Millions of indicators or references go in stretches before the fault is told.
    if (ran.error().kind != ProofError::Kind::Stopped && !engine.release_paced(interrupt)) {
      return err(ProofError::stopped());
    }
    return err(std::move(ran).error());
  }
  auto finished = std::move(engine).finish_report(interrupt);
  if (!finished) return err(ProofError::stopped());
  return std::move(finished).value();
}

}  // namespace

Result<ProvenRun, ProofError> prove(const ProofSpec& spec, const MarketData& data, const Interrupt& caller,
                                    CandleSeal* seal) {
  if (spec.engine_version && *spec.engine_version != ENGINE_VERSION) {
    return err(ProofError::engine_mismatch(*spec.engine_version));
  }
  // The indicators' shared tables and their asks inside a bar, for this
  // run; reading, checking, compiling and freeing a strategy of very many
  // indicators or rule nodes asks through it too, and so does everything
  // else here: stopped() then tells of any stop.
  RunScope scope(caller);
  const Interrupt interrupt = scope.interrupt();
  // A long symbol is copied out of the tree and compared to find its
  // candles in stretches, the caller asked between them.
  bool stopped = false;
  auto read = read_strategy_spec_paced(spec.strategy, interrupt, stopped);
  if (stopped) return err(ProofError::stopped());
  if (!read) return err(ProofError::bad_spec(std::move(read).error()));
  StrategySpec strategy = std::move(read).value();
  // What a stopped run holds is freed off the caller's path.
  FreeIfStopped free_strategy(scope, strategy);
  if (interrupt.stop_requested()) return err(ProofError::stopped());

  auto ran = run_strategy(strategy, data, interrupt, scope);
  if (!ran && ran.error().kind == ProofError::Kind::Stopped) return err(std::move(ran).error());
  // A strategy's rules and entries are freed in stretches, asking between
  // them, and its texts, which may be long, each with an ask after it.
  if (!release_paced(strategy) || free_and_note(strategy.symbol) || free_and_note(strategy.timeframe)) {
    return err(ProofError::stopped());
  }
  if (!ran) return err(std::move(ran).error());
  Report report = std::move(ran).value();
  FreeIfStopped free_report(scope, report);
  auto sealed = inputs_hash(spec, data, interrupt, seal);
  if (!sealed) return err(ProofError::stopped());
  return ProvenRun{std::move(report), std::move(sealed).value()};
}

Result<bool, ProofError> verify_proof(const Proof& proof, const ProofSpec& spec, const MarketData& data,
                                      const Interrupt& interrupt, CandleSeal* seal) {
  auto fresh = prove(spec, data, interrupt, seal);
  if (!fresh) return err(std::move(fresh).error());
  auto hash = report_hash(fresh->report, interrupt);
  if (!hash) {
    free_later(*fresh);
    return err(ProofError::stopped());
  }
  return *hash == proof.report_hash && fresh->inputs_hash == proof.inputs_hash &&
         ENGINE_VERSION == proof.engine_version;
}

}  // namespace fendro
