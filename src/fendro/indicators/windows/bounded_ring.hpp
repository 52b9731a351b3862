// A first-in first-out ring of fixed capacity. Storage grows with the entries
// actually pushed (never beyond the capacity), so a long window that sees few
// bars costs little memory; once full, every push overwrites the oldest slot.
// A ring of plain values (pairs of them included) grows without copying what
// it holds once it is large: a window of millions of entries would otherwise
// copy them all in one push, tens of milliseconds with nowhere to ask an
// interrupt, and leave its outgrown copies in the heap for one free at the
// end to hand back to the system all at once.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>
#include <vector>

#include "fendro/util/realloc_stack.hpp"

namespace fendro {

// Makes room for one more entry in a vector that never holds more than `cap`
// entries: doubling, but never reserving beyond `cap`.
template <class Vector>
void reserve_one_more(Vector& v, std::uint64_t cap) {
  if (v.size() < v.capacity()) return;
  const std::uint64_t want = std::max<std::uint64_t>(8, 2 * std::uint64_t{v.size()});
  v.reserve(static_cast<std::size_t>(std::min(cap, want)));
}

template <class T>
class BoundedRing {
 public:
  BoundedRing() = default;
  explicit BoundedRing(std::uint64_t capacity) : cap_(capacity) {}

  std::uint64_t capacity() const { return cap_; }
  std::size_t len() const { return buf_.size(); }
  // Entries the storage has room for now: what the ring holds in memory.
  std::size_t storage_capacity() const { return buf_.capacity(); }
  bool empty() const { return buf_.empty(); }
  bool is_full() const { return buf_.size() == cap_; }

  // Appends x at the back. When the ring already holds `capacity` entries the
  // oldest one leaves first and is returned.
  std::optional<T> push(const T& x) {
    if (buf_.size() < cap_) {
      append(x);
      return std::nullopt;
    }
    if (cap_ == 0) return x;
    return replace_oldest(x);
  }

  // Full ring only: x takes the oldest entry's place; returns that entry.
  T replace_oldest(const T& x) {
    T old = buf_[head_];
    buf_[head_] = x;
    if (++head_ == cap_) head_ = 0;
    return old;
  }

  // replace_oldest for a caller stepping a long run of entries with the
  // oldest entry's slot held in a local `slot` (from head(), advanced here)
  // rather than read back from the ring on every entry; set_head(slot) hands
  // it back before the ring is used any other way.
  T replace_at(std::size_t& slot, const T& x) {
    T old = buf_[slot];
    buf_[slot] = x;
    if (++slot == cap_) slot = 0;
    return old;
  }
  void set_head(std::size_t slot) { head_ = slot; }

  const T& front() const { return buf_[head_]; }
  const T& back() const { return head_ == 0 ? buf_.back() : buf_[head_ - 1]; }
  // Full ring only: the entry in the slot before `slot`. After
  // replace_oldest wrote into `slot` (head() before it), the entry that was
  // newest before the one written, which in a ring of one is that entry
  // itself. Cheaper than back() read before the write.
  const T& before_slot(std::size_t slot) const { return buf_[(slot == 0 ? cap_ : slot) - 1]; }

  // The i-th entry counted from the oldest (0) to the newest (len() - 1).
  const T& operator[](std::size_t i) const { return buf_[slot(i)]; }
  T& operator[](std::size_t i) { return buf_[slot(i)]; }

  // The entries in two runs, oldest first: older() then newer().
  std::span<const T> older() const {
    return all().subspan(head_);
  }
  std::span<const T> newer() const { return all().first(head_); }

  // Calls f on every entry from the oldest to the newest.
  template <class F>
  void for_each(F&& f) const {
    for (const T& x : older()) f(x);
    for (const T& x : newer()) f(x);
  }

  // Storage slot of the oldest entry: the slot the next push overwrites once
  // the ring is full (0 while filling). Slot order is arrival order when 0.
  std::size_t head() const { return head_; }
  // Entries in storage-slot order.
  std::span<const T> slots() const { return all(); }

  void clear() {
    buf_.clear();
    head_ = 0;
  }

 private:
  std::span<const T> all() const { return std::span<const T>(buf_.data(), buf_.size()); }
  std::size_t slot(std::size_t i) const {
    std::size_t s = head_ + i;
    return s >= buf_.size() ? s - buf_.size() : s;
  }
  // Out of line: it runs only while the ring fills, and its growth (an
  // allocation, or a mapping for a long ring) would otherwise sit inside every
  // user's per-bar path, where it made that path slower in most code layouts.
  // The entry comes by value: a reference would make every caller keep the
  // entry (and whatever holds it) in memory on every bar, for this call.
  [[gnu::noinline]] void append(T x) {
    reserve_one_more(buf_, cap_);
    buf_.push_back(x);
  }

  using Storage = std::conditional_t<kCopiedAsBytes<T>, ReallocStack<T>, std::vector<T>>;
  Storage buf_;
  std::uint64_t cap_ = 0;
  std::size_t head_ = 0;
};

// The exact sum of the entries, oldest to newest, starting from -0.0: how
// every running sum over a ring is rebuilt.
inline double ring_sum(const BoundedRing<double>& r) {
  double s = -0.0;
  r.for_each([&s](double v) { s = s + v; });
  return s;
}

// The same sum started from +0.0, for the windows whose exact re-sum starts
// from zero. The two differ only on a window of -0.0 entries alone: +0.0 here,
// -0.0 above.
inline double ring_sum_from_zero(const BoundedRing<double>& r) {
  double s = 0.0;
  r.for_each([&s](double v) { s = s + v; });
  return s;
}

}  // namespace fendro
