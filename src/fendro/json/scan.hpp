// Byte-level scanning steps of the JSON reader: runs of digits and runs of
// plain string bytes, several bytes at a time where enough text is left
// (never reading past the end of the text), one at a time otherwise.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The smallest steps, inlined wherever they are used.
#if defined(__GNUC__)
#define FENDRO_SCAN_INLINE [[gnu::always_inline]] inline
#else
#define FENDRO_SCAN_INLINE inline
#endif

namespace fendro::json::detail {

inline bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Eight bytes of text as a word whose lowest byte is the first of them.
FENDRO_SCAN_INLINE std::uint64_t load8(const char* p) {
  std::uint64_t x;
  std::memcpy(&x, p, 8);
  if constexpr (std::endian::native == std::endian::big) {
    std::uint64_t r = 0;
    for (int k = 0; k < 8; ++k) r |= ((x >> (8 * k)) & 0xFF) << (8 * (7 - k));
    x = r;
  }
  return x;
}

inline constexpr std::uint64_t kEachByte = 0x0101010101010101ULL;

// The value of eight digit values (0-9, the first in the lowest byte): pairs,
// then quads, then the whole, each step combining neighbouring lanes.
FENDRO_SCAN_INLINE std::uint64_t eight_digits_value(std::uint64_t v) {
  v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFULL;
  v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFULL;
  return (v * 10000 + (v >> 32)) & 0xFFFFFFFFULL;
}

inline constexpr std::uint64_t kPow10U64[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

// Reads the run of decimal digits at p, appending them to `sig` (which may
// wrap: the caller trusts it only for at most 19 digits in all).
inline const char* scan_digits(const char* p, const char* end, std::uint64_t& sig) {
  // Most runs (prices) are short: up to four digits one at a time.
  for (int k = 0; k < 4; ++k) {
    if (p == end || !is_digit(*p)) return p;
    sig = sig * 10 + static_cast<unsigned>(*p++ - '0');
  }
  while (end - p >= 8) {
    const std::uint64_t x = load8(p);
    // A byte is a digit when its high nibble is 3 both as it is and with 6
    // added. A carry out of a byte (from 0xFA up, not a digit) can only
    // disturb the bytes after the first non-digit, which are not used.
    const std::uint64_t high = 0xF0 * kEachByte;
    const std::uint64_t not_digit = ((x & high) ^ (0x30 * kEachByte)) |
                                    (((x + 0x06 * kEachByte) & high) ^ (0x30 * kEachByte));
    // Subtracting '0' borrows only out of non-digit bytes, likewise harmless.
    const std::uint64_t values = x - 0x30 * kEachByte;
    if (not_digit == 0) {
      sig = sig * 100000000 + eight_digits_value(values);
      p += 8;
      continue;
    }
    const int n = std::countr_zero(not_digit) / 8;
    // The n digits moved to the top bytes, zeros (leading zeros) below them.
    if (n != 0) sig = sig * kPow10U64[n] + eight_digits_value(values << (8 * (8 - n)));
    return p + n;
  }
  while (p != end && is_digit(*p)) sig = sig * 10 + static_cast<unsigned>(*p++ - '0');
  return p;
}

// Bytes a string can contain without a closer look: everything but the
// quote, the backslash, control characters and the bytes of multi-byte
// UTF-8 sequences.
struct PlainTable {
  bool plain[256];
  constexpr PlainTable() : plain() {
    for (int c = 0x20; c < 0x80; ++c) plain[c] = c != '"' && c != '\\';
  }
};
inline constexpr PlainTable kPlain;

// The first byte at or after p that is not plain, or end.
inline const char* skip_plain(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i space = _mm_set1_epi8(0x20);
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Signed: bytes from 0x80 up compare below 0x20 with the controls.
    const __m128i special = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, backslash)),
                                         _mm_cmplt_epi8(v, space));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(special));
    if (mask != 0) return p + std::countr_zero(mask);
    p += 16;
  }
#endif
  while (p != end && kPlain.plain[static_cast<unsigned char>(*p)]) ++p;
  return p;
}

inline int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// `out` has push_back(char) (a string, or the parser's scratch stack).
template <class Out>
void append_utf8(Out& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Length of the well-formed UTF-8 sequence starting at p (whose first byte is
// >= 0x80), or 0 when it is not well formed (overlong forms, surrogates and
// code points above U+10FFFF included).
inline std::size_t utf8_sequence(const unsigned char* p, const unsigned char* end) {
  const unsigned char c = p[0];
  auto cont = [&](std::size_t k, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
    return p + k < end && p[k] >= lo && p[k] <= hi;
  };
  if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    const unsigned char lo = c == 0xE0 ? 0xA0 : 0x80;
    const unsigned char hi = c == 0xED ? 0x9F : 0xBF;
    return cont(1, lo, hi) && cont(2) ? 3 : 0;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    const unsigned char lo = c == 0xF0 ? 0x90 : 0x80;
    const unsigned char hi = c == 0xF4 ? 0x8F : 0xBF;
    return cont(1, lo, hi) && cont(2) && cont(3) ? 4 : 0;
  }
  return 0;
}

}  // namespace fendro::json::detail
