// The last N values of a series, newest first: index 0 is the value pushed
// last. A push beyond N drops the oldest. Fixed storage, no allocation.
#pragma once

#include <array>
#include <cstddef>

namespace fendro::cycle {

template <std::size_t N>
class RecentValues {
 public:
  void push(double x) {
    head_ = head_ + 1 == N ? 0 : head_ + 1;
    buf_[head_] = x;
    if (len_ < N) ++len_;
  }
  // The value `i` pushes back (0 = newest); i < len().
  double operator[](std::size_t i) const { return buf_[head_ >= i ? head_ - i : head_ + N - i]; }
  std::size_t len() const { return len_; }
  bool full() const { return len_ == N; }

 private:
  std::array<double, N> buf_{};
  std::size_t head_ = N - 1;
  std::size_t len_ = 0;
};

}  // namespace fendro::cycle
