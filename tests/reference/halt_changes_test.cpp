// The generator's halt claim, given planted values: a row that names the
// wrong halt bar, stays silent on a type that drifts, tells of one that
// settles early, or takes the end of a value for a change of it is named
// with its fault; the text the generator writes holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "reference/halt_changes.hpp"
#include "reference/sample_candles.hpp"

namespace fendro::reference {
namespace {

// The reference's halted series cut to 12,000 flat candles: the RSI(14) has
// stopped drifting by then, and the shorter halt keeps the test quick.
const HaltedSeries& short_halt() {
  static const HaltedSeries series = halt_after(sample_candles(3000), 12000);
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
  // Wilder's RSI is held through a halt (a ratio of two averages that decay
  // together); the ATR, one average alone, drifts into the subnormal numbers
  // and is the type that tells a late change here.
  const std::string rsi = "Wilder's RSI.";
  const std::string atr = "Wilder's average true range.";
  const std::string smi = "The stochastic momentum index.";
  const std::vector<Planted> cases = {
      {"Atr", {14}, atr + " On a halt it last changes at halt bar 10,012.", true, {}},
      {"Atr", {14}, atr + " On a halt it last changes at halt bar 10,013.", true,
       {"tells halt bar 10,013, the last change is at halt bar 10,012"}},
      {"Atr", {14}, atr + " On a halt it last changes at halt bar 10,011.", true,
       {"tells halt bar 10,011, the last change is at halt bar 10,012"}},
      // A settled type is not said to go on to the end of the walk.
      {"Atr", {14}, atr + " On a halt it still changes at halt bar 10,012, the last tried.", true,
       {"tells halt bar 10,012, the last change is at halt bar 10,012"}},
      {"Atr", {14}, atr, true, {"last changes at halt bar 10,012, and the row does not say so"}},
      // The ATR keeps giving a number: its last change is not an end.
      {"Atr", {14}, atr + " On a halt it gives NaN from halt bar 10,012 on.", true,
       {"tells halt bar 10,012, where it turns NaN for good, the last change is at halt bar 10,012"}},
      {"Atr", {14}, atr + " On a halt it gives no value from halt bar 10,012 on.", true,
       {"tells halt bar 10,012, where its values end, the last change is at halt bar 10,012"}},
      // The ATR(5)'s average reaches the subnormal numbers sooner.
      {"Atr", {5}, atr, true, {"last changes at halt bar 3,330, and the row does not say so"}},
      // The RSI, held from halt bar 14, has nothing to tell.
      {"Rsi", {14}, rsi, true, {}},
      {"Rsi", {14}, rsi + " On a halt it last changes at halt bar 9,993.", true,
       {"tells halt bar 9,993, but its last change, at halt bar 13, is not one to tell"}},
      // An average settles onto the last close within its first few hundred bars.
      {"Ema", {14}, "An EMA. On a halt it last changes at halt bar 206.", true,
       {"tells halt bar 206, but its last change, at halt bar 206, is not one to tell"}},
      {"Ema", {14}, "An EMA.", true, {}},
      {"Rsi", {14}, rsi, false, {}},
      {"Rsi", {14}, rsi + " On a halt it last changes at halt bar 9,993.", false,
       {"tells a halt bar, but candles alone give it no value"}},
      // The SMI's index moves one way from halt bar 15 and is held where its
      // averages sink below normal.
      {"Smi", {10, 3, 3}, smi + " On a halt it last changes at halt bar 1,038.", true, {}},
      {"Smi", {10, 3, 3}, smi, true, {"last changes at halt bar 1,038, and the row does not say so"}},
      // Zero volume ends the rolling VWAP's values within its window: too soon to tell.
      {"RollingVwap", {20}, "A VWAP. On a halt it gives no value from halt bar 20 on.", true,
       {"tells halt bar 20, where its values end, but its last change, at halt bar 20, where its values end, "
        "is not one to tell"}},
  };
  for (const Planted& c : cases) {
    SCOPED_TRACE(std::string(c.key) + ": " + c.value);
    EXPECT_EQ(faults_of(c.key, c.params, c.value, c.applies), c.faults);
  }
}

TEST(HaltChanges, TheWrittenSentenceIsTheOneTried) {
  EXPECT_EQ(halt_sentence({9967, HaltEnd::kValue}, 90000), "On a halt it last changes at halt bar 9,967.");
  EXPECT_EQ(halt_sentence({90000, HaltEnd::kValue}, 90000),
            "On a halt it still changes at halt bar 90,000, the last tried.");
  EXPECT_EQ(halt_sentence({1092, HaltEnd::kNaN}, 90000), "On a halt it gives NaN from halt bar 1,092 on.");
  EXPECT_EQ(halt_sentence({20, HaltEnd::kNoValue}, 90000), "On a halt it gives no value from halt bar 20 on.");
  struct Ran {
    const char* key;
    std::vector<double> params;
    HaltChange change;
    bool told;
  };
  const std::vector<Ran> runs = {
      {"Atr", {14}, {10012, HaltEnd::kValue}, true},
      {"Rsi", {14}, {13, HaltEnd::kValue}, false},
      {"Smi", {10, 3, 3}, {1038, HaltEnd::kValue}, true},
      {"RollingVwap", {20}, {20, HaltEnd::kNoValue}, false},
      {"MarketFacilitationIndex", {}, {1, HaltEnd::kNoValue}, false},
  };
  for (const Ran& r : runs) {
    SCOPED_TRACE(r.key);
    auto built = build_indicator(r.key, r.params);
    ASSERT_TRUE(static_cast<bool>(built));
    auto ind = std::move(built).value();
    const HaltChange change = last_halt_change(*ind, short_halt());
    EXPECT_EQ(change, r.change);
    EXPECT_EQ(halt_change_is_told(change.bar, ind->warmup_period()), r.told);
    if (!r.told) continue;
    EXPECT_EQ(faults_of(r.key, r.params, "x " + halt_sentence(change, short_halt().halted())),
              std::vector<std::string>{});
  }
}

// The flat candles continue the moving ones hour by hour at the last close.
TEST(HaltChanges, TheHaltContinuesTheSampleCandles) {
  const HaltedSeries series = sample_halt();
  ASSERT_EQ(series.moving, 3000u);
  ASSERT_EQ(series.halted(), 90000u);
  const Candle& last = series.candles[2999];
  EXPECT_EQ(last.close, 99.21);
  for (const std::size_t k : {3000u, 3001u, 92999u}) {
    const Candle& c = series.candles[k];
    EXPECT_EQ(c.time, kSampleStartTimeMs + static_cast<std::int64_t>(k) * kSampleHourMs);
    for (const double price : {c.open, c.high, c.low, c.close}) EXPECT_EQ(price, last.close);
    EXPECT_EQ(c.volume, 0.0);
  }
}

// What Smi's row says of a halt: its window holds only the halt's price
// from halt bar 10, and from halt bar 15 (both smoothings later) the index
// moves one way toward its limit, then holds, with a value on every bar:
// the averaged range no longer sinks to 2^-1074 and a bar without a value.
TEST(HaltChanges, SmiMovesOneWayThenHoldsThroughAHalt) {
  const HaltedSeries& halt = short_halt();
  auto built = build_indicator("Smi", std::vector<double>{10, 3, 3});
  ASSERT_TRUE(static_cast<bool>(built));
  Indicator& smi = *built.value();
  std::optional<double> before;
  int direction = 0;
  for (std::size_t i = 0; i < halt.candles.size(); ++i) {
    BarSnapshot snap;
    snap.candle = &halt.candles[i];
    const std::optional<double> v = smi.update(snap);
    if (i < halt.moving) continue;
    const std::size_t bar = i - halt.moving + 1;
    ASSERT_TRUE(v.has_value()) << bar;
    if (bar > 15) {
      const int d = *v > *before ? 1 : (*v < *before ? -1 : 0);
      ASSERT_TRUE(d == 0 || direction == 0 || d == direction) << "turns back at halt bar " << bar;
      if (d != 0) direction = d;
    }
    before = v;
  }
  const std::string_view text = registry::key_rows()[*registry::key_slot("Smi")].doc.value;
  EXPECT_NE(text.find("it is held at the first bar it would turn back"), std::string_view::npos);
}

}  // namespace
}  // namespace fendro::reference
