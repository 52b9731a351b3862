// Numbers too long to convert whole read exactly as the standard conversion
// of their whole text gives them: the same value to the bit, the same
// failure at the same place. The reference is that conversion, run here on
// the long text itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "fendro/json/number_text.hpp"
#include "fendro/json/parse.hpp"

namespace fendro::json {
namespace {

using detail::kCutDigits;
using detail::kLongNumberBytes;

// What a number's text read as a whole document comes to: the bits of its
// value, or the display of its failure.
struct Read {
  bool ok = false;
  std::uint64_t bits = 0;
  std::string failure;
  bool operator==(const Read&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Read& r) {
  if (r.ok) return os << "bits " << std::hex << r.bits << std::dec;
  return os << r.failure;
}

Read parsed(const std::string& text) {
  const auto doc = parse(text);
  if (!doc) return {false, 0, doc.error().display()};
  if (doc->root.kind != Kind::Float) return {false, 0, "not a float"};
  return {true, std::bit_cast<std::uint64_t>(doc->root.f), {}};
}

// The standard conversion of the whole text; out of range, a text whose
// digits reach above the point (with the exponent) is too large, anything
// else rounds to a zero of its sign. Any exponent here fits 32 bits.
Read reference(const std::string& text) {
  double v = 0.0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
  EXPECT_EQ(res.ptr, text.data() + text.size());
  if (res.ec != std::errc::result_out_of_range) return {true, std::bit_cast<std::uint64_t>(v), {}};
  const bool negative = text[0] == '-';
  const std::size_t int_start = negative ? 1 : 0;
  const std::size_t int_end = std::min(text.find_first_not_of("0123456789", int_start), text.size());
  std::int64_t magnitude = static_cast<std::int64_t>(int_end - int_start);
  if (text[int_start] == '0') {
    const std::size_t nz = text.find_first_not_of('0', int_end + 1);
    magnitude = -static_cast<std::int64_t>(nz - int_end - 1);
  }
  const std::size_t e = text.find_first_of("eE");
  const std::int64_t exp = e == std::string::npos ? 0 : std::stoll(text.substr(e + 1));
  if (magnitude + exp > 0) return {false, 0, "number out of range at line 1 column " + std::to_string(text.size())};
  return {true, std::bit_cast<std::uint64_t>(negative ? -0.0 : 0.0), {}};
}

// Decimal digits of big numbers: enough to write exact binary fractions.
class Decimal {
 public:
  explicit Decimal(std::uint64_t v) {
    do {
      limbs_.push_back(static_cast<std::uint32_t>(v % kBase));
      v /= kBase;
    } while (v != 0);
  }
  Decimal& times(std::uint32_t m) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs_) {
      const std::uint64_t x = std::uint64_t{limb} * m + carry;
      limb = static_cast<std::uint32_t>(x % kBase);
      carry = x / kBase;
    }
    while (carry != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(carry % kBase));
      carry /= kBase;
    }
    return *this;
  }
  std::string digits() const {
    std::string out = std::to_string(limbs_.back());
    for (std::size_t i = limbs_.size() - 1; i-- > 0;) {
      const std::string part = std::to_string(limbs_[i]);
      out += std::string(9 - part.size(), '0') + part;
    }
    return out;
  }

 private:
  static constexpr std::uint64_t kBase = 1'000'000'000;
  std::vector<std::uint32_t> limbs_;
};

// odd * 2^-pow2 written out in full ("0.000...ddd"): a decimal of pow2
// places.
std::string binary_fraction(std::uint64_t odd, int pow2) {
  Decimal d(odd);
  for (int k = 0; k < pow2; ++k) d.times(5);
  const std::string digits = d.digits();
  return "0." + std::string(static_cast<std::size_t>(pow2) - digits.size(), '0') + digits;
}

// odd * 2^pow2 as an integer.
std::string binary_integer(std::uint64_t odd, int pow2) {
  Decimal d(odd);
  for (int k = 0; k < pow2; ++k) d.times(2);
  return d.digits();
}

