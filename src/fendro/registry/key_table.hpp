// The table of the 495 indicator type keys and the feed each consumes. The
// factory and the feed lookup share its exact-match search.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "fendro/registry/feed.hpp"

namespace fendro::registry {

struct KeyRow {
  std::string_view key;
  Feed feed;
};

inline constexpr std::size_t kTypeKeyCount = 495;

// Every type key, ordered by length and then by bytes (the aliases are not
// type keys).
std::span<const KeyRow> key_rows();

// Position of `key` in key_rows(): lengths equal and every byte equal; no
// hashing, no allocation. Nothing for any other text.
std::optional<std::size_t> key_slot(std::string_view key);

}  // namespace fendro::registry
