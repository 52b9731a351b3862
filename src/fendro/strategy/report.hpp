// The outcome of a run: closed trades, the equity curve and the metrics.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/strategy/tiny.hpp"
#include "fendro/util/interrupt.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Equity of one bar, after its protective exits and before its close fills.
struct EquityPoint {
  std::int64_t time = 0;
  double equity = 0.0;  // cash + qty * close
  bool operator==(const EquityPoint&) const = default;
};

struct ClosedTrade {
  std::string_view reason;  // a static text: "signal", "stop_loss", ..., "end"
  std::int64_t entry_time = 0;
  std::int64_t exit_time = 0;
  double entry_price = 0.0;
  double exit_price = 0.0;
  double qty = 0.0;  // signed: negative for a short
  double pnl = 0.0;  // after both fees
  double return_pct = 0.0;
  bool operator==(const ClosedTrade&) const = default;
};

struct Metrics {
  double pnl = 0.0;
  double return_pct = 0.0;
  double sharpe = 0.0;
  double sortino = 0.0;
  double calmar = 0.0;
  double max_drawdown = 0.0;  // percent
  double win_rate = 0.0;      // percent
  double profit_factor = 0.0;
  std::uint64_t num_trades = 0;
};

// Step return of the curve: (e1 / e0) + (-1), or 0 from a (near) zero equity.
inline double step_return(double e0, double e1) { return is_tiny(e0) ? 0.0 : (e1 / e0) + (-1.0); }

// The first walk over the curve, fed one equity value at a time in bar
// order: the sum of the step returns and the deepest drawdown. The bar loop
// feeds it as it marks each bar, so the curve is not read again for it.
//
// A bar's drawdown ((peak - e) / peak) * 100 never rises with e under a fixed
// peak (each step rounds monotonically), so the deepest one since the last
// peak is that of the lowest equity since it: the division is made once per
// peak, not once per bar, with the same result.
class CurveWalk {
 public:
  void add(double e) {
    if (count_ != 0) sum_ += step_return(last_, e);
    if (e > peak_) {
      settle_peak();
      peak_ = e;
      low_ = e;
    } else if (e < low_) {
      low_ = e;
    }
    last_ = e;
    ++count_;
  }

  std::size_t count() const { return count_; }
  double return_sum() const { return sum_; }
  double max_drawdown() const { return std::max(settled_drawdown_, drawdown_from_peak()); }

 private:
  // The deepest drawdown since the current peak: NaN-free values only, as a
  // NaN never passes the comparisons.
  double drawdown_from_peak() const {
    if (!(peak_ > 0.0)) return 0.0;
    const double d = ((peak_ - low_) / peak_) * 100.0;
    return d > 0.0 ? d : 0.0;
  }
  void settle_peak() {
    const double d = drawdown_from_peak();
    if (d > settled_drawdown_) settled_drawdown_ = d;
  }

  double sum_ = -0.0;
  double peak_ = -std::numeric_limits<double>::infinity();
  double low_ = std::numeric_limits<double>::infinity();  // lowest equity since the peak
  double settled_drawdown_ = 0.0;  // deepest drawdown under the peaks before the current one
  double last_ = 0.0;
  std::size_t count_ = 0;
};

// Equity metrics read the curve only (they miss fills after the last equity
// point, the forced close included); trade metrics read the closed trades.
Metrics compute_metrics(std::span<const EquityPoint> equity, std::span<const ClosedTrade> trades,
                        double initial_capital);
// Bars of the curve between two asks of the interrupt in each pass: a bar
// costs a few nanoseconds there, so a stretch takes well under a millisecond.
inline constexpr std::size_t kMetricsBarsPerAsk = std::size_t{1} << 16;

// The same, asking `interrupt` between stretches of the curve.
Result<Metrics, Stopped> compute_metrics(std::span<const EquityPoint> equity, std::span<const ClosedTrade> trades,
                                         double initial_capital, const Interrupt& interrupt);
// The same from a walk already fed every point of `equity`, in order.
Result<Metrics, Stopped> compute_metrics(const CurveWalk& walked, std::span<const EquityPoint> equity,
                                         std::span<const ClosedTrade> trades, double initial_capital,
                                         const Interrupt& interrupt);

// What a finished run hands to the proof: its canonical text is written
// straight from here, member by member.
struct Report {
  std::string symbol;
  std::string timeframe;
  std::vector<ClosedTrade> trades;
  std::vector<EquityPoint> equity;
  Metrics metrics;
  double fees_paid = 0.0;
  double initial_capital = 0.0;
  std::uint32_t schema_version = 1;
};

}  // namespace fendro
