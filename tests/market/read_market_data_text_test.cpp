// Reading candle data from its text must give exactly what reading its
// parsed tree gives: the same candles, or the same failure text. Checked on
// generated data values, valid ones and ones broken in every way the
// reading reports.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"
#include "market/same_market_data.hpp"

namespace fendro {
namespace {

class DataGenerator {
 public:
  // `noise`: the chance, in percent, that any one piece is malformed.
  DataGenerator(std::uint64_t seed, unsigned noise) : rng_(seed), noise_(noise) {}

  std::string data() {
    std::string out;
    space(out);
    if (broken()) {
      odd_value(out);
    } else {
      out += '{';
      const std::size_t n = pick(4);
      for (std::size_t i = 0; i < n; ++i) {
        if (i) out += ',';
        space(out);
        out += one_of(kSymbols);
        space(out);
        out += ':';
        space(out);
        if (broken()) {
          odd_value(out);
        } else {
          candles(out);
        }
      }
      space(out);
      out += '}';
    }
    space(out);
    return out;
  }

 private:
  // Keys that collide after unescaping, sort around each other and carry
  // multi-byte characters.
  static constexpr std::string_view kSymbols[] = {
      R"("A")", R"("B")", R"("a")", R"("\u0041")", R"("AB")", R"("")",
      "\"\xC3\xA9\"", R"("\u00e9")", R"("\ud83d\ude00")", R"("x\"y")"};
  static constexpr std::string_view kFieldKeys[] = {
      R"("time")", R"("open")", R"("high")", R"("low")", R"("close")", R"("volume")"};
  static constexpr std::string_view kOtherKeys[] = {
      R"("extra")", R"("Time")", R"("\u0074ime")", R"("clos\u0065")", R"("time ")", R"("")"};
  static constexpr std::string_view kTimes[] = {
      "0", "1700000000000", "-5", "9223372036854775807", "-9223372036854775808"};
  static constexpr std::string_view kPrices[] = {
      "1", "101.25", "0.5", "-3", "1e2", "2.5E-3", "-0", "0.30000000000000004",
      "18446744073709551615", "123456789012345678901234567890", "1e-400"};
  // Wrong kinds and values, for both fields.
  static constexpr std::string_view kOdd[] = {
      "null", "true", "false", "1.5", "-0.0", "1e300", "9223372036854775808",
      "18446744073709551616", "-9223372036854775809", R"("1")", R"("a\"b\n\u00e9")",
      "\"\xF0\x9F\x98\x80\"", R"("")", "[]", "[1,2]", "{}", R"({"time":1})"};

  std::size_t pick(std::size_t n) { return rng_() % n; }
  bool broken() { return pick(100) < noise_; }
  template <std::size_t N>
  std::string_view one_of(const std::string_view (&xs)[N]) {
    return xs[pick(N)];
  }

  void space(std::string& out) {
    static constexpr std::string_view kSpaces[] = {"", "", "", " ", "\n", "\t", "\r\n  "};
    out += one_of(kSpaces);
  }

  void odd_value(std::string& out) { out += one_of(kOdd); }

  void candles(std::string& out) {
    out += '[';
    const std::size_t n = pick(5);
    for (std::size_t i = 0; i < n; ++i) {
      if (i) out += ',';
      space(out);
      const std::size_t form = broken() ? pick(3) : 1 + pick(3);
      if (form == 0) {
        odd_value(out);
      } else if (form == 1) {
        candle_array(out);
      } else {
        candle_object(out);
      }
    }
    out += ']';
  }

  void field_value(std::string& out, std::size_t field) {
    if (broken()) {
      odd_value(out);
    } else {
      out += field == 0 ? one_of(kTimes) : one_of(kPrices);
    }
  }

  void candle_array(std::string& out) {
    out += '[';
    // Mostly 5 or 6 elements; now and then fewer or more.
    const std::size_t n = broken() ? pick(9) : 5 + pick(2);
    for (std::size_t k = 0; k < n; ++k) {
      if (k) out += ',';
      space(out);
      field_value(out, k);
    }
    out += ']';
  }

