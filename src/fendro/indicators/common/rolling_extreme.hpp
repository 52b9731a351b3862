// The largest (or smallest) of the last n values pushed, in amortised O(1):
// a queue of candidates in arrival order, each strictly better than every
// newer one; a new value drops the candidates at the back that are no better
// than it (so of equal values the newest survives), and candidates older than
// the window leave at the front.
//
// The queue lives in a ring whose size is a power of two. It never holds more
// than min(n, pushes) candidates, so the ring grows (by doubling, a move of
// the live candidates) only while the window fills; once it is large enough
// a push touches no allocator.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace fendro::vol {

template <class Better>
class RollingExtreme {
 public:
  // n >= 1: the window length, checked by the owner.
  explicit RollingExtreme(std::uint64_t n) : n_(n) {}

  void push(double x) {
    ++count_;
    // Each push moves the window by one, so at most the front candidate (the
    // one that arrived n pushes ago) leaves. Which candidates survive does not
    // depend on whether it leaves before or after x arrives; before keeps the
    // queue within n candidates.
    if (tail_ != head_ && count_ - slots_[head_ & mask_].index >= n_) ++head_;
    // Candidates no better than x can never be reported again.
    while (tail_ != head_ && !Better{}(slots_[(tail_ - 1) & mask_].value, x)) --tail_;
    if (tail_ - head_ == slots_.size()) [[unlikely]] grow();
    slots_[tail_ & mask_] = Entry{count_, x};
    ++tail_;
  }

  // The extreme of the last min(n, pushes) values; at least one push first.
  double value() const { return slots_[head_ & mask_].value; }
  // Values pushed so far.
  std::uint64_t count() const { return count_; }
  // Pushes since the reported extreme arrived: 0 when it is the newest value.
  // Of equal extremes it is the newest (the queue keeps only that one).
  std::uint64_t age() const { return count_ - slots_[head_ & mask_].index; }

 private:
  struct Entry {
    std::uint64_t index;  // 1-based arrival number
    double value;
  };

  // Doubles the ring (8 slots at first, never past the power of two that
  // holds n candidates), keeping the candidates in order from slot 0. Called
  // with fewer than n candidates held, so the new size always has room.
  [[gnu::cold]] void grow() {
    const std::uint64_t live = tail_ - head_;
    const std::uint64_t want = live == 0 ? std::uint64_t{8} : live * 2;
    const std::uint64_t limit = n_ > (std::uint64_t{1} << 62) ? want : std::bit_ceil(n_);
    const std::uint64_t size = want < limit ? want : limit;
    std::vector<Entry> fresh(static_cast<std::size_t>(size));
    for (std::uint64_t i = 0; i < live; ++i) fresh[i] = slots_[(head_ + i) & mask_];
    slots_ = std::move(fresh);
    mask_ = size - 1;
    head_ = 0;
    tail_ = live;
  }

  std::vector<Entry> slots_;
  std::uint64_t mask_ = 0;
  std::uint64_t head_ = 0;  // ring position of the oldest candidate (masked on use)
  std::uint64_t tail_ = 0;  // one past the newest candidate
  std::uint64_t count_ = 0;
  std::uint64_t n_;
};

using RollingMax = RollingExtreme<std::greater<>>;
using RollingMin = RollingExtreme<std::less<>>;

}  // namespace fendro::vol
