// Setup and countdown: once a setup run reaches its count, the side of that
// setup becomes the direction and a countdown of qualifying bars runs towards
// its own count; a completed setup on the other side switches the direction
// and restarts the countdown. Buy-side counts are positive, sell-side negative.
//   TdSequential  the setup count, with setup, countdown and direction outputs
//   TdCountdown   the countdown, whose last bar must also reach the close of
//                 the bar that took it five short of its count
//   TdCombo       the countdown by a stricter bar rule (no reference close)
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/chart/td_setup.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro::chart {

class SetupCountdown {
 public:
  struct Values {
    double setup;
    double countdown;
    double direction;  // +1 buy, -1 sell, 0 before the first completed setup
  };
  // Lengths in parameter order; any zero is refused, none is bounded.
  static Result<SetupCountdown, IndicatorError> create(std::uint64_t setup_lookback,
                                                       std::uint64_t setup_count,
                                                       std::uint64_t countdown_lookback,
                                                       std::uint64_t countdown_count, bool combo);
  // One valid candle; nothing while the window of earlier candles fills.
  std::optional<Values> step(const Candle& c);
  std::uint64_t warmup() const;

 private:
  SetupCountdown(std::uint64_t ls, std::uint64_t s, std::uint64_t lc, std::uint64_t c, bool combo);
  void restart(int direction);
  void count_down(const Candle& c, const Candle& earlier, const Candle& prev);

  BoundedRing<Candle> window_;  // the candles before the current one
  std::uint64_t setup_lookback_;
  std::uint64_t countdown_lookback_;
  std::uint64_t countdown_count_;
  SetupCounts setup_;
  std::uint64_t buy_countdown_ = 0;
  std::uint64_t sell_countdown_ = 0;
  double reference_;  // close of the bar five short of the count; NaN when unset
  int direction_ = 0;
  bool combo_;
};

class TdSequential final : public Indicator {
 public:
  static Result<TdSequential, IndicatorError> create(std::uint64_t ls, std::uint64_t s,
                                                     std::uint64_t lc, std::uint64_t c);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return core_.warmup(); }

 private:
  explicit TdSequential(SetupCountdown core) : core_(std::move(core)) {}
  SetupCountdown core_;
  OutputList<3> out_{{"setup", "countdown", "direction"}};
};

// The signed countdown, by the reference-close rule or the combo rule.
template <bool kCombo>
class SignedCountdown final : public Indicator {
 public:
  static Result<SignedCountdown, IndicatorError> create(std::uint64_t ls, std::uint64_t s,
                                                        std::uint64_t lc, std::uint64_t c) {
    FENDRO_TRY(core, SetupCountdown::create(ls, s, lc, c, kCombo));
    return SignedCountdown(std::move(core));
  }
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return core_.warmup(); }

 private:
  explicit SignedCountdown(SetupCountdown core) : core_(std::move(core)) {}
  SetupCountdown core_;
};

using TdCountdown = SignedCountdown<false>;
using TdCombo = SignedCountdown<true>;

}  // namespace fendro::chart
