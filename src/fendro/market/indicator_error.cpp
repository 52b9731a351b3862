#include "fendro/market/indicator_error.hpp"

namespace fendro {

std::string IndicatorError::display() const {
  std::string_view prefix;
  switch (kind) {
    case Kind::ZeroPeriod: return "period must be greater than zero";
    case Kind::NonFiniteInput: return "input value must be finite (got NaN or infinity)";
    case Kind::NonPositiveMultiplier: return "multiplier must be greater than zero";
    case Kind::InvalidPeriod: prefix = "invalid period: "; break;
    case Kind::InvalidCandle: prefix = "invalid candle: "; break;
    case Kind::InvalidTick: prefix = "invalid tick: "; break;
    case Kind::InvalidOrderBook: prefix = "invalid order book: "; break;
    case Kind::InvalidTrade: prefix = "invalid trade: "; break;
    case Kind::InvalidDerivativesTick: prefix = "invalid derivatives tick: "; break;
    case Kind::InvalidCrossSection: prefix = "invalid cross-section: "; break;
    case Kind::InvalidParameter: prefix = "invalid parameter: "; break;
  }
  std::string out;
  out.reserve(prefix.size() + reason.size());
  out.append(prefix);
  out.append(reason);
  return out;
}

}  // namespace fendro
