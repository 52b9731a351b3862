#include <gtest/gtest.h>

#include <set>
#include <string>

#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"

namespace fendro {
namespace {

TEST(FeedTable, ExactMatchOnly) {
  struct Case {
    std::string key;
    Feed want;
  };
  const std::vector<Case> cases = {
      {"Sma", Feed::Kline},          {"Vpin", Feed::Trade},
      {"Microprice", Feed::Orderbook}, {"KylesLambda", Feed::TradeQuote},
      {"FundingRate", Feed::Derivatives}, {"Trin", Feed::CrossSection},
      {"EstimatedLeverageRatio", Feed::Kline}, {"HighLowIndex", Feed::CrossSection},
      {"MacdIndicator", Feed::Kline},  {"BollingerBands", Feed::Kline},
      {"Dx", Feed::Kline},           {"PolarizedFractalEfficiency", Feed::Kline},
      {"Macd", Feed::None},          {"Bollinger", Feed::None},
      {"sma", Feed::None},           {"Sma ", Feed::None},
      {"", Feed::None},              {"S", Feed::None},
      {std::string(27, 'A'), Feed::None}, {std::string("Sma\0", 4), Feed::None},
  };
  for (const Case& k : cases) EXPECT_EQ(feed_of_indicator(k.key), k.want) << k.key;
}

TEST(FeedTable, KeysAreCamelCaseOfTwoToTwentySixCharacters) {
  std::set<std::string_view> seen;
  for (const registry::Entry& row : registry::key_rows()) {
    EXPECT_TRUE(seen.insert(row.key).second) << row.key;
    EXPECT_GE(row.key.size(), 2u);
    EXPECT_LE(row.key.size(), 26u);
    EXPECT_TRUE(row.key[0] >= 'A' && row.key[0] <= 'Z') << row.key;
    for (char ch : row.key) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(ch))) << row.key;
    EXPECT_EQ(registry::key_slot(row.key).has_value(), true);
  }
}

TEST(FeedNames, DisplayAndJsonNames) {
  struct Case {
    Feed f;
    const char* display;
    const char* json;
  };
  const std::vector<Case> cases = {
      {Feed::Kline, "Kline", "kline"},
      {Feed::Trade, "Trade", "trade"},
      {Feed::Orderbook, "Orderbook", "orderbook"},
      {Feed::TradeQuote, "TradeQuote", "trade_quote"},
      {Feed::Derivatives, "Derivatives", "derivatives"},
      {Feed::CrossSection, "CrossSection", "cross_section"},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(feed_display_name(k.f), k.display);
    EXPECT_EQ(feed_json_name(k.f), k.json);
  }
}

}  // namespace
}  // namespace fendro
