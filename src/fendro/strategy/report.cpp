#include "fendro/strategy/report.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fendro/strategy/tiny.hpp"

namespace fendro {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
// How far ahead of the second pass the curve is fetched (about 1 KB).
constexpr std::size_t kPointsAhead = 64;
// Step returns computed at once before they are summed.
constexpr std::size_t kReturnsBlock = 8;

// Runs body(first, end) over [0, n) in stretches of kMetricsBarsPerAsk,
// asking `interrupt` between them; false once it asked to stop.
template <class Body>
bool for_each_stretch(std::size_t n, const Interrupt& interrupt, Body&& body) {
  for (std::size_t first = 0; first < n;) {
    const std::size_t end = std::min(n, first + kMetricsBarsPerAsk);
    body(first, end);
    first = end;
    if (first < n && interrupt.stop_requested()) return false;
  }
  return true;
}

// Runs body(k) for k in [0, n), as for_each_stretch asks.
template <class Body>
bool for_each_bar(std::size_t n, const Interrupt& interrupt, Body&& body) {
  return for_each_stretch(n, interrupt, [&](std::size_t first, std::size_t end) {
    for (std::size_t k = first; k < end; ++k) body(k);
  });
}

}  // namespace

Metrics compute_metrics(std::span<const EquityPoint> equity, std::span<const ClosedTrade> trades,
                        double initial_capital) {
  return std::move(compute_metrics(equity, trades, initial_capital, Interrupt{})).value();
}

Result<Metrics, Stopped> compute_metrics(std::span<const EquityPoint> equity, std::span<const ClosedTrade> trades,
                                         double initial_capital, const Interrupt& interrupt) {
  CurveWalk walk;
  if (!for_each_bar(equity.size(), interrupt, [&](std::size_t k) { walk.add(equity[k].equity); })) {
    return err(Stopped{});
  }
  return compute_metrics(walk, equity, trades, initial_capital, interrupt);
}

Result<Metrics, Stopped> compute_metrics(const CurveWalk& walked, std::span<const EquityPoint> equity,
                                         std::span<const ClosedTrade> trades, double initial_capital,
                                         const Interrupt& interrupt) {
  if (walked.count() != equity.size()) return compute_metrics(equity, trades, initial_capital, interrupt);
  Metrics m;
  const double c = initial_capital;
  const std::size_t n = equity.size();
  m.pnl = n == 0 ? c - c : equity[n - 1].equity - c;
  m.return_pct = is_tiny(c) ? 0.0 : (m.pnl / c) * 100.0;

  // The walk summed the step returns and tracked the drawdown; the returns
  // are recomputed on this second pass rather than stored.
  const auto r = [&](std::size_t k) { return step_return(equity[k].equity, equity[k + 1].equity); };
  const double sum = walked.return_sum();
  m.max_drawdown = walked.max_drawdown();

  if (n >= 2) {
    const double steps = static_cast<double>(n - 1);
    const double mean = sum / steps;
    double dev = -0.0;
    double down = -0.0;
    const auto add = [&](double rk) {
      const double d = rk - mean;
      dev += d * d;
      // A NaN is not below zero: it counts as no downside. One comparison,
      // no branch: the sign of a return is anyone's guess.
      const double neg = std::min(0.0, rk);
      down += neg * neg;
    };
    const bool summed = for_each_stretch(n - 1, interrupt, [&](std::size_t first, std::size_t end) {
      // The returns of a block are independent divisions, made side by side;
      // only the sums must take them one by one, in order.
      std::size_t k = first;
      for (; k + kReturnsBlock <= end; k += kReturnsBlock) {
        // A long curve is read from far memory: ask for it a few lines ahead.
        if (k + kPointsAhead + kReturnsBlock < n) {
          __builtin_prefetch(&equity[k + kPointsAhead]);
          __builtin_prefetch(&equity[k + kPointsAhead + kReturnsBlock / 2]);
        }
        double rs[kReturnsBlock];
        for (std::size_t j = 0; j < kReturnsBlock; ++j) rs[j] = r(k + j);
        for (const double rk : rs) add(rk);
      }
      for (; k < end; ++k) add(r(k));
    });
    if (!summed) return err(Stopped{});
    const double sd = std::sqrt(dev / steps);
    m.sharpe = is_tiny(sd) ? 0.0 : mean / sd;
    const double dd = std::sqrt(down / steps);
    m.sortino = is_tiny(dd) ? 0.0 : (sum / steps) / dd;
  }

  if (is_tiny(m.max_drawdown)) {
    m.calmar = m.return_pct > 0.0 ? kInf : 0.0;
  } else {
    m.calmar = m.return_pct / m.max_drawdown;
  }

  std::uint64_t wins = 0;
  double gross_profit = -0.0;
  double gross_loss = -0.0;
  for (const ClosedTrade& t : trades) {
    if (t.pnl > 0.0) {
      ++wins;
      gross_profit += t.pnl;
    } else if (t.pnl < 0.0) {
      gross_loss -= t.pnl;
    }
  }
  m.num_trades = trades.size();
  m.win_rate = trades.empty() ? 0.0 : (static_cast<double>(wins) / static_cast<double>(trades.size())) * 100.0;
  if (is_tiny(gross_loss)) {
    m.profit_factor = gross_profit > 0.0 ? kInf : 0.0;
  } else {
    m.profit_factor = gross_profit / gross_loss;
  }
  return m;
}

}  // namespace fendro
