// Wilder's directional movement family: smoothed moves, directional
// indicators, the directional index, ADX and its rating.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/trend/adx_core.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {

enum class DmReading { PlusDm, MinusDm, PlusDi, MinusDi, Dx };

// The five single readings of the smoothed moves: one value per bar from
// the (n + 1)-th accepted candle on.
template <DmReading R>
class DmIndicator final : public Indicator {
 public:
  static Result<DmIndicator, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sat_add(dm_.period, 1); }

 private:
  explicit DmIndicator(std::uint64_t n) : dm_(n) {}
  // A bar while the sums seed, and the reading once they are smoothed.
  [[gnu::cold, gnu::noinline]] std::optional<double> seeding(const Candle& c);
  [[gnu::always_inline]] inline double reading();
  DmSmoother dm_;
};

using PlusDm = DmIndicator<DmReading::PlusDm>;
using MinusDm = DmIndicator<DmReading::MinusDm>;
using PlusDi = DmIndicator<DmReading::PlusDi>;
using MinusDi = DmIndicator<DmReading::MinusDi>;
using Dx = DmIndicator<DmReading::Dx>;

// Returns +DI; the ADX is the output "adx".
class Adx final : public Indicator {
 public:
  static Result<Adx, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return sat_mul(2, core_.period()); }

 private:
  explicit Adx(std::uint64_t n) : core_(n) {}
  std::optional<double> reported(std::optional<AdxReading> r);  // r's value and outputs
  AdxCore core_;
  OutputList<3> out_{{"plus_di", "minus_di", "adx"}};
};

// The midpoint of the ADX and the ADX of n - 1 bars earlier.
class Adxr final : public Indicator {
 public:
  static Result<Adxr, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override {
    return sat_sub(sat_mul(3, core_.period()), 1);
  }

 private:
  explicit Adxr(std::uint64_t n) : core_(n), ring_(n) {}
  // The ADX into the ring, then the midpoint (kept on the settled path).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> rated(std::optional<AdxReading> r);
  AdxCore core_;
  BoundedRing<double> ring_;  // the last n ADX values
  SettledValue<2> midpoint_kept_;  // the midpoint of two ADX values below normal
};

}  // namespace fendro
