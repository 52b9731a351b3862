#include "fendro/indicators/chart/td_bar_signals.hpp"

#include <algorithm>

namespace fendro::chart {
namespace {

double signal_of(bool bullish, bool bearish) {
  if (bullish) return 1.0;
  return bearish ? -1.0 : 0.0;
}

}  // namespace

// The previous bar strictly inside the one before it, then a close beyond it.
double TdTrapRule::signal(const Candle& c, const Candle& p, const Candle& q) {
  const bool inside = p.high < q.high && p.low > q.low;
  return signal_of(inside && c.close > p.high, inside && c.close < p.low);
}

double TdPropulsionRule::signal(const Candle& c, const Candle& p, const Candle&) {
  return signal_of(c.open >= p.close && c.close > p.high, c.close < p.low && c.open <= p.close);
}

double TdOpenRule::signal(const Candle& c, const Candle& p, const Candle&) {
  return signal_of(c.open < p.low && c.high > p.low, c.low < p.high && c.open > p.high);
}

double TdClopRule::signal(const Candle& c, const Candle& p, const Candle&) {
  return signal_of(c.open < p.open && c.open < p.close && c.close > p.open && c.close > p.close,
                   c.open > p.open && c.open > p.close && c.close < p.open && c.close < p.close);
}

double TdCamouflageRule::signal(const Candle& c, const Candle& p, const Candle&) {
  return signal_of(c.close < p.close && c.close > c.open && c.low < p.low,
                   c.close < c.open && c.high > p.high && c.close > p.close);
}

// Open and close both within the previous body: -1 for a falling bar, else +1.
double TdClopwinRule::signal(const Candle& c, const Candle& p, const Candle&) {
  const double bottom = std::min(p.open, p.close);
  const double top = std::max(p.open, p.close);
  const bool inside = bottom <= c.open && c.open <= top && bottom <= c.close && c.close <= top;
  if (!inside) return 0.0;
  return c.close < c.open ? -1.0 : 1.0;
}

// Buying and selling pressure of this bar against the previous one.
double TdDifferentialRule::signal(const Candle& c, const Candle& p, const Candle& q) {
  const double bp0 = c.close - std::min(c.low, p.close);
  const double sp0 = std::max(c.high, p.close) - c.close;
  const double bp1 = p.close - std::min(p.low, q.close);
  const double sp1 = std::max(p.high, q.close) - p.close;
  return signal_of(sp0 < sp1 && p.close < q.close && c.close < p.close && bp0 > bp1,
                   sp0 > sp1 && c.close > p.close && p.close > q.close && bp0 < bp1);
}

}  // namespace fendro::chart
