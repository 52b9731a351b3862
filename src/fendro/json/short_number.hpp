// Numbers of the common short forms, read straight from text for readers
// that decode bulk data themselves: at most 19 digits, a small exponent.
// Anything else is left to the parser, which is the one that accepts or
// rejects a text: these readers only ever decline, and whatever they take
// has exactly the value the parser gives it.
//
// The caller guarantees kShortNumberRoom readable bytes of text from the
// number's first byte: the digits are loaded eight at a time, and no load
// for a number reaches that far.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "fendro/json/scan.hpp"

namespace fendro::json {

inline constexpr std::size_t kShortNumberRoom = 64;

namespace short_number_detail {

#if defined(__GNUC__)
#define FENDRO_SHORT_NUMBER_INLINE [[gnu::always_inline]] inline
#else
#define FENDRO_SHORT_NUMBER_INLINE inline
#endif

inline constexpr std::uint64_t kPow10[] = {1,      10,      100,      1000,     10000,
                                           100000, 1000000, 10000000, 100000000};
// Exact powers of ten: a product or quotient with one rounds once.
inline constexpr double kPow10F[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr std::uint64_t kLowNibbles = 0x0F * detail::kEachByte;

// Non-zero bits in the bytes of x that are not digits: exact up to the
// first of them, and past it for digits that follow a point or a digit
// (only a byte from 0xFA up carries into the byte after it).
FENDRO_SHORT_NUMBER_INLINE std::uint64_t digit_mask(std::uint64_t x) {
  using detail::kEachByte;
  const std::uint64_t high = 0xF0 * kEachByte;
  return ((x & high) ^ (0x30 * kEachByte)) | (((x + 0x06 * kEachByte) & high) ^ (0x30 * kEachByte));
}

// The value of the first n (1 to 8) digits of x, whose bytes are digit
// values in their low halves.
FENDRO_SHORT_NUMBER_INLINE std::uint64_t leading_value(std::uint64_t x, unsigned n) {
  return detail::eight_digits_value((x & kLowNibbles) << (8 * (8 - n)));
}

// The run of digits at p when it is 1 to 15 long: its length and value;
// 0 for an empty or a longer run.
FENDRO_SHORT_NUMBER_INLINE unsigned digit_run(const char* p, std::uint64_t& value) {
  const std::uint64_t x0 = detail::load8(p);
  const std::uint64_t m0 = digit_mask(x0);
  if (m0 != 0) {
    const unsigned n = static_cast<unsigned>(std::countr_zero(m0)) / 8;
    if (n == 0) return 0;
    value = leading_value(x0, n);
    return n;
  }
  const std::uint64_t x1 = detail::load8(p + 8);
  const std::uint64_t m1 = digit_mask(x1);
  if (m1 == 0) return 0;
  const unsigned n = static_cast<unsigned>(std::countr_zero(m1)) / 8;
  value = detail::eight_digits_value(x0 & kLowNibbles) * kPow10[n] + (n == 0 ? 0 : leading_value(x1, n));
  return 8 + n;
}

}  // namespace short_number_detail

// An integer: an optional minus, then 1 to 15 digits without a leading
// zero (so "-0", a float to the parser, is declined). Returns the end of
// its digits, or nullptr; the caller checks what follows them.
FENDRO_SHORT_NUMBER_INLINE const char* read_short_integer(const char* p, std::int64_t& out) {
  using namespace short_number_detail;
  const bool negative = *p == '-';
  p += negative;
  std::uint64_t sig = 0;
  const unsigned n = digit_run(p, sig);
  if (n == 0 || (*p == '0' && (n > 1 || negative))) return nullptr;
  out = negative ? -static_cast<std::int64_t>(sig) : static_cast<std::int64_t>(sig);
  return p + n;
}

// Any number, as a double: an optional minus, an integer part and an
// optional fraction of 1 to 15 digits each, at most 19 in all, and an
// optional exponent of at most three digits, read when its digits as an
// integer are at most 2^53 and its decimal exponent within 22 either way.
// The value is then that integer times or divided by an exact power of
// ten: one correctly rounded operation, the parser's own value for such a
// text. Returns the end of the number, or nullptr; the caller checks what
// follows it.
//
// With kFixed, `fixed` is also given how many of the number's first bytes
// spell it in the fixed decimal form, or 0 when they do not: no exponent,
// at most seven digits before the point, at most eight after it and the
// last of those not 0, nor a minus before a zero value, 16 bytes at most;
// a lone ".0" is left out ("101.0" gives the three bytes "101"). Such a
// spelling is exactly the value's text with eight decimals and their
// trailing zeros dropped: at most 15 digits are scaled, so the value times
// 10^8 is within far less than a half of the integer they spell.
template <bool kFixed>
FENDRO_SHORT_NUMBER_INLINE const char* read_short_number_as(const char* p, double& out, unsigned& fixed) {
  using namespace short_number_detail;
  const char* const start = p;
  const bool negative = *p == '-';
  p += negative;
  const std::uint64_t x = detail::load8(p);
  const std::uint64_t mask = digit_mask(x);
  unsigned int_digits = static_cast<unsigned>(std::countr_zero(mask)) / 8;  // 8 for none
  if (int_digits == 0 || (*p == '0' && int_digits > 1)) return nullptr;
  std::uint64_t sig;
  unsigned frac_digits = 0;
  const char* end;
  if (int_digits < 7 && p[int_digits] == '.' && (mask >> (8 * int_digits + 8)) != 0) {
    // Most prices end within eight bytes: the digits of the fraction are
    // closed up onto those before the point, all valued at once.
    frac_digits = static_cast<unsigned>(std::countr_zero(mask >> (8 * int_digits + 8))) / 8;
    if (frac_digits == 0) return nullptr;
    const std::uint64_t low = (std::uint64_t{1} << (8 * int_digits)) - 1;
    sig = leading_value((x & low) | ((x >> 8) & ~low), int_digits + frac_digits);
    end = p + int_digits + 1 + frac_digits;
  } else {
    const unsigned n = digit_run(p, sig);
    if (n == 0) return nullptr;
    int_digits = n;
    end = p + n;
    if (*end == '.') {
      std::uint64_t frac = 0;
      frac_digits = digit_run(end + 1, frac);
      if (frac_digits == 0 || n + frac_digits > 19) return nullptr;
      sig = sig * kPow10[frac_digits < 8 ? frac_digits : 8] * (frac_digits > 8 ? kPow10[frac_digits - 8] : 1) + frac;
      end += 1 + frac_digits;
    }
  }
  if constexpr (kFixed) {
    // Without branches: the digit counts of prices vary from one to the next.
    const auto length = static_cast<unsigned>(end - start);
    const bool last_zero = end[-1] == '0';
    const bool plain = int_digits <= 7 && frac_digits <= 8 && length <= 16 && !(negative && sig == 0) &&
                       (frac_digits == 0 || !last_zero || frac_digits == 1);
    const unsigned dropped = (frac_digits == 1 && last_zero) ? 2 : 0;
    fixed = plain ? length - dropped : 0;
  }
  int e10 = -static_cast<int>(frac_digits);
  if ((*end | 0x20) == 'e') {
    if constexpr (kFixed) fixed = 0;
    ++end;
    const bool exp_negative = *end == '-';
    end += *end == '-' || *end == '+';
    int exp = 0;
    int digits = 0;
    for (; detail::is_digit(*end); ++end, ++digits) {
      if (digits == 3) return nullptr;
      exp = exp * 10 + (*end - '0');
    }
    if (digits == 0) return nullptr;
    e10 += exp_negative ? -exp : exp;
  }
  if (sig > (std::uint64_t{1} << 53) || e10 < -22 || e10 > 22) return nullptr;
  const double m = static_cast<double>(sig);
  const double v = e10 < 0 ? m / kPow10F[-e10] : m * kPow10F[e10];
  out = negative ? -v : v;
  return end;
}

FENDRO_SHORT_NUMBER_INLINE const char* read_short_number(const char* p, double& out) {
  unsigned unused;
  return read_short_number_as<false>(p, out, unused);
}

// As read_short_number, with the length of its fixed-form spelling.
FENDRO_SHORT_NUMBER_INLINE const char* read_short_number(const char* p, double& out, unsigned& fixed) {
  return read_short_number_as<true>(p, out, fixed);
}

#undef FENDRO_SHORT_NUMBER_INLINE

}  // namespace fendro::json
