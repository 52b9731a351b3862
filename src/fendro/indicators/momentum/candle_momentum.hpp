// Oscillators that read the whole candle: the awesome oscillator family over
// the median price, Elder's bull and bear power, the balance of power and
// the average candle body.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "fendro/indicators/averages/alligator.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The fast SMA less the slow SMA of the median price (both always stepped).
struct AwesomeCore {
  SmaWindow fast;
  SmaWindow slow;

  // The checks of the plain oscillator: zeros, fast < slow (`why` otherwise),
  // then each length against MAX_PERIOD.
  static Result<AwesomeCore, IndicatorError> create(std::uint64_t fast, std::uint64_t slow,
                                                    std::string_view why);
};

// One accepted candle.
std::optional<double> awesome_update(AwesomeCore& ao, const Candle& c);

class AwesomeOscillator final : public Indicator {
 public:
  static Result<AwesomeOscillator, IndicatorError> create(std::uint64_t fast, std::uint64_t slow);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return ao_.slow.period; }

 private:
  explicit AwesomeOscillator(AwesomeCore ao) : ao_(std::move(ao)) {}
  AwesomeCore ao_;
};

// The oscillator less its value `lag` bars back.
class AwesomeOscillatorHistogram final : public Indicator {
 public:
  static Result<AwesomeOscillatorHistogram, IndicatorError> create(std::uint64_t fast,
                                                                   std::uint64_t slow,
                                                                   std::uint64_t lag);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  AwesomeOscillatorHistogram(AwesomeCore ao, std::uint64_t lag)
      : ao_(std::move(ao)), past_(lag) {}
  AwesomeCore ao_;
  BoundedRing<double> past_;  // the last `lag` oscillator values
};

// The oscillator less its own SMA.
class AcceleratorOscillator final : public Indicator {
 public:
  static Result<AcceleratorOscillator, IndicatorError> create(std::uint64_t fast,
                                                              std::uint64_t slow,
                                                              std::uint64_t signal);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return ao_.slow.period + signal_.period - 1; }

 private:
  AcceleratorOscillator(AwesomeCore ao, SmaWindow signal)
      : ao_(std::move(ao)), signal_(std::move(signal)) {}
  AwesomeCore ao_;
  SmaWindow signal_;
};

// High and low against an EMA of the close. Returns "bull_power";
// "bear_power" is the second output.
class ElderRay final : public Indicator {
 public:
  static Result<ElderRay, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return ema_.period; }

 private:
  explicit ElderRay(EmaState e) : ema_(e) {}
  EmaState ema_;
  OutputList<2> out_{{"bull_power", "bear_power"}};
};

// How far the Alligator's lines have opened: |jaw - teeth| above zero and
// -|teeth - lips| below. Returns "upper"; "lower" is the second output.
class GatorOscillator final : public Indicator {
 public:
  static Result<GatorOscillator, IndicatorError> create(std::uint64_t jaw, std::uint64_t teeth,
                                                        std::uint64_t lips);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override;

 private:
  explicit GatorOscillator(const AlligatorLines& lines) : lines_(lines) {}
  AlligatorLines lines_;
  OutputList<2> out_{{"upper", "lower"}};
};

// (close - open) / (high - low); 0 for a bar without range.
class BalanceOfPower final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }
};

// The SMA of close - open.
class Qstick final : public Indicator {
 public:
  static Result<Qstick, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sma_.period; }

 private:
  explicit Qstick(SmaWindow w) : sma_(std::move(w)) {}
  SmaWindow sma_;
  ZeroRun zeros_;  // a window of zero bodies averages to exactly 0
};

}  // namespace fendro
