// The Granger F statistic and Hasbrouck's information share on every bar of
// a run, against textbook readings: least squares by Gram-Schmidt in long
// double (never the normal equations), and the share bounds from the
// Cholesky factor of the residual covariance in both orders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

#include "indicators/pairs/pairs_testing.hpp"

namespace fendro::testing::pairs {
namespace {

using Column = std::vector<long double>;

long double dot(const Column& x, const Column& y) {
  long double s = 0.0L;
  for (std::size_t i = 0; i < x.size(); ++i) s += x[i] * y[i];
  return s;
}

// Least squares of y on the columns: the coefficients (modified Gram-Schmidt
// QR, then R b = Q'y) and the residual sum of squares.
struct Fit {
  std::vector<long double> coef;
  long double rss;
};

Fit least_squares(std::vector<Column> cols, const Column& y) {
  const std::size_t k = cols.size();
  std::vector<std::vector<long double>> r(k, std::vector<long double>(k, 0.0L));
  for (std::size_t j = 0; j < k; ++j) {
    for (std::size_t i = 0; i < j; ++i) {
      r[i][j] = dot(cols[i], cols[j]);
      for (std::size_t t = 0; t < y.size(); ++t) cols[j][t] -= r[i][j] * cols[i][t];
    }
    r[j][j] = std::sqrt(dot(cols[j], cols[j]));
    for (long double& v : cols[j]) v /= r[j][j];
  }
  std::vector<long double> qty(k);
  for (std::size_t j = 0; j < k; ++j) qty[j] = dot(cols[j], y);
  std::vector<long double> b(k);
  for (std::size_t j = k; j-- > 0;) {
    long double s = qty[j];
    for (std::size_t i = j + 1; i < k; ++i) s -= r[j][i] * b[i];
    b[j] = s / r[j][j];
  }
  long double rss = dot(y, y);
  for (std::size_t j = 0; j < k; ++j) rss -= qty[j] * qty[j];
  return {b, rss};
}

// F of adding B's last `lag` values to an autoregression of A (with
// constant) over the window.
double granger_f(const std::vector<double>& a, const std::vector<double>& b, std::size_t lag) {
  const std::size_t rows = a.size() - lag;
  Column y(rows);
  std::vector<Column> restricted(1 + lag, Column(rows));
  std::vector<Column> lagged_b(lag, Column(rows));
  for (std::size_t r = 0; r < rows; ++r) {
    const std::size_t t = r + lag;
    y[r] = a[t];
    restricted[0][r] = 1.0L;
    for (std::size_t i = 1; i <= lag; ++i) {
      restricted[i][r] = a[t - i];
      lagged_b[i - 1][r] = b[t - i];
    }
  }
  std::vector<Column> unrestricted = restricted;
  unrestricted.insert(unrestricted.end(), lagged_b.begin(), lagged_b.end());
  const long double rss_r = least_squares(restricted, y).rss;
  const long double rss_u = least_squares(unrestricted, y).rss;
  const long double dof = static_cast<long double>(rows - (2 * lag + 1));
  const long double f = ((rss_r - rss_u) / lag) / (rss_u / dof);
  return static_cast<double>(std::max(f, 0.0L));
}

TEST(PairModelsReference, GrangerFOnEveryBar) {
  // B leads A by a bar in the first pair; A is unrelated noise in the second.
  SplitMix rng(41);
  std::vector<double> b;
  std::vector<double> led;
  std::vector<double> noise;
  double prev_a = 5.0;
  double prev_b = 5.0;
  for (int i = 0; i < 300; ++i) {
    const double a = 0.3 * prev_a + 0.8 * prev_b + (rng.unit() - 0.5);
    led.push_back(a);
    noise.push_back(rng.unit() * 10.0);
    prev_a = a;
    prev_b = rng.unit() * 10.0;
    b.push_back(prev_b);
  }
  for (const auto* a : {&led, &noise}) {
    for (std::size_t lag : {1u, 2u, 4u}) {
      const std::size_t period = 40;
      IndicatorPtr ind = make("GrangerCausality", {static_cast<double>(period), static_cast<double>(lag)});
      ASSERT_TRUE(ind);
      const auto got = run_pair(*ind, *a, b);
      for (std::size_t i = period - 1; i < got.size(); ++i) {
        const std::vector<double> wa(a->begin() + (i + 1 - period), a->begin() + (i + 1));
        const std::vector<double> wb(b.begin() + (i + 1 - period), b.begin() + (i + 1));
        const double want = granger_f(wa, wb, lag);
        ASSERT_TRUE(got[i]) << lag << " bar " << i + 1;
        ASSERT_NEAR(*got[i], want, 1e-7 * (1.0 + want)) << lag << " bar " << i + 1;
      }
    }
  }
}

// A's share of price discovery: the midpoint of its shares with A first and
// with B first in the Cholesky factor of the residual covariance, from the
// error-correction fits of dA and dB on (1, z, lagA, lagB).
std::optional<double> information_share(const std::vector<double>& a, const std::vector<double>& b) {
  const std::size_t n = a.size() - 2;
  Column da(n), db(n);
  std::vector<Column> x(4, Column(n));
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t t = i + 2;
    da[i] = a[t] - a[t - 1];
    db[i] = b[t] - b[t - 1];
    x[0][i] = 1.0L;
    x[1][i] = a[t - 1] - b[t - 1];
    x[2][i] = a[t - 1] - a[t - 2];
    x[3][i] = b[t - 1] - b[t - 2];
  }
  const Fit fa = least_squares(x, da);
  const Fit fb = least_squares(x, db);
  Column ea(n), eb(n);
  for (std::size_t i = 0; i < n; ++i) {
    ea[i] = da[i];
    eb[i] = db[i];
    for (std::size_t j = 0; j < 4; ++j) {
      ea[i] -= fa.coef[j] * x[j][i];
      eb[i] -= fb.coef[j] * x[j][i];
    }
  }
  const long double var_a = dot(ea, ea) / n;
  const long double var_b = dot(eb, eb) / n;
  const long double cov = dot(ea, eb) / n;
  // psi = (alpha_B, -alpha_A) is orthogonal to the adjustment speeds.
  const long double psi_a = fb.coef[1];
  const long double psi_b = -fa.coef[1];
  const long double total = psi_a * psi_a * var_a + 2 * psi_a * psi_b * cov + psi_b * psi_b * var_b;
  if (total <= 0.0L) return std::nullopt;
  // A first: F = [[sA, 0], [cov/sA, .]]; B first: F = [[sB, 0], [cov/sB, .]].
  const long double sa = std::sqrt(var_a);
  const long double sb = std::sqrt(var_b);
  const long double a_first = psi_a * sa + psi_b * cov / sa;
  const long double b_first = psi_b * sb + psi_a * cov / sb;
  const long double upper = std::min(a_first * a_first / total, 1.0L);
  const long double lower = std::clamp(1.0L - b_first * b_first / total, 0.0L, 1.0L);
  return static_cast<double>((upper + lower) / 2);
}

TEST(PairModelsReference, InformationShareOnEveryBar) {
  // B a random walk; A tracks it with a lag and its own noise, and now and
  // then leads it, so both prices adjust and the share moves inside (0, 1).
  const auto b = reference_walk(400, 17);
  SplitMix rng(23);
  std::vector<double> a = {b[0]};
  for (std::size_t i = 1; i < b.size(); ++i) {
    const double lead = i + 1 < b.size() && rng.unit() < 0.3 ? b[i + 1] - b[i] : 0.0;
    a.push_back(0.5 * a.back() + 0.5 * b[i - 1] + lead + (rng.unit() - 0.5) * 0.2);
  }
  for (std::size_t period : {6u, 12u, 50u}) {
    IndicatorPtr ind = make("HasbrouckInformationShare", {static_cast<double>(period)});
    ASSERT_TRUE(ind);
    const auto got = run_pair(*ind, a, b);
    std::size_t inside = 0;
    for (std::size_t i = period + 1; i < got.size(); ++i) {
      const std::vector<double> wa(a.begin() + (i - period - 1), a.begin() + (i + 1));
      const std::vector<double> wb(b.begin() + (i - period - 1), b.begin() + (i + 1));
      const auto want = information_share(wa, wb);
      ASSERT_TRUE(got[i] && want) << period << " bar " << i + 1;
      ASSERT_NEAR(*got[i], *want, 1e-9) << period << " bar " << i + 1;
      if (*want > 0.01 && *want < 0.99 && *want != 0.5) ++inside;
    }
    EXPECT_GT(inside, (got.size() - period) / 2) << period;
  }
}

}  // namespace
}  // namespace fendro::testing::pairs
