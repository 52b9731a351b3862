// Accept/reject cases named in the JSONTestSuite manner: y_ must parse, n_
// must fail with the given text and position, i_ is where the format leaves
// the choice to the reader and the expectation records ours.
//
// Positions: line is 1-based; column counts the bytes before the position on
// its line. A failure found while looking at a byte sits just after that byte
// ("[1 2]" fails at column 4, past the "2"); a failure found after consuming
// bytes sits after them ("trux" fails at column 4, past the "x"); at the end
// of the text the position is the end.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

#include "fendro/json/parse.hpp"

namespace fendro::json {
namespace {

using namespace std::string_view_literals;

struct Case {
  const char* name;
  std::string_view text;
  const char* message = nullptr;  // none: must parse
  std::size_t line = 0;
  std::size_t column = 0;
};

constexpr const char* kEofValue = "EOF while parsing a value";
constexpr const char* kEofList = "EOF while parsing a list";
constexpr const char* kEofObject = "EOF while parsing an object";
constexpr const char* kEofString = "EOF while parsing a string";
constexpr const char* kExpectedValue = "expected value";
constexpr const char* kListComma = "expected `,` or `]`";
constexpr const char* kObjectComma = "expected `,` or `}`";
constexpr const char* kColon = "expected `:`";
constexpr const char* kKey = "key must be a string";
constexpr const char* kIdent = "expected ident";
constexpr const char* kNumber = "invalid number";
constexpr const char* kRange = "number out of range";
constexpr const char* kEscape = "invalid escape";
constexpr const char* kUnicode = "invalid unicode code point";
constexpr const char* kControl = "control character (\\u0000-\\u001F) found while parsing a string";
constexpr const char* kLone = "lone leading surrogate in hex escape";
constexpr const char* kHexEnd = "unexpected end of hex escape";
constexpr const char* kTrailingComma = "trailing comma";
constexpr const char* kTrailing = "trailing characters";

const Case kCases[] = {
    // Accepted.
    {"y_object_spaces", R"(  { "a" : [1, 2.5, "x", null, true, false] }  )"},
    {"y_whitespace_all_four", " \t\r\n1\n\r\t "},
    {"y_empty_array", "[]"},
    {"y_empty_object", "{}"},
    {"y_nested_empty", "[[],{},[{}]]"},
    {"y_string_escapes", R"("\"\\\/\b\f\n\r\t\u0041\u00e9\ud83d\ude00")"},
    {"y_string_escaped_nul", R"("\u0000")"},
    {"y_string_raw_del", "\"\x7f\""},
    {"y_string_raw_utf8_max", "\"\xf4\x8f\xbf\xbf\""},
    {"y_string_raw_utf8_mixed", "\"a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\""},
    {"y_number_exponents", "[1E2,1e+2,1E-2,0e0,0.0e-0,-0.0]"},
    {"y_number_zero_exponent_huge", "0e99999999999999999999"},
    {"y_number_tiny_negative_exponent_huge", "1e-99999999999999999999"},
    {"y_number_underflow", "[1e-400,-1e-400]"},
    {"y_object_duplicate_key", R"({"a":1,"a":2})"},
    {"y_top_level_scalar", "\"x\""},

    // End of text.
    {"n_empty", "", kEofValue, 1, 0},
    {"n_only_spaces", "   ", kEofValue, 1, 3},
    {"n_array_open", "[", kEofList, 1, 1},
    {"n_array_after_value", "[1", kEofList, 1, 2},
    {"n_array_after_comma", "[1,", kEofValue, 1, 3},
    {"n_object_open", "{", kEofObject, 1, 1},
    {"n_object_after_key", R"({"a")", kEofObject, 1, 4},
    {"n_object_after_colon", R"({"a":)", kEofValue, 1, 5},
    {"n_object_after_value", R"({"a":1)", kEofObject, 1, 6},
    {"n_object_after_comma", R"({"a":1,)", kEofValue, 1, 7},
    {"n_string_open", "\"abc", kEofString, 1, 4},
    {"n_string_after_backslash", "\"\\", kEofString, 1, 2},
    {"n_string_short_hex", "\"\\u12", kEofString, 1, 5},
    {"n_string_after_lead_surrogate", "\"\\ud800", kEofString, 1, 7},
    {"n_string_after_lead_surrogate_backslash", "\"\\ud800\\", kEofString, 1, 8},
    {"n_string_bad_utf8_then_eof", "\"\xff", kEofString, 1, 2},
    {"n_literal_cut", "tru", kEofValue, 1, 3},
    {"n_minus_alone", "-", kEofValue, 1, 1},
    {"n_fraction_cut", "1.", kEofValue, 1, 2},
    {"n_exponent_cut", "1e", kEofValue, 1, 2},
    {"n_exponent_sign_cut", "1e+", kEofValue, 1, 3},

    // Structure.
    {"n_bad_start", "x", kExpectedValue, 1, 1},
    {"n_array_bad_value", "[x]", kExpectedValue, 1, 2},
    {"n_array_leading_comma", "[,1]", kExpectedValue, 1, 2},
    {"n_array_missing_comma", "[1 2]", kListComma, 1, 4},
    {"n_array_colon", "[1:2]", kListComma, 1, 3},
    {"n_array_trailing_comma", "[1,]", kTrailingComma, 1, 4},
    {"n_array_double_comma", "[1,,2]", kExpectedValue, 1, 4},
    {"n_object_number_key", "{1:2}", kKey, 1, 2},
    {"n_object_leading_comma", "{,}", kKey, 1, 2},
    {"n_object_missing_colon", R"({"a" 1})", kColon, 1, 6},
    {"n_object_missing_comma", R"({"a":1 "b":2})", kObjectComma, 1, 8},
    {"n_object_trailing_comma", R"({"a":1,})", kTrailingComma, 1, 8},
    {"n_object_comma_then_number", R"({"a":1,2})", kKey, 1, 8},
    {"n_close_extra", "[1]]", kTrailing, 1, 4},
    {"n_two_values", "1 2", kTrailing, 1, 3},
    {"n_trailing_after_command", R"({"cmd":"version"} x)", kTrailing, 1, 19},
    {"n_literal_then_letter", "truex", kTrailing, 1, 5},
    {"n_literal_wrong", "trux", kIdent, 1, 4},
    {"n_literal_wrong_case", "nulL", kIdent, 1, 4},
    {"n_literal_cut_in_array", "[nul]", kIdent, 1, 5},
    {"n_literal_capital", "True", kExpectedValue, 1, 1},
    {"n_byte_order_mark", "\xef\xbb\xbf{}", kExpectedValue, 1, 1},
    {"n_nbsp_is_not_whitespace", "\xc2\xa0" "1", kExpectedValue, 1, 1},
    {"n_form_feed_is_not_whitespace", "\f1", kExpectedValue, 1, 1},

    // Lines and columns across line breaks.
    {"n_trailing_comma_third_line", "[\n1,\n]", kTrailingComma, 3, 1},
    {"n_trailing_after_blank_lines", "{\"a\":1}\n\nx", kTrailing, 3, 1},
    {"n_crlf_counts_only_lf", "[\r\n1\r\n 2]", kListComma, 3, 2},
    {"n_eof_after_line_break", "[1,\n", kEofValue, 2, 0},

    // Numbers.
    {"n_leading_zero", "01", kNumber, 1, 2},
    {"n_negative_leading_zero", "-01", kNumber, 1, 3},
    {"n_minus_letter", "-x", kNumber, 1, 2},
    {"n_minus_space", "- 1", kNumber, 1, 2},
    {"n_fraction_letter", "1.x", kNumber, 1, 3},
    {"n_fraction_in_array", "[1.]", kNumber, 1, 4},
    {"n_exponent_letter", "1ex", kNumber, 1, 3},
    {"n_exponent_sign_letter", "1e+x", kNumber, 1, 4},
    {"n_leading_point", ".5", kExpectedValue, 1, 1},
    {"n_plus_sign", "+1", kExpectedValue, 1, 1},
    {"n_hex_number", "0x1", kTrailing, 1, 2},
    {"n_overflow", "1e400", kRange, 1, 5},
    {"n_overflow_negative", "-1e400", kRange, 1, 6},
    {"n_overflow_just_above_max", "1.7976931348623159e308", kRange, 1, 22},
    {"n_overflow_largest_exponent", "1e2147483647", kRange, 1, 12},
    {"n_overflow_many_zeros_then_exponent", "0.0000000001e400", kRange, 1, 16},
    // An exponent beyond 32 bits is refused at the digit that overflows it.
    {"n_overflow_exponent_digits", "[1e999999999999]", kRange, 1, 13},
    {"n_overflow_fraction_exponent_digits", "[0.001e999999999999]", kRange, 1, 17},

    // Strings.
    {"n_escape_unknown", R"("\x")", kEscape, 1, 3},
    {"n_escape_capital_u", R"("\U0041")", kEscape, 1, 3},
    // All four bytes of a \u escape are taken before a bad digit is reported.
    {"n_escape_bad_hex", R"("\u12G4")", kEscape, 1, 7},
    {"n_escape_bad_hex_quote", R"(["\u12"])", kEscape, 1, 8},
    {"n_lone_trailing_surrogate", R"("\udc00")", kLone, 1, 7},
    {"n_lead_surrogate_then_char", R"("\ud800x")", kHexEnd, 1, 8},
    {"n_lead_surrogate_then_escape", R"("\ud800\n")", kHexEnd, 1, 9},
    {"n_lead_surrogate_then_lead", R"("\ud800\ud800")", kLone, 1, 13},
    {"n_lead_surrogate_then_bmp", R"("\ud800\u0041")", kLone, 1, 13},
    {"n_raw_tab", "\"a\tb\"", kControl, 1, 3},
    {"n_raw_line_feed", "\"a\nb\"", kControl, 2, 0},
    {"n_raw_nul", "\"a\0b\""sv, kControl, 1, 3},
    {"n_raw_unit_separator", "[\"\x1f\"]", kControl, 1, 3},

    // Implementation-defined: malformed UTF-8 inside a string is reported
    // after the closing quote, once any other failure in the string had its
    // chance to be reported first.
    {"i_string_invalid_byte", "\"\xff\"", kUnicode, 1, 3},
    {"i_string_truncated_sequence", "\"\xc3\"", kUnicode, 1, 3},
    {"i_string_encoded_surrogate", "\"\xed\xa0\x80\"", kUnicode, 1, 5},
    {"i_string_overlong", "\"\xc0\xaf\"", kUnicode, 1, 4},
    {"i_string_above_max", "\"\xf4\x90\x80\x80\"", kUnicode, 1, 6},
    {"i_string_invalid_key", "{\"\xff\":1}", kUnicode, 1, 4},
    {"i_string_escape_error_wins", "\"\xff\\x\"", kEscape, 1, 4},
    {"i_number_huge_integer", "123456789012345678901234567890"},
    {"i_number_below_i64", "-9223372036854775809"},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ParseCases : public ::testing::TestWithParam<Case> {};

TEST_P(ParseCases, AcceptsOrFailsAtPosition) {
  const Case& c = GetParam();
  const auto r = parse(c.text);
  if (c.message == nullptr) {
    EXPECT_TRUE(r.ok()) << r.error().display();
    return;
  }
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().message, c.message);
  EXPECT_EQ(r.error().line, c.line);
  EXPECT_EQ(r.error().column, c.column);
}

INSTANTIATE_TEST_SUITE_P(Table, ParseCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseError, LongIntegerOutOfRangeEndsAfterLastDigit) {
  const std::string text = std::string("1") + std::string(400, '0');
  const auto r = parse(text);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().message, kRange);
  EXPECT_EQ(r.error().column, 401u);
}

std::string nested(std::size_t levels, std::string_view open, std::string_view close) {
  std::string text;
  for (std::size_t i = 0; i < levels; ++i) text += open;
  text += "0";
  for (std::size_t i = 0; i < levels; ++i) text += close;
  return text;
}

// 127 nested levels parse; the 128th opening bracket fails, placed after it.
TEST(ParseDepth, LimitIs127Levels) {
  struct Shape {
    std::string_view open, close;
  };
  for (const Shape& s : {Shape{"[", "]"}, Shape{"{\"k\":", "}"}, Shape{" [ ", " ] "}}) {
    EXPECT_TRUE(parse(nested(127, s.open, s.close)).ok()) << s.open;
    const auto r = parse(nested(128, s.open, s.close));
    ASSERT_FALSE(r.ok()) << s.open;
    EXPECT_EQ(r.error().message, "recursion limit exceeded");
    const std::size_t bracket_at = 127 * s.open.size() + s.open.find_first_of("[{");
    EXPECT_EQ(r.error().column, bracket_at + 1) << s.open;
  }
}

// Leaving a level gives it back: many siblings at depth 127 are fine.
TEST(ParseDepth, SiblingsDoNotAccumulate) {
  std::string text = "[";
  for (int i = 0; i < 10; ++i) {
    if (i > 0) text += ",";
    text += nested(126, "[", "]");
  }
  text += "]";
  EXPECT_TRUE(parse(text).ok());
}

TEST(ParseDepth, DeepTextFailsWithoutExhaustingTheStack) {
  const std::string text(1'000'000, '[');
  const auto r = parse(text);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().display(), "recursion limit exceeded at line 1 column 128");
}

}  // namespace
}  // namespace fendro::json
