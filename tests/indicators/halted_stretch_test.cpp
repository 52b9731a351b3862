// The filters that skip a whole step once a halted market has settled them
// give what their plain recursions give, bit for bit: through a halt, a
// market that moves again, a second halt at the first one's close and halts
// disturbed by a move of one ulp either way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

void halt_on(std::vector<Candle>& cs, std::size_t n, double p) {
  cs.insert(cs.end(), n, Candle{0, p, p, p, p, 0.0});
}

std::vector<Candle> halts() {
  std::vector<Candle> cs = random_walk(300, 1);
  const double p = cs.back().close;
  halt_on(cs, 6000, p);  // long enough for the Rsx's stages to settle below normal
  const std::vector<Candle> moved = random_walk(25, 2, p);
  cs.insert(cs.end(), moved.begin(), moved.end());
  for (const double q : {p, std::nextafter(p, 2.0 * p), p, std::nextafter(p, 0.0), p}) {
    halt_on(cs, q == p ? 6000 : 1, q);
  }
  return cs;
}

// Holt's level and trend at alpha = 0.1, beta = 0.3.
std::optional<double> holt_winters(const Candle& c, std::vector<double>& s) {
  const double x = c.close, a = 0.1, b = 0.3;
  if (s.empty()) {
    s = {x};  // the first close
    return std::nullopt;
  }
  if (s.size() == 1) {
    s = {x, x - s[0]};  // level, trend
  } else {
    const double level = x * a + (s[0] + s[1]) * (1.0 - a);
    s = {level, s[1] * (1.0 - b) + b * (level - s[0])};
  }
  return s[0] + s[1];
}

// The adaptive filter at period 7, phase 0, power 2.
std::optional<double> jma(const Candle& c, std::vector<double>& s) {
  const double x = c.close, b = 0.45 * (7.0 - 1.0), beta = b / (b + 2.0);
  const double alpha = beta * beta, keep = 1.0 - alpha;
  if (s.empty()) {
    s = {x, 0.0, 0.0, x};  // e0, det0, det1, value
    return x;
  }
  const double e0 = x * keep + alpha * s[0];
  const double det0 = (x - e0) * (1.0 - beta) + beta * s[1];
  const double det1 = (alpha * alpha) * s[2] + keep * (keep * ((e0 + 1.5 * det0) - s[3]));
  s = {e0, det0, det1, s[3] + det1};
  return s[3];
}

// The Rsx at period 14: the momentum and its magnitude through three
// double-smoothing stages each, their blend clamped to [0, 100]. Both chains
// decay toward 0 once the close stops, each chain by its own stages, so
// their blend moves steadily toward a limit: from the 14th bar in a row
// without a move, the index is held at the first bar it turns back (as it
// stood before) or on the first bar either last stage is below normal (the
// stages run on).
std::optional<double> rsx(const Candle& c, std::vector<double>& s) {
  const double a = 3.0 / 16.0, b = 1.0 - a;
  if (s.empty()) {
    // The last close, six momentum stages, six magnitude stages, the steps,
    // the bars in a row without a move, the held index, whether it is held,
    // the index before, its last direction.
    s.assign(19, 0.0);
    s[0] = c.close;
    return std::nullopt;
  }
  const double m = c.close - s[0];
  s[0] = c.close;
  s[14] = m == 0.0 ? s[14] + 1.0 : 0.0;
  const auto smooth = [&](double* st, double in) {
    st[0] = st[0] * b + in * a;
    st[1] = st[1] * b + st[0] * a;
    st[2] = st[2] * b + (1.5 * st[0] - 0.5 * st[1]) * a;
    st[3] = st[3] * b + st[2] * a;
    st[4] = st[4] * b + (1.5 * st[2] - 0.5 * st[3]) * a;
    st[5] = st[5] * b + st[4] * a;
  };
  smooth(&s[1], m);
  smooth(&s[7], std::abs(m));
  const double w3 = 1.5 * s[11] - 0.5 * s[12];
  double v = 50.0;
  if (w3 > 0.0) v = ((1.5 * s[5] + (-0.5) * s[6]) / w3 + 1.0) * 50.0;
  v = v < 0.0 ? 0.0 : (v > 100.0 ? 100.0 : v);
  if (s[14] < 14.0) {
    s[16] = 0.0;
    s[18] = 0.0;
    s[17] = v;
  } else if (s[16] != 0.0) {
    v = s[15];
  } else {
    const double dir = v > s[17] ? 1.0 : (v < s[17] ? -1.0 : 0.0);
    const bool sunk = std::abs(s[12]) < 0x1p-1022 || std::abs(s[6]) < 0x1p-1022;
    if (dir != 0.0 && s[18] != 0.0 && dir != s[18]) {
      s[16] = 1.0;
      s[15] = v = s[17];
    } else if (sunk) {
      s[16] = 1.0;
      s[15] = v;
    } else {
      if (dir != 0.0) s[18] = dir;
      s[17] = v;
    }
  }
  s[13] += 1.0;
  if (s[13] < 14.0) return std::nullopt;
  return v;
}

