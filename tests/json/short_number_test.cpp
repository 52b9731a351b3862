// The short-form number readers against the general ones: what they take
// must have the bits std::from_chars gives and be a number the parser
// accepts with that value; they may decline anything, but not the forms
// bulk data is written in.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "fendro/json/parse.hpp"
#include "fendro/json/short_number.hpp"

namespace fendro::json {
namespace {

// The text followed by the byte a list would put after it, and room.
const std::string& padded(std::string_view text) {
  static std::string s;
  s.assign(text);
  s += ',';
  s.append(kShortNumberRoom, ' ');
  return s;
}

// One text against from_chars and (when `with_parser`) the parser; true
// when it was taken.
bool check_number(std::string_view text, bool with_parser = true) {
  const std::string& s = padded(text);
  double fast = 0;
  const char* end = read_short_number(s.data(), fast);
  if (end == nullptr) return false;
  EXPECT_EQ(end, s.data() + text.size()) << text;
  double slow = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), slow);
  EXPECT_TRUE(res.ec == std::errc() && res.ptr == text.data() + text.size()) << text;
  EXPECT_EQ(std::bit_cast<std::uint64_t>(fast), std::bit_cast<std::uint64_t>(slow)) << text;
  if (!with_parser) return true;
  const auto parsed = parse(text);
  EXPECT_TRUE(parsed.ok() && parsed->root.is_number() && std::bit_cast<std::uint64_t>(parsed->root.as_f64()) ==
                                                               std::bit_cast<std::uint64_t>(fast))
      << text;
  return true;
}

// Digits followed by anything but the end of the text count as declined:
// the caller checks that byte.
bool check_integer(std::string_view text) {
  const std::string& s = padded(text);
  std::int64_t fast = 0;
  if (read_short_integer(s.data(), fast) != s.data() + text.size()) return false;
  const auto parsed = parse(text);
  const Value want = Value::integer(fast);
  EXPECT_TRUE(parsed.ok() && parsed->root.kind == want.kind && parsed->root.u == want.u) << text;
  return true;
}

// Taken as integers and numbers; as numbers only (-0 is a float: no time);
// left to the parser (digit runs of 16, above 2^53, exponents beyond 22 or
// of four digits, texts that are not numbers).
constexpr std::string_view kBoth[] = {"0", "1700000000000", "-1700000000000", "999999999999999"};
constexpr std::string_view kNumbers[] = {"-0",   "-0.0",   "101.25", "12345.678", "1234567.5", "0.000000000000001",
                                         "1e22", "1E-22", "1.5e+3", "9007199.254740992"};
constexpr std::string_view kNeither[] = {"9999999999999999", "0.0000000000000001", "9007199.254740993", "1e23", "1e-23",
                                         "5e-324", "2e0001", "01", "-01.5", "1.", "-", ".5", "1e", "1e+"};

TEST(ShortNumberTest, BoundariesAreTakenOrLeft) {
  for (const std::string_view t : kBoth) EXPECT_TRUE(check_number(t) && check_integer(t)) << t;
  for (const std::string_view t : kNumbers) EXPECT_TRUE(check_number(t) && !check_integer(t)) << t;
  for (const std::string_view t : kNeither) EXPECT_TRUE(!check_number(t) && !check_integer(t)) << t;
}

// Texts of every shape near the limits: digit counts around 8, 15, 16
// and 19, leading zeros, long runs of 9s and 0s, exponents around 22,
// texts that are not numbers at all.
void random_number(std::mt19937_64& rng, std::string& s) {
  auto below = [&](std::uint64_t n) { return rng() % n; };
  auto digits = [&](std::size_t n, bool no_leading_zero) {
    const int style = static_cast<int>(below(4));
    for (std::size_t k = 0; k < n; ++k) {
      char d = style == 0 ? '9' : style == 1 ? '0' : char('0' + below(10));
      if (k == 0 && no_leading_zero && d == '0') d = '1';
      s += d;
    }
  };
  s.clear();
  if (below(3) == 0) s += '-';
  digits(below(8) == 0 ? 0 : 1 + below(below(2) ? 8 : 21), below(4) != 0);
  if (below(3) != 0) {
    s += '.';
    digits(below(2) ? below(5) : below(22), false);
  }
  if (below(4) == 0) {
    s += below(2) ? 'e' : 'E';
    if (below(2)) s += below(2) ? '-' : '+';
    digits(below(5), false);
  }
}

TEST(ShortNumberTest, TakenTextsHaveTheGeneralValue) {
  std::mt19937_64 rng(2026);
  std::size_t taken = 0;
  constexpr std::size_t kTexts = 10'000'000;
  std::string text;
  for (std::size_t k = 0; k < kTexts; ++k) {
    random_number(rng, text);
    // The parser, slower, on a share of the sample.
    taken += check_number(text, k % 8 == 0);
    if (k % 8 == 0) check_integer(text);
    if (::testing::Test::HasFailure()) break;
  }
  // Most of the sample is in the forms that are taken.
  EXPECT_GT(taken, kTexts / 4);
}

}  // namespace
}  // namespace fendro::json
