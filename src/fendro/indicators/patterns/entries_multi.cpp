// Registry entries of this family: one row per type key.
#include "fendro/registry/families.hpp"

namespace fendro::registry {

std::span<const Entry> multi_candle_pattern_entries() { return {}; }

}  // namespace fendro::registry
