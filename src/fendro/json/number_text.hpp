// The text of a number as the reader scans it, and the short text a long
// one is cut down to before its conversion: a number of hundreds of
// megabytes of digits is never handed to the conversion whole.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fendro/util/paced_copy.hpp"

namespace fendro::json::detail {

// The digits of a number as scanned, before conversion to a value.
struct NumberText {
  const char* int_start;
  const char* int_end;
  const char* frac_start;
  const char* frac_end;  // == frac_start without a fraction
  const char* end;       // just past the number
  std::uint64_t sig;     // all digits, exact while there are at most 19
  std::int32_t exp;      // the exponent as written, 0 without one
  bool is_float;         // has a fraction or an exponent
};

// Numbers whose text is longer than this are converted from their cut.
inline constexpr std::size_t kLongNumberBytes = 1024;

// Significant digits a cut keeps. Each boundary between the values that
// round to two neighbouring doubles (a midpoint between them, the least
// value that rounds up to the least subnormal, the least that overflows)
// is a decimal of at most 768 significant digits. Cut after more digits
// than that, with a digit 1 appended in place of whatever non-zero digits
// were dropped, a number lies strictly between the same two multiples of
// its last kept digit's unit as the whole number, and no boundary lies
// between those: both round alike.
inline constexpr std::size_t kCutDigits = 800;

struct CutNumber {
  // Sign, digits (kCutDigits, one more standing for those dropped), 'e' and
  // a 64-bit exponent.
  char text[1 + kCutDigits + 1 + 1 + 20];
  std::size_t size = 0;
  // The decimal magnitude of the number as written: how many digits stand
  // before its point, or minus how many zeros lead its fraction when its
  // integer part is 0.
  std::int64_t magnitude = 0;
};

// Cuts the scanned number `t` down as above. Its long runs of digits are
// gone through in stretches told to `pacer`; false once it says stop.
bool cut_number(bool positive, const NumberText& t, CopyPacer& pacer, CutNumber& out);

// The first digit other than 0 in the digits [p, end), or end; gone
// through in stretches told to `pacer` (end once it says stop).
const char* find_nonzero_digit(const char* p, const char* end, CopyPacer& pacer);

// The first byte at or after p that is not the digit 0, or end.
const char* skip_zeros(const char* p, const char* end);

}  // namespace fendro::json::detail
