// The two small steps every relative-strength measure starts from: the
// change against the previous input, and its split into a gain and a loss.
#pragma once

#include <optional>

namespace fendro {

struct Move {
  double gain;  // the change when positive, else 0
  double loss;  // minus the change when negative, else 0
};

inline Move split_move(double change) {
  return {change > 0.0 ? change : 0.0, change < 0.0 ? -change : 0.0};
}

// x - previous input, then x becomes the previous input; the first input
// only primes.
inline std::optional<double> next_change(std::optional<double>& prev, double x) {
  if (!prev) {
    prev = x;
    return std::nullopt;
  }
  const double change = x - *prev;
  prev = x;
  return change;
}

// next_change with the change handed back in `change` (true when there is
// one): the owner's step then tests one flag it never has to store.
inline bool next_change_to(std::optional<double>& prev, double x, double& change) {
  if (!prev) [[unlikely]] {
    prev = x;
    return false;
  }
  change = x - *prev;
  prev = x;
  return true;
}

}  // namespace fendro
