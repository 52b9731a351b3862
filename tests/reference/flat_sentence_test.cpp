#include "reference/flat_sentence.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "reference/flat_claims.hpp"

namespace fendro::reference {
namespace {

using Kind = FlatClaim::Kind;

TEST(FlatClaims, EveryClaimReadsBackFromItsWords) {
  const FlatClaim claims[] = {
      {Kind::kNoValue, 0.0},          {Kind::kConstant, 50.0},         {Kind::kConstant, -1.0},
      {Kind::kConstant, 1.0 / 3.0},   {Kind::kConstant, INFINITY},   {Kind::kPriceTimes, 1.0},        {Kind::kPriceTimes, 0.98},
      {Kind::kPricePlus, -2.0},       {Kind::kPricePlus, 0.125},       {Kind::kPriceSquared, 0.0},
      {Kind::kVolumeTimes, 1.0},      {Kind::kVolumeTimes, 3.0},       {Kind::kPriceTimesVolume, 0.0},
  };
  for (const FlatClaim& c : claims) {
    const std::optional<FlatClaim> back = read_flat_claim(c.words());
    ASSERT_TRUE(back.has_value()) << c.words();
    EXPECT_EQ(*back, c) << c.words();
  }
  EXPECT_FALSE(read_flat_claim("reads 2 times the market").has_value());
  EXPECT_FALSE(read_flat_claim("reads the price minus two").has_value());
}

TEST(FlatClaims, ThePlainestClaimThroughAPointComesFirst) {
  struct Case {
    double price, volume;
    std::optional<double> got;
    std::string first;
  };
  const Case cases[] = {
      {4.0, 1.0, std::nullopt, "gives no value"},
      {4.0, 1.0, 0.0, "reads 0"},
      {4.0, 1.0, 3.92, "reads 3.92"},  // a constant until other prices say otherwise
      {4.0, 0.0, 16.0, "reads 16"},
  };
  for (const Case& c : cases) {
    const auto claims = flat_claims_through(c.price, c.volume, c.got);
    ASSERT_FALSE(claims.empty());
    EXPECT_EQ(claims.front().words(), c.first);
    for (const FlatClaim& claim : claims) EXPECT_TRUE(claim.holds(c.price, c.volume, c.got)) << claim.words();
  }
  // -0 reads as 0; the multiple of 0 is not offered beside it.
  const auto zero = flat_claims_through(4.0, 1.0, -0.0);
  EXPECT_EQ(zero.front().words(), "reads 0");
  for (const FlatClaim& claim : zero) EXPECT_NE(claim.kind, Kind::kPriceTimes);
}

// The sentence the reference writes for a type, found at every scale.
TEST(FlatSentence, FindsTheCaseThatHoldsAtEveryScale) {
  struct Case {
    std::string_view key;
    std::vector<double> params;
    std::string sentence;
  };
  const Case cases[] = {
      {"Sma", {14}, "On one-price candles it reads the price."},
      {"Rsi", {14}, "On one-price candles it reads 50."},
      {"Nrtr", {2}, "On one-price candles it reads 0.98 times the price."},
      {"RenkoTrailingStop", {2}, "On one-price candles it reads the price minus 2."},
      {"Vwap", {}, "On one-price candles it reads the price; at volume 0 it gives no value."},
      // x - x * 5 / 100 is 0.95 x at some prices only: no claim holds at all.
      {"PercentageTrailingStop", {5}, ""},
      {"Garch11", {0.000001, 0.1, 0.85}, ""},  // moves on one-price candles
      {"ProfitFactor", {20}, "On one-price candles it reads inf."},
  };
  for (const Case& c : cases) EXPECT_EQ(flat_sentence(c.key, c.params), c.sentence) << c.key;
}

// A written claim is tried at every price and volume; one that fails at any
// is a fault of the row.
TEST(FlatSentence, AClaimThatFailsAtAnyScaleIsAFault) {
  struct Case {
    std::string_view key;
    std::vector<double> params;
    std::string value;
    bool holds;
  };
  const Case cases[] = {
      {"Sma", {14}, "An average. On one-price candles it reads the price. More.", true},
      {"Sma", {14}, "An average. On one-price candles it reads 2 times the price.", false},
      {"Sma", {14}, "An average. On one-price candles it reads 4.", false},
      {"Sma", {14}, "An average. On one-price candles it hums.", false},
      {"Sma", {14}, "An average with no flat case told.", true},
      {"Nrtr", {2}, "On one-price candles it reads 0.98 times the price.", true},
      {"Nrtr", {2}, "On one-price candles it reads 0.97 times the price.", false},
      {"RenkoTrailingStop", {2}, "On one-price candles it reads the price plus 2.", false},
      {"PercentageTrailingStop", {5}, "On one-price candles it reads 0.95 times the price.", false},
      {"Vwap", {}, "On one-price candles it reads the price.", false},
      {"Vwap", {}, "On one-price candles with a volume above 0 it reads the price.", true},
      {"Vwap", {}, "On one-price candles it reads the price; at volume 0 it reads 0.", false},
      {"Rsi", {14}, "On one-price candles it reads 50.", true},
      {"Rsi", {14}, "On one-price candles it gives no value.", false},
      {"Garch11", {0.000001, 0.1, 0.85}, "On one-price candles it reads 0.", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(flat_sentence_faults(c.value, c.key, c.params).empty(), c.holds) << c.key << ": " << c.value;
  }
}

}  // namespace
}  // namespace fendro::reference
