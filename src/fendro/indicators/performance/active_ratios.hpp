// Performance ratios of the close (series A) against the bar's reference
// value (series B, a benchmark). Without a reference value, as in every bar
// of a backtest, they give no value.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/anchored_moments.hpp"
#include "fendro/indicators/common/pair_moments_stat.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::perf {

// Mean of A - B over its sample standard deviation; 0.0 when A - B is flat.
class InformationRatio final : public Indicator {
 public:
  static Result<InformationRatio, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period; }

 private:
  explicit InformationRatio(std::uint64_t n) : window_(n) {}
  stats::AnchoredMoments window_;  // of the differences A - B
};

// (mean A - risk_free) / beta of A on B; 0.0 when B is flat or beta is 0.
class TreynorRatio final : public stats::PairMomentsStat<TreynorRatio, stats::PairPush::Levels> {
 public:
  static Result<TreynorRatio, IndicatorError> create(std::uint64_t period, double risk_free);
  double value(const stats::PairMoments& m, stats::PairInput current) const;

 private:
  TreynorRatio(std::uint64_t n, double risk_free) : PairMomentsStat(n), risk_free_(risk_free) {}
  double risk_free_;
};

}  // namespace fendro::perf
