// What a type's value does on a long halt, as the reference tells it. On
// flat candles an average of moves decays by the same factor every bar; a
// ratio of two such averages holds until they sink into the subnormal
// numbers, lose their precision and drift. The reference runs each type
// that candles alone drive over the fingerprint's halted walk and, where
// its value or a named output still changes long into the halt, ends the
// row's value with the halt bar of the last change. The claim is read back
// from the written text and tried on a fresh instance.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "indicators/all_feeds.hpp"

namespace fendro::reference {

// The walk's first `moving` bars, then flat ones; halt bar 1 is bars[moving].
struct HaltedSeries {
  std::vector<testing::Bar> bars;
  std::size_t moving = 0;
  std::size_t halted() const { return bars.size() - moving; }
};

// The fingerprint's: 3,000 moving bars of the walk, then 90,000 flat ones.
HaltedSeries fingerprint_halt(const std::vector<testing::Bar>& walk);

// The halt bar of the last change of what the instance gives (whether it
// gives a value, the value, a named output: to the bit); 0 when nothing
// changes after the last moving bar.
std::size_t last_halt_change(Indicator& ind, const HaltedSeries& series);

// Whether a last change at halt bar `bar` is told: past ten times the
// warm-up and past halt bar 1,000, where an average of the type's length
// has long settled onto the last close.
bool halt_change_is_told(std::size_t bar, std::uint64_t warmup);

// The sentence a row's value ends with for a last change at `bar`.
std::string halt_sentence(std::size_t bar, std::size_t halted);

// The faults of what `value` (a row's written value) says of the halt,
// tried on `fresh`, a new instance at the row's parameters: none when it
// holds. Only a type that candles alone drive is told of (`applies`): the
// halted walk keeps the other feeds moving, so any other row must say
// nothing.
std::vector<std::string> halt_claim_faults(std::string_view value, Indicator& fresh, const HaltedSeries& series,
                                           bool applies);

}  // namespace fendro::reference
