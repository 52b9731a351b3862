// Candles in the plain forms that bulk data comes in, compact or with the
// blanks JSON writers put, decoded straight from the text without the
// parser's general steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fendro/market/records.hpp"

namespace fendro {

// The longest spelling a CandleSpellings notes, and the bytes readable at
// each place it gives: a copy can move them all at once.
inline constexpr std::size_t kSpellingRoom = 16;

// Where the numbers of one candle are spelled, in field order (time, open,
// high, low, close, volume): `length[k]` bytes at `at[k]` spell the time
// by its digits, a float in the fixed decimal form that
// json::read_short_number tells of; length 0 when the number has no such
// spelling (or none was noted: a missing volume, a candle not read at
// once) and is to be written from its value.
struct CandleSpellings {
  const char* at[6];
  std::uint32_t length[6];
};

// Takes the candles at the start of `text` (the first byte of an element of
// a candle list) while each is plain: blanks only between tokens, as JSON
// writers put them (a space after commas and colons, or line breaks and
// indentation); an object whose keys are among time, open, high, low, close
// and volume, each at most once, all but volume present; or an array of 5
// or 6 numbers; time an integer of at most 18 digits, the others numbers in
// the forms that json::read_short_number reads. Each is appended to `out` as
// the general reader would decode it. Returns the bytes taken: whole
// candles and the commas and blanks between them (0 when the first is not
// plain), ending with the first candle that reaches `stretch` bytes, so
// that a caller can look up between stretches. Whatever it does not take is
// the general reader's, which also tells every failure.
//
// With `spellings`, one entry is appended there for each candle appended
// to `out`: where its numbers are spelled in the text, for a writer that
// copies them rather than formatting them again.
std::size_t read_plain_candles(std::string_view text, std::vector<Candle>& out,
                               std::size_t stretch = static_cast<std::size_t>(-1),
                               std::vector<CandleSpellings>* spellings = nullptr);

}  // namespace fendro
