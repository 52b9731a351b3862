// Oscillators built on Wilder's RSI of the close: the RSI itself, its Fisher
// transform, its stochastic position, its double-smoothed derivative, the
// QQE trailing line and Connors' three-part composite.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/momentum/rsi_state.hpp"
#include "fendro/indicators/common/rolling_extreme.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/indicators/windows/sorted_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class Rsi final : public Indicator {
 public:
  static Result<Rsi, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return rsi_.period + 1; }

 private:
  explicit Rsi(RsiState s) : rsi_(s) {}
  RsiState rsi_;
};

// 0.5 ln((1 + x) / (1 - x)) of the RSI mapped to x in [-0.999, 0.999].
class FisherRsi final : public Indicator {
 public:
  static Result<FisherRsi, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return rsi_.period + 1; }

 private:
  explicit FisherRsi(RsiState s) : rsi_(s) {}
  RsiState rsi_;
};

// Where the RSI sits between the lowest and highest of its last k values
// (50 when they are all equal).
class StochRsi final : public Indicator {
 public:
  static Result<StochRsi, IndicatorError> create(std::uint64_t rsi_period,
                                                 std::uint64_t stoch_period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  StochRsi(RsiState s, std::uint64_t k) : rsi_(s), hi_(k), lo_(k), k_(k) {}
  RsiState rsi_;
  vol::RollingMax hi_;
  vol::RollingMin lo_;
  std::uint64_t k_;
};

// The RSI smoothed by two EMAs, less an SMA of that smoothed line.
class DerivativeOscillator final : public Indicator {
 public:
  static Result<DerivativeOscillator, IndicatorError> create(std::uint64_t rsi_period,
                                                             std::uint64_t first_ema,
                                                             std::uint64_t second_ema,
                                                             std::uint64_t signal);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return warmup_; }

 private:
  DerivativeOscillator(RsiState s, std::uint64_t e1, std::uint64_t e2, std::uint64_t sig);
  RsiState rsi_;
  EmaState e1_;
  EmaState e2_;
  SmaWindow signal_;
  std::uint64_t warmup_;
};

// A smoothed RSI with a trailing line a volatility band away from it, which
// follows the line until the line crosses the band. Returns "rsi_ma";
// "trailing_line" is the second output.
class Qqe final : public Indicator {
 public:
  static Result<Qqe, IndicatorError> create(std::uint64_t rsi_period, std::uint64_t smoothing,
                                            double factor);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override;

 private:
  // The band's averages and the trailing line off the smoothed RSI m and
  // its previous value p: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> bands(double m, double p);
  Qqe(RsiState s, std::uint64_t smoothing, double factor);
  RsiState rsi_;
  EmaState smooth_;
  EmaState band1_;
  EmaState band2_;
  std::optional<double> prev_ma_;
  bool have_bands_ = false;
  double lower_ = 0.0;
  double upper_ = 0.0;
  int trend_ = 1;
  double factor_;
  SettledValue<2> width_kept_;  // the band's width off an average settled below normal
  OutputList<2> out_{{"rsi_ma", "trailing_line"}};
};

// The mean of the RSI of the close, the RSI of the up/down streak length and
// the percentile rank of the latest one-bar return.
class ConnorsRsi final : public Indicator {
 public:
  static Result<ConnorsRsi, IndicatorError> create(std::uint64_t rsi_period,
                                                   std::uint64_t streak_period,
                                                   std::uint64_t rank_period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  ConnorsRsi(RsiState price, RsiState streak, std::uint64_t rank_period)
      : price_(price), streak_rsi_(streak), returns_(rank_period) {}
  RsiState price_;
  RsiState streak_rsi_;
  std::optional<double> prev_close_;
  double streak_ = 0.0;
  SortedWindow returns_;  // the last rank-period one-bar returns
};

}  // namespace fendro
