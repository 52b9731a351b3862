// Putting object members in the tree's order (key bytes ascending, the last
// of equal keys kept), shared by the arena and the parser.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fendro/json/value.hpp"
#include "fendro/util/interrupt.hpp"
#include "fendro/util/result.hpp"

namespace fendro::json {

// Byte order of keys. Keys are short: an inline loop beats a call to memcmp,
// which takes over only where both are long (one comparison of two huge keys
// is then a few milliseconds at most).
inline bool key_bytes_less(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  if (n > 64) {
    const int c = std::memcmp(a.data(), b.data(), n);
    return c != 0 ? c < 0 : a.size() < b.size();
  }
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

// Objects up to this many members are ordered by index, without moving them.
inline constexpr std::size_t kSmallObject = 16;

// For n <= kSmallObject keys (key_at(i) gives key i): fills `order` with the
// indices of the members to keep, in key order, and returns how many. A
// stable insertion sort, so of equal keys the last one given is kept.
template <class KeyAt>
std::size_t order_small_object(std::size_t n, std::uint8_t* order, KeyAt key_at) {
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<std::uint8_t>(i);
    std::size_t j = i;
    while (j > 0 && key_bytes_less(key_at(x), key_at(order[j - 1]))) {
      order[j] = order[j - 1];
      --j;
    }
    order[j] = x;
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    // Sorted: the next key is equal unless it is greater.
    if (i + 1 < n && !key_bytes_less(key_at(order[i]), key_at(order[i + 1]))) continue;
    order[kept++] = order[i];
  }
  return kept;
}

// Puts `ms` in the tree's order in place; returns how many members are kept
// at the front.
std::size_t sort_members_keep_last(Member* ms, std::size_t n);

// What a sort that may be asked to stop counts its work in: a member moved or
// compared, and each 32 bytes of its key that a comparison may have to read.
inline std::size_t sort_work(std::string_view key) { return 1 + (key.size() >> 5); }
// The work of one run that std::stable_sort puts in order between two asks,
// and of a stretch of merging or deduplicating between two asks: each a
// millisecond or so even where the keys lie scattered over a large text.
inline constexpr std::size_t kSortRunWork = 4096;
inline constexpr std::size_t kSortStepWork = 16384;

// The same order, for a reader whose caller may stop it. Members of no more
// than one run's work are sorted as above. A larger object is sorted in runs,
// which are then merged pair by pair (stably, through a buffer of n members),
// with `interrupt` asked between bounded steps, a long merge's included.
// Stopped, `ms` holding its members in no useful order, once it asks to stop.
Result<std::size_t, Stopped> sort_members_keep_last(Member* ms, std::size_t n, const Interrupt& interrupt);

}  // namespace fendro::json