// The Fisher transform at period 5: the close's place in the range of the
// last five, smoothed and held inside (-0.999, 0.999), then transformed.
std::optional<double> fisher(const Candle& c, std::vector<double>& s) {
  if (s.empty()) s = {0.0, 0.0};  // the smoothed place, the last value, then the closes
  s.push_back(c.close);
  if (s.size() < 7) return std::nullopt;
  if (s.size() > 7) s.erase(s.begin() + 2);
  const auto [lo, hi] = std::minmax_element(s.begin() + 2, s.end());
  const double raw = *hi - *lo > 0.0 ? fused_mul_add((c.close - *lo) / (*hi - *lo), 2.0, -1.0) : 0.0;
  const double x = std::clamp(fused_mul_add(raw, 0.33, s[0] * 0.67), -0.999, 0.999);
  s[0] = x;
  s[1] = fused_mul_add(0.5, cr::log((1.0 + x) / (1.0 - x)), 0.5 * s[1]);
  return s[1];
}

// The WavePm at 14 and 10, from plain averages: the square of the change
// over 14 bars, its average, the weight 1 - exp(-square / twice the
// average), its average times 100.
struct WavePmSteps {
  EmaState squares = EmaState::of_period(14);
  EmaState weights = EmaState::of_period(10);
  std::optional<double> operator()(const Candle& c, std::vector<double>& closes) {
    closes.push_back(c.close);
    if (closes.size() < 15) return std::nullopt;
    if (closes.size() > 15) closes.erase(closes.begin());
    const double d = c.close - closes.front();
    const double e = d * d;
    const auto ms = ema_update(squares, e);
    if (!ms) return std::nullopt;
    const double w = *ms > 0.0 ? 1.0 - cr::exp(-e / (*ms + *ms)) : 0.0;
    const auto a = ema_update(weights, w);
    if (!a) return std::nullopt;
    return *a * 100.0;
  }
};

TEST(HaltedStretch, SettledFiltersGiveTheirPlainRecursions) {
  using Reference = std::function<std::optional<double>(const Candle&, std::vector<double>&)>;
  const struct {
    const char* key;
    std::vector<double> params;
    Reference reference;
  } cases[] = {{"HoltWinters", {0.1, 0.3}, holt_winters}, {"Jma", {7, 0, 2}, jma},
                 {"Rsx", {14}, rsx},
                 {"FisherTransform", {5}, fisher},
                 {"WavePm", {14, 10}, WavePmSteps{}}};
  const std::vector<Candle> cs = halts();
  for (const auto& c : cases) {
    const Values got = key_values(c.key, c.params, cs);
    ASSERT_EQ(got.size(), cs.size()) << c.key;
    std::vector<double> state;
    for (std::size_t i = 0; i < cs.size(); ++i) {
      ASSERT_TRUE(same_value(got[i], c.reference(cs[i], state))) << c.key << ", bar " << i;
    }
  }
}

}  // namespace
}  // namespace fendro::testing
