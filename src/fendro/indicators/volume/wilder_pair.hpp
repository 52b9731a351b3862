// Two Wilder averages that seed together: each starts as the plain mean of
// its first n inputs (one shared count); afterwards the owner smooths each
// with its own rule, testing both at once, and reads a value off both
// (kept_pair on their settled path).
#pragma once

#include <array>
#include <cstdint>

#include "fendro/indicators/windows/halt_hold.hpp"
#include "fendro/indicators/windows/settled_step.hpp"

namespace fendro::volume {

struct WilderPair {
  std::uint64_t period = 0;
  double first = 0.0;
  double second = 0.0;
  double first_seed = 0.0;
  double second_seed = 0.0;
  std::uint64_t count = 0;
  bool seeded = false;
  std::array<SettledStep, 2> settled;  // the owner's steps, skipped once settled
  SettledValue<2> settled_value;       // the owner's value, kept for averages below normal
  HaltHold halt;  // the owner's ratio, held once both inputs have been 0 for the period

  explicit WilderPair(std::uint64_t n) : period(n) {}

  // One seeding input for each average; true once the n-th has set both means.
  bool seed(double x, double y) {
    first_seed = x + first_seed;
    second_seed = y + second_seed;
    if (++count < period) return false;
    const double n = static_cast<double>(count);
    first = first_seed / n;
    second = second_seed / n;
    seeded = true;
    return true;
  }
};

}  // namespace fendro::volume
