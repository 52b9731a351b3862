// Number kinds and exact f64 bits of parsed numbers.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string_view>

#include "fendro/json/parse.hpp"

namespace fendro::json {
namespace {

struct NumberCase {
  std::string_view text;
  Kind kind;
  std::uint64_t u = 0;  // UInt value, or the f64 bits of a Float
  std::int64_t i = 0;   // NegInt value
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.text; }

constexpr std::uint64_t bits(double d) { return std::bit_cast<std::uint64_t>(d); }

const NumberCase kNumbers[] = {
    {"0", Kind::UInt, 0},
    {"7", Kind::UInt, 7},
    {"1700000000000", Kind::UInt, 1700000000000},
    {"18446744073709551615", Kind::UInt, std::numeric_limits<std::uint64_t>::max()},
    {"18446744073709551616", Kind::Float, bits(18446744073709551616.0)},
    {"99999999999999999999", Kind::Float, bits(1e20)},
    {"123456789012345678901234567890", Kind::Float, bits(1.2345678901234568e29)},
    {"-1", Kind::NegInt, 0, -1},
    {"-9223372036854775808", Kind::NegInt, 0, std::numeric_limits<std::int64_t>::min()},
    {"-9223372036854775809", Kind::Float, bits(-9223372036854775808.0)},
    {"-18446744073709551615", Kind::Float, bits(-18446744073709551615.0)},
    {"-18446744073709551616", Kind::Float, bits(-18446744073709551616.0)},
    // "-0" is the float negative zero, not an integer.
    {"-0", Kind::Float, bits(-0.0)},
    {"0.0", Kind::Float, bits(0.0)},
    {"-0.0", Kind::Float, bits(-0.0)},
    {"-0e5", Kind::Float, bits(-0.0)},
    {"1.0", Kind::Float, bits(1.0)},
    {"1e2", Kind::Float, bits(100.0)},
    {"1E+2", Kind::Float, bits(100.0)},
    {"101.25", Kind::Float, bits(101.25)},
    {"12345.678", Kind::Float, bits(12345.678)},
    {"-2.5", Kind::Float, bits(-2.5)},
    {"0.1", Kind::Float, 0x3FB999999999999AULL},
    {"0.30000000000000004", Kind::Float, bits(0.30000000000000004)},
    {"3.141592653589793238462643383279502884197", Kind::Float, 0x400921FB54442D18ULL},
    {"1e22", Kind::Float, bits(1e22)},
    {"1e23", Kind::Float, 0x44B52D02C7E14AF6ULL},
    {"9007199254740993.0", Kind::Float, bits(9007199254740992.0)},
    {"9007199254740995.0", Kind::Float, bits(9007199254740996.0)},
    {"0.000000000000000000000000000001", Kind::Float, bits(1e-30)},
    {"2.2250738585072014e-308", Kind::Float, 0x0010000000000000ULL},
    {"2.2250738585072011e-308", Kind::Float, 0x000FFFFFFFFFFFFFULL},
    {"4.9e-324", Kind::Float, 1},
    {"2.4703282292062328e-324", Kind::Float, 1},
    // Below half the smallest subnormal: rounds to a zero of the same sign.
    {"2.4703282292062327e-324", Kind::Float, bits(0.0)},
    {"-2.4703282292062327e-324", Kind::Float, bits(-0.0)},
    {"1e-400", Kind::Float, bits(0.0)},
    {"-1e-400", Kind::Float, bits(-0.0)},
    {"0.0000000000000000000000000000000000000000000000000000000000000001e-300", Kind::Float,
     bits(0.0)},
    {"1e-99999999999999", Kind::Float, bits(0.0)},
    {"-1e-99999999999999", Kind::Float, bits(-0.0)},
    {"0e99999999999999", Kind::Float, bits(0.0)},
    {"0e2147483647", Kind::Float, bits(0.0)},
    {"-0.0e2147483647", Kind::Float, bits(-0.0)},
    {"1e-2147483648", Kind::Float, bits(0.0)},
    {"1e-2147483647", Kind::Float, bits(0.0)},
    {"1.7976931348623157e308", Kind::Float, 0x7FEFFFFFFFFFFFFFULL},
    {"1.7976931348623158e308", Kind::Float, 0x7FEFFFFFFFFFFFFFULL},
    {"-1.7976931348623157e308", Kind::Float, 0xFFEFFFFFFFFFFFFFULL},
    {"100000000000000000000000000000000000000000000000000e-50", Kind::Float, bits(1.0)},
    {"0.00000000000000000000000000000000000000000000000001e50", Kind::Float, bits(1.0)},
};

class NumberKinds : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberKinds, KindAndExactValue) {
  const NumberCase& c = GetParam();
  const auto r = parse(c.text);
  ASSERT_TRUE(r.ok()) << r.error().display();
  const Value& v = r->root;
  ASSERT_EQ(v.kind, c.kind);
  switch (c.kind) {
    case Kind::UInt: EXPECT_EQ(v.u, c.u); break;
    case Kind::NegInt: EXPECT_EQ(v.i, c.i); break;
    default: EXPECT_EQ(bits(v.f), c.u) << v.f; break;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, NumberKinds, ::testing::ValuesIn(kNumbers));

// The same numbers inside a document: the end of a number is found by what
// follows it, whatever that is.
TEST(NumberKinds, InsideContainers) {
  const auto r = parse(R"([1,-2,3.5,{"x":-0}, 4e1 ,5])");
  ASSERT_TRUE(r.ok());
  const auto xs = r->root.as_array();
  ASSERT_EQ(xs.size(), 6u);
  EXPECT_EQ(xs[0].kind, Kind::UInt);
  EXPECT_EQ(xs[1].kind, Kind::NegInt);
  EXPECT_EQ(xs[2].f, 3.5);
  EXPECT_TRUE(std::signbit(xs[3].find("x")->f));
  EXPECT_EQ(xs[4].f, 40.0);
  EXPECT_EQ(xs[5].u, 5u);
}

}  // namespace
}  // namespace fendro::json
