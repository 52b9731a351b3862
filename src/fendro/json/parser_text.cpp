// The parser's steps that no hot path takes: the escapes of strings, the
// conversion of numbers that are not short, and the placing of a failure.
#include <algorithm>
#include <charconv>
#include <system_error>

#include "fendro/json/number_text.hpp"
#include "fendro/json/parser.hpp"
#include "fendro/json/scan.hpp"
#include "fendro/util/paced_copy.hpp"

namespace fendro::json::detail {
namespace {

const char* message_of(Code c) {
  switch (c) {
    case Code::EofWhileParsingList: return "EOF while parsing a list";
    case Code::EofWhileParsingObject: return "EOF while parsing an object";
    case Code::EofWhileParsingString: return "EOF while parsing a string";
    case Code::EofWhileParsingValue: return "EOF while parsing a value";
    case Code::ExpectedColon: return "expected `:`";
    case Code::ExpectedListCommaOrEnd: return "expected `,` or `]`";
    case Code::ExpectedObjectCommaOrEnd: return "expected `,` or `}`";
    case Code::ExpectedSomeIdent: return "expected ident";
    case Code::ExpectedSomeValue: return "expected value";
    case Code::InvalidEscape: return "invalid escape";
    case Code::InvalidNumber: return "invalid number";
    case Code::NumberOutOfRange: return "number out of range";
    case Code::InvalidUnicodeCodePoint: return "invalid unicode code point";
    case Code::ControlCharacterWhileParsingString:
      return "control character (\\u0000-\\u001F) found while parsing a string";
    case Code::KeyMustBeAString: return "key must be a string";
    case Code::LoneLeadingSurrogateInHexEscape: return "lone leading surrogate in hex escape";
    case Code::TrailingComma: return "trailing comma";
    case Code::TrailingCharacters: return "trailing characters";
    case Code::UnexpectedEndOfHexEscape: return "unexpected end of hex escape";
    case Code::RecursionLimitExceeded: return "recursion limit exceeded";
    case Code::Stopped: return "stopped";
  }
  return "";
}

}  // namespace

ParseError Parser::error() const {
  ParseError e;
  e.message = message_of(code_);
  // A stop has no place worth a walk back over the text to count lines.
  e.stopped = code_ == Code::Stopped;
  if (e.stopped) return e;
  // Line = 1 + newlines before the position; column = bytes between the
  // last of them and the position.
  const char* at = begin_ + error_index_;
  const char* line_start = begin_;
  std::size_t line = 1;
  CopyPacer pacer(interrupt_);
  for (const char* q = begin_; q != at;) {
    const std::size_t n = std::min(kCopyStretchBytes, static_cast<std::size_t>(at - q));
    for (const char* const stretch_end = q + n; q != stretch_end; ++q) {
      if (*q == '\n') {
        ++line;
        line_start = q + 1;
      }
    }
    if (!pacer.copied(n)) {
      e.message = message_of(Code::Stopped);
      e.stopped = true;
      return e;
    }
  }
  e.line = line;
  e.column = static_cast<std::size_t>(at - line_start);
  return e;
}

// After the backslash; appends the decoded character to scratch_.
bool Parser::parse_escape() {
  if (p_ == end_) return fail_here(Code::EofWhileParsingString);
  const char c = *p_++;
  switch (c) {
    case '"': scratch_.push_back('"'); return true;
    case '\\': scratch_.push_back('\\'); return true;
    case '/': scratch_.push_back('/'); return true;
    case 'b': scratch_.push_back('\b'); return true;
    case 'f': scratch_.push_back('\f'); return true;
    case 'n': scratch_.push_back('\n'); return true;
    case 'r': scratch_.push_back('\r'); return true;
    case 't': scratch_.push_back('\t'); return true;
    case 'u': return parse_unicode_escape();
    default: return fail_here(Code::InvalidEscape);
  }
}

// Four hex digits. With fewer than four bytes left the text ends inside the
// string; otherwise all four are consumed before a bad digit is reported.
bool Parser::parse_hex4(std::uint32_t& out) {
  if (end_ - p_ < 4) {
    p_ = end_;
    return fail_here(Code::EofWhileParsingString);
  }
  int v = 0;
  for (int k = 0; k < 4; ++k) {
    const int h = hex_value(p_[k]);
    if (h < 0) v = -1;
    if (v >= 0) v = v * 16 + h;
  }
  p_ += 4;
  if (v < 0) return fail_here(Code::InvalidEscape);
  out = static_cast<std::uint32_t>(v);
  return true;
}

bool Parser::parse_unicode_escape() {
  std::uint32_t n = 0;
  if (!parse_hex4(n)) return false;
  if (n >= 0xDC00 && n <= 0xDFFF) return fail_here(Code::LoneLeadingSurrogateInHexEscape);
  if (n < 0xD800 || n > 0xDBFF) {
    append_utf8(scratch_, n);
    return true;
  }
  // A leading surrogate must be followed by \u and a trailing one.
  for (const char expected : {'\\', 'u'}) {
    if (p_ == end_) return fail_here(Code::EofWhileParsingString);
    if (*p_++ != expected) return fail_here(Code::UnexpectedEndOfHexEscape);
  }
  std::uint32_t n2 = 0;
  if (!parse_hex4(n2)) return false;
  if (n2 < 0xDC00 || n2 > 0xDFFF) return fail_here(Code::LoneLeadingSurrogateInHexEscape);
  append_utf8(scratch_, (((n - 0xD800) << 10) | (n2 - 0xDC00)) + 0x10000);
  return true;
}

// A number too long to convert in one go: converted from its cut, which has
// the same value.
bool Parser::convert_long_number(bool positive, NumberText t, Value& out) {
  CopyPacer pacer(interrupt_);
  CutNumber cut;
  if (!cut_number(positive, t, pacer, cut)) return fail_here(Code::Stopped);
  return set_converted({cut.text, cut.size}, positive, cut.magnitude, t.exp, out);
}

// The value of a decimal text by the standard conversion. libstdc++ reports
// both overflow and underflow as out of range and leaves the value unset;
// the decimal magnitude of the text with its exponent tells them apart.
bool Parser::set_converted(std::string_view text, bool positive, std::int64_t magnitude, std::int32_t exp,
                           Value& out) {
  double v = 0.0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
  if (res.ec == std::errc::result_out_of_range) {
    if (magnitude + exp > 0) return fail_here(Code::NumberOutOfRange);
    v = positive ? 0.0 : -0.0;
  }
  out = Value::number(v);
  return true;
}

}  // namespace fendro::json::detail
