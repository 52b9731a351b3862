#include "fendro/proof/canonical.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "fendro/json/parse.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

std::string canon(const json::Value& v) {
  std::string out;
  write_canonical_json(out, v);
  return out;
}

std::string canon_float(double x) { return canon(json::Value::number(x)); }

std::string canon_text(std::string_view text) { return canon(testing::parse_json(text).root); }

TEST(CanonicalFloat, Examples) {
  const struct {
    double x;
    std::string text;
  } cases[] = {
      {0.1, "0.1"},
      {2.5, "2.5"},
      {1.0, "1"},
      {123.456, "123.456"},
      {1e-8, "0.00000001"},
      {-0.0, "0"},
      {-0.000000004, "0"},
      {0.000000004, "0"},
      {-0.000000006, "-0.00000001"},
      {0.001953125, "0.00195312"},  // an exact tie rounds to the even digit
      {0.005859375, "0.00585938"},  // 3/512: tie, rounds up to even
      {-2.5, "-2.5"},
      {45035996.0, "45035996"},
      {45035996.27370496, "45035996.27370496"},
      {-45035996.27370496, "-45035996.27370496"},
      {1e20, "100000000000000000000"},
      {-1e20, "-100000000000000000000"},
      {18446744073709551616.0, "18446744073709552000"},
      {1e300, "1" + std::string(300, '0')},
      {123456789.125, "123456789.125"},
  };
  for (const auto& c : cases) EXPECT_EQ(canon_float(c.x), c.text) << c.x;
}

// Exact reference: the standard library's fixed notation is correctly rounded
// from the binary value (ties to even); trimmed as the canonical rule says.
std::string library_fixed8(double x) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 8);
  std::string text(buf, res.ptr);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

TEST(CanonicalFloat, FixedDigitsMatchExactDecimalReference) {
  std::mt19937_64 rng(20240611);
  std::vector<double> xs;
  // Random bit patterns below the threshold, values near ties, and decimals
  // with few digits as prices usually have.
  for (int k = 0; k < 200000; ++k) {
    const double scale = std::ldexp(1.0, static_cast<int>(rng() % 80) - 54);
    const double x = std::ldexp(static_cast<double>(rng() >> 11), -53) * scale;
    xs.push_back((rng() & 1) ? -x : x);
  }
  for (int k = 0; k < 100000; ++k) {
    const double base = static_cast<double>(rng() % 4503599627ULL) / 100.0;
    xs.push_back(base + 0.000000005);
    xs.push_back(static_cast<double>(rng() % 100000000ULL) / 1e8);
    xs.push_back(static_cast<double>(rng() % 1000000000ULL) / 512.0);
  }
  int checked = 0;
  for (double x : xs) {
    if (std::fabs(x) >= 45035996.27370496 || x == 0.0) continue;
    const std::string text = canon_float(x);
    ASSERT_EQ(text, library_fixed8(x)) << std::hexfloat << x;
    ++checked;
  }
  EXPECT_GT(checked, 300000);
}

TEST(CanonicalInteger, FullRangesAsStored) {
  EXPECT_EQ(canon(json::Value::uinteger(18446744073709551615ULL)), "18446744073709551615");
  EXPECT_EQ(canon(json::Value::integer(INT64_MIN)), "-9223372036854775808");
  EXPECT_EQ(canon(json::Value::integer(-1)), "-1");
  EXPECT_EQ(canon(json::Value::uinteger(0)), "0");
  EXPECT_EQ(canon_text("18446744073709551616"), "18446744073709552000");
  EXPECT_EQ(canon_text("1.0"), "1");
}

TEST(CanonicalString, Escapes) {
  const struct {
    std::string in;
    const char* out;
  } cases[] = {
      {"plain", "\"plain\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"\b\t\n\f\r", "\"\\b\\t\\n\\f\\r\""},
      {std::string("\x00\x01\x1f", 3), "\"\\u0000\\u0001\\u001f\""},
      {"\x0b\x1a", "\"\\u000b\\u001a\""},
      {"/\x7f\xc3\xa9", "\"/\x7f\xc3\xa9\""},
      {"", "\"\""},
  };
  for (const auto& c : cases) {
    std::string out;
    write_canonical_string(out, c.in);
    EXPECT_EQ(out, c.out);
  }
}

TEST(CanonicalJson, StructureAndKeyOrder) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"null", "null"},
      {" true ", "true"},
      {"[ ]", "[]"},
      {"{ }", "{}"},
      {"{\"b\":1,\"a\":2}", "{\"a\":2,\"b\":1}"},
      {"{\"a\":1,\"B\":2}", "{\"B\":2,\"a\":1}"},
      {"{\"ab\":1,\"a\":2}", "{\"a\":2,\"ab\":1}"},
      {"{\"\xc3\xa9\":1,\"z\":2}", "{\"z\":2,\"\xc3\xa9\":1}"},
      {"[1, [2.50, {\"x\" : -0.0}], \"s\"]", "[1,[2.5,{\"x\":0}],\"s\"]"},
      {"{\"b\":{\"d\":1,\"c\":[true,false,null]},\"a\":\"\\t\"}",
       "{\"a\":\"\\t\",\"b\":{\"c\":[true,false,null],\"d\":1}}"},
  };
  for (const auto& c : cases) EXPECT_EQ(canon_text(c.in), c.out) << c.in;
}

TEST(HashText, KnownDigests) {
  // Digests computed with b3sum.
  EXPECT_EQ(hash_text(""), "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262");
  EXPECT_EQ(hash_text("abc"), "6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85");
  EXPECT_EQ(hash_value(json::Value::null()), "03f88b99c3d8073bba8948d6e762aac443b265f606cc05abd4d172f03a4def6a");
  EXPECT_EQ(hash_value(testing::parse_json("{ \"b\" : 1, \"a\" : [true, null] }").root),
            "f070bbc35d7f09691284af8700049714acfd802b7c65b4d8e6a838101ab9e049");
}

}  // namespace
}  // namespace fendro