std::string zeros(std::size_t n) { return std::string(n, '0'); }

struct LongCase {
  const char* name;
  std::string text;
};

std::vector<LongCase> long_cases() {
  const std::size_t many = 3 * kLongNumberBytes;
  // Halfway between the two least subnormals, and between 2^-1022's
  // neighbours: decided by their last of ~750 digits, and by a 1 far after.
  const std::string half_subnormal = binary_fraction(3, 1075);
  const std::string half_normal = binary_fraction((std::uint64_t{1} << 53) + 1, 1074);
  // The least value that overflows: halfway between the greatest double and
  // 2^1024, rounding to even (upwards).
  const std::string overflow_edge = binary_integer((std::uint64_t{1} << 54) - 1, 970);
  std::string below_edge = overflow_edge;
  below_edge.back() = '1';  // ...792 less 1: the greatest double
  return {
      {"a long fraction", "1." + zeros(many) + "1"},
      {"a long integer, out of range", "1" + zeros(many)},
      {"a long negative integer, out of range", "-9" + zeros(many)},
      {"a long integer brought back by its exponent", "1" + zeros(many) + "e-" + std::to_string(many)},
      {"zeros of the fraction and of the exponent", "0." + zeros(many) + "1e" + zeros(many) + "9"},
      {"zeros of the fraction, a negative exponent", "-0." + zeros(many) + "25e-" + zeros(many) + "7"},
      {"a long zero", "0." + zeros(many)},
      {"a long negative zero", "-0." + zeros(many) + "e-" + zeros(many) + "5"},
      {"a long zero with a huge exponent", "-0." + zeros(many) + "e2147483647"},
      {"underflow to a zero", "0." + zeros(many) + "7e-300"},
      {"underflow to a negative zero", "-0." + zeros(many) + "7e-2147483647"},
      {"a long number with a huge exponent, out of range", "0." + zeros(many) + "1e2147483647"},
      {"a long integer whose exponent takes it beyond 32 bits", "1" + zeros(many) + "e2147483000"},
      {"a long integer whose exponent takes it below 32 bits", "1" + zeros(many) + "e-2147483647"},
      {"twenty digits then a long fraction", "18446744073709551615." + zeros(many)},
      {"nineteen digits then zeros", "9223372036854775807" + zeros(many) + "e-" + std::to_string(many)},
      {"a short significand, a long exponent", "1.5e" + zeros(many) + "3"},
      {"a short significand, a long negative exponent", "-2.5E-" + zeros(many) + "3"},
      {"halfway past 2^53, exactly", "9007199254740993." + zeros(many)},
      {"halfway past 2^53, then a 1 far after", "9007199254740993." + zeros(many) + "1"},
      {"just below halfway past 2^53", "9007199254740992." + std::string(many, '9')},
      {"halfway past 2^53 + 2, exactly", "9007199254740995" + zeros(many) + "e-" + std::to_string(many)},
      {"halfway between the least subnormals", half_subnormal + zeros(many)},
      {"halfway between the least subnormals, then a 1", half_subnormal + zeros(many) + "1"},
      {"below that halfway by a digit far after",
       half_subnormal.substr(0, half_subnormal.size() - 1) + "4" + std::string(many, '9')},
      {"half the least subnormal, exactly", binary_fraction(1, 1075) + zeros(many)},
      {"half the least subnormal, then a 1", binary_fraction(1, 1075) + zeros(many) + "1"},
      {"halfway beside 2^-1022", half_normal + zeros(many)},
      {"halfway beside 2^-1022, then a 1", half_normal + zeros(many) + "1"},
      {"the least value that overflows", overflow_edge + "." + zeros(many)},
      {"just below it", below_edge + "." + std::string(many, '9')},
      {"just below it, negative", "-" + below_edge + "." + std::string(many, '9')},
      {"a digit past the cut decides", "1." + zeros(kCutDigits - 2) + "5" + zeros(many) + "1e-300"},
  };
}

