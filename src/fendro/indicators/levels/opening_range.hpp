// The high and low of the first n valid candles of the run, growing until
// the n-th and fixed afterwards (no daily reset): `InitialBalance` reports
// the range, `OpeningRange` also each close's distance from its middle.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class FirstBarsRange {
 public:
  explicit FirstBarsRange(std::uint64_t n) : n_(n) {}
  // Widens the range with the candle until n candles have been taken.
  void take(const Candle& c) {
    if (count_ == n_) return;
    if (c.high > high_) high_ = c.high;
    if (c.low < low_) low_ = c.low;
    ++count_;
  }
  double high() const { return high_; }
  double low() const { return low_; }
  std::uint64_t period() const { return n_; }

 private:
  std::uint64_t n_;
  std::uint64_t count_ = 0;
  double high_ = -std::numeric_limits<double>::infinity();
  double low_ = std::numeric_limits<double>::infinity();
};

class InitialBalance final : public Indicator {
 public:
  static Result<InitialBalance, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit InitialBalance(std::uint64_t period) : range_(period) {}

  FirstBarsRange range_;
  OutputList<2> out_{{"high", "low"}};
};

class OpeningRange final : public Indicator {
 public:
  static Result<OpeningRange, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit OpeningRange(std::uint64_t period) : range_(period) {}

  FirstBarsRange range_;
  OutputList<3> out_{{"high", "low", "breakout_distance"}};
};

}  // namespace fendro
