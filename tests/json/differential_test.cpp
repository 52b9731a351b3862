// Differential test against an independent, trusted JSON library on
// generated documents: same tree (kinds, exact f64 bits, key order,
// last duplicate winning), and the same accept/reject verdict on damaged
// copies of those documents.
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

 private:
  std::size_t pick(std::size_t n) { return rng_() % n; }

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
    for (std::size_t i = 0; i < n; ++i) out += kPieces[pick(sizeof kPieces / sizeof *kPieces)];
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
  std::mt19937_64 rng(99);
  static const char kBytes[] = "[]{}\",:\\-+.eE0129 \nabtnu\x01\x7f\x80\xc3\xff";
  int rejected = 0;
  for (int n = 0; n < 6000; ++n) {
    std::string text = gen.document();
    const std::size_t at = text.empty() ? 0 : rng() % text.size();
    switch (rng() % 3) {
      case 0: if (!text.empty()) text.erase(at, 1); break;
      case 1: text.insert(at, 1, kBytes[rng() % (sizeof kBytes - 1)]); break;
      default: if (!text.empty()) text[at] = kBytes[rng() % (sizeof kBytes - 1)]; break;
    }
    // The other library skips a leading byte order mark; this reader does not.
    if (text.rfind("\xef\xbb\xbf", 0) == 0) continue;
    const bool ours = parse(text).ok();
    const bool theirs = !nlohmann::json::parse(text, nullptr, false).is_discarded();
    ASSERT_EQ(ours, theirs) << text;
    rejected += ours ? 0 : 1;
  }
  EXPECT_GT(rejected, 1000);  // the damage really produced failures to compare
}

}  // namespace
}  // namespace fendro::json
