#include "fendro/indicators/levels/floor_pivots.hpp"

#include <algorithm>

#include "fendro/indicators/common/inputs.hpp"

namespace fendro {

std::array<double, 7> ClassicPivotsRule::levels(const Candle& c) {
  const double h = c.high;
  const double l = c.low;
  const double r = h - l;
  const double pp = typical_price(c);
  return {pp,
          (pp + pp) - l,
          r + pp,
          h + ((pp - l) + (pp - l)),
          (pp + pp) - h,
          pp - r,
          l - ((h - pp) + (h - pp))};
}

std::array<double, 5> WoodiePivotsRule::levels(const Candle& c) {
  const double h = c.high;
  const double l = c.low;
  const double r = h - l;
  const double pp = ((c.close + c.close) + (h + l)) * 0.25;
  return {pp, (pp + pp) - l, r + pp, (pp + pp) - h, pp - r};
}

std::array<double, 7> FibonacciPivotsRule::levels(const Candle& c) {
  const double r = c.high - c.low;
  const double pp = typical_price(c);
  return {pp,          r * 0.382 + pp, r * 0.618 + pp, r + pp,
          pp - r * 0.382, pp - r * 0.618, pp - r};
}

std::array<double, 3> DemarkPivotsRule::levels(const Candle& c) {
  const double h = c.high;
  const double l = c.low;
  double x;
  if (c.close < c.open) {
    x = c.close + (h + (l + l));
  } else if (c.close > c.open) {
    x = ((h + h) + l) + c.close;
  } else {
    x = (h + l) + (c.close + c.close);
  }
  return {x * 0.25, x * 0.5 - l, x * 0.5 - h};
}

std::array<double, 3> CentralPivotRangeRule::levels(const Candle& c) {
  const double pivot = typical_price(c);
  const double m = midpoint(c.high, c.low);
  const double t = (pivot + pivot) - m;
  return {pivot, std::max(t, m), std::min(t, m)};
}

std::array<double, 9> CamarillaRule::levels(const Candle& c) {
  const double cl = c.close;
  const double w = (c.high - c.low) * 1.1;
  return {typical_price(c),   cl + w / 12, cl + w / 6, cl + w * 0.25, cl + w * 0.5,
          cl - w / 12, cl - w / 6, cl - w * 0.25, cl - w * 0.5};
}

}  // namespace fendro
