// Momentum as the gap between a fast and a slow average of the close: the
// MACD line with its signal and histogram (also with fixed factors, over
// zero-lag averages and over volume-weighted windows), the absolute and the
// percentage price oscillators and the latter's histogram.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/averages/vwma.hpp"
#include "fendro/indicators/averages/zlema.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/momentum/macd_core.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/limit_read.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Named outputs macd, signal, histogram; the value is macd.
class MacdIndicator final : public Indicator {
 public:
  static Result<MacdIndicator, IndicatorError> create(std::uint64_t fast, std::uint64_t slow,
                                                      std::uint64_t signal);
  // The fixed-factor form: fast 12 with alpha 0.15, slow 26 with alpha 0.075
  // (each still seeded by the mean of its first 12 or 26 closes).
  static Result<MacdIndicator, IndicatorError> create_fixed(std::uint64_t signal);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return core_.warmup(); }

 private:
  explicit MacdIndicator(MacdCore core) : core_(core) {}
  MacdCore core_;
  OutputList<3> out_{{"macd", "signal", "histogram"}};
};

// The MACD histogram alone.
class MacdHistogram final : public Indicator {
 public:
  static Result<MacdHistogram, IndicatorError> create(std::uint64_t fast, std::uint64_t slow,
                                                      std::uint64_t signal);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return core_.warmup(); }

 private:
  explicit MacdHistogram(MacdCore core) : core_(core) {}
  MacdCore core_;
};

// Fast average less slow average (the difference is not checked).
class Apo final : public Indicator {
 public:
  static Result<Apo, IndicatorError> create(std::uint64_t fast, std::uint64_t slow);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return slow_.period; }

 private:
  Apo(EmaState fast, EmaState slow) : fast_(fast), slow_(slow) {}
  EmaState fast_;
  EmaState slow_;
};

// The percentage gap: ((fast - slow) * 100) / slow, 0 when slow is 0.
struct PpoState {
  EmaState fast;
  EmaState slow;

  // Zeros, fast < slow, then slow against MAX_PERIOD.
  static Result<PpoState, IndicatorError> create(std::uint64_t fast, std::uint64_t slow);
};

// A finite close only (the caller filters); no value while either average seeds.
// Inlined into its owner: returned through memory, the value costs more than
// the two steps.
[[gnu::always_inline]] inline std::optional<double> ppo_update(PpoState& p, double close) {
  double f;
  double s;
  const bool has_fast = ema_update_to(p.fast, close, f);
  const bool has_slow = ema_update_to(p.slow, close, s);
  if (!has_fast || !has_slow) return std::nullopt;
  if (s == 0.0) return 0.0;
  return ((f - s) * 100.0) / s;
}

class Ppo final : public Indicator {
 public:
  static Result<Ppo, IndicatorError> create(std::uint64_t fast, std::uint64_t slow);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return ppo_.slow.period; }

 private:
  explicit Ppo(PpoState p) : ppo_(p) {}
  PpoState ppo_;
};

// The percentage gap less its own exponential average.
class PpoHistogram final : public Indicator {
 public:
  // The signal length is checked first, then the gap's lengths.
  static Result<PpoHistogram, IndicatorError> create(std::uint64_t fast, std::uint64_t slow,
                                                     std::uint64_t signal);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override {
    return ppo_.slow.period + signal_.period - 1;
  }

 private:
  PpoHistogram(PpoState p, EmaState signal) : ppo_(p), signal_(signal) {}
  PpoState ppo_;
  EmaState signal_;
};

// The MACD line, signal and histogram over zero-lag averages.
class ZeroLagMacd final : public Indicator {
 public:
  static Result<ZeroLagMacd, IndicatorError> create(std::uint64_t fast, std::uint64_t slow,
                                                    std::uint64_t signal);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  // Each zero-lag average needs its length plus its lag.
  std::uint64_t warmup_period() const override;

 private:
  ZeroLagMacd(ZlemaState fast, ZlemaState slow, ZlemaState signal)
      : fast_(std::move(fast)),
        slow_(std::move(slow)),
        signal_(std::move(signal)),
        band_(rounding_band(std::min(slow_.ema.alpha, signal_.ema.alpha), 16.0)) {}
  ZlemaState fast_;
  ZlemaState slow_;
  ZlemaState signal_;
  // On a halt the line and its signal read 0 once within the averages'
  // rounding of it (limit_read): the close before, and the band per unit
  // of price (two averages each stopping within 1/(2 alpha) units of the
  // price; a margin of sixteen).
  CopyRun closes_;  // the finite closes: a halt is a run of repeats
  double band_;
  OutputList<3> out_{{"macd", "signal", "histogram"}};
  // The outputs of a bar that repeats the close, as they are to be read; the line.
  [[gnu::cold]] double halt_read(double macd, double signal, double close);
};

// The MACD line over volume-weighted windows of the close, with an
// exponential signal.
class VolumeWeightedMacd final : public Indicator {
 public:
  static Result<VolumeWeightedMacd, IndicatorError> create(std::uint64_t fast, std::uint64_t slow,
                                                           std::uint64_t signal);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return slow_.period + signal_.period - 1; }

 private:
  VolumeWeightedMacd(VwmaWindow fast, VwmaWindow slow, EmaState signal)
      : fast_(std::move(fast)), slow_(std::move(slow)), signal_(signal) {}
  VwmaWindow fast_;
  VwmaWindow slow_;
  EmaState signal_;
  OutputList<3> out_{{"macd", "signal", "histogram"}};
};

}  // namespace fendro
