// How reading failures name an offending value.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "fendro/json/describe.hpp"
#include "fendro/json/parse.hpp"

namespace fendro::json {
namespace {

struct Case {
  std::string_view json;  // the value, as JSON text
  std::string_view described;
};

const Case kCases[] = {
    {"null", "null"},
    {"true", "boolean `true`"},
    {"false", "boolean `false`"},
    {"5", "integer `5`"},
    {"-5", "integer `-5`"},
    {"18446744073709551615", "integer `18446744073709551615`"},
    {"-9223372036854775808", "integer `-9223372036854775808`"},
    {"[1]", "sequence"},
    {"[]", "sequence"},
    {"{}", "map"},
    // Floats: shortest round-trip digits; a whole number keeps ".0"; the
    // decimal point stays in place while it is within 16 digits, otherwise
    // the exponent form is used.
    {"1.5", "floating point `1.5`"},
    {"1.0", "floating point `1.0`"},
    {"2e0", "floating point `2.0`"},
    {"-0", "floating point `-0.0`"},
    {"0.0", "floating point `0.0`"},
    {"100.0", "floating point `100.0`"},
    {"0.1", "floating point `0.1`"},
    {"-123.456", "floating point `-123.456`"},
    {"1e15", "floating point `1000000000000000.0`"},
    {"1234567890123456.0", "floating point `1234567890123456.0`"},
    {"1e16", "floating point `1e16`"},
    {"1.25e16", "floating point `1.25e16`"},
    {"18446744073709551616", "floating point `1.8446744073709552e19`"},
    {"-1e21", "floating point `-1e21`"},
    {"0.0001", "floating point `0.0001`"},
    {"0.000015", "floating point `0.000015`"},
    {"0.000001", "floating point `1e-6`"},
    {"1.5e-7", "floating point `1.5e-7`"},
    {"5e-324", "floating point `5e-324`"},
    {"1.7976931348623157e308", "floating point `1.7976931348623157e308`"},
    // Strings: quoted, escaped as the debug form of a text is.
    {R"("abc")", R"(string "abc")"},
    {R"("")", R"(string "")"},
    {R"("it's")", R"(string "it's")"},
    {R"("a\"b\\c/d")", R"(string "a\"b\\c/d")"},
    {R"("\n\r\t\u0000")", R"(string "\n\r\t\0")"},
    {R"("\b\f\u0001\u001f\u007f")", R"(string "\u{8}\u{c}\u{1}\u{1f}\u{7f}")"},
    {R"("\u0080\u009f\u00a0\u00ad")", R"(string "\u{80}\u{9f}\u{a0}\u{ad}")"},
    {R"("\u00e9\u20ac\ud83d\ude00")", "string \"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\""},
    // Combining marks, format characters, private use, separators,
    // unassigned code points.
    {R"("e\u0301")", R"(string "e\u{301}")"},
    {R"("\u200b\u200d\u2028\u3000\ufeff")", R"(string "\u{200b}\u{200d}\u{2028}\u{3000}\u{feff}")"},
    {R"("\ue000\uffff\udbff\udfff")", R"(string "\u{e000}\u{ffff}\u{10ffff}")"},
    {R"("\u0378\u4e2d")", "string \"\\u{378}\xe4\xb8\xad\""},
    // The last lead byte of the two-byte forms (0xDF).
    {R"("\u07c0")", "string \"\xdf\x80\""},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.json; }

class Describe : public ::testing::TestWithParam<Case> {};

TEST_P(Describe, NamesTheValue) {
  const auto r = parse(GetParam().json);
  ASSERT_TRUE(r.ok()) << r.error().display();
  EXPECT_EQ(describe(r->root), GetParam().described);
}

INSTANTIATE_TEST_SUITE_P(Table, Describe, ::testing::ValuesIn(kCases));

TEST(ReadingTexts, MalformedBytesShowAsReplacementCharacter) {
  EXPECT_EQ(describe(Value::string_ref("a\xff" "b")), "string \"a\xef\xbf\xbd" "b\"");
}

}  // namespace
}  // namespace fendro::json
