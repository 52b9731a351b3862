// Every type key of the families' tables in one index, built on first use:
// the factory and the feed lookup share its exact-match search.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "fendro/registry/registry.hpp"

namespace fendro::registry {

// Every registered entry, ordered by the length of its key and then by its
// bytes (the aliases are not type keys).
std::span<const Entry> key_rows();

// Position of `key` in key_rows(): lengths equal and every byte equal; no
// hashing, no allocation. Nothing for any other text.
std::optional<std::size_t> key_slot(std::string_view key);

}  // namespace fendro::registry
