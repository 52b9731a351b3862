// Putting object members in the tree's order (key bytes ascending, the last
// of equal keys kept), shared by the arena and the parser.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fendro/json/value.hpp"

namespace fendro::json {

// Byte order of keys. Keys are short: an inline loop beats a call to memcmp.
inline bool key_bytes_less(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
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

}  // namespace fendro::json
