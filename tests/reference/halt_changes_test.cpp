// The generator's halt claim, given planted values: a row that names the
// wrong halt bar, stays silent on a type that drifts, or tells of one that
// settles early is named with its fault; the text the generator writes
// holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "reference/halt_changes.hpp"

namespace fendro::reference {
namespace {

// The fingerprint's halted walk, cut to 12,000 flat bars: the RSI(14) has
// stopped drifting by then, and the shorter walk keeps the test quick.
const HaltedSeries& short_halt() {
  static const HaltedSeries series{testing::make_halted_bars(testing::make_bars(3000), 3000, 12000), 3000};
  return series;
}

std::vector<std::string> faults_of(const char* key, std::vector<double> params, const std::string& value,
                                   bool applies = true) {
  auto fresh = build_indicator(key, params);
  EXPECT_TRUE(static_cast<bool>(fresh));
  return halt_claim_faults(value, *std::move(fresh).value(), short_halt(), applies);
}

struct Planted {
  const char* key;
  std::vector<double> params;
  std::string value;  // the row's value as written
  bool applies;
  std::vector<std::string> faults;
};

TEST(HaltChanges, EachPlantedClaimGivesItsFaults) {
  const std::string rsi = "Wilder's RSI.";
  const std::vector<Planted> cases = {
      {"Rsi", {14}, rsi + " On a halt it last changes at halt bar 9,967.", true, {}},
      {"Rsi", {14}, rsi + " On a halt it last changes at halt bar 9,968.", true,
       {"tells halt bar 9,968, the last change is at halt bar 9,967"}},
      {"Rsi", {14}, rsi + " On a halt it last changes at halt bar 9,966.", true,
       {"tells halt bar 9,966, the last change is at halt bar 9,967"}},
      // A settled type is not said to go on to the end of the walk.
      {"Rsi", {14}, rsi + " On a halt it still changes at halt bar 9,967, the last tried.", true,
       {"tells halt bar 9,967, the last change is at halt bar 9,967"}},
      {"Rsi", {14}, rsi, true, {"last changes at halt bar 9,967, and the row does not say so"}},
      // The RSI(5)'s averages reach the subnormal numbers sooner.
      {"Rsi", {5}, rsi, true, {"last changes at halt bar 3,317, and the row does not say so"}},
      // An average settles onto the last close within its first few hundred bars.
      {"Ema", {14}, "An EMA. On a halt it last changes at halt bar 214.", true,
       {"tells halt bar 214, but its last change, at halt bar 214, is not one to tell"}},
      {"Ema", {14}, "An EMA.", true, {}},
      {"Rsi", {14}, rsi, false, {}},
      {"Rsi", {14}, rsi + " On a halt it last changes at halt bar 9,967.", false,
       {"tells a halt bar, but candles alone give it no value"}},
  };
  for (const Planted& c : cases) {
    SCOPED_TRACE(std::string(c.key) + ": " + c.value);
    EXPECT_EQ(faults_of(c.key, c.params, c.value, c.applies), c.faults);
  }
}

TEST(HaltChanges, TheWrittenSentenceIsTheOneTried) {
  EXPECT_EQ(halt_sentence(9967, 90000), "On a halt it last changes at halt bar 9,967.");
  EXPECT_EQ(halt_sentence(90000, 90000), "On a halt it still changes at halt bar 90,000, the last tried.");
  auto rsi = build_indicator("Rsi", std::vector<double>{14});
  const std::size_t bar = last_halt_change(*std::move(rsi).value(), short_halt());
  EXPECT_EQ(bar, 9967u);
  EXPECT_TRUE(halt_change_is_told(bar, 15));
  EXPECT_EQ(faults_of("Rsi", {14}, "x " + halt_sentence(bar, short_halt().halted())), std::vector<std::string>{});
}

}  // namespace
}  // namespace fendro::reference
