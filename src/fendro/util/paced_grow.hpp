// Growing a long vector, and emptying a large map, while a caller waits to be
// able to stop the work. A vector that grows by itself copies everything it
// holds at once; a list of millions of records takes tens of milliseconds for
// that copy, and hundreds of thousands of map entries as long to free.
#pragma once

#include <algorithm>
#include <cstddef>
#include <type_traits>
#include <vector>

#include "fendro/util/huge_pages.hpp"
#include "fendro/util/interrupt.hpp"
#include "fendro/util/paced_copy.hpp"
#include "fendro/util/small_frees.hpp"

namespace fendro {

namespace detail {

// `v`'s elements moved into storage of room for `capacity`, copied in
// stretches with `interrupt` asked between them, and the old storage's pages
// given back the same way before it is freed. False, with `v` as it was,
// when it asked to stop.
template <class T>
bool move_to_room(std::vector<T>& v, std::size_t capacity, const Interrupt& interrupt) {
  static_assert(std::is_trivially_copyable_v<T>);
  std::vector<T> fresh;
  fresh.reserve(capacity);
  CopyPacer pacer(interrupt);
  // Stretches of whole elements, at least kCopyStretchBytes each: one ask apiece.
  constexpr std::size_t kStretch = (kCopyStretchBytes + sizeof(T) - 1) / sizeof(T);
  for (std::size_t at = 0; at < v.size(); at += kStretch) {
    const std::size_t n = std::min(kStretch, v.size() - at);
    fresh.insert(fresh.end(), v.begin() + static_cast<std::ptrdiff_t>(at),
                 v.begin() + static_cast<std::ptrdiff_t>(at + n));
    if (!pacer.copied(n * sizeof(T))) return false;
  }
  v.swap(fresh);
  return give_back_pages(fresh.data(), fresh.capacity() * sizeof(T), [&] { return !interrupt.stop_requested(); });
}

}  // namespace detail

// Gives `v` room for `capacity` elements, the ones it holds copied into the
// new storage in stretches with `interrupt` asked between them. False when
// it asked to stop (`v` may then have its new room or not).
template <class T>
bool reserve_paced(std::vector<T>& v, std::size_t capacity, const Interrupt& interrupt) {
  if (capacity <= v.capacity()) return true;
  if (v.size() * sizeof(T) <= kCopyStretchBytes || !interrupt.active()) {
    v.reserve(capacity);
    return true;
  }
  return detail::move_to_room(v, capacity, interrupt);
}

// Cuts the room of `v` down to what it holds, as shrink_to_fit does, a long
// one copied in stretches as reserve_paced does. False when `interrupt`
// asked to stop.
template <class T>
bool shrink_to_fit_paced(std::vector<T>& v, const Interrupt& interrupt) {
  if (v.capacity() == v.size()) return true;
  if (v.size() * sizeof(T) <= kCopyStretchBytes || !interrupt.active()) {
    v.shrink_to_fit();
    return true;
  }
  return detail::move_to_room(v, v.size(), interrupt);
}

// Entries a map frees between two asks.
inline constexpr std::size_t kEraseStretch = 4096;

// Frees the entries of `map` from the front, a stretch at a time with
// `interrupt` asked after each, until at most a stretch is left. False once
// it asked to stop.
template <class Map>
bool shrink_paced(Map& map, const Interrupt& interrupt) {
  while (map.size() > kEraseStretch) {
    for (std::size_t k = 0; k < kEraseStretch; ++k) map.erase(map.begin());
    tidy_small_frees();
    if (interrupt.stop_requested()) return false;
  }
  return true;
}

}  // namespace fendro
