#include "fendro/strategy/engine.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "fendro/strategy/tiny.hpp"
#include "fendro/strategy/tree_pacing.hpp"
#include "fendro/util/huge_pages.hpp"
#include "fendro/util/paced_copy.hpp"
#include "fendro/util/paced_grow.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {
namespace {

constexpr std::string_view kSignal = "signal";

// Bars over which the indicators are stepped at once, each in its own tight
// loop, before the rules walk them: short enough that the stretch's candles
// and values stay in the nearest cache between the two passes. The next
// stretch's candles are fetched while the rules walk this one, so the
// indicators do not wait on main memory for them.
constexpr std::size_t kIndicatorStretch = 128;
// The stretch's values of all the indicators, at most: a strategy of very
// many indicators steps them over shorter stretches instead of holding (and
// clearing, and freeing) hundreds of megabytes of values.
constexpr std::size_t kStretchValuesBudget = std::size_t{1} << 18;

// Bars per stretch for `slots` indicators: kIndicatorStretch within the budget.
std::size_t stretch_for(std::size_t slots) {
  if (slots == 0) return kIndicatorStretch;
  return std::clamp<std::size_t>(kStretchValuesBudget / slots, 1, kIndicatorStretch);
}

// Equity points mapped at a time (16 MiB, a few milliseconds): when the
// engine is built, then as make_room() comes near the end of what is mapped.
constexpr std::uint64_t kEquityMapStep = 1024 * 1024;

// Where the indicators' values go: each id's key and whether some rule key
// has the form id + "." + name (those keys are resolved lazily, per output
// name, by output_key). Every "." of a rule key within the longest id's
// length splits off a candidate id, so the cost is the length of the keys,
// not slots x keys.
// The slots come in id order from a strategy (a map by id), so sorting them
// by id costs a pass; no node is allocated per slot. A strategy may declare
// millions of slots and reference millions of keys: each is noted with the
// thread's scope, and once it says stop the resolution is left unfinished
// (the engine is then not to be run).
void resolve_slot_keys(std::vector<IndicatorSlot>& slots, const RuleSet& rules) {
  using ById = std::pair<std::string_view, IndicatorSlot*>;
  std::vector<ById> by_id;
  by_id.reserve(slots.size());
  std::size_t longest_id = 0;
  bool sorted = true;
  for (IndicatorSlot& slot : slots) {
    if (pass_stop_after(kEntrySteps)) return;
    if (auto k = rules.find_key(slot.id)) slot.id_key = static_cast<std::uint32_t>(*k);
    sorted = sorted && (by_id.empty() || !(std::string_view(slot.id) < by_id.back().first));
    by_id.emplace_back(slot.id, &slot);
    longest_id = std::max(longest_id, slot.id.size());
  }
  const auto id_less = [](const ById& a, const ById& b) { return a.first < b.first; };
  if (!sorted) std::sort(by_id.begin(), by_id.end(), id_less);
  for (const std::string_view key : rules.keys()) {
    if (pass_stop_after(kEntrySteps)) return;
    // No id is longer than the longest: a dot beyond it splits off none.
    const std::string_view scanned = key.substr(0, std::min(key.size(), longest_id + 1));
    for (std::size_t dot = find_char_paced(scanned, '.'); dot != std::string_view::npos;
         dot = find_char_paced(scanned, '.', dot + 1)) {
      if (pass_stop_after(kEntrySteps)) return;
      const std::string_view id = key.substr(0, dot);
      auto found = std::lower_bound(by_id.begin(), by_id.end(), ById{id, nullptr}, id_less);
      // Ids are unique in a strategy; every slot of an equal id is marked all the same.
      for (; found != by_id.end() && found->first == id; ++found) found->second->outputs_read = true;
    }
  }
}

std::optional<std::uint32_t> output_key(IndicatorSlot& slot, const RuleSet& rules, std::string_view name,
                                        std::size_t pos) {
  // Types list their outputs in a fixed order, so the cache entry at the same
  // position almost always matches.
  if (pos < slot.output_keys.size() && slot.output_keys[pos].name == name) return slot.output_keys[pos].key;
  for (const IndicatorSlot::OutputKey& ok : slot.output_keys) {
    if (ok.name == name) return ok.key;
  }
  std::string text;
  text.reserve(slot.id.size() + 1 + name.size());
  // A long id is copied in stretches, asking between them; once told to
  // stop the bar gives up (the run ends as stopped).
  if (!append_paced(text, slot.id)) return std::nullopt;
  text.push_back('.');
  text.append(name);
  std::optional<std::uint32_t> key;
  if (auto k = rules.find_key(text)) key = static_cast<std::uint32_t>(*k);
  if (pass_stopped()) return std::nullopt;
  slot.output_keys.push_back({name, key});
  return key;
}

// Entry price of a triggered limit / stop / stop_limit order, or nothing.
std::optional<double> trigger_price(const PendingOrder& o, const Candle& c) {
  const bool is_long = o.side == Side::Long;
  switch (o.kind) {
    case PendingOrder::Kind::Limit:
      if (is_long) return c.low <= o.price ? std::optional(std::min(c.open, o.price)) : std::nullopt;
      return c.high >= o.price ? std::optional(std::max(c.open, o.price)) : std::nullopt;
    case PendingOrder::Kind::Stop:
      if (is_long) return c.high >= o.price ? std::optional(std::max(c.open, o.price)) : std::nullopt;
      return c.low <= o.price ? std::optional(std::min(c.open, o.price)) : std::nullopt;
    case PendingOrder::Kind::StopLimit:
      if (is_long) {
        if (c.high >= o.price && c.low <= o.limit_price) return std::min(o.limit_price, std::max(c.open, o.price));
        return std::nullopt;
      }
      if (c.low <= o.price && c.high >= o.limit_price) return std::max(o.limit_price, std::min(c.open, o.price));
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

// x * (p / 100 + 1) for a present offset p, x otherwise.
double offset_price(double x, const std::optional<double>& pct) { return pct ? x * (*pct / 100.0 + 1.0) : x; }

}  // namespace

StrategyRules::StrategyRules(const StrategySpec& spec) {
  std::vector<const Condition*> all = {&spec.entry, &spec.exit};
  if (spec.short_entry) all.push_back(&*spec.short_entry);
  if (spec.short_exit) all.push_back(&*spec.short_exit);
  set.make_room_for(all);
  entry = set.add(spec.entry);
  exit = set.add(spec.exit);
  if (spec.short_entry) short_entry = set.add(*spec.short_entry);
  if (spec.short_exit) short_exit = set.add(*spec.short_exit);
}

std::uint64_t window_capacity_for(const StrategySpec& spec) {
  std::uint64_t most = std::max(condition_lookback(spec.entry), condition_lookback(spec.exit));
  if (spec.short_entry) most = std::max(most, condition_lookback(*spec.short_entry));
  if (spec.short_exit) most = std::max(most, condition_lookback(*spec.short_exit));
  if (const auto* vt = std::get_if<Sizing::VolTarget>(&spec.sizing.method)) {
    most = std::max<std::uint64_t>(most, vt->lookback);
  }
  return sat_add(1, most);
}

BacktestEngine::BacktestEngine(const StrategySpec& s, std::vector<IndicatorSlot> indicator_slots,
                               std::uint64_t warmup_bars, std::uint64_t window_capacity, std::uint64_t bars,
                               double capital)
    : spec_(s),
      slots_(std::move(indicator_slots)),
      stretch_(stretch_for(slots_.size())),
      rules_(s),
      window_(window_capacity, rules_.set.keys().size()),
      warmup_(warmup_bars),
      stop_loss_(s.risk.stop_loss_pct),
      trailing_stop_(s.risk.trailing_stop_pct),
      take_profit_(s.risk.take_profit_pct),
      maker_rate_(s.costs.maker_bps / 10000.0),
      taker_rate_(s.costs.taker_bps / 10000.0),
      initial_capital_(capital) {
  account_.cash = capital;
  equity_.reserve(static_cast<std::size_t>(bars));
  // Mapped before the bars that fill it, on small pages: at 16 bytes a bar
  // huge pages save little, and on a virtual machine whose host has taken
  // back the memory behind them they come many times slower than small ones.
  // The first part now; the rest as make_room() is told of the bars to come,
  // since mapping a long curve at once takes milliseconds (16 ms for 4 M bars).
  map_equity_ahead(1);
  resolve_slot_keys(slots_, rules_.set);
  stretch_values_.resize(slots_.size() * stretch_);
  for (std::size_t k = 0; k < slots_.size(); ++k) {
    if (pass_stop_after(kEntrySteps)) return;
    if (slots_[k].outputs_read) {
      outputs_read_ = true;
    } else if (slots_[k].id_key) {
      stepped_values_.push_back({k * stretch_, *slots_[k].id_key});
    }
  }
}

FillContext BacktestEngine::fill_context(const Candle& c, std::uint64_t i) const {
  return FillContext{&spec_, &c, &window_, nullptr, maker_rate_, taker_rate_, i};
}

Status<StrategyError> BacktestEngine::run(std::span<const Candle> candles, std::uint64_t first_bar,
                                          WalkPacing* pacing) {
  pacing_ = pacing;
  const auto stopped = [this] { return pacing_ != nullptr && pacing_->stopped(); };
  // Long bars are looked at one by one; cheap ones (most of a run) a chunk
  // at a time. A heavy rule may give up inside a bar: the walk ends there.
  const bool long_bars = pacing != nullptr && (pacing->each_bar() || rules_.set.has_heavy());
  const std::size_t n = candles.size();
  for (std::size_t first = 0; first < n; first += stretch_) {
    const std::size_t bars = std::min(stretch_, n - first);
    step_indicators(candles.subspan(first, bars));
    if (stopped()) return Unit{};
    for (std::size_t at = 0; at < bars; ++at) {
      const std::size_t i = first + at;
      if (i + stretch_ < n) __builtin_prefetch(&candles[i + stretch_]);
      FENDRO_CHECK(step(candles[i], first_bar + i, at));
      if (long_bars && pacing_->stopped()) return Unit{};
    }
    if (stopped()) return Unit{};
  }
  return Unit{};
}

// An indicator's values depend on the candles alone, never on the rules or
// the position, so they can be computed ahead of the bars that read them.
void BacktestEngine::step_indicators(std::span<const Candle> stretch) {
  std::optional<double>* out = stretch_values_.data();
  for (IndicatorSlot& slot : slots_) {
    if (!slot.outputs_read) {
      slot.indicator->update_candles(stretch, out);
      if (pacing_ != nullptr && pacing_->stop_if_due()) return;
    }
    out += stretch_;
  }
}

void BacktestEngine::map_equity_ahead(std::uint64_t bars) {
  const std::uint64_t need = std::min<std::uint64_t>(equity_.capacity(), equity_.size() + bars);
  if (need <= equity_mapped_) return;
  // A step at a time: a call per stretch of bars would cost more than the mapping.
  const std::size_t until = static_cast<std::size_t>(
      std::min<std::uint64_t>(equity_.capacity(), std::max<std::uint64_t>(need, equity_mapped_ + kEquityMapStep)));
  map_in_advance(equity_.data() + equity_mapped_, (until - equity_mapped_) * sizeof(EquityPoint));
  equity_mapped_ = until;
}

bool BacktestEngine::make_room(std::uint64_t bars, const Interrupt& interrupt) {
  map_equity_ahead(bars);
  if (!window_.make_room(bars, interrupt)) return false;
  // A bar closes at most two trades: one at its open or on a protective
  // exit, one by the rules at its close.
  // A short list grows on its own as quickly.
  std::vector<ClosedTrade>& closed = account_.closed;
  const std::uint64_t need = closed.size() + 2 * bars;
  if (need <= closed.capacity() || closed.size() * sizeof(ClosedTrade) <= kCopyStretchBytes) return true;
  return reserve_paced(closed, static_cast<std::size_t>(std::max<std::uint64_t>(need, 2 * closed.capacity())),
                       interrupt);
}

Report BacktestEngine::finish_report() && { return std::move(std::move(*this).finish_report(Interrupt{})).value(); }

Result<Report, Stopped> BacktestEngine::finish_report(const Interrupt& interrupt) && {
  if (holds_position(account_.qty) && last_bar_) {
    const LastBar last = *last_bar_;
    close_position(account_, last.time, "end", last.close, close_fee(account_.qty, last.close, taker_rate_));
  }
  // The indicators, the rule window and the rules go first: the report
  // outlives them.
  if (!release_paced(interrupt)) return err(Stopped{});
  Report report;
  // A long symbol or timeframe is copied in stretches, the caller asked between them.
  if (!copy_paced(spec_.symbol, report.symbol, interrupt) || !copy_paced(spec_.timeframe, report.timeframe, interrupt)) {
    return err(Stopped{});
  }
  auto metrics = compute_metrics(curve_walk_, equity_, account_.closed, initial_capital_, interrupt);
  if (!metrics) return err(Stopped{});
  report.metrics = *metrics;
  report.trades = std::move(account_.closed);
  report.equity = std::move(equity_);
  report.fees_paid = account_.fees_paid;
  report.initial_capital = initial_capital_;
  return report;
}

bool BacktestEngine::release_paced(const Interrupt& interrupt) {
  // Long windows take time to free too: the interrupt is asked between them.
  SmallFrees small;
  while (!slots_.empty()) {
    // So does a long id.
    std::uint64_t left = 0;
    if (!give_back_paced(slots_.back().id.data(), slots_.back().id.capacity(), left)) return false;
    slots_.pop_back();
    small.freed();
    if (interrupt.stop_requested()) return false;
  }
  window_ = RuleWindow(1, 0);
  // The stores of millions of indicators, and millions of interned
  // references, go in stretches, asking through the scope.
  return !free_and_note(slots_) && !free_and_note(stretch_values_) && !free_and_note(stepped_values_) &&
         rules_.set.release_paced();
}

// Inlined into the bar loop: its result is then checked without a round trip
// through memory on every bar.
[[gnu::always_inline]] inline Status<StrategyError> BacktestEngine::step(const Candle& c, std::uint64_t i,
                                                                       std::size_t at) {
  last_bar_ = LastBar{c.time, c.close};

  if (pending_) {
    if (pending_->bars_left > 0) {
      --pending_->bars_left;
    } else {
      const PendingOrder order = *pending_;
      pending_.reset();
      FENDRO_CHECK(try_pending(order, c, i));
    }
  }

  record_values(c, at);
  window_.push(c);

  if (holds_position(account_.qty)) protective_exits(c);
  // Funding needs a derivatives tick, which a run's snapshots never carry.

  const double equity = account_.cash + c.close * account_.qty;
  equity_.push_back(EquityPoint{c.time, equity});
  curve_walk_.add(equity);

  if (i >= warmup_) return apply_rules(c, i);
  return Unit{};
}

Status<StrategyError> BacktestEngine::try_pending(const PendingOrder& order, const Candle& c, std::uint64_t i) {
  const FillContext ctx = fill_context(c, i);
  switch (order.kind) {
    case PendingOrder::Kind::Exit:
      exit_fill(kSignal, ctx, account_, entry_bar_, c.open);
      return Unit{};
    case PendingOrder::Kind::Market:
      return entry_fill(order.side, false, ctx, account_, entry_bar_, trail_ref_, c.open);
    default:
      break;
  }
  if (const auto price = trigger_price(order, c)) {
    const bool maker = order.kind == PendingOrder::Kind::Limit;
    return entry_fill(order.side, maker, ctx, account_, entry_bar_, trail_ref_, *price);
  }
  pending_ = order;  // untriggered: tried again at the next open, never expires
  return Unit{};
}

// Inlined into the bar loop; the named outputs of multi-output types are
// stored out of line.
[[gnu::always_inline]] inline void BacktestEngine::record_values(const Candle& c, std::size_t at) {
  if (!outputs_read_) [[likely]] {
    // The record's values start all absent, so an absent value is copied as
    // it is: all sixteen bytes at once, without testing the flag.
    const auto values = window_.next_values();
    for (const SteppedValue& sv : stepped_values_) {
      std::memcpy(&values[sv.key], &stretch_values_[sv.column + at], sizeof(std::optional<double>));
    }
    return;
  }
  BarSnapshot snap;
  snap.candle = &c;
  const auto values = window_.next_values();
  std::size_t stepped = at;
  for (IndicatorSlot& slot : slots_) {
    const std::optional<double> v = slot.outputs_read ? slot.indicator->update(snap) : stretch_values_[stepped];
    stepped += stretch_;
    if (slot.outputs_read && pacing_ != nullptr && pacing_->each_bar() && pacing_->stop_if_due()) return;
    if (!v) continue;
    if (slot.id_key) values[*slot.id_key] = *v;
    if (slot.outputs_read) record_outputs(slot, values);
  }
}

void BacktestEngine::record_outputs(IndicatorSlot& slot, std::span<std::optional<double>> values) {
  const auto outs = slot.indicator->outputs();
  for (std::size_t k = 0; k < outs.size(); ++k) {
    if (const auto key = output_key(slot, rules_.set, outs[k].name, k)) values[*key] = outs[k].value;
  }
}

void BacktestEngine::protective_exits(const Candle& c) {
  const bool is_long = account_.qty > 0.0;
  trail_ref_ = is_long ? std::max(trail_ref_, c.high) : std::min(trail_ref_, c.low);

  const Risk& risk = spec_.risk;
  const double e = account_.entry_price;
  std::string_view reason;
  double price = 0.0;
  // A level below the position (long stop, short target) hits when the low
  // reaches it and fills at the worse of level and open; one above, the mirror.
  const auto below = [&](double level, std::string_view why) {
    if (!(c.low <= level)) return false;
    reason = why;
    price = std::min(level, c.open);
    return true;
  };
  const auto above = [&](double level, std::string_view why) {
    if (!(c.high >= level)) return false;
    reason = why;
    price = std::max(level, c.open);
    return true;
  };
  bool hit = false;
  if (e > 0.0) {
    if (stop_loss_.set) {
      hit = is_long ? below(e * stop_loss_.down, "stop_loss") : above(e * stop_loss_.up, "stop_loss");
    }
    if (!hit && trailing_stop_.set) {
      hit = is_long ? below(trail_ref_ * trailing_stop_.down, "trailing_stop")
                    : above(trail_ref_ * trailing_stop_.up, "trailing_stop");
    }
    if (!hit && take_profit_.set) {
      hit = is_long ? above(e * take_profit_.up, "take_profit") : below(e * take_profit_.down, "take_profit");
    }
  }
  if (!hit && risk.liquidation) {
    // The price at which equity_ reaches zero.
    const double p = (-account_.cash) / account_.qty;
    if (p > 0.0 && (is_long ? c.low <= p : c.high >= p)) {
      hit = true;
      reason = "liquidation";
      price = p;
    }
  }
  if (!hit) return;
  close_position(account_, c.time, reason, price, close_fee(account_.qty, price, taker_rate_));
  entry_bar_.reset();
}

// Inlined into the bar loop: on most bars no rule holds and nothing more is done.
[[gnu::always_inline]] inline Status<StrategyError> BacktestEngine::apply_rules(const Candle& c, std::uint64_t i) {
  PositionFlags flags;
  flags.has_entry = entry_bar_.has_value();
  if (entry_bar_) flags.bars_since_entry = static_cast<std::uint32_t>(i - *entry_bar_);
  flags.in_position = holds_position(account_.qty);
  const std::uint64_t newest = window_.size() - 1;
  const auto holds = [&](RuleSet::Id rule) { return eval_condition(rules_.set, rule, window_, newest, flags); };

  if (flags.in_position) {
    const RuleSet::Id rule = account_.qty > 0.0 ? rules_.exit : rules_.short_exit.value_or(rules_.exit);
    if (holds(rule)) act_on_exit(c, i);
    return Unit{};
  }
  if (pending_) return Unit{};  // no entry while any order waits

  Side side = Side::Long;
  if (holds(rules_.entry)) {
    side = Side::Long;
  } else if (rules_.short_entry && holds(*rules_.short_entry)) {
    side = Side::Short;
  } else {
    return Unit{};
  }
  return act_on_entry(side, c, i);
}

void BacktestEngine::act_on_exit(const Candle& c, std::uint64_t i) {
  const Execution& ex = spec_.execution;
  if (ex.fill_timing == FillTiming::Close) {
    exit_fill(kSignal, fill_context(c, i), account_, entry_bar_, c.close);
  } else {
    // Re-queued afresh on every bar the exit holds: the countdown restarts.
    pending_ = PendingOrder{PendingOrder::Kind::Exit, Side::Long, 0.0, 0.0, ex.latency_bars};
  }
}

Status<StrategyError> BacktestEngine::act_on_entry(Side side, const Candle& c, std::uint64_t i) {
  const Execution& ex = spec_.execution;
  if (ex.fill_timing == FillTiming::Close) {
    return entry_fill(side, false, fill_context(c, i), account_, entry_bar_, trail_ref_, c.close);
  }
  PendingOrder order{PendingOrder::Kind::Market, side, 0.0, 0.0, ex.latency_bars};
  const double x = c.close;
  switch (ex.order_type) {
    case OrderType::Market: break;
    case OrderType::Limit:
      order.kind = PendingOrder::Kind::Limit;
      order.price = offset_price(x, ex.limit_offset_pct);
      break;
    case OrderType::Stop:
      order.kind = PendingOrder::Kind::Stop;
      order.price = offset_price(x, ex.stop_offset_pct);
      break;
    case OrderType::StopLimit:
      order.kind = PendingOrder::Kind::StopLimit;
      order.price = offset_price(x, ex.stop_offset_pct);
      order.limit_price = offset_price(x, ex.limit_offset_pct);
      break;
  }
  pending_ = order;
  return Unit{};
}

}  // namespace fendro
