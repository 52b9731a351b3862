// Wilder's parabolic stop and reverse, with one acceleration schedule
// (`Psar`) or one per side plus a fixed start and a reversal offset (`SarExt`).
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct SarSchedule {
  double start_value = 0.0;  // 0: detect; > 0: start long there; < 0: start short at |v|
  double offset = 0.0;       // fraction a new stop moves away from price on reversal
  bool offset_on_reverse = false;
  double init_long, step_long, max_long;
  double init_short, step_short, max_short;
};

struct SarState {
  static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  double h1 = kNaN, l1 = kNaN;  // previous accepted bar
  double h2 = kNaN, l2 = kNaN;  // the bar before that
  double sar = kNaN;
  double ep = kNaN;  // highest high while long, lowest low while short
  double af;
  bool first_seen = false;
  bool started = false;
  bool is_short = false;
};

// One accepted bar; the stop level (unsigned) from the second bar on.
std::optional<double> sar_update(SarState& s, const SarSchedule& k, double high, double low);

class Psar final : public Indicator {
 public:
  static Result<Psar, IndicatorError> create(double af_start, double af_step, double af_max);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  explicit Psar(const SarSchedule& k) : k_(k) { s_.af = k.init_long; }
  SarSchedule k_;
  SarState s_;
};

// Returns the stop while long and its negation while short.
class SarExt final : public Indicator {
 public:
  static Result<SarExt, IndicatorError> create(double start_value, double offset_on_reverse,
                                               double af_init_long, double af_step_long,
                                               double af_max_long, double af_init_short,
                                               double af_step_short, double af_max_short);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  explicit SarExt(const SarSchedule& k) : k_(k) { s_.af = k.init_long; }
  SarSchedule k_;
  SarState s_;
};

}  // namespace fendro
