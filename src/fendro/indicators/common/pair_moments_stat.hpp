// The frame of two-series types over an `AnchoredPairMoments` window: the
// two-series input rule, then either the pair itself or its change since the
// previous accepted pair enters the window, and a value comes on every
// accepted bar once the window is full.
#pragma once

#include <cstdint>
#include <optional>
#include <type_traits>
#include <variant>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/anchored_pair_moments.hpp"
#include "fendro/indicators/common/two_series.hpp"

namespace fendro::stats {

enum class PairPush { Levels, Changes };

// `Derived::value(moments, current)` gives the statistic of the full window;
// `current` is the bar's accepted (A, B) as read, not as pushed.
template <class Derived, PairPush Push>
class PairMomentsStat : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) final {
    const auto in = two_series_input(bar);
    if (!in) return no_value();
    PairInput pushed = *in;
    if constexpr (Push == PairPush::Changes) {
      const auto change = changes_.next(*in);
      if (!change) return no_value();
      pushed = *change;
    }
    window_.push(pushed.a, pushed.b);
    if (!window_.is_full()) return no_value();
    return value_out(static_cast<const Derived&>(*this).value(window_.moments(), *in));
  }
  // Types on changes need one bar more: the first accepted bar only gives
  // the previous pair.
  std::uint64_t warmup_period() const final {
    return Push == PairPush::Changes ? window_.period() + 1 : window_.period();
  }

 protected:
  explicit PairMomentsStat(std::uint64_t period) : window_(period) {}

 private:
  AnchoredPairMoments window_;
  [[no_unique_address]] std::conditional_t<Push == PairPush::Changes, PairChanges, std::monostate>
      changes_;
};

}  // namespace fendro::stats
