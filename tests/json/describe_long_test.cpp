// A string's description quotes it whole, however long, in the same bytes
// as a character-by-character quoting would give, and a long one is quoted
// in stretches that ask the command's scope and end at a stop.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/json/describe.hpp"
#include "fendro/json/escape_table.hpp"
#include "fendro/util/run_scope.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro::json {
namespace {

using fendro::testing::CountingInterrupt;

// The quoting one character at a time: a malformed byte stands as U+FFFD,
// controls, unprintable characters and combining marks as \u{hex}.
std::string quoted_by_character(std::string_view s) {
  std::string out = "string \"";
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const auto cont = [&](std::size_t k) { return i + k < s.size() && (b(k) & 0xC0) == 0x80; };
    std::size_t n = 1;
    char32_t c = 0xFFFD;
    if (b(0) < 0x80) {
      c = b(0);
    } else if (b(0) >= 0xC2 && b(0) <= 0xDF && cont(1)) {
      c = (char32_t{b(0) & 0x1Fu} << 6) | (b(1) & 0x3Fu), n = 2;
    } else if (b(0) >= 0xE0 && b(0) <= 0xEF && cont(1) && cont(2)) {
      const char32_t cp = (char32_t{b(0) & 0x0Fu} << 12) | (char32_t{b(1) & 0x3Fu} << 6) | (b(2) & 0x3Fu);
      if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) c = cp, n = 3;
    } else if (b(0) >= 0xF0 && b(0) <= 0xF4 && cont(1) && cont(2) && cont(3)) {
      const char32_t cp = (char32_t{b(0) & 0x07u} << 18) | (char32_t{b(1) & 0x3Fu} << 12) |
                          (char32_t{b(2) & 0x3Fu} << 6) | (b(3) & 0x3Fu);
      if (cp >= 0x10000 && cp <= 0x10FFFF) c = cp, n = 4;
    }
    const std::string_view text = s.substr(i, n);
    i += n;
    if (c == 0) out += "\\0";
    else if (c == '\t') out += "\\t";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '"') out += "\\\"";
    else if (c == '\\') out += "\\\\";
    else if (c < 0x20 || c == 0x7F || (c >= 0x80 && shown_escaped(c))) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "\\u{%x}", static_cast<unsigned>(c));
      out += hex;
    } else if (c == 0xFFFD) {
      out += "\xEF\xBF\xBD";
    } else {
      out += text;
    }
  }
  return out + '"';
}

std::string described(std::string_view s) { return describe(Value::string_ref(s)); }

// Pieces of every kind, among them those that end a run of plain bytes.
constexpr std::string_view kPieces[] = {
    "plain text ", "\"", "\\", std::string_view("\0", 1), "\t\r\n", "\x01\x1f\x7f", "é", "€", "😀",
    "\xCC\x81",  // a combining mark
    "\xE2\x80\x8B",  // zero width space
    "\xFF", "\xC3", "\xE2\x82", "\xF0\x9F\x98", "\xED\xA0\x80",  // malformed
};

TEST(DescribeLong, QuotesAsCharacterByCharacterAtEveryLength) {
  std::vector<std::string> texts;
  for (std::string_view piece : kPieces) texts.emplace_back(piece);
  std::string mixed;
  for (int k = 0; mixed.size() < 3 * 1024 * 1024; ++k) mixed += kPieces[k % std::size(kPieces)];
  texts.push_back(mixed);
  // A long run of plain bytes with every piece placed across the places a
  // long text is cut at (every 256 KiB).
  for (std::string_view piece : kPieces) {
    std::string across(600 * 1024, 'a');
    for (std::size_t at : {std::size_t{256} * 1024 - 1, std::size_t{512} * 1024 - 2}) across.replace(at, piece.size(), piece);
    texts.push_back(across);
  }
  texts.push_back(std::string(3 * 1024 * 1024, '"'));  // the text grows past its first room
  for (const std::string& t : texts) {
    ASSERT_EQ(described(t), quoted_by_character(t)) << t.substr(0, 40);
  }
}

TEST(DescribeLong, ALongTextAsksAllThroughAndEndsAtAStop) {
  const std::string text(4 * 1024 * 1024, 'a');
  CountingInterrupt never;
  {
    RunScope scope(never.interrupt());
    EXPECT_EQ(described(text), quoted_by_character(text));
    EXPECT_FALSE(scope.stopped());
  }
  // Sized, then written: each pass asks every 256 KiB of the text.
  EXPECT_GE(never.asked, 2 * text.size() / (256 * 1024) - 2);
  for (std::size_t k = 1; k <= never.asked; k += 3) {
    CountingInterrupt stop{.stop_at = k};
    RunScope scope(stop.interrupt());
    const std::string part = described(text);
    EXPECT_TRUE(scope.stopped()) << k;
    EXPECT_EQ(stop.asked, k) << k;  // nothing asked after the stop
    EXPECT_LT(part.size(), text.size()) << k;
  }
}

}  // namespace
}  // namespace fendro::json
