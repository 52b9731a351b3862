// The squeeze: whether the Bollinger band lies inside the Keltner channel
// (SMA +- k_kc ATR), with a least-squares momentum of the closes about the
// midpoint of the channel's average and the window's range.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/trend/atr_state.hpp"
#include "fendro/indicators/volatility/bollinger.hpp"
#include "fendro/indicators/common/rolling_extreme.hpp"
#include "fendro/indicators/common/window_regression.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class TtmSqueeze final : public Indicator {
 public:
  static Result<TtmSqueeze, IndicatorError> create(std::uint64_t period, double bollinger_k,
                                                   double keltner_k);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return n_; }

 private:
  // The bar's windows, bands and momentum: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(const Candle& k);
  TtmSqueeze(std::uint64_t n, double bollinger_k, double keltner_k);
  AtrState atr_;
  vol::RollingMax highs_;
  vol::RollingMin lows_;
  BoundedRing<double> closes_;
  BollingerWindow bollinger_;
  SmaWindow sma_;
  std::uint64_t n_;
  double keltner_k_;
  RegressionConstants line_;
  OutputList<2> out_{{"squeeze", "momentum"}};
};

}  // namespace fendro
