// Indicator types over the Hilbert-transform cycle engine: the phasor
// components, the dominant cycle, the DC phase and its sine, the trend/cycle
// classifier and the MESA adaptive averages. All read only the close; a
// non-finite close is dropped (no value, the bar counter does not move).
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/cycle/hilbert_core.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::cycle {

// In-phase component I1; outputs `inphase` (I1) and `quadrature` (Q1).
class HtPhasor final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return 22; }

 private:
  HilbertCycleState core_;
  CopiesSoFar copies_;  // of the closes
  OutputList<2> outputs_{{"inphase", "quadrature"}};
};

// The smoothed dominant cycle period.
class HilbertDominantCycle final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 50; }

 private:
  HilbertCycleState core_;
};

// Half the dominant cycle, rounded to a whole number of bars within [3, 25].
class AdaptiveCycle final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 50; }

 private:
  HilbertCycleState core_;
};

// The DC phase in degrees.
class HtDcPhase final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 50; }

 private:
  DcPhaseState state_;
};

// The sine of the DC phase.
class SineWave final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 50; }

 private:
  DcPhaseState state_;
};

// 1 while the market trends, 0 while it cycles.
class HtTrendMode final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 50; }

 private:
  HilbertCycleState core_;
  RecentValues<kPhaseDepth> deep_;    // smoothed prices
  RecentValues<kPhaseDepth> closes_;  // raw closes
  double it1_ = 0.0, it2_ = 0.0, it3_ = 0.0;
  double prev_phase_ = 0.0, prev_sine_ = 0.0, prev_lead_ = 0.0;
  double days_in_trend_ = 0.0;
};

// The MESA adaptive pair: MAMA follows the close with a factor set by the
// rate of phase change, FAMA follows MAMA at half that factor. Both are
// averages of the closes: fed only copies of one close, both read it (the
// pair keeps its arithmetic).
struct MamaState {
  static Result<MamaState, IndicatorError> create(double fast_limit, double slow_limit);
  HilbertCycleState core;
  double prev_phase = 0.0;
  double mama = 0.0;
  double fama = 0.0;
  double fast_limit = 0.0;
  double slow_limit = 0.0;
  CopiesSoFar flat;  // of the closes
};

// Advances the pair with a finite close; true when the pair is a value.
bool mama_update(MamaState& s, double x);

// MAMA; outputs `mama` and `fama`.
class Mama final : public Indicator {
 public:
  static Result<Mama, IndicatorError> create(double fast_limit, double slow_limit);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return 33; }

 private:
  explicit Mama(const MamaState& s) : state_(s) {}
  MamaState state_;
  OutputList<2> outputs_{{"mama", "fama"}};
};

// FAMA alone.
class Fama final : public Indicator {
 public:
  static Result<Fama, IndicatorError> create(double fast_limit, double slow_limit);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 33; }

 private:
  explicit Fama(const MamaState& s) : state_(s) {}
  MamaState state_;
};

}  // namespace fendro::cycle
