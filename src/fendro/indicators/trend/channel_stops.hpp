// Long and short stops from the highest high and lowest low of a sliding
// window, pulled in by a multiple of the ATR or taken as they are.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/trend/atr_state.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The ATR beside windows of the last n highs and lows, all fed every
// accepted candle.
struct AtrChannel {
  AtrState atr;
  BoundedRing<double> highs;
  BoundedRing<double> lows;

  explicit AtrChannel(std::uint64_t n) : atr(n), highs(n), lows(n) {}
  // The ATR once it is seeded and the windows are full; its step plain, or
  // on the owner's settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> step(const Candle& c);
};

// Returns "long_stop"; "short_stop" is the second output.
class ChandelierExit final : public Indicator {
 public:
  static Result<ChandelierExit, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return channel_.atr.period; }

 private:
  // The channel's step and the stops: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(const Candle& k);
  ChandelierExit(std::uint64_t n, double m) : channel_(n), m_(m) {}
  AtrChannel channel_;
  double m_;
  OutputList<2> out_{{"long_stop", "short_stop"}};
};

// Preliminary stops from p bars and the ATR, then their extremes over q
// bars. Returns "stop_long"; "stop_short" is the second output.
class ChandeKrollStop final : public Indicator {
 public:
  static Result<ChandeKrollStop, IndicatorError> create(std::uint64_t atr_period,
                                                        std::uint64_t stop_period,
                                                        double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override {
    return channel_.atr.period + high_stops_.capacity() - 1;
  }

 private:
  // The channel's step and the stops: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(const Candle& k);
  ChandeKrollStop(std::uint64_t p, std::uint64_t q, double m)
      : channel_(p), high_stops_(q), low_stops_(q), m_(m) {}
  AtrChannel channel_;
  BoundedRing<double> high_stops_;
  BoundedRing<double> low_stops_;
  double m_;
  OutputList<2> out_{{"stop_long", "stop_short"}};
};

// The window's lowest low (long) and highest high (short). Returns
// "stop_long"; "stop_short" is the second output.
class DonchianStop final : public Indicator {
 public:
  static Result<DonchianStop, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return highs_.capacity(); }

 private:
  explicit DonchianStop(std::uint64_t n) : highs_(n), lows_(n) {}
  BoundedRing<double> highs_;
  BoundedRing<double> lows_;
  OutputList<2> out_{{"stop_long", "stop_short"}};
};

}  // namespace fendro
