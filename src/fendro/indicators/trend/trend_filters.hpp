// Filters that say whether, and how strongly, the market trends. The first
// four read only the close; the last three read the whole candle.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "fendro/indicators/common/rolling_extreme.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Net range of the last n closes over their path length.
class VerticalHorizontalFilter final : public Indicator {
 public:
  static Result<VerticalHorizontalFilter, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return changes_.capacity() + 1; }

 private:
  explicit VerticalHorizontalFilter(std::uint64_t n) : highest_(n), lowest_(n), changes_(n) {}
  std::optional<double> prev_close_;
  // The extremes of the last n closes. Which of equal extremes each keeps
  // does not matter: only their difference is used, and with finite closes
  // it has the same bits whichever zero either is (equal ends are both the
  // newest value, and x - x is +0.0).
  vol::RollingMax highest_;
  vol::RollingMin lowest_;
  BoundedRing<double> changes_;
  double sum_ = 0.0;  // running sum of the changes in the ring, never rebuilt
  ZeroRun zeros_;     // the sum is read as 0 while the ring holds only zero changes
};

// Signed efficiency of the price path over n bars, smoothed by an EMA.
class PolarizedFractalEfficiency final : public Indicator {
 public:
  static Result<PolarizedFractalEfficiency, IndicatorError> create(std::uint64_t period,
                                                                   std::uint64_t smoothing);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return n_ + ema_.period; }

 private:
  PolarizedFractalEfficiency(std::uint64_t n, std::uint64_t s)
      : closes_(n + 1), segments_(n), ema_(EmaState::of_period(s)), n_(n) {}
  std::optional<double> prev_close_;
  BoundedRing<double> closes_;
  BoundedRing<double> segments_;
  EmaState ema_;
  std::uint64_t n_;
  double sum_ = 0.0;  // running sum of the segment lengths
};

// Signed coefficient of determination of a straight-line fit to the last n
// closes: positive for a rising fit.
class TrendStrengthIndex final : public Indicator {
 public:
  static Result<TrendStrengthIndex, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return closes_.capacity(); }

 private:
  explicit TrendStrengthIndex(std::uint64_t n) : closes_(n) {}
  BoundedRing<double> closes_;
  // The position sums depend on n only: formed once, on the first full
  // window, in the fit's own order.
  bool positions_ready_ = false;
  double sx_ = 0.0;
  double dx_ = 0.0;
};

// +1 when an EMA and a MACD histogram both rise, -1 when both fall, else 0.
class ElderImpulse final : public Indicator {
 public:
  static Result<ElderImpulse, IndicatorError> create(std::uint64_t ema_period,
                                                     std::uint64_t fast, std::uint64_t slow,
                                                     std::uint64_t signal);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  ElderImpulse(std::uint64_t e, std::uint64_t f, std::uint64_t sl, std::uint64_t g)
      : fast_(EmaState::of_period(f)),
        slow_(EmaState::of_period(sl)),
        signal_(EmaState::of_period(g)),
        ema_(EmaState::of_period(e)) {}
  EmaState fast_;
  EmaState slow_;
  EmaState signal_;
  std::optional<double> prev_ema_;
  std::optional<double> prev_histogram_;
  EmaState ema_;
};

// +1 when the close is above the average median price of n bars, else -1.
class TtmTrend final : public Indicator {
 public:
  static Result<TtmTrend, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sma_.period; }

 private:
  explicit TtmTrend(std::uint64_t n) : sma_(n) {}
  SmaWindow sma_;
};

// Returns VI+; VI- is the output "minus".
class Vortex final : public Indicator {
 public:
  static Result<Vortex, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return ring_.capacity() + 1; }

 private:
  struct Entry {
    double plus, minus, tr;
  };
  explicit Vortex(std::uint64_t n) : ring_(n) {}
  std::optional<Candle> prev_;
  BoundedRing<Entry> ring_;
  // Running sums, never rebuilt, each read as 0 while its window holds only
  // zeros.
  double sum_plus_ = 0.0;
  double sum_minus_ = 0.0;
  double sum_tr_ = 0.0;
  ZeroRun plus_zeros_;
  ZeroRun minus_zeros_;
  ZeroRun tr_zeros_;
  OutputList<2> out_{{"plus", "minus"}};
};

// Random walk index: returns "high"; "low" is the second output.
// Each bar costs O(n^2) additions, and that is inherent: the mean true range
// of every span j is summed from its own oldest range to the newest, so no
// two spans share a partial sum and no running sum gives the same bits.
class Rwi final : public Indicator {
 public:
  static Result<Rwi, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return candles_.capacity(); }

 private:
  struct Bar {
    double high, low, close;
  };
  explicit Rwi(std::uint64_t n) : candles_(n), ranges_(n - 1) {}
  BoundedRing<Bar> candles_;
  BoundedRing<double> ranges_;  // true ranges of all but the oldest candle
  std::vector<double> suffix_sums_;  // per-bar scratch, sized once
  std::vector<double> root_spans_;   // sqrt(j + 1) for span j, formed once
  OutputList<2> out_{{"high", "low"}};
};

}  // namespace fendro
