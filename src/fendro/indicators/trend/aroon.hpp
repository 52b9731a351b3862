// How recently the window's highest high and lowest low occurred.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/common/rolling_extreme.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct AroonReading {
  double up;
  double down;
};

// The highest high and lowest low of the last n + 1 accepted candles, each
// the newest of equal extremes (+0.0 and -0.0 count as equal), with how many
// candles ago it came.
struct AroonWindow {
  vol::RollingMax highs;
  vol::RollingMin lows;
  std::uint64_t period;

  explicit AroonWindow(std::uint64_t n) : highs(n + 1), lows(n + 1), period(n) {}
};

// One accepted candle; (up, down) once the window holds n + 1 candles. Ties
// go to the most recent extreme.
std::optional<AroonReading> aroon_update(AroonWindow& w, const Candle& c);

// Returns "up"; "down" is the second output.
class Aroon final : public Indicator {
 public:
  static Result<Aroon, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return w_.period + 1; }

 private:
  explicit Aroon(std::uint64_t n) : w_(n) {}
  AroonWindow w_;
  OutputList<2> out_{{"up", "down"}};
};

// up - down, in [-100, 100].
class AroonOscillator final : public Indicator {
 public:
  static Result<AroonOscillator, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return w_.period + 1; }

 private:
  explicit AroonOscillator(std::uint64_t n) : w_(n) {}
  AroonWindow w_;
};

}  // namespace fendro
