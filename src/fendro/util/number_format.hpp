// Number texts shared by messages and writers.
#pragma once

#include <cstdint>
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

void append_u64(std::string& out, std::uint64_t v);
void append_i64(std::string& out, std::int64_t v);

}  // namespace fendro
