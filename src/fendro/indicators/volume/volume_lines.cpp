#include "fendro/indicators/volume/volume_lines.hpp"

#include <bit>
#include <cmath>
#include <cstdint>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {

std::optional<double> Obv::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (prev_close_) {
    // Both candidate lines are formed and the right one picked without a
    // branch: the close's direction is a coin toss the predictor cannot learn.
    const double up = c->volume + line_;
    const double down = line_ - c->volume;
    std::uint64_t bits = std::bit_cast<std::uint64_t>(line_);
    bits = c->close < *prev_close_ ? std::bit_cast<std::uint64_t>(down) : bits;
    bits = c->close > *prev_close_ ? std::bit_cast<std::uint64_t>(up) : bits;
    line_ = std::bit_cast<double>(bits);
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
