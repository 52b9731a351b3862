// Candle lists read straight from the text, and read in the same pass as the
// parse of a command holding them, against the tree reader, on generated
// texts in every form a candle takes, compact or with the blanks JSON
// writers put, intact, damaged and cut: the same candles (f64 bits
// included) or the same failure text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/json/cursor.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/market/plain_candles.hpp"
#include "fendro/market/read_market_data.hpp"
#include "market/candle_texts.hpp"
#include "market/json_layouts.hpp"
#include "market/same_market_data.hpp"

namespace fendro {
namespace {

using test::CandleTexts;

// The candle lists of `text` read straight from it, and as a command's
// member in the same pass as the parse, give what the tree reader gives.
void expect_readers_agree(const std::string& text) {
  SCOPED_TRACE(text);
  expect_same_result(read_market_data_text(text), tree_reading(text));
  const std::string command = R"({"cmd":"prove","data":)" + text + "}";
  std::optional<Result<MarketData, std::string>> in_pass;
  const auto deferred =
      json::parse_deferring(command, "data", [&](json::Cursor& cur) { in_pass = read_market_data(cur); });
  const auto tree = json::parse(command);
  ASSERT_EQ(tree.ok(), deferred.ok());
  if (tree) {
    ASSERT_TRUE(in_pass.has_value());
    expect_same_result(*in_pass, read_market_data(*tree->root.find("data")));
  } else {
    EXPECT_EQ(tree.error().display(), deferred.error().display());
  }
}

// Generated texts of `rounds` rounds with candles of every form, of which
// `array_share` in 20 are arrays.
void expect_readers_agree_on_generated_texts(std::uint64_t seed, int rounds, std::uint64_t array_share) {
  CandleTexts gen(seed);
  gen.array_share = array_share;
  for (int round = 0; round < rounds; ++round) {
    // Texts whose candles all fit, and texts where a few do not.
    gen.odd_every = round % 2 == 0 ? 1'000'000 : 200;
    gen.odd_value = CandleTexts::kOdd[gen.below(std::size(CandleTexts::kOdd))];
    // Every layout, damaged after it is laid out: failures inside blanks too.
    const test::Layout layout = test::kLayouts[round % std::size(test::kLayouts)];
    std::string text = test::lay_out(gen.data(10 + gen.below(200)), layout, gen.below(1000));
    if (round % 3 != 0) {
      for (std::uint64_t k = 1 + gen.below(3); k > 0 && !text.empty(); --k) gen.damage(text);
    }
    expect_readers_agree(text);
    if (::testing::Test::HasFailure()) break;
  }
}

TEST(PlainCandlesTest, TextReaderMatchesTreeReaderOnIntactDamagedAndCutTexts) {
  expect_readers_agree_on_generated_texts(7, 3000, 3);
}

TEST(PlainCandlesTest, TextReaderMatchesTreeReaderOnArrayCandles) {
  expect_readers_agree_on_generated_texts(11, 2000, 20);
}

// Array candles that are not plain, or whose separators lie where reading
// all of a candle's separators at once could be misled (in strings, in
// nested arrays, beyond the bytes looked at together), each amid plain
// ones at several places in a list, in every layout.
TEST(PlainCandlesTest, ArrayCandlesOutOfTheUsualMatchTreeReader) {
  const std::string far_blanks(140, ' ');
  const std::string long_number = "0." + std::string(130, '0') + "1";
  const std::string cases[] = {
      "[1700000000000,1,2,3,4]",
      "[-1,1e3,-0,2.5E-2,0.001]",
      "[1700000000000,1,2,3,4,5,6]",
      "[1700000000000,1,2,3]",
      "[1700000000000]",
      "[]",
      R"([1700000000000,"1,2",3,4,5])",
      R"([1700000000000,"]",3,4,5,6])",
      "[1700000000000,[1],2,3,4]",
      "[1700000000000,1,2,3,4,[5]]",
      "[1700000000000,1,2,3,4,[]]",
      "[1700000000000,1,2,3,4,5,]",
      "[1700000000000,1,2,3,,5]",
      "[1700000000000 1,2,3,4,5]",
      "[1700000000000,1,2,3,4,5}",
      "[1700000000000,1,2,3,4}",
      "[1700000000000,1,2,3,4,5]]",
      "[1.5,1,2,3,4]",
      "[9223372036854775808,1,2,3,4,5]",
      "[1700000000000,1,2,3,4,null]",
      "[1700000000000,1,2,3,4," + long_number + "]",
      "[1700000000000," + far_blanks + "1,2,3,4,5]",
      "[1700000000000,1,2,3,4," + far_blanks + "5]",
      "[1700000000000,1,2,3,4,5" + far_blanks + "]",
  };
  const std::string plain = "[1700000000000,101.25,102.5,99.0,101.75,12345.678]";
  for (const std::string& odd : cases) {
    for (const int at : {0, 1, 17, 39}) {
      std::string list = "{\"S\":[";
      for (int k = 0; k < 40; ++k) list.append(k ? "," : "").append(k == at ? odd : plain);
      list += "]}";
      for (const test::Layout layout : test::kLayouts) expect_readers_agree(test::lay_out(list, layout, 5));
      if (::testing::Test::HasFailure()) return;
    }
  }
}

constexpr std::string_view kPlainCandles[] = {
    R"({"time":1700000000000,"open":101.25,"high":102.5,"low":99.0,"close":101.75,"volume":12345.678})",
    R"({"close":1,"low":2,"high":3,"open":4,"time":-5})",
    R"([1700000000000,101.25,102.5,99.0,101.75,12345.678])",
    R"([1700000000000,101.25,102.5,99.0,101.75])",
    R"([0,-0,1e3,2.5E-2,0.001])",
};

// The candles taken are the first of those the tree holds for `list`.
void expect_first_candles(const std::string& list, const std::vector<Candle>& taken) {
  auto all = tree_reading("{\"S\":" + list + "}");
  ASSERT_TRUE(all.ok());
  all->at("S").resize(taken.size());
  expect_same_result(MarketData{{"S", taken}}, all);
}

// Plain lists are taken whole but for their last candles (too close to the
// end of the text to be read eight bytes at a time), ending after a candle
// where the next separator is the general reader's.
TEST(PlainCandlesTest, PlainListsAreTakenUpToACandleEnd) {
  for (const std::string_view one : kPlainCandles) {
    std::string list = "[";
    for (int k = 0; k < 50; ++k) list.append(k ? "," : "").append(one);
    list += "]";
    std::vector<Candle> taken;
    const std::size_t n = read_plain_candles(std::string_view(list).substr(1), taken);
    ASSERT_GT(taken.size(), 40u) << one;
    EXPECT_EQ(n, taken.size() * (one.size() + 1) - 1) << one;
    expect_first_candles(list, taken);
  }
}

// Laid out by JSON writers' defaults, the same lists are taken as far, the
// blanks within and between candles included, up to the end of a candle.
TEST(PlainCandlesTest, SpacedAndIndentedListsAreTakenUpToACandleEnd) {
  for (const std::string_view one : kPlainCandles) {
    std::string compact = "[";
    for (int k = 0; k < 50; ++k) compact.append(k ? "," : "").append(one);
    compact += "]";
    for (const test::Layout layout : {test::Layout::kSpaced, test::Layout::kIndent2, test::Layout::kIndent4}) {
      const std::string list = test::lay_out(compact, layout);
      SCOPED_TRACE(list);
      const std::string_view elements = std::string_view(list).substr(list.find_first_of("{[", 1));
      std::vector<Candle> taken;
      const std::size_t n = read_plain_candles(elements, taken);
      ASSERT_GT(taken.size(), 40u);
      // The last candle taken ends at n, followed by blanks and a comma.
      EXPECT_TRUE(elements[n - 1] == '}' || elements[n - 1] == ']');
      EXPECT_EQ(elements.substr(n).find_first_not_of(" \n"), elements.substr(n).find(','));
      const auto commas = [](std::string_view t) { return std::count(t.begin(), t.end(), ','); };
      EXPECT_EQ(commas(elements.substr(0, n)), static_cast<long>(taken.size()) * (commas(one) + 1) - 1);
      expect_first_candles(list, taken);
    }
  }
}

}  // namespace
}  // namespace fendro
