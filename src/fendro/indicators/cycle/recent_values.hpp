// The last N values of a series, newest first: index 0 is the value pushed
// last. A push beyond N drops the oldest. Fixed storage, no allocation: each
// value is written twice, N slots apart, so the newest-first run is always
// one contiguous block.
#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace fendro::cycle {

template <std::size_t N>
class RecentValues {
 public:
  void push(double x) {
    head_ = head_ == 0 ? N - 1 : head_ - 1;
    buf_[head_] = x;
    buf_[head_ + N] = x;
    if (len_ < N) ++len_;
  }
  // The value `i` pushes back (0 = newest); i < len().
  double operator[](std::size_t i) const { return buf_[head_ + i]; }
  // The held values, newest first.
  std::span<const double> newest_first() const {
    return std::span<const double>(buf_).subspan(head_, len_);
  }
  std::size_t len() const { return len_; }

 private:
  std::array<double, 2 * N> buf_{};
  std::size_t head_ = 0;
  std::size_t len_ = 0;
};

}  // namespace fendro::cycle
