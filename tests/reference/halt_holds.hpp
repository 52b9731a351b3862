// What a type holds on a halt after a walk, where that is not its flat case
// (a ratio of two averages that decay together is read as it stood when the
// halt reached its period; a chain of averages follows its arithmetic one
// way, then stays). The reference finds the claim by running the type over
// walks that end in a halt, at its customary parameters and with each
// whole-number parameter at 2 and at twice its customary value, and names the
// halt bar by the parameters it follows. What is written is read back and
// tried on every run again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fendro/registry/registry.hpp"

namespace fendro::reference {

// The flat candles after each walk (3,000 candles of the sample candles'
// recipe, seeds 2024, 77 and 5).
inline constexpr std::size_t kHoldHaltBars = 20000;

// "On a halt it holds the value it had at halt bar `period`." where from
// that bar on every run reads one value, bit for bit, other than the flat
// case at the halt's price (or a rounding of it), and some run changes past
// half that bar; "On a halt it moves one way from halt bar `n`, then
// holds." ("On a halt it moves one way, then holds." from halt bar 1) where
// every run moves without turning back from there and reads one such value
// through the second half of the halt; "" where neither holds, or the row's
// own text speaks of a halt.
std::string halt_hold_sentence(const registry::Entry& row);

// The faults of what `value` (a row's written value) says the type holds on
// a halt, tried on every run: none when it holds or says nothing of it.
std::vector<std::string> halt_hold_faults(std::string_view value, const registry::Entry& row);

}  // namespace fendro::reference
