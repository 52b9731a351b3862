#include "fendro/indicators/pairs/pair_solvers.hpp"

#include <cmath>
#include <utility>

#include "fendro/util/saturating.hpp"

namespace fendro::pairs {
namespace {

// x[i] = (r[i] - sum over j > i of M[i][j] x[j]) / M[i][i], from the last row.
void back_substitute(std::span<const double> m, std::span<const double> r, std::size_t k,
                     std::span<double> x) {
  for (std::size_t i = k; i-- > 0;) {
    double s = -0.0;
    for (std::size_t j = i + 1; j < k; ++j) s = s + m[i * k + j] * x[j];
    x[i] = (r[i] - s) / m[i * k + i];
  }
}

// Row i -= f * row c (columns c onward) with f = M[i][c] / M[c][c], and the
// same for r, for every row below c.
void eliminate_below(std::span<double> m, std::span<double> r, std::size_t k, std::size_t c) {
  const double pivot = m[c * k + c];
  for (std::size_t i = c + 1; i < k; ++i) {
    const double f = m[i * k + c] / pivot;
    for (std::size_t j = c; j < k; ++j) m[i * k + j] = m[i * k + j] - f * m[c * k + j];
    r[i] = r[i] - f * r[c];
  }
}

}  // namespace

bool solve_in_order(std::span<double> m, std::span<double> r, std::size_t k,
                    std::span<double> x) {
  for (std::size_t c = 0; c < k; ++c) {
    if (!(std::abs(m[c * k + c]) >= kMinPivot)) return false;
    eliminate_below(m, r, k, c);
  }
  back_substitute(m, r, k, x);
  return true;
}

bool solve4_pivoting(std::array<double, 16>& m, std::array<double, 4>& r,
                     std::array<double, 4>& x) {
  constexpr std::size_t k = 4;
  for (std::size_t c = 0; c < k; ++c) {
    std::size_t best = c;
    for (std::size_t i = c + 1; i < k; ++i) {
      if (std::abs(m[i * k + c]) >= std::abs(m[best * k + c])) best = i;
    }
    if (best != c) {
      for (std::size_t j = 0; j < k; ++j) std::swap(m[c * k + j], m[best * k + j]);
      std::swap(r[c], r[best]);
    }
    if (!(std::abs(m[c * k + c]) >= kMinPivot)) return false;
    eliminate_below(m, r, k, c);
  }
  back_substitute(m, r, k, x);
  return true;
}

// The normal matrix is the largest area. A fit comes only once a window is
// full, so these grow with the bars seen: a window the bars never fill never
// asks for them.
void OlsWork::reserve_all() {
  const auto cells = static_cast<std::size_t>(sat_mul(max_columns_, max_columns_));
  xtx_.reserve(cells);
  work_.reserve(cells);
  xty_.reserve(static_cast<std::size_t>(max_columns_));
  coef_.reserve(static_cast<std::size_t>(max_columns_));
  row_.reserve(static_cast<std::size_t>(max_columns_));
}

std::optional<double> OlsWork::inverse_first_diagonal() {
  const std::size_t k = coef_.size();
  // The right-hand side and the solution reuse the fit's vectors, whose
  // coefficients the caller has read.
  xty_.assign(k, 0.0);
  xty_[0] = 1.0;
  if (!solve_in_order(xtx_, xty_, k, coef_)) return std::nullopt;
  return coef_[0];
}

}  // namespace fendro::pairs
