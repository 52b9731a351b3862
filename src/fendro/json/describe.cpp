#include "fendro/json/describe.hpp"

#include <algorithm>

#include "fendro/json/escape_table.hpp"
#include "fendro/util/number_format.hpp"
#include "fendro/util/paced_copy.hpp"
#include "fendro/util/run_scope.hpp"

namespace fendro::json {

namespace {

void append_digits(std::string& out, const ShortestDigits& d, int from, int to) {
  out.append(d.digits + from, static_cast<std::size_t>(to - from));
}

// Shortest round-trip digits, positional while the decimal point stays within
// 16 digits of them ("1.0", "0.0001", "12345678901234567.0" is not one of
// them), otherwise with an exponent ("1e16", "1.5e-7").
void append_float(std::string& out, double v) {
  const ShortestDigits d = shortest_digits(v);
  if (d.negative) out.push_back('-');
  const int length = d.count;
  const int kk = d.point;  // 10^(kk-1) <= |v| < 10^kk
  const int k = kk - length;
  if (v == 0.0) {
    out.append("0.0");
  } else if (k >= 0 && kk <= 16) {
    append_digits(out, d, 0, length);
    out.append(static_cast<std::size_t>(k), '0');
    out.append(".0");
  } else if (kk > 0 && kk <= 16) {
    append_digits(out, d, 0, kk);
    out.push_back('.');
    append_digits(out, d, kk, length);
  } else if (kk > -5 && kk <= 0) {
    out.append("0.");
    out.append(static_cast<std::size_t>(-kk), '0');
    append_digits(out, d, 0, length);
  } else {
    out.push_back(d.digits[0]);
    if (length > 1) {
      out.push_back('.');
      append_digits(out, d, 1, length);
    }
    out.push_back('e');
    append_i64(out, kk - 1);
  }
}

// Decodes one UTF-8 character at s[i]; a malformed byte reads as U+FFFD.
char32_t next_char(std::string_view s, std::size_t& i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  auto cont = [&](std::size_t k) { return i + k < s.size() && (b(i + k) & 0xC0) == 0x80; };
  if (c < 0x80) {
    i += 1;
    return c;
  }
  if (c >= 0xC2 && c <= 0xDF && cont(1)) {
    const char32_t cp = (char32_t{c & 0x1Fu} << 6) | (b(i + 1) & 0x3Fu);
    i += 2;
    return cp;
  }
  if (c >= 0xE0 && c <= 0xEF && cont(1) && cont(2)) {
    const char32_t cp =
        (char32_t{c & 0x0Fu} << 12) | (char32_t{b(i + 1) & 0x3Fu} << 6) | (b(i + 2) & 0x3Fu);
    if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
      i += 3;
      return cp;
    }
  }
  if (c >= 0xF0 && c <= 0xF4 && cont(1) && cont(2) && cont(3)) {
    const char32_t cp = (char32_t{c & 0x07u} << 18) | (char32_t{b(i + 1) & 0x3Fu} << 12) |
                        (char32_t{b(i + 2) & 0x3Fu} << 6) | (b(i + 3) & 0x3Fu);
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      i += 4;
      return cp;
    }
  }
  i += 1;
  return 0xFFFD;
}

// Writes \u{hex} of `c` at `p` (at most 10 bytes); returns the end.
char* put_hex_escape(char* p, char32_t c) {
  static constexpr char kHex[] = "0123456789abcdef";
  *p++ = '\\';
  *p++ = 'u';
  *p++ = '{';
  int shift = 20;
  while (shift > 0 && ((c >> shift) & 0xF) == 0) shift -= 4;
  for (; shift >= 0; shift -= 4) *p++ = kHex[(c >> shift) & 0xF];
  *p++ = '}';
  return p;
}

// Bytes the debug form shows as they are, the common case: printable ASCII
// but for the quote and the backslash.
bool shown_plain(unsigned char b) { return b >= 0x20 && b < 0x7F && b != '"' && b != '\\'; }

