// Candles in the plain forms that bulk data comes in, compact or with the
// blanks JSON writers put, decoded straight from the text without the
// parser's general steps.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "fendro/market/records.hpp"

namespace fendro {

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
std::size_t read_plain_candles(std::string_view text, std::vector<Candle>& out,
                               std::size_t stretch = static_cast<std::size_t>(-1));

}  // namespace fendro
