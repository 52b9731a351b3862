// Small dense least-squares solvers of the regression pair models. A pivot
// of magnitude below 1e-12 counts as singular: the fit fails instead of
// dividing by (almost) zero.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace fendro::pairs {

inline constexpr double kMinPivot = 1e-12;

// Solves M x = r for the k-by-k row-major M by Gaussian elimination without
// row exchange; M and r are consumed. False when a pivot is too small.
bool solve_in_order(std::span<double> m, std::span<double> r, std::size_t k,
                    std::span<double> x);

// Solves the 4-by-4 M x = r by Gaussian elimination with partial pivoting
// (the later row wins a tie in magnitude); M and r are consumed.
bool solve4_pivoting(std::array<double, 16>& m, std::array<double, 4>& r,
                     std::array<double, 4>& x);

// Work areas of an ordinary least-squares fit with up to `max_columns`
// regressors, reserved for all of them at the first fit, so that no later
// fit allocates. Nothing is reserved before: the columns' square may be far
// more memory than a run whose windows never fill would ever use.
class OlsWork {
 public:
  explicit OlsWork(std::uint64_t max_columns) : max_columns_(max_columns) {}

  // Residual sum of squares of the least-squares fit of y on the rows:
  // `fill(r, row)` writes row r's regressors into `row` (k entries) and
  // returns its target. Normal equations accumulated over the rows in order
  // from zero; none when they are singular.
  template <class Fill>
  std::optional<double> rss(std::size_t k, std::size_t rows, Fill fill);

  // The coefficients of the last successful fit.
  std::span<const double> coefficients() const { return coef_; }

  // After a successful fit: element (0, 0) of the inverse normal matrix,
  // by solving it against the first unit vector in the same way. It
  // consumes the normal matrix; the same pivots as the fit, so it succeeds.
  std::optional<double> inverse_first_diagonal();

 private:
  // Reserves every area for `max_columns_` regressors; throws
  // std::bad_alloc when they cannot be had.
  [[gnu::noinline]] void reserve_all();

  std::uint64_t max_columns_;
  std::vector<double> xtx_;
  std::vector<double> work_;  // the copy a solve consumes
  std::vector<double> xty_;
  std::vector<double> coef_;
  std::vector<double> row_;
};

// Copies the upper triangle of a k-by-k row-major matrix onto the lower one.
// Normal matrices are accumulated on the upper triangle only: each product
// x_i * x_j equals x_j * x_i exactly, so both halves would hold the same sums.
inline void mirror_upper(std::span<double> m, std::size_t k) {
  for (std::size_t i = 0; i < k; ++i) {
    for (std::size_t j = i + 1; j < k; ++j) m[j * k + i] = m[i * k + j];
  }
}

// x . b over the columns in order, from -0.0.
inline double dot_in_order(std::span<const double> x, std::span<const double> b) {
  double s = -0.0;
  for (std::size_t j = 0; j < x.size(); ++j) s = s + x[j] * b[j];
  return s;
}

template <class Fill>
std::optional<double> OlsWork::rss(std::size_t k, std::size_t rows, Fill fill) {
  if (row_.capacity() < max_columns_) reserve_all();
  xtx_.assign(k * k, 0.0);
  work_.assign(k * k, 0.0);
  xty_.assign(k, 0.0);
  coef_.assign(k, 0.0);
  row_.assign(k, 0.0);
  for (std::size_t r = 0; r < rows; ++r) {
    const double y = fill(r, std::span<double>(row_));
    for (std::size_t i = 0; i < k; ++i) {
      for (std::size_t j = i; j < k; ++j) xtx_[i * k + j] = xtx_[i * k + j] + row_[i] * row_[j];
      xty_[i] = xty_[i] + row_[i] * y;
    }
  }
  mirror_upper(xtx_, k);
  work_.assign(xtx_.begin(), xtx_.end());
  if (!solve_in_order(work_, xty_, k, coef_)) return std::nullopt;
  double ssr = 0.0;
  for (std::size_t r = 0; r < rows; ++r) {
    const double y = fill(r, std::span<double>(row_));
    const double e = y - dot_in_order(row_, coef_);
    ssr = ssr + e * e;
  }
  return ssr;
}

}  // namespace fendro::pairs
