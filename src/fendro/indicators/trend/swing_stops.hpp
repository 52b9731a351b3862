// Swing points and simple stops: confirmed zigzag swings, the high-low
// activator, a holding-time fraction, and three close-only trailing stops.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// A value only on a bar that confirms a swing: the swing's price; the
// outputs keep the last confirmed swing and its direction.
class ZigZag final : public Indicator {
 public:
  static Result<ZigZag, IndicatorError> create(double threshold);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return 2; }

 private:
  explicit ZigZag(double t) : t_(t) {}
  bool started_ = false;
  double direction_ = 1.0;
  double extreme_ = 0.0;
  double t_;
  OutputList<2> out_{{"swing", "direction"}};
};

// The previous bar's average low while long, its average high while short.
class HiLoActivator final : public Indicator {
 public:
  static Result<HiLoActivator, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return highs_.period + 1; }

 private:
  explicit HiLoActivator(std::uint64_t n);
  struct Pair {
    double high, low;
  };
  std::optional<Pair> prev_;
  SmaWindow highs_;
  SmaWindow lows_;
  bool long_ = true;
};

// The elapsed fraction of a holding period: 1/n, 2/n, ..., then 1.
class TimeBasedStop final : public Indicator {
 public:
  static Result<TimeBasedStop, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit TimeBasedStop(std::uint64_t n) : n_(n) {}
  std::uint64_t n_;
  std::uint64_t k_ = 0;  // held at n once the period has run out
};

// Close-only trailing stops: a stop on every accepted bar, switching sides
// when the close crosses it (strictly).
class PercentageTrailingStop final : public Indicator {
 public:
  static Result<PercentageTrailingStop, IndicatorError> create(double percentage);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit PercentageTrailingStop(double p) : p_(p) {}
  std::optional<double> stop_;
  double p_;
  bool long_ = true;
};

class RenkoTrailingStop final : public Indicator {
 public:
  static Result<RenkoTrailingStop, IndicatorError> create(double brick);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit RenkoTrailingStop(double b) : b_(b) {}
  std::optional<double> base_;  // the stop is base - b while long, base + b while short
  double b_;
  bool long_ = true;
};

class StepTrailingStop final : public Indicator {
 public:
  static Result<StepTrailingStop, IndicatorError> create(double step);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit StepTrailingStop(double s) : s_(s) {}
  std::optional<double> stop_;
  double s_;
  bool long_ = true;
};

}  // namespace fendro
