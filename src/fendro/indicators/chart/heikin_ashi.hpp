// The Heikin-Ashi transform: each candle replaced by an averaged candle whose
// open carries the previous averaged candle forward.
//   HeikinAshi            the averaged candle (open, high, low, close)
//   SmoothedHeikinAshi    the transform of exponentially smoothed prices
//   HeikinAshiOscillator  the smoothed averaged close less averaged open
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::chart {

struct HaCandle {
  double open = 0.0;
  double high = 0.0;
  double low = 0.0;
  double close = 0.0;
};

// The averaged candle of (o, h, l, c), which becomes the previous one.
class HeikinAshiTransform {
 public:
  const HaCandle& next(double o, double h, double l, double c);

 private:
  HaCandle prev_;
  bool has_prev_ = false;
};

class HeikinAshi final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  HeikinAshiTransform ha_;
  OutputList<4> out_{{"open", "high", "low", "close"}};
};

class SmoothedHeikinAshi final : public Indicator {
 public:
  static Result<SmoothedHeikinAshi, IndicatorError> create(std::uint64_t n);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return smooth_[0].period; }

 private:
  explicit SmoothedHeikinAshi(std::uint64_t n);
  std::array<EmaState, 4> smooth_;  // open, high, low, close
  HeikinAshiTransform ha_;
  OutputList<4> out_{{"open", "high", "low", "close"}};
};

class HeikinAshiOscillator final : public Indicator {
 public:
  static Result<HeikinAshiOscillator, IndicatorError> create(std::uint64_t n);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return smooth_.period; }

 private:
  explicit HeikinAshiOscillator(std::uint64_t n) : smooth_(EmaState::of_period(n)) {}
  EmaState smooth_;
  HeikinAshiTransform ha_;
};

}  // namespace fendro::chart
