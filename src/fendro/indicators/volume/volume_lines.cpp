#include "fendro/indicators/volume/volume_lines.hpp"

#include <bit>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {
namespace {

// What a bar adds to the line: its volume when the close rose, minus it when
// the close fell, else +0.0. It is picked by compare masks, without a branch
// (the close's direction is a coin toss the predictor cannot learn, and the
// compiler turns a plain conditional choice into jumps), and depends only on
// the bar, so the chain carried from bar to bar is one addition. Adding it
// gives the bits of `volume + line`, `line - volume` (x - y is x + (-y)) and
// `line` (x + 0.0 is x for every x but -0.0, and the line, starting at +0.0,
// never becomes -0.0: a sum is -0.0 only when both terms are).
inline double obv_move(double volume, double close, double prev_close) {
#if defined(__SSE2__)
  const __m128d c = _mm_set_sd(close);
  const __m128d p = _mm_set_sd(prev_close);
  const __m128d v = _mm_set_sd(volume);
  const __m128d rose = _mm_cmplt_sd(p, c);
  const __m128d fell = _mm_cmplt_sd(c, p);
  const __m128d neg_v = _mm_xor_pd(v, _mm_set_sd(-0.0));
  return _mm_cvtsd_f64(_mm_or_pd(_mm_and_pd(rose, v), _mm_and_pd(fell, neg_v)));
#else
  std::uint64_t bits = std::bit_cast<std::uint64_t>(0.0);
  bits = close < prev_close ? std::bit_cast<std::uint64_t>(-volume) : bits;
  bits = close > prev_close ? std::bit_cast<std::uint64_t>(volume) : bits;
  return std::bit_cast<double>(bits);
#endif
}

}  // namespace

std::optional<double> Obv::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (prev_close_) {
    line_ = line_ + obv_move(c->volume, c->close, *prev_close_);
  }
  prev_close_ = c->close;
  return value_out(line_);
}

std::optional<double> Adl::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  line_ = volume::money_flow_volume(*c) + line_;
  return value_out(line_);
}

std::optional<double> Wad::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  return returned(ad_.step(*c));
}

std::optional<double> AdOscillator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto line = ad_.step(*c);
  if (!line) return no_value();
  const auto average = sma_update(average_, *line);
  if (!average) return no_value();
  return value_out(*line - *average);
}

template <bool Rising>
std::optional<double> VolumeIndex<Rising>::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (prev_close_ && prev_volume_ && *prev_close_ != 0.0) {
    const bool moved = Rising ? c->volume > *prev_volume_ : c->volume < *prev_volume_;
    if (moved) {
      const double p = *prev_close_;
      index_ = index_ + ((c->close - p) / p) * index_;
    }
  }
  prev_close_ = c->close;
  prev_volume_ = c->volume;
  return value_out(index_);
}

template class VolumeIndex<true>;
template class VolumeIndex<false>;

std::optional<double> VolumePriceTrend::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (prev_close_) {
    const double p = *prev_close_;
    const double change = p == 0.0 ? 0.0 : (c->close - p) / p;
    line_ = line_ + c->volume * change;
  }
  prev_close_ = c->close;
  return value_out(line_);
}

Result<TradeVolumeIndex, IndicatorError> TradeVolumeIndex::create(double min_tick) {
  if (!std::isfinite(min_tick) || min_tick < 0.0) {
    return err(IndicatorError::invalid_parameter(
        "trade volume index min_tick must be finite and non-negative"));
  }
  return TradeVolumeIndex(min_tick);
}

std::optional<double> TradeVolumeIndex::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!prev_close_) {
    prev_close_ = c->close;
    return no_value();
  }
  const double d = c->close - *prev_close_;
  if (d > min_tick_) {
    direction_ = 1.0;
  } else if (d < -min_tick_) {
    direction_ = -1.0;
  }
  line_ = line_ + c->volume * direction_;
  prev_close_ = c->close;
  return value_out(line_);
}

std::optional<double> IntradayIntensity::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double range = c->high - c->low;
  if (!(range > 0.0)) return value_out(0.0);
  return value_out(((((c->close + c->close) - c->high) - c->low) * c->volume) / range);
}

std::optional<double> MarketFacilitationIndex::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr || c->volume == 0.0) return no_value();
  return value_out((c->high - c->low) / c->volume);
}

}  // namespace fendro