  void candle_object(std::string& out) {
    // The fields in a shuffled order, some left out, some repeated, with
    // other members mixed in.
    std::vector<std::size_t> fields = {0, 1, 2, 3, 4, 5};
    std::shuffle(fields.begin(), fields.end(), rng_);
    std::vector<std::string> members;
    for (const std::size_t f : fields) {
      const std::size_t copies = broken() ? pick(3) : (f == 5 ? pick(2) : 1);
      for (std::size_t c = 0; c < copies; ++c) {
        std::string m(kFieldKeys[f]);
        m += ':';
        field_value(m, f);
        members.push_back(std::move(m));
      }
    }
    if (broken()) {
      std::string m(one_of(kOtherKeys));
      m += ':';
      odd_value(m);
      members.insert(members.begin() + static_cast<std::ptrdiff_t>(pick(members.size() + 1)),
                     std::move(m));
    }
    out += '{';
    for (std::size_t i = 0; i < members.size(); ++i) {
      if (i) out += ',';
      space(out);
      out += members[i];
    }
    out += '}';
  }

  std::mt19937_64 rng_;
  unsigned noise_;
};

// Reads `text` from its tree, from the text alone, and in the same pass as
// the parse of a command holding it; counts the texts accepted.
void expect_same_reading(const std::string& text, std::size_t& accepted) {
  const auto from_tree = tree_reading(text);
  if (from_tree.ok()) ++accepted;
  expect_same_result(read_market_data_text(text), from_tree);
  std::optional<Result<MarketData, std::string>> in_pass;
  const std::string command = R"({"data":)" + text + "}";
  ASSERT_TRUE(json::parse_deferring(command, "data", [&](json::Cursor& cur) {
                in_pass = read_market_data(cur);
              }).ok());
  ASSERT_TRUE(in_pass.has_value());
  expect_same_result(*in_pass, from_tree);
}

// The values read in every accepted form.
TEST(ReadMarketDataText, AcceptedForms) {
  const std::string text = R"({
    "b": [[-5, 1, 2, 0.5, 1.5, 7], [6, 1, 2, 0.5, 1.5]],
    "a": [{"time": 1, "open": 1, "high": 2, "low": -3, "close": 1.25, "extra": [{}]},
          {"time": -9223372036854775808, "open": 18446744073709551615, "high": 1e300,
           "low": -1, "close": 0, "volume": 2}],
    "": [],
    "c": [{"time": 1, "open": 1, "high": 1, "low": 1, "close": 1, "volume": -4}]
  })";
  const auto r = tree_reading(text);
  ASSERT_TRUE(r.ok()) << r.error();
  // Shapes are checked, not candle values: a negative volume passes.
  const MarketData want = {{"", {}},
                           {"a", {{1, 1, 2, -3, 1.25, 0.0}, {INT64_MIN, 18446744073709551615.0, 1e300, -1, 0, 2}}},
                           {"b", {{-5, 1, 2, 0.5, 1.5, 7}, {6, 1, 2, 0.5, 1.5, 0.0}}},
                           {"c", {{1, 1, 1, 1, 1, -4}}}};
  expect_same_result(r, want);
  std::size_t accepted = 0;
  expect_same_reading(text, accepted);
  EXPECT_TRUE(read_market_data_text("{}")->empty());
}

TEST(ReadMarketDataText, AgreesWithTheTreeOnGeneratedData) {
  for (const unsigned noise : {0u, 2u, 8u, 25u}) {
    std::size_t accepted = 0;
    const std::size_t rounds = 3000;
    for (std::size_t seed = 0; seed < rounds; ++seed) {
      const std::string text = DataGenerator(seed * 7919 + noise, noise).data();
      SCOPED_TRACE(text);
      expect_same_reading(text, accepted);
    }
    // Both verdicts must be well represented.
    if (noise == 0) {
      EXPECT_EQ(accepted, rounds);
    } else {
      EXPECT_GT(rounds - accepted, rounds / 20) << "noise " << noise;
      if (noise <= 8) {
        EXPECT_GT(accepted, rounds / 20) << "noise " << noise;
      }
    }
  }
}

