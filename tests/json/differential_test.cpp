// The reader on generated documents, intact, damaged and cut short. Against
// an independent, trusted JSON library: the same tree (kinds, exact f64 bits,
// key order, last duplicate winning) and the same accept/reject verdict.
// Against itself: it takes digits and string bytes several at a time only
// where enough text is left, and one at a time near the end, so the same
// text read either way (moved away from the end by trailing blanks, or down
// a line) must give the same tree or the same failure at the same place.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <string_view>

#include "fendro/json/parse.hpp"
#include "json/other_library.hpp"

namespace fendro::json {
namespace {

class Generator {
 public:
  explicit Generator(std::uint64_t seed) : rng_(seed) {}

  std::string document() {
    std::string out;
    value(out, 0);
    space(out);
    return out;
  }

  // One byte removed, inserted or replaced.
  void damage(std::string& text) {
    static constexpr std::string_view kBytes = "[]{}\",:\\-+.eE01259 \nabtnu\x01\x7f\x80\xc3\xe2\xff";
    if (text.empty()) return;
    const std::size_t at = pick(text.size());
    const char c = kBytes[pick(kBytes.size())];
    switch (pick(3)) {
      case 0: text.erase(at, 1); break;
      case 1: text.insert(at, 1, c); break;
      default: text[at] = c; break;
    }
  }

  std::size_t pick(std::size_t n) { return n == 0 ? 0 : rng_() % n; }

 private:

  void space(std::string& out) {
    static const char* kSpaces[] = {"", "", "", " ", "\n", "\t", "\r\n  "};
    out += kSpaces[pick(7)];
  }

  void value(std::string& out, int depth) {
    space(out);
    const std::size_t kind = depth >= 6 ? pick(6) : pick(9);
    switch (kind) {
      case 0: out += "null"; break;
      case 1: out += pick(2) ? "true" : "false"; break;
      case 2: integer(out); break;
      case 3: case 4: floating(out); break;
      case 5: string(out); break;
      case 6: case 7: {
        out += '[';
        const std::size_t n = pick(6);
        for (std::size_t i = 0; i < n; ++i) {
          if (i) out += ',';
          value(out, depth + 1);
        }
        space(out);
        out += ']';
        break;
      }
      default: {
        static const char* kKeys[] = {"a",    "b",       "B",        "aa",  "",
                                      "time", "\\u0061", "\xc3\xa9", "a\\nb"};
        out += '{';
        const std::size_t n = pick(8);
        for (std::size_t i = 0; i < n; ++i) {
          if (i) out += ',';
          space(out);
          out += '"';
          out += kKeys[pick(9)];
          out += '"';
          space(out);
          out += ':';
          value(out, depth + 1);
        }
        space(out);
        out += '}';
        break;
      }
    }
  }

  void integer(std::string& out) {
    if (pick(10) == 0) {
      // The edges of the two integer kinds.
      static const char* kEdges[] = {"0", "18446744073709551615", "18446744073709551616",
                                     "-9223372036854775808", "-9223372036854775809",
                                     "9223372036854775807", "-1"};
      out += kEdges[pick(7)];
      return;
    }
    const std::size_t digits = 1 + pick(24);
    if (pick(2)) out += '-';
    out += static_cast<char>('1' + pick(9));
    for (std::size_t i = 1; i < digits; ++i) out += static_cast<char>('0' + pick(10));
  }

  void floating(std::string& out) {
    char buf[64];
    switch (pick(3)) {
      case 0: {  // shortest text of a random finite f64
        double d;
        do d = std::bit_cast<double>(rng_()); while (!std::isfinite(d));
        out.append(buf, std::to_chars(buf, buf + sizeof buf, d).ptr);
        break;
      }
      case 1: {  // 17 significant digits of a value of ordinary size
        const double d = std::uniform_real_distribution<double>(-1e6, 1e6)(rng_);
        const std::string_view text(buf, static_cast<std::size_t>(
                                             std::snprintf(buf, sizeof buf, "%.17g", d)));
        out += text;
        if (text.find_first_of(".e") == std::string_view::npos) out += ".0";
        break;
      }
      default: {  // long random digit strings with an exponent
        if (pick(2)) out += '-';
        out += static_cast<char>('0' + pick(10));
        out += '.';
        const std::size_t n = 1 + pick(30);
        for (std::size_t i = 0; i < n; ++i) out += static_cast<char>('0' + pick(10));
        out += pick(2) ? 'e' : 'E';
        const int e = static_cast<int>(pick(640)) - 330;
        out += std::to_string(e > 300 ? 300 : e);
        break;
      }
    }
  }

