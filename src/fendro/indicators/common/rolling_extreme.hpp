// The largest (or smallest) of the last n values pushed, in amortised O(1):
// a queue of candidates in arrival order, each strictly better than every
// newer one; a new value drops the candidates at the back that are no better
// than it (so of equal values the newest survives), and candidates older than
// the window leave at the front.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace fendro::vol {

template <class Better>
class RollingExtreme {
 public:
  explicit RollingExtreme(std::uint64_t n) : n_(n) {}

  void push(double x) {
    ++count_;
    while (buf_.size() > begin_ && !Better{}(buf_.back().value, x)) buf_.pop_back();
    if (buf_.size() == buf_.capacity() && begin_ * 2 >= buf_.size()) {
      // Reuse the room freed at the front rather than grow, once it is at
      // least half the storage: each entry moved was paid for by one that
      // left, and the storage stays within a few times the live entries.
      buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(begin_));
      begin_ = 0;
    }
    buf_.push_back({count_, x});
    while (count_ - buf_[begin_].index >= n_) ++begin_;
  }

  // The extreme of the last min(n, pushes) values; at least one push first.
  double value() const { return buf_[begin_].value; }
  // Values pushed so far.
  std::uint64_t count() const { return count_; }

 private:
  struct Entry {
    std::uint64_t index;  // 1-based arrival number
    double value;
  };
  std::vector<Entry> buf_;
  std::size_t begin_ = 0;
  std::uint64_t count_ = 0;
  std::uint64_t n_;
};

using RollingMax = RollingExtreme<std::greater<>>;
using RollingMin = RollingExtreme<std::less<>>;

}  // namespace fendro::vol