TEST(ReadMarketDataText, ReportsLikeTheTree) {
  struct Case {
    const char* text;
    const char* want;  // "" when accepted
  };
  const std::vector<Case> cases = {
      {R"("a\u00e9\n")", R"(invalid type: string "aé\n", expected a map)"},
      {R"(-0)", "invalid type: floating point `-0.0`, expected a map"},
      {R"({"A": 1.0})", "invalid type: floating point `1.0`, expected a sequence"},
      // Symbols are checked in key order, whatever their order in the text.
      {R"({"b": [true], "a": [null]})", "invalid type: null, expected struct Candle"},
      // The last of a repeated symbol counts, broken or not.
      {R"({"A": [null], "A": []})", ""},
      {R"({"A": [], "\u0041": [[1]]})", "invalid length 1, expected struct Candle with 6 elements"},
      // A wrong field beats a missing one; fields go in key order.
      {R"({"A": [{"time": "t", "close": "c"}]})", R"(invalid type: string "c", expected f64)"},
      {R"({"A": [{"close": 1, "close": null, "time": 1}]})", "invalid type: null, expected f64"},
      {R"({"A": [{"close": null, "close": 1, "time": 1}]})", "missing field `open`"},
      {R"({"A": [[1, 2, 3, 4, 5, 6, [], {}]]})", "invalid length 8, expected fewer elements in array"},
      {R"({"A": [[1, 2, "x", 4, 5, 6, 7]]})", R"(invalid type: string "x", expected f64)"},
      {R"({"A": [[18446744073709551615, 2, 3, 4, 5]]})",
       "invalid value: integer `18446744073709551615`, expected i64"},
      {R"({"A": [[1e2, 2, 3, 4, 5]]})", "invalid type: floating point `100.0`, expected i64"},
      {R"([])", "invalid type: sequence, expected a map"},
      {R"(5)", "invalid type: integer `5`, expected a map"},
      {R"({"A": {}})", "invalid type: map, expected a sequence"},
      {R"({"A": [true]})", "invalid type: boolean `true`, expected struct Candle"},
      {R"({"A": [1, 2, 3]})", "invalid type: integer `1`, expected struct Candle"},
      {R"({"A": [[]]})", "invalid length 0, expected struct Candle with 6 elements"},
      {R"({"A": [[1, 2, 3]]})", "invalid length 3, expected struct Candle with 6 elements"},
      {R"({"A": [[1, 2, 3, 4, 5, 6, 7]]})", "invalid length 7, expected fewer elements in array"},
      {R"({"A": [[1, 2, 3, 4, 5, "v", 7]]})", "invalid type: string \"v\", expected f64"},
      {R"({"A": [[1.5, 2, 3, 4, 5]]})", "invalid type: floating point `1.5`, expected i64"},
      {R"({"A": [{"time": 1.5, "open": 1, "high": 1, "low": 1, "close": 1}]})",
       "invalid type: floating point `1.5`, expected i64"},
      {R"({"A": [{"time": 9223372036854775808, "open": 1, "high": 1, "low": 1, "close": 1}]})",
       "invalid value: integer `9223372036854775808`, expected i64"},
      {R"({"A": [{"time": "1", "open": 1, "high": 1, "low": 1, "close": 1}]})",
       "invalid type: string \"1\", expected i64"},
      {R"({"A": [{"time": 1, "open": "x", "high": 1, "low": 1, "close": 1}]})",
       "invalid type: string \"x\", expected f64"},
      {R"({"A": [{"time": 1, "open": 1, "high": 1, "low": 1, "close": null}]})",
       "invalid type: null, expected f64"},
      {R"({"A": [{}]})", "missing field `time`"},
      {R"({"A": [{"time": 1, "high": 1, "low": 1}]})", "missing field `open`"},
      {R"({"A": [{"time": 1, "open": 1, "low": 1, "close": 1}]})", "missing field `high`"},
      // Member values are read (in key order) before required fields are missed.
      {R"({"A": [{"close": "c", "open": 1, "high": 1, "low": 1}]})",
       "invalid type: string \"c\", expected f64"},
      // One malformed candle fails the whole reading.
      {R"({"A": [[1, 2, 3, 4, 5], [1, 2]]})", "invalid length 2, expected struct Candle with 6 elements"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    const auto r = read_market_data_text(k.text);
    EXPECT_EQ(r.ok() ? "" : r.error(), k.want);
    std::size_t accepted = 0;
    expect_same_reading(k.text, accepted);
  }
}

TEST(ReadMarketDataText, TextThatDoesNotParseFailsWithItsSyntaxError) {
  const auto r = read_market_data_text(R"({"A": [[1, 2, 3, 4, 5],]})");
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), "trailing comma at line 1 column 24");
  EXPECT_FALSE(read_market_data_text(R"({"A": []} x)").ok());
}

}  // namespace
}  // namespace fendro