  void string(std::string& out) {
    static const char* kPieces[] = {"a", "Z", " ", "\\\"", "\\\\", "\\/", "\\b", "\\f", "\\n",
                                    "\\r", "\\t", "\\u0000", "\\u001f", "\\u00e9", "\\uFFFF",
                                    "\\ud83d\\ude00", "\\uDBFF\\uDFFF", "\xc3\xa9", "\xe2\x82\xac",
                                    "\xf0\x9f\x98\x80", "\x7f", "'", "{", "]"};
    out += '"';
    const std::size_t n = pick(8);
    for (std::size_t i = 0; i < n; ++i) {
      // Plain runs of every length up to 40, and the bytes that end them.
      if (pick(4) == 0) out.append(pick(41), static_cast<char>('a' + pick(26)));
      out += kPieces[pick(sizeof kPieces / sizeof *kPieces)];
    }
    out += '"';
  }

  std::mt19937_64 rng_;
};

TEST(Differential, SameTreesOnGeneratedDocuments) {
  Generator gen(20240601);
  for (int n = 0; n < 3000; ++n) {
    const std::string text = gen.document();
    const auto ours = parse(text);
    const auto theirs = nlohmann::json::parse(text, nullptr, false);
    ASSERT_FALSE(theirs.is_discarded()) << text;
    ASSERT_TRUE(ours.ok()) << text << "\n" << ours.error().display();
    const std::string diff = other_library_differs(ours->root, theirs, "$");
    ASSERT_TRUE(diff.empty()) << diff << "\n" << text;
  }
}

TEST(Differential, SameVerdictOnDamagedDocuments) {
  Generator gen(7);
  int rejected = 0;
  for (int n = 0; n < 6000; ++n) {
    std::string text = gen.document();
    gen.damage(text);
    // The other library skips a leading byte order mark; this reader does not.
    if (text.rfind("\xef\xbb\xbf", 0) == 0) continue;
    const bool ours = parse(text).ok();
    const bool theirs = !nlohmann::json::parse(text, nullptr, false).is_discarded();
    ASSERT_EQ(ours, theirs) << text;
    rejected += ours ? 0 : 1;
  }
  EXPECT_GT(rejected, 1000);  // the damage really produced failures to compare
}

bool is_eof_failure(const ParseError& e) { return e.message.rfind("EOF", 0) == 0; }

// `same_failure`: false when `b` may fail otherwise (a text that ends too
// early may end in a different way once blanks follow).
void expect_same_parse(const Result<Document, ParseError>& a, const Result<Document, ParseError>& b,
                       std::size_t line_shift, bool same_failure) {
  ASSERT_EQ(a.ok(), b.ok());
  if (a.ok()) {
    EXPECT_TRUE(equal(a->root, b->root));
    return;
  }
  if (same_failure) {
    EXPECT_EQ(a.error().message, b.error().message);
    EXPECT_EQ(a.error().line + line_shift, b.error().line);
    EXPECT_EQ(a.error().column, b.error().column);
  }
}

TEST(FastPaths, SameTreesAndFailuresNearTheEndAndAwayFromIt) {
  Generator gen(20240615);
  std::size_t failed = 0;
  for (int n = 0; n < 20000; ++n) {
    std::string text = gen.document();
    const std::size_t damages = n % 3 == 0 ? 0 : 1 + gen.pick(2);
    for (std::size_t k = 0; k < damages; ++k) gen.damage(text);
    // Cut short too: every value may end the text.
    if (n % 5 == 4) text.resize(gen.pick(text.size() + 1));
    SCOPED_TRACE(text);
    const auto plain = parse(text);
    failed += plain.ok() ? 0 : 1;
    const bool eof = !plain.ok() && is_eof_failure(plain.error());
    expect_same_parse(plain, parse(text + std::string(40, ' ')), 0, !eof);
    expect_same_parse(plain, parse("\n" + text), 1, true);
  }
  EXPECT_GT(failed, 5000u);
  EXPECT_LT(failed, 19000u);
}

TEST(FastPaths, EveryByteAtEveryPlaceOfAString) {
  for (int b = 0; b < 256; ++b) {
    for (std::size_t at = 0; at < 20; ++at) {
      std::string text = '"' + std::string(at, 'a');
      text += static_cast<char>(b);
      text += "bc\"";
      SCOPED_TRACE(testing::Message() << "byte " << b << " after " << at);
      const auto plain = parse(text);
      const bool eof = !plain.ok() && is_eof_failure(plain.error());
      expect_same_parse(plain, parse(text + std::string(40, ' ')), 0, !eof);
      // Twice in an array: the first copy is read away from the end.
      const std::string twice_text = "[" + text + "," + text + "]";  // outlives the tree
      const auto twice = parse(twice_text);
      ASSERT_EQ(plain.ok(), twice.ok());
      if (plain.ok()) {
        EXPECT_TRUE(equal(plain->root, twice->root.items[0]));
        EXPECT_TRUE(equal(plain->root, twice->root.items[1]));
      }
    }
  }
}

}  // namespace
}  // namespace fendro::json
