// Volatility estimators from each bar's open, high, low and close over a
// rolling window of n bars, annualised by sqrt(A) and given in percent. The
// candle check runs first; positive prices are not required, so a zero or
// negative price enters the sums as the infinite or NaN logarithm it gives.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Shared by the three single-bar estimators: the per-bar term, the window of
// the last n terms (its sum rebuilt every n pushes), the annualisation and
// the scale of the mean.
template <class Term>
class TermVolatility final : public Indicator {
 public:
  // Either parameter 0: ZeroPeriod. No upper bound: the window grows with the
  // bars seen.
  static Result<TermVolatility, IndicatorError> create(std::uint64_t period,
                                                       std::uint64_t annualisation) {
    if (period == 0 || annualisation == 0) return err(IndicatorError::zero_period());
    return TermVolatility(period, annualisation);
  }
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return terms_.period(); }

 private:
  TermVolatility(std::uint64_t n, std::uint64_t a) : terms_(n, true), annualisation_(a) {}
  RunningSum terms_;
  std::uint64_t annualisation_;
};

struct GarmanKlassTerm {
  static double term(const Candle& c);
  static double variance(double sum, double n) { return sum / n; }
};
struct ParkinsonTerm {
  static double term(const Candle& c);
  // The scale 0.3606737602222412 is part of the results (it is not the f64
  // nearest to 1 / (4 ln 2)).
  static double variance(double sum, double n) { return (sum * 0.3606737602222412) / n; }
};
struct RogersSatchellTerm {
  static double term(const Candle& c);
  static double variance(double sum, double n) { return sum / n; }
};

using GarmanKlassVolatility = TermVolatility<GarmanKlassTerm>;
using ParkinsonVolatility = TermVolatility<ParkinsonTerm>;
using RogersSatchellVolatility = TermVolatility<RogersSatchellTerm>;

extern template class TermVolatility<GarmanKlassTerm>;
extern template class TermVolatility<ParkinsonTerm>;
extern template class TermVolatility<RogersSatchellTerm>;

// Overnight variance plus a weighted open-to-close variance plus the
// weighted mean Rogers-Satchell term.
class YangZhangVolatility final : public Indicator {
 public:
  static Result<YangZhangVolatility, IndicatorError> create(std::uint64_t period,
                                                            std::uint64_t annualisation);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return n_ + 1; }

 private:
  YangZhangVolatility(std::uint64_t n, std::uint64_t a);
  std::optional<double> prev_close_;
  RollingVariance overnight_;
  RollingVariance open_close_;
  KeptZeroReadingSum rs_terms_;
  // A window of zero returns has no variance, whatever its sums hold.
  ZeroRun overnight_zeros_;
  ZeroRun open_close_zeros_;
  std::uint64_t n_;
  std::uint64_t annualisation_;
  double k_;
};

}  // namespace fendro
