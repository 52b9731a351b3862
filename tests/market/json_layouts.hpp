// A JSON text laid out again with blanks between its tokens, as JSON writers
// put them: the same value when the text is valid, and for any text the
// same bytes outside the blanks, so that readers can be compared on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fendro::test {

enum class Layout {
  kCompact,  // as given
  kSpaced,   // a space after each comma and colon (the usual default)
  kIndent2,  // a line per element or member, indented by 2 per level
  kIndent4,  // the same by 4
  kRandom,   // any blanks, few or many, before and after any bracket, comma or colon
};
inline constexpr Layout kLayouts[] = {Layout::kCompact, Layout::kSpaced, Layout::kIndent2, Layout::kIndent4,
                                      Layout::kRandom};

namespace layout_detail {

inline bool is_structural(char c) {
  return c == '{' || c == '}' || c == '[' || c == ']' || c == ',' || c == ':';
}

// Blanks for kRandom: mostly none or one, now and then a long run.
inline void random_blanks(std::string& out, std::uint64_t& state) {
  static constexpr char kBlanks[] = {' ', '\n', '\r', '\t'};
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  const auto r = static_cast<unsigned>(state >> 33);
  const unsigned count = r % 8 < 4 ? 0 : r % 8 < 7 ? 1 + (r >> 3) % 3 : 9 + (r >> 5) % 20;
  for (unsigned k = 0; k < count; ++k) out += k > 0 && (r >> 9) % 2 ? ' ' : kBlanks[(r >> (11 + k % 8)) % 4];
}

inline void new_line(std::string& out, int depth, int width) {
  out += '\n';
  out.append(static_cast<std::size_t>(depth > 0 ? depth * width : 0), ' ');
}

}  // namespace layout_detail

inline std::string lay_out(std::string_view text, Layout layout, std::uint64_t seed = 1) {
  using namespace layout_detail;
  if (layout == Layout::kCompact) return std::string(text);
  const int width = layout == Layout::kIndent2 ? 2 : 4;
  const bool indent = layout == Layout::kIndent2 || layout == Layout::kIndent4;
  std::string out;
  out.reserve(text.size() * 2);
  bool in_string = false;
  int depth = 0;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (in_string) {
      out += c;
      if (c == '\\' && k + 1 < text.size()) out += text[++k];
      if (c == '"') in_string = false;
      continue;
    }
    in_string = c == '"';
    const char next = k + 1 < text.size() ? text[k + 1] : '\0';
    if (layout == Layout::kRandom && is_structural(c)) random_blanks(out, seed);
    const bool closes = c == '}' || c == ']';
    const bool empty = (c == '}' && k > 0 && text[k - 1] == '{') || (c == ']' && k > 0 && text[k - 1] == '[');
    if (indent && closes) {
      --depth;
      if (!empty) new_line(out, depth, width);
    }
    out += c;
    if (layout == Layout::kRandom && is_structural(c)) random_blanks(out, seed);
    if (layout == Layout::kSpaced && (c == ',' || c == ':')) out += ' ';
    if (!indent) continue;
    if (c == ':') out += ' ';
    if (c == ',') new_line(out, depth, width);
    if (c == '{' || c == '[') {
      ++depth;
      if (next != '}' && next != ']') new_line(out, depth, width);
    }
  }
  return out;
}

}  // namespace fendro::test
