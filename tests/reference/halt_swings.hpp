// Whether a type moves steadily through a long halt after a walk (halt_swings.cpp).
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "fendro/registry/registry.hpp"

namespace fendro::reference {

// The first parameter set (customary, or a whole-number parameter at 2 or
// 14) whose value or a named output turns back more than twice past the
// warm-up, or jumps by more than 1% of its range after halt bar 1,000;
// "" when none does. And the last halt bar on which any set changes.
struct HaltSwing {
  std::string swing;
  std::size_t last_change = 0;
};
HaltSwing halt_swing_of(const registry::Entry& row);

// A type whose value on a halt keeps moving in exact arithmetic, or that
// still reads rounding there, with the reason.
struct HaltSwingListing {
  std::string_view key;
  std::string_view reason;
};
std::span<const HaltSwingListing> halt_swing_listings();

}  // namespace fendro::reference
