#include "fendro/util/number_format.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <charconv>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>

namespace fendro {
namespace {

struct Case {
  double value;
  std::string text;
};

const Case kPositional[] = {
    {0.5, "0.5"},
    {3.0, "3"},
    {-2.5, "-2.5"},
    {0.0, "0"},
    {-0.0, "-0"},
    {0.1, "0.1"},
    {123.456, "123.456"},
    {1e21, "1000000000000000000000"},
    {1e20, "100000000000000000000"},
    {-1e20, "-100000000000000000000"},
    {18446744073709551616.0, "18446744073709552000"},
    {45035996.27370496, "45035996.27370496"},
    {1.5e-7, "0.00000015"},
    {-1e-20, "-0.00000000000000000001"},
    {5e-324, "0." + std::string(323, '0') + "5"},
    {1.7976931348623157e308, "17976931348623157" + std::string(292, '0')},
};

// On its own and appended to existing text.
TEST(ShortestPositional, Examples) {
  for (const Case& c : kPositional) {
    EXPECT_EQ(shortest_positional(c.value), c.text) << c.value;
    std::string out = "x=";
    append_shortest_positional(out, c.value);
    EXPECT_EQ(out, "x=" + c.text);
  }
}

// Random bit patterns: the text reads back to the same f64, never has an
// exponent, and holds no more significant digits than the shortest form.
TEST(ShortestPositional, RoundTripsRandomValues) {
  std::mt19937_64 rng(12345);
  for (int n = 0; n < 20000; ++n) {
    const double v = std::bit_cast<double>(rng());
    if (!std::isfinite(v)) continue;
    const std::string text = shortest_positional(v);
    ASSERT_EQ(text.find_first_of("eE"), std::string::npos) << text;
    double back = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), back);
    ASSERT_EQ(res.ec, std::errc()) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(v)) << text;
    char sci[40];
    const auto s = std::to_chars(sci, sci + 40, v, std::chars_format::scientific);
    const auto mantissa_end = std::find(sci, s.ptr, 'e');
    const std::string_view mantissa(sci, static_cast<std::size_t>(mantissa_end - sci));
    std::size_t sig = 0;
    for (char ch : mantissa) sig += (ch >= '0' && ch <= '9') ? 1 : 0;
    std::size_t got = 0;
    const std::size_t first = text.find_first_of("123456789");
    const std::size_t last = text.find_last_of("123456789");
    for (std::size_t i = first; i <= last; ++i) got += text[i] != '.' ? 1 : 0;
    ASSERT_LE(got, sig) << text;
  }
}

TEST(ShortestDigits, DigitsAndPoint) {
  struct D {
    double v;
    std::string_view digits;
    int point;
    bool negative;
  };
  for (const D& d : {D{1.5, "15", 1, false}, D{0.05, "5", -1, false}, D{-120.0, "12", 3, true},
                     D{0.0, "0", 1, false}, D{-0.0, "0", 1, true}}) {
    const ShortestDigits s = shortest_digits(d.v);
    EXPECT_EQ(std::string_view(s.digits, static_cast<std::size_t>(s.count)), d.digits) << d.v;
    EXPECT_EQ(s.point, d.point) << d.v;
    EXPECT_EQ(s.negative, d.negative) << d.v;
  }
}

TEST(Integers, FullRanges) {
  std::string out;
  append_u64(out, 0);
  out += ' ';
  append_u64(out, std::numeric_limits<std::uint64_t>::max());
  out += ' ';
  append_i64(out, std::numeric_limits<std::int64_t>::min());
  out += ' ';
  append_i64(out, -1);
  out += ' ';
  append_i64(out, 42);
  EXPECT_EQ(out, "0 18446744073709551615 -9223372036854775808 -1 42");
}

}  // namespace
}  // namespace fendro
