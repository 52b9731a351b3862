// What a type's value does on a long halt, as the reference tells it. On
// flat candles an average of moves decays by the same factor every bar; a
// ratio of two such averages holds until they sink into the subnormal
// numbers, lose their precision and drift. The reference runs each type
// that candles alone drive over a halted series a user can rebuild (the
// sample candles of examples/sample_candles.py, then flat ones) and, where
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
#include "fendro/market/records.hpp"

namespace fendro::reference {

// Moving candles, then flat ones; halt bar 1 is candles[moving].
struct HaltedSeries {
  std::vector<Candle> candles;
  std::size_t moving = 0;
  std::size_t halted() const { return candles.size() - moving; }
};

// `moving`, then `halted` hourly candles whose four prices are the last
// close, at volume 0.
HaltedSeries halt_after(std::vector<Candle> moving, std::size_t halted);

// The reference's: candles(3000) of examples/sample_candles.py (seed 2024),
// then 90,000 flat candles.
HaltedSeries sample_halt();

// What the last change leaves: a value that may still move with each
// later change of the series, or an end of values to read: none at all, or
// NaN (which no comparison holds for) on every bar from then on.
enum class HaltEnd { kValue, kNoValue, kNaN };

// The last change after the last moving candle of what an instance gives:
// whether it gives a value, the value, a named output (to the bit).
struct HaltChange {
  std::size_t bar = 0;  // its halt bar; 0 when nothing changes in the halt
  HaltEnd end = HaltEnd::kValue;
  bool operator==(const HaltChange&) const = default;
};

// Steps `ind` over the series, fed the candle alone as a "prove" feeds it.
HaltChange last_halt_change(Indicator& ind, const HaltedSeries& series);

// Whether a last change at halt bar `bar` is told: past ten times the
// warm-up and past halt bar 1,000, where an average of the type's length
// has long settled onto the last close.
bool halt_change_is_told(std::size_t bar, std::uint64_t warmup);

// The sentence a row's value ends with for `change`.
std::string halt_sentence(const HaltChange& change, std::size_t halted);

// The faults of what `value` (a row's written value) says of the halt,
// tried on `fresh`, a new instance at the row's parameters: none when it
// holds. Only a type that candles alone drive is told of (`applies`); any
// other row must say nothing.
std::vector<std::string> halt_claim_faults(std::string_view value, Indicator& fresh, const HaltedSeries& series,
                                           bool applies);

}  // namespace fendro::reference
