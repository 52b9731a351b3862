// The reader takes digits and string bytes several at a time only where
// enough text is left, and one at a time near the end. On generated
// commands, intact and damaged, the same text read with either path (moved
// away from the end by trailing blanks, or down a line) must give the same
// tree or the same failure at the same place, and the candles decoded in the
// same pass must be those read from the tree.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "fendro/json/cursor.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"
#include "market/same_market_data.hpp"

namespace fendro::json {
namespace {

class CommandGenerator {
 public:
  explicit CommandGenerator(std::uint64_t seed) : rng_(seed) {}

  std::string command() {
    std::string out = R"({"cmd":"prove","spec":{"strategy":{"symbol":)";
    string(out);
    out += R"(,"n":)";
    number(out);
    out += R"(},"dataset_ref":"d"},"data":{)";
    const std::size_t symbols = 1 + pick(2);
    for (std::size_t s = 0; s < symbols; ++s) {
      if (s) out += ',';
      string(out);
      out += ":[";
      const std::size_t n = pick(12);
      for (std::size_t i = 0; i < n; ++i) {
        if (i) out += ',';
        space(out);
        candle(out);
      }
      out += ']';
    }
    out += "}}";
    return out;
  }

  // One byte removed, inserted or replaced.
  void damage(std::string& text) {
    static constexpr std::string_view kBytes = "[]{}\",:\\-+.eE0159 \nu\x01\x7f\x80\xc3\xe2";
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
    static constexpr std::string_view kSpaces[] = {"", "", "", " ", "\n", "\t ", "\r\n"};
    out += kSpaces[pick(7)];
  }

  void digits(std::string& out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) out += static_cast<char>('0' + pick(10));
  }

  // Digit runs of every length up to 24 around the 8-byte steps.
  void number(std::string& out) {
    if (pick(4) == 0) out += '-';
    const std::size_t whole = 1 + pick(24);
    out += static_cast<char>('1' + pick(9));
    digits(out, whole - 1);
    if (pick(3) != 0) {
      out += '.';
      digits(out, 1 + pick(20));
    }
    if (pick(6) == 0) {
      out += pick(2) ? 'e' : 'E';
      if (pick(2)) out += pick(2) ? '-' : '+';
      digits(out, 1 + pick(3));
    }
  }

  // Plain runs of every length up to 40 with the bytes that end them.
  void string(std::string& out) {
    static constexpr std::string_view kSpecial[] = {"\\\"", "\\n", "\\u00e9", "\\ud83d\\ude00",
                                                    "\xc3\xa9", "\xe2\x82\xac", "\\\\"};
    out += '"';
    const std::size_t pieces = pick(4);
    for (std::size_t k = 0; k < pieces; ++k) {
      const std::size_t n = pick(41);
      for (std::size_t i = 0; i < n; ++i) out += static_cast<char>('a' + pick(26));
      if (pick(2)) out += kSpecial[pick(7)];
    }
    out += '"';
  }

  void candle(std::string& out) {
    static constexpr std::string_view kKeys[] = {"time", "open", "high", "low", "close", "volume", "note"};
    if (pick(4) == 0) {
      out += '[';
      const std::size_t n = 4 + pick(4);
      for (std::size_t i = 0; i < n; ++i) {
        if (i) out += ',';
        number(out);
      }
      out += ']';
      return;
    }
    out += '{';
    const std::size_t n = 4 + pick(4);
    for (std::size_t i = 0; i < n; ++i) {
      if (i) out += ',';
      space(out);
      out += '"';
      out += kKeys[pick(7)];
      out += "\":";
      space(out);
      if (pick(20) == 0) {
        string(out);
      } else {
        number(out);
      }
    }
    out += '}';
  }

  std::mt19937_64 rng_;
};

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
  CommandGenerator gen(20240615);
  std::size_t failed = 0;
  for (int n = 0; n < 4000; ++n) {
    std::string text = gen.command();
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
  EXPECT_GT(failed, 1000u);
  EXPECT_LT(failed, 3800u);
}

TEST(FastPaths, EveryByteAtEveryPlaceOfAString) {
  for (int b = 0; b < 256; ++b) {
    for (std::size_t at = 0; at < 20; ++at) {
      std::string text = "\"" + std::string(at, 'a');
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

TEST(FastPaths, CandlesDecodedInThePassAreThoseOfTheTree) {
  CommandGenerator gen(77);
  for (int n = 0; n < 2000; ++n) {
    std::string text = gen.command();
    if (n % 2 == 1) gen.damage(text);
    SCOPED_TRACE(text);
    const auto tree = parse(text);
    std::optional<Result<MarketData, std::string>> in_pass;
    const auto deferred =
        parse_deferring(text, "data", [&](Cursor& cur) { in_pass = read_market_data(cur); });
    ASSERT_EQ(tree.ok(), deferred.ok());
    if (!tree.ok()) {
      EXPECT_EQ(tree.error().display(), deferred.error().display());
      continue;
    }
    ASSERT_TRUE(in_pass.has_value());
    expect_same_result(*in_pass, read_market_data(*tree->root.find("data")));
  }
}

}  // namespace
}  // namespace fendro::json
