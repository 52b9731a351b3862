#include "fendro/strategy/account.hpp"

#include <algorithm>
#include <cmath>
#include <variant>

#include "fendro/strategy/tiny.hpp"
#include "fendro/strategy/tree_pacing.hpp"

namespace fendro {
namespace {

// Beyond half the largest f64, (a + b) * 0.5 could overflow.
constexpr double kHalfMax = 8.988465674311579e307;

// Closes of a volatility pass between two notes to the thread's scope, and
// what one costs in its steps (a division and a few reads of the window).
constexpr std::uint64_t kClosesPerNote = std::uint64_t{1} << 16;
constexpr std::uint64_t kStepsPerClose = 4;

double spread_fraction(const OrderBook* book) {
  if (book == nullptr || book->bids.empty() || book->asks.empty()) return 0.0;
  const double bid = book->bids.front().price;
  const double ask = book->asks.front().price;
  const double mid = (std::fabs(bid) <= kHalfMax && std::fabs(ask) <= kHalfMax) ? (bid + ask) * 0.5
                                                                                 : bid * 0.5 + ask * 0.5;
  return mid > 0.0 ? ((ask - bid) * 0.5) / mid : 0.0;
}

double impact_fraction(double coef, double abs_qty, double volume) {
  return volume <= 0.0 ? 0.0 : (abs_qty * coef) / volume;
}

}  // namespace

std::optional<double> volatility_estimate(const RuleWindow& window, std::uint32_t lookback) {
  if (lookback < 2 || window.size() < lookback) return std::nullopt;
  const std::uint64_t first = window.size() - lookback;
  const auto close = [&](std::uint64_t k) { return window.record(first + k).candle.close; };
  // A lookback of millions of closes takes milliseconds a pass: each pass
  // tells the thread's scope of its closes as it goes, and gives up (no
  // estimate, no trade: the run ends as stopped) once told to stop.
  const auto stop_at = [](std::uint64_t k) {
    return (k & (kClosesPerNote - 1)) == kClosesPerNote - 1 && pass_stop_after(kClosesPerNote * kStepsPerClose);
  };
  // The returns are recomputed in the second pass rather than stored: the
  // same operations give the same values, and nothing is allocated.
  double sum = -0.0;
  std::uint64_t m = 0;
  for (std::uint64_t k = 0; k + 1 < lookback; ++k) {
    if (stop_at(k)) return std::nullopt;
    if (!(std::fabs(close(k)) > kTiny)) continue;
    sum += (close(k + 1) - close(k)) / close(k);
    ++m;
  }
  if (m == 0) return std::nullopt;
  const double mean = sum / static_cast<double>(m);
  double squares = -0.0;
  for (std::uint64_t k = 0; k + 1 < lookback; ++k) {
    if (stop_at(k)) return std::nullopt;
    if (!(std::fabs(close(k)) > kTiny)) continue;
    const double d = (close(k + 1) - close(k)) / close(k) - mean;
    squares += d * d;
  }
  const double var = squares / static_cast<double>(m);
  if (!(var > 0.0)) return std::nullopt;
  return std::sqrt(var);
}

double slippage_fraction(const Slippage& model, const FillContext& ctx, double abs_qty) {
  if (const auto* f = std::get_if<Slippage::FixedBps>(&model.model)) return f->bps / 10000.0;
  if (const auto* v = std::get_if<Slippage::VolumeImpact>(&model.model)) {
    return impact_fraction(v->coef, abs_qty, ctx.candle->volume);
  }
  return spread_fraction(ctx.order_book);
}

Result<std::optional<double>, std::string> size_position(const Sizing& sizing, const Risk& risk,
                                                          std::optional<double> vol, double equity,
                                                          double price) {
  using NoTrade = std::optional<double>;
  if (equity <= 0.0 || price <= 0.0) return NoTrade{};
  double raw = 0.0;
  if (const auto* s = std::get_if<Sizing::FixedFraction>(&sizing.method)) {
    raw = (s->fraction * equity) / price;
  } else if (const auto* s = std::get_if<Sizing::FixedQty>(&sizing.method)) {
    raw = s->qty;
  } else if (const auto* s = std::get_if<Sizing::FixedCash>(&sizing.method)) {
    raw = s->cash / price;
  } else if (const auto* s = std::get_if<Sizing::VolTarget>(&sizing.method)) {
    if (!vol) return NoTrade{};
    raw = ((s->target_vol * equity) / *vol) / price;
  } else {
    const auto& rpt = std::get<Sizing::RiskPerTrade>(sizing.method);
    if (!risk.stop_loss_pct) return err(std::string("risk_per_trade sizing requires risk.stop_loss_pct"));
    const double stop = *risk.stop_loss_pct;
    if (stop <= 0.0) return NoTrade{};
    raw = ((rpt.risk_pct * equity) / 100.0) / ((price * stop) / 100.0);
  }
  if (raw <= 0.0) return NoTrade{};
  double cap = equity * risk.max_leverage.value_or(1.0);
  if (risk.max_position_pct) cap = std::min(cap, (equity * *risk.max_position_pct) / 100.0);
  return NoTrade{std::min(price * raw, cap) / price};
}

Status<StrategyError> entry_fill(Side side, bool maker, const FillContext& ctx, Account& account,
                                 std::optional<std::uint64_t>& entry_bar, double& trail_ref,
                                 double price) {
  const StrategySpec& spec = *ctx.spec;
  const double sign = side == Side::Long ? 1.0 : -1.0;

  std::optional<double> vol;
  if (const auto* vt = std::get_if<Sizing::VolTarget>(&spec.sizing.method)) {
    vol = volatility_estimate(*ctx.window, vt->lookback);
  }

  double s = 0.0;
  if (const auto* vi = std::get_if<Slippage::VolumeImpact>(&spec.costs.slippage.model)) {
    // The impact depends on the order's size, so size first at the raw price.
    auto q0 = size_position(spec.sizing, spec.risk, vol, account.cash, price);
    if (!q0.ok()) return err(StrategyError::invalid_spec(std::move(q0).error()));
    const double abs_q0 = q0->has_value() ? std::fabs(**q0) : 0.0;
    s = impact_fraction(vi->coef, abs_q0, ctx.candle->volume);
  } else {
    s = slippage_fraction(spec.costs.slippage, ctx, 0.0);
  }

  const double fill = price * (1.0 + sign * s);
  auto sized = size_position(spec.sizing, spec.risk, vol, account.cash, fill);
  if (!sized.ok()) return err(StrategyError::invalid_spec(std::move(sized).error()));
  if (!sized->has_value()) return Unit{};
  double q = **sized;
  if (spec.execution.partial_fills) {
    q = std::min(q, spec.execution.max_participation.value_or(0.0) * ctx.candle->volume);
  }
  if (q <= 0.0) return Unit{};

  const double rate = maker ? ctx.maker_rate : ctx.taker_rate;
  const double fee = (fill * q) * rate;
  const double signed_qty = sign * q;
  account.cash = account.cash - (fill * signed_qty + fee);
  account.qty = signed_qty;
  account.entry_price = fill;
  account.entry_time = ctx.candle->time;
  account.entry_fees = fee;
  account.fees_paid = fee + account.fees_paid;
  entry_bar = ctx.bar_index;
  trail_ref = fill;
  return Unit{};
}

void exit_fill(std::string_view reason, const FillContext& ctx, Account& account,
               std::optional<std::uint64_t>& entry_bar, double price) {
  if (!holds_position(account.qty)) return;
  const double s = slippage_fraction(ctx.spec->costs.slippage, ctx, std::fabs(account.qty));
  const double d = account.qty > 0.0 ? -s : s;
  const double fill = price * (1.0 + d);
  close_position(account, ctx.candle->time, reason, fill, close_fee(account.qty, fill, ctx.taker_rate));
  entry_bar.reset();
}

void close_position(Account& account, std::int64_t time, std::string_view reason, double price,
                    double fee) {
  const double qty = account.qty;
  account.cash = account.cash + (price * qty - fee);
  account.fees_paid = fee + account.fees_paid;
  const double pnl = (qty * (price - account.entry_price) - account.entry_fees) - fee;
  const double notional = std::fabs(qty) * account.entry_price;
  const double return_pct = is_tiny(notional) ? 0.0 : (pnl / notional) * 100.0;
  account.closed.push_back(ClosedTrade{reason, account.entry_time, time, account.entry_price, price, qty,
                                       pnl, return_pct});
  account.qty = 0.0;
  account.entry_fees = 0.0;
}

}  // namespace fendro
