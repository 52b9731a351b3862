// Bar signals of the sequential-count family: the current candle against the
// one or two valid candles before it, +1 bullish, -1 bearish, 0 neither (the
// bullish test is tried first). No parameters, no named outputs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/market/records.hpp"

namespace fendro::chart {

// Rule: kKept (1 or 2) and `static double signal(const Candle& c,
// const Candle& p, const Candle& q)` with p the previous candle and q the one
// before it (unused when kKept is 1).
template <class Rule>
class BarSignal final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override {
    const Candle* c = checked_candle(bar);
    if (c == nullptr) return no_value();
    std::optional<double> v;
    if (held_ == Rule::kKept) {
      v = Rule::signal(*c, kept_[0], kept_[1]);
    } else {
      ++held_;
    }
    kept_[1] = kept_[0];
    kept_[0] = *c;
    return returned(v);
  }
  std::uint64_t warmup_period() const override { return Rule::kKept + 1; }

 private:
  std::array<Candle, 2> kept_{};  // previous, then the one before it
  std::size_t held_ = 0;
};

#define FENDRO_BAR_SIGNAL(Name, kept)                                        \
  struct Name##Rule {                                                        \
    static constexpr std::size_t kKept = kept;                               \
    static double signal(const Candle& c, const Candle& p, const Candle& q); \
  };                                                                         \
  using Name = BarSignal<Name##Rule>

FENDRO_BAR_SIGNAL(TdTrap, 2);
FENDRO_BAR_SIGNAL(TdDifferential, 2);
FENDRO_BAR_SIGNAL(TdPropulsion, 1);
FENDRO_BAR_SIGNAL(TdOpen, 1);
FENDRO_BAR_SIGNAL(TdClopwin, 1);
FENDRO_BAR_SIGNAL(TdClop, 1);
FENDRO_BAR_SIGNAL(TdCamouflage, 1);

#undef FENDRO_BAR_SIGNAL

}  // namespace fendro::chart
