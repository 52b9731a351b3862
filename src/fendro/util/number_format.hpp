// Number texts shared by messages and writers.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace fendro {

// The shortest digits that read back as the same f64, written positionally,
// never with an exponent: 0.5, 3, -2.5, "-0", 1e21 -> "1000000000000000000000",
// 1.5e-7 -> "0.00000015". The value must be finite.
void append_shortest_positional(std::string& out, double v);
std::string shortest_positional(double v);

// The shortest round-trip digits of a finite f64 and where the decimal point
// goes: value = 0.d1d2...dn x 10^point, so 1.5 is {"15", point 1} and 0.05
// is {"5", point -1}. Zero is {"0", point 1}.
struct ShortestDigits {
  char digits[20];
  int count = 0;
  int point = 0;
  bool negative = false;
};
ShortestDigits shortest_digits(double v);

// The 8 decimal digits of v < 10^8, leading zeros included, as the bytes of
// a little-endian word (the first digit in the lowest byte): the digits are
// split into halves, quarters and single digits in parallel lanes, each
// lane's quotient taken by a multiply and shift that is exact in its range.
inline std::uint64_t digits8_word(std::uint32_t v) {
  std::uint64_t x = (v / 10000) | (std::uint64_t{v % 10000} << 32);       // 2 lanes < 10^4
  std::uint64_t hi = ((x * 5243) >> 19) & 0x0000007F0000007FULL;           // lane / 100
  x = hi | ((x - hi * 100) << 16);                                          // 4 lanes < 100
  hi = ((x * 103) >> 10) & 0x000F000F000F000FULL;                           // lane / 10
  return (hi | ((x - hi * 10) << 8)) | 0x3030303030303030ULL;
}

// Stores the 8 bytes of a word so built, first digit first.
inline void store_digits8(char* p, std::uint64_t w) {
  if constexpr (std::endian::native == std::endian::big) {
    for (int k = 0; k < 8; ++k) p[k] = static_cast<char>(w >> (8 * k));
  } else {
    std::memcpy(p, &w, 8);
  }
}

// Three-digit groups: the bytes of n < 1000 and how many of them to write.
struct DigitGroup {
  char text[3];
  std::uint8_t length;
};
struct DigitGroups {
  DigitGroup leading[1000];   // no leading zeros: 7 -> "7", 0 -> "0"
  DigitGroup trailing[1000];  // the first digits after a point, trailing zeros dropped:
                              // 250 -> "25", 7 -> "007"
  constexpr DigitGroups() : leading(), trailing() {
    for (int n = 0; n < 1000; ++n) {
      const char d[3] = {static_cast<char>('0' + n / 100), static_cast<char>('0' + n / 10 % 10),
                         static_cast<char>('0' + n % 10)};
      const int skip = n >= 100 ? 0 : n >= 10 ? 1 : 2;
      for (int k = 0; k < 3; ++k) {
        leading[n].text[k] = k + skip < 3 ? d[k + skip] : '\0';
        trailing[n].text[k] = d[k];
      }
      leading[n].length = static_cast<std::uint8_t>(3 - skip);
      trailing[n].length = static_cast<std::uint8_t>(n % 100 == 0 ? 1 : n % 10 == 0 ? 2 : 3);
    }
  }
};
inline constexpr DigitGroups kDigitGroups;

// Writes a group's bytes (4 bytes of room; the 4th is scratch) and advances.
inline char* put_group(char* p, const DigitGroup& g, std::size_t length) {
  std::memcpy(p, &g, 4);
  return p + length;
}
inline char* put_leading_group(char* p, std::uint32_t n) {
  return put_group(p, kDigitGroups.leading[n], kDigitGroups.leading[n].length);
}

// Writes the digits of v < 10^8 (no sign) at p, which must have 8 bytes of room.
inline char* put_below_1e8(char* p, std::uint32_t v) {
  // Short numbers by table, the rest as one 8-digit word.
  if (v < 1000) return put_leading_group(p, v);
  if (v < 1000000) {
    p = put_leading_group(p, v / 1000);
    return put_group(p, kDigitGroups.trailing[v % 1000], 3);
  }
  const std::uint64_t w = digits8_word(v);
  // Leading '0' bytes are the low zero bytes of (w XOR "00000000").
  const int skip = std::countr_zero(w ^ 0x3030303030303030ULL) / 8;
  store_digits8(p, w >> (8 * skip));
  return p + (8 - skip);
}

// Writes the digits of v (no sign) at p, which must have 24 bytes of room
// (whole words are stored); returns the end. No recursion, so that it is
// inlined where numbers are written in bulk (timestamps have 13 digits).
inline char* put_u64(char* p, std::uint64_t v) {
  if (v < 100000000) return put_below_1e8(p, static_cast<std::uint32_t>(v));
  std::uint64_t high = v / 100000000;
  const auto low = static_cast<std::uint32_t>(v - high * 100000000);
  if (high < 100000000) {
    p = put_below_1e8(p, static_cast<std::uint32_t>(high));
  } else {
    const std::uint64_t top = high / 100000000;  // < 1845
    p = put_below_1e8(p, static_cast<std::uint32_t>(top));
    high -= top * 100000000;
    store_digits8(p, digits8_word(static_cast<std::uint32_t>(high)));
    p += 8;
  }
  store_digits8(p, digits8_word(low));
  return p + 8;
}

// As put_u64, with a '-' before negative values.
inline char* put_i64(char* p, std::int64_t v) {
  if (v >= 0) return put_u64(p, static_cast<std::uint64_t>(v));
  *p++ = '-';
  return put_u64(p, std::uint64_t{0} - static_cast<std::uint64_t>(v));
}

void append_u64(std::string& out, std::uint64_t v);
void append_i64(std::string& out, std::int64_t v);

}  // namespace fendro
