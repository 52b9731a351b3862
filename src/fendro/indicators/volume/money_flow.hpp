// Money-flow measures over a window or an average of volume-weighted price
// moves: Chaikin money flow and oscillator, money flow index, time segmented
// volume, Twiggs money flow, force index and ease of movement. Every type
// reads the whole candle and drops a bar that fails the candle check.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/volume/wilder_pair.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {

// The money-flow volume of the last n bars over their volume (0 while that
// volume is 0). Both sums run for the whole run without being rebuilt; each
// reads exactly 0 while its window holds only zeros.
class ChaikinMoneyFlow final : public Indicator {
 public:
  static Result<ChaikinMoneyFlow, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return flows_.period(); }

 private:
  explicit ChaikinMoneyFlow(std::uint64_t n) : flows_(n), volumes_(n) {}
  KeptZeroReadingSum flows_;
  KeptZeroReadingSum volumes_;
};

// The fast minus the slow exponential average of the accumulation/
// distribution line.
class ChaikinOscillator final : public Indicator {
 public:
  static Result<ChaikinOscillator, IndicatorError> create(std::uint64_t fast, std::uint64_t slow);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return slow_.period; }

 private:
  ChaikinOscillator(std::uint64_t fast, std::uint64_t slow)
      : fast_(EmaState::of_period(fast)), slow_(EmaState::of_period(slow)) {}
  double line_ = 0.0;
  EmaState fast_;
  EmaState slow_;
};

// Money flow index: the share of rising typical-price flow in the last n
// bars, from 0 to 100. Each flow sum reads exactly 0 while its window holds
// only zeros (no bar moved the typical price that way).
class Mfi final : public Indicator {
 public:
  static Result<Mfi, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sat_add(positive_.period(), 1); }

 private:
  explicit Mfi(std::uint64_t n) : positive_(n, true), negative_(n, true) {}
  std::optional<double> prev_typical_;
  ZeroReadingSum positive_;
  ZeroReadingSum negative_;
};

// Time segmented volume: the sum of volume times close change over the last
// n bars (never rebuilt).
class Tsv final : public Indicator {
 public:
  static Result<Tsv, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sat_add(terms_.period, 1); }

 private:
  explicit Tsv(RingWindowState terms) : terms_(std::move(terms)) {}
  // last: the previous close; ring: the last n terms; state: their running
  // sum, never rebuilt.
  RingWindowState terms_;
  ZeroRun zeros_;  // the sum is read as 0 while the window holds only zero terms
};

// Twiggs money flow: Wilder average of the true-range accumulation/
// distribution over the Wilder average of volume.
class TwiggsMoneyFlow final : public Indicator {
 public:
  static Result<TwiggsMoneyFlow, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sat_add(averages_.period, 1); }

 private:
  // The flow of candle c, the averages and their ratio: plain, or on the
  // settled path (Kept), which also seeds.
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(const Candle& c);
  explicit TwiggsMoneyFlow(std::uint64_t n) : averages_(n), n_(static_cast<double>(n)) {}
  std::optional<double> prev_close_;
  volume::WilderPair averages_;  // first: accumulation/distribution, second: volume
  double n_;
};

// Force index: exponential average of volume times close change.
class ForceIndex final : public Indicator {
 public:
  static Result<ForceIndex, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sat_add(average_.period, 1); }

 private:
  explicit ForceIndex(std::uint64_t n) : average_(EmaState::of_period(n)) {}
  std::optional<double> prev_close_;
  EmaState average_;
};

// Ease of movement: the mean over n bars of the midpoint move times the
// range per unit of volume (scaled by 1e8). The window sum is rebuilt
// exactly every n pushes.
class EaseOfMovement final : public Indicator {
 public:
  static Result<EaseOfMovement, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sat_add(moves_.period(), 1); }

 private:
  explicit EaseOfMovement(std::uint64_t n) : moves_(n, true), n_(static_cast<double>(n)) {}
  std::optional<double> prev_mid_;
  ZeroReadingSum moves_;
  double n_;
};

}  // namespace fendro
