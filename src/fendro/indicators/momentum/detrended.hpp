// The close measured against a trend estimate: a least-squares forecast, a
// centred moving average shifted back, or a plain moving average.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/common/regression_window.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Percentage distance of the close from the least-squares line of the last n
// closes at the newest bar. A close of exactly 0 repeats the last value.
class Cfo final : public Indicator {
 public:
  static Result<Cfo, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return line_.period; }

 private:
  explicit Cfo(std::uint64_t n) : line_(n) {}
  RegressionWindow line_;
  std::optional<double> last_;
};

// The close floor(n / 2) + 1 bars back less the mean of the newest n closes.
// The mean's running sum is rebuilt exactly every n closes.
class Dpo final : public Indicator {
 public:
  static Result<Dpo, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return closes_.capacity(); }

 private:
  explicit Dpo(std::uint64_t n);
  BoundedRing<double> closes_;  // capacity max(floor(n / 2) + 2, n)
  std::uint64_t period_;
  std::size_t shift_;
  double sum_ = 0.0;
  std::uint64_t pushes_ = 0;
  CopyRun copies_;  // of the closes: a ring of copies reads 0
};

// Percentage distance of the close from its SMA (0 when the SMA is 0).
class DisparityIndex final : public Indicator {
 public:
  static Result<DisparityIndex, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sma_.period; }

 private:
  explicit DisparityIndex(SmaWindow w) : sma_(std::move(w)) {}
  SmaWindow sma_;
};

}  // namespace fendro