// Hands `piece` the text between double quotes, escaped as the established
// debug form of a text does (\" \\ \0 \t \r \n, other controls,
// unprintable characters and combining marks as \u{hex}, everything else as
// it is), in pieces: runs of plain bytes whole, the rest a character at a
// time. A long text asks the thread's scope between stretches; false once
// told to stop, the pieces then ending early.
template <class Piece>
bool quote_pieces(std::string_view s, Piece piece) {
  // A stretch of characters that are all escaped takes about 10 ns each.
  constexpr std::size_t kStretch = 256 * 1024;
  RunScope* const scope = RunScope::current();
  std::size_t i = 0;
  while (i < s.size()) {
    if (i != 0 && scope != nullptr && scope->ask_now()) return false;
    const std::size_t stretch_end = std::min(s.size(), i + kStretch);
    while (i < stretch_end) {
      std::size_t plain = i;
      while (plain < stretch_end && shown_plain(static_cast<unsigned char>(s[plain]))) ++plain;
      if (plain != i) {
        piece(s.substr(i, plain - i));
        i = plain;
        continue;
      }
      const std::size_t start = i;
      const char32_t c = next_char(s, i);
      switch (c) {
        case U'\0': piece("\\0"); continue;
        case U'\t': piece("\\t"); continue;
        case U'\r': piece("\\r"); continue;
        case U'\n': piece("\\n"); continue;
        case U'"': piece("\\\""); continue;
        case U'\\': piece("\\\\"); continue;
        default: break;
      }
      if (c < 0x20 || c == 0x7F || (c >= 0x80 && shown_escaped(c))) {
        char hex[16];
        piece(std::string_view(hex, static_cast<std::size_t>(put_hex_escape(hex, c) - hex)));
      } else if (c == 0xFFFD) {
        piece("\xEF\xBF\xBD");  // also stands in for a malformed byte
      } else {
        piece(s.substr(start, i - start));
      }
    }
  }
  return true;
}

void append_quoted(std::string& out, std::string_view s) {
  out.push_back('"');
  // A long text's room is made once, at its exact size: growing a string of
  // hundreds of megabytes by doubling would copy it in one go.
  if (s.size() > kCopyStretchBytes) {
    std::size_t size = 0;
    if (!quote_pieces(s, [&](std::string_view piece) { size += piece.size(); })) return;
    if (!reserve_paced(out, out.size() + size + 1)) return;
  }
  if (!quote_pieces(s, [&](std::string_view piece) { out.append(piece); })) return;
  out.push_back('"');
}

std::string with_found(std::string_view head, const Value& found, std::string_view expected) {
  std::string out(head);
  append_description(out, found);
  out.append(", expected ");
  out.append(expected);
  return out;
}

std::string backquoted(std::string_view head, std::string_view name) {
  std::string out(head);
  out.push_back('`');
  out.append(name);
  out.push_back('`');
  return out;
}

}  // namespace

std::string describe(const Value& v) {
  std::string out;
  append_description(out, v);
  return out;
}

void append_description(std::string& out, const Value& v) {
  switch (v.kind) {
    case Kind::Null:
      out += "null";
      break;
    case Kind::Bool:
      out += v.b ? "boolean `true`" : "boolean `false`";
      break;
    case Kind::UInt:
      out += "integer `";
      append_u64(out, v.u);
      out.push_back('`');
      break;
    case Kind::NegInt:
      out += "integer `";
      append_i64(out, v.i);
      out.push_back('`');
      break;
    case Kind::Float:
      out += "floating point `";
      append_float(out, v.f);
      out.push_back('`');
      break;
    case Kind::String:
      out += "string ";
      append_quoted(out, v.as_string());
      break;
    case Kind::Array:
      out += "sequence";
      break;
    case Kind::Object:
      out += "map";
      break;
  }
}

std::string invalid_type(const Value& found, std::string_view expected) {
  return with_found("invalid type: ", found, expected);
}

std::string invalid_value(const Value& found, std::string_view expected) {
  return with_found("invalid value: ", found, expected);
}

std::string invalid_length(std::size_t n, std::string_view expected) {
  std::string out = "invalid length ";
  append_u64(out, n);
  out.append(", expected ");
  out.append(expected);
  return out;
}

std::string missing_field(std::string_view name) { return backquoted("missing field ", name); }

}  // namespace fendro::json
