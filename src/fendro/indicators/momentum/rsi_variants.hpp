// Relative-strength oscillators with their own averaging of up and down
// moves (none of them uses Wilder's shared step).
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/averages/smma.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/halt_hold.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The RSI of momentum over a lookback: moves are close - close `lookback`
// bars back instead of one-bar changes. The averages are smoothed moving
// averages of the gains and losses: the mean of the first `period` moves,
// then (move + avg * (n - 1)) / n (a division, unlike Wilder's RSI step).
class Rmi final : public Indicator {
 public:
  static Result<Rmi, IndicatorError> create(std::uint64_t period, std::uint64_t lookback);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  Rmi(std::uint64_t period, std::uint64_t lookback)
      : closes_(lookback), gains_(period), losses_(period) {}
  // The averages' seeding or steps through their records, and the index
  // kept for their bits: the settled path.
  std::optional<double> kept(double gain, double loss);
  BoundedRing<double> closes_;
  SmmaState gains_;
  SmmaState losses_;
  SettledValue<2> share_kept_;  // the index of averages settled below normal
  HaltHold halt_;               // the index, held through a halt
};

// An RSI whose averages move by a factor that follows the efficiency ratio
// of the last `period` changes (fast in trends, slow in noise).
class AdaptiveRsi final : public Indicator {
 public:
  static Result<AdaptiveRsi, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_ + 1; }

 private:
  explicit AdaptiveRsi(std::uint64_t n) : closes_(n + 1), changes_(n), period_(n) {}
  std::optional<double> prev_;
  BoundedRing<double> closes_;
  BoundedRing<double> changes_;  // absolute changes
  double path_ = 0.0;            // their running sum, only ever adjusted
  double gain_seed_ = 0.0;
  double loss_seed_ = 0.0;
  std::uint64_t seeded_ = 0;
  bool have_avg_ = false;
  double avg_gain_ = 0.0;
  double avg_loss_ = 0.0;
  std::uint64_t period_;
  HaltHold halt_;  // the index, held through a halt (both averages scale alike)
};

// Momentum over absolute momentum, each through three double-smoothing
// stages; in [0, 100], 50 when nothing moved.
class Rsx final : public Indicator {
 public:
  static Result<Rsx, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_ + 1; }

 private:
  explicit Rsx(std::uint64_t n);
  // The stages' step and the index before clamping: plain, or on the
  // settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline double blend(double m);
  [[gnu::always_inline]] inline void stages(double m);
  std::optional<double> prev_;
  double a_;
  double b_;
  double s_[6] = {};  // momentum stages
  double u_[6] = {};  // absolute-momentum stages
  std::uint64_t steps_ = 0;
  std::uint64_t period_;
  // A flat stretch takes every stage into the subnormal numbers, where they
  // settle: the stages' steps and the blend are then skipped (bit for bit).
  SettledBlock<12> settled_stages_;
  SettledValue<4> settled_blend_;
  // Both momentum chains decay once the close stops: the index is held
  // through a halt.
  HaltHold halt_;
};

// Up moves against down moves summed since the first bar.
class AnchoredRsi final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  std::optional<double> prev_;
  double up_ = 0.0;
  double down_ = 0.0;
};

// An RSI of the four elements of a Laguerre filter of the close.
class LaguerreRsi final : public Indicator {
 public:
  static Result<LaguerreRsi, IndicatorError> create(double gamma);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit LaguerreRsi(double g) : g_(g), one_minus_g_(1.0 - g) {}
  double g_;
  double one_minus_g_;
  double l_[4] = {};
  bool primed_ = false;
};

}  // namespace fendro