TEST(LongNumbers, AsTheConversionOfTheWholeText) {
  for (const LongCase& c : long_cases()) {
    ASSERT_GT(c.text.size(), kLongNumberBytes) << c.name;
    EXPECT_EQ(parsed(c.text), reference(c.text)) << c.name;
  }
}

// Failures of the grammar inside a long number are placed as in a short one.
TEST(LongNumbers, FailuresOfTheTextAtTheirPlace) {
  const std::string digits(3 * kLongNumberBytes, '7');
  const std::string at_end = " at line 1 column ";
  const struct {
    std::string text;
    std::string failure;
  } cases[] = {
      {"1." + digits + "e", "EOF while parsing a value" + at_end + std::to_string(digits.size() + 3)},
      {"1." + digits + "e+x", "invalid number" + at_end + std::to_string(digits.size() + 5)},
      {"1" + digits + ".x", "invalid number" + at_end + std::to_string(digits.size() + 3)},
      {"1" + digits + ".", "EOF while parsing a value" + at_end + std::to_string(digits.size() + 2)},
      {"1." + digits + "x", "trailing characters" + at_end + std::to_string(digits.size() + 3)},
      // An exponent beyond 32 bits: out of range at its digit that overflows.
      {"0." + digits + "e" + zeros(digits.size()) + "99999999999",
       "number out of range" + at_end + std::to_string(2 * digits.size() + 13)},
  };
  for (const auto& c : cases) EXPECT_EQ(parsed(c.text), (Read{false, 0, c.failure})) << c.failure;
  // A zero with such an exponent is a zero, whatever its length.
  EXPECT_EQ(parsed("-0." + zeros(digits.size()) + "e" + zeros(digits.size()) + "99999999999"),
            (Read{true, std::bit_cast<std::uint64_t>(-0.0), {}}));
}

// A long number as random as it gets: a sign, digits before the point (a
// lone 0 or a run), maybe a fraction led by zeros, maybe an exponent led by
// zeros; digits mostly 0 or 9 at the far end, where roundings are decided.
std::string random_long_number(std::mt19937_64& rng) {
  auto below = [&](std::uint64_t n) { return rng() % n; };
  auto digit_run = [&](std::size_t n) {
    std::string s;
    const char fill = below(3) == 0 ? '9' : '0';
    for (std::size_t k = 0; k < n; ++k) {
      s += below(4) == 0 ? static_cast<char>('0' + below(10)) : fill;
    }
    return s;
  };
  std::string text = below(2) == 0 ? "-" : "";
  if (below(3) == 0) {
    text += "0";
  } else {
    text += static_cast<char>('1' + below(9));
    text += digit_run(below(kCutDigits + 600));
  }
  std::string fraction;
  if (below(4) != 0) fraction = zeros(below(kCutDigits)) + digit_run(1 + below(kCutDigits + 600));
  std::string exponent;
  if (below(2) == 0) {
    exponent = below(2) == 0 ? "e" : "E";
    if (below(2) == 0) exponent += below(2) == 0 ? "-" : "+";
    exponent += zeros(below(kLongNumberBytes)) + std::to_string(below(700));
  }
  // Zeros that end a fraction change nothing: they make the text long.
  const std::size_t size = text.size() + 1 + fraction.size() + exponent.size();
  if (size <= kLongNumberBytes + 1) fraction += zeros(kLongNumberBytes + 2 - size);
  return text + (fraction.empty() ? "" : "." + fraction) + exponent;
}

TEST(LongNumbers, RandomOnesAsTheConversionOfTheWholeText) {
  std::mt19937_64 rng(20260707);
  for (int k = 0; k < 3000; ++k) {
    const std::string text = random_long_number(rng);
    ASSERT_GT(text.size(), kLongNumberBytes);
    ASSERT_EQ(parsed(text), reference(text)) << text;
  }
}

}  // namespace
}  // namespace fendro::json
