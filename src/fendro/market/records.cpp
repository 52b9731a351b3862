#include "fendro/market/records.hpp"

#include <cmath>

namespace fendro {

Status<IndicatorError> validate_candle(const Candle& c) {
  if (!std::isfinite(c.open) || !std::isfinite(c.high) || !std::isfinite(c.low) ||
      !std::isfinite(c.close)) {
    return err(IndicatorError::invalid_candle("open, high, low, close must all be finite"));
  }
  if (!std::isfinite(c.volume)) return err(IndicatorError::invalid_candle("volume must be finite"));
  if (c.volume < 0.0) return err(IndicatorError::invalid_candle("volume must be non-negative"));
  if (c.high < c.low) return err(IndicatorError::invalid_candle("high must be >= low"));
  if (c.high < c.open || c.high < c.close) {
    return err(IndicatorError::invalid_candle("high must be >= open and >= close"));
  }
  if (c.low > c.open || c.low > c.close) {
    return err(IndicatorError::invalid_candle("low must be <= open and <= close"));
  }
  return Unit{};
}

Status<IndicatorError> validate_trade(const Trade& t) {
  if (!std::isfinite(t.price) || !(t.price > 0.0)) {
    return err(IndicatorError::invalid_trade("trade price must be finite and positive"));
  }
  if (!std::isfinite(t.size) || t.size < 0.0) {
    return err(IndicatorError::invalid_trade("trade size must be finite and non-negative"));
  }
  return Unit{};
}

const Trade* next_valid_trade(std::span<const Trade> raw, std::size_t& pos) {
  while (pos < raw.size()) {
    const Trade* t = &raw[pos++];
    if (validate_trade(*t).ok()) return t;
  }
  return nullptr;
}

}  // namespace fendro
