// Registry entries of the three-candle run, continuation, five-candle and
// inside-bar patterns: one row per type key. None of these types reads a
// parameter; any given are ignored and the build cannot fail.
#include "fendro/indicators/patterns/five_candle_inside_bar.hpp"
#include "fendro/indicators/patterns/gap_continuation.hpp"
#include "fendro/indicators/patterns/three_candle_run.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

namespace p = fendro::patterns;

constexpr Entry kEntries[] = {
    // Three-candle runs.
    {"ThreeSoldiersOrCrows", Feed::Kline, build_plain<p::ThreeSoldiersOrCrows>, {},
     {"",
      "+1 three white soldiers (three rising bullish candles, each opening inside the previous "
      "body), -1 three black crows (the mirror), else 0.",
      "3"}},
    {"IdenticalThreeCrows", Feed::Kline, build_plain<p::IdenticalThreeCrows>, {},
     {"",
      "-1 for three falling bearish candles each opening at the previous close (within 0.1%), "
      "else 0.",
      "3"}},
    {"AdvanceBlock", Feed::Kline, build_plain<p::AdvanceBlock>, {},
     {"",
      "-1 for three rising bullish candles, each opening inside the previous body, with shrinking "
      "bodies and a third upper shadow above 0 and at least the second's, else 0.",
      "3"}},
    {"StalledPattern", Feed::Kline, build_plain<p::StalledPattern>, {},
     {"",
      "-1 for two rising long bullish candles (bodies at least half their ranges) then a small "
      "bullish one (body at most 0.3 of its range) closing higher and opening no more than 0.1 of "
      "the second range below the second close, else 0.",
      "3"}},
    {"ThreeInside", Feed::Kline, build_plain<p::ThreeInside>, {},
     {"",
      "A harami confirmed by the third candle: +1 when it closes above the first open (three "
      "inside up), -1 below (three inside down), else 0.",
      "3"}},
    {"ThreeOutside", Feed::Kline, build_plain<p::ThreeOutside>, {},
     {"",
      "An engulfing confirmed by the third candle: +1 when it closes above the second close "
      "(three outside up), -1 below it (down), else 0.",
      "3"}},
    {"TwoCrows", Feed::Kline, build_plain<p::TwoCrows>, {},
     {"",
      "-1 for a bullish candle, a bearish one whose body sits above the first close, and a bearish "
      "third opening inside the second body and closing inside the first body, else 0.",
      "3"}},
    {"UpsideGapTwoCrows", Feed::Kline, build_plain<p::UpsideGapTwoCrows>, {},
     {"",
      "-1 for a bullish candle, then two bearish candles whose bodies stay above its close, the "
      "second engulfing the first's body, else 0.",
      "3"}},
    {"UniqueThreeRiver", Feed::Kline, build_plain<p::UniqueThreeRiver>, {},
     {"",
      "+1 for the unique three river bottom: a long bearish candle, a bearish body inside it "
      "with a new low, then a small bullish candle whose high stays at or below the second "
      "close; else 0.",
      "3"}},
    {"StickSandwich", Feed::Kline, build_plain<p::StickSandwich>, {},
     {"",
      "+1 for two bearish candles with matching closes (within 0.1 of the first range) around a "
      "bullish one whose low stays above the first close, else 0.",
      "3"}},
    // Gaps and continuations.
    {"TasukiGap", Feed::Kline, build_plain<p::TasukiGap>, {},
     {"",
      "+1 upside tasuki gap (two bullish candles gapping up, a bearish one opening in the "
      "second body and closing inside the gap), -1 downside (the mirror), else 0.",
      "3"}},
    {"GapSideBySideWhite", Feed::Kline, build_plain<p::GapSideBySideWhite>, {},
     {"",
      "Two bullish candles of like size (neither body over twice the other) opening within 0.1 of "
      "the first one's range of each other after a body gap: +1 when the gap is upward, -1 "
      "downward, else 0.",
      "3"}},
    {"UpsideGapThreeMethods", Feed::Kline, build_plain<p::UpsideGapThreeMethods>, {},
     {"",
      "+1 for two bullish candles with a gap up between the first close and the second open, then "
      "a bearish one opening inside the second body and closing inside the first, else 0.",
      "3"}},
    {"DownsideGapThreeMethods", Feed::Kline, build_plain<p::DownsideGapThreeMethods>, {},
     {"",
      "-1 for two bearish candles with a gap down between the first close and the second open, "
      "then a bullish one opening inside the second body and closing inside the first, else 0.",
      "3"}},
    {"ThreeLineStrike", Feed::Kline, build_plain<p::ThreeLineStrike>, {},
     {"",
      "Three candles of one colour, each opening inside the previous body and closing beyond it, "
      "struck back by a fourth that opens beyond the third close and closes beyond the first open: "
      "+1 when the three are bullish, -1 when bearish, else 0.",
      "4"}},
    {"RisingThreeMethods", Feed::Kline, build_plain<p::RisingThreeMethods>, {},
     {"",
      "+1 for a long bullish candle, three bearish ones with falling closes and bodies at most "
      "half the first body overlapping its range, and a long bullish fifth opening above the "
      "fourth close and closing above the first, else 0.",
      "5"}},
    {"FallingThreeMethods", Feed::Kline, build_plain<p::FallingThreeMethods>, {},
     {"",
      "-1 for a long bearish candle, three bullish ones with rising closes and bodies at most half "
      "the first body overlapping its range, and a long bearish fifth opening below the fourth "
      "close and closing below the first, else 0.",
      "5"}},
    {"MatHold", Feed::Kline, build_plain<p::MatHold>, {},
     {"",
      "+1 for the mat hold: a long bullish candle, a gap up to the next body, three bodies at most "
      "half the first whose lows stay above the first body's midpoint, and a bullish fifth closing "
      "above all four earlier highs, else 0.",
      "5"}},
    // Five candles and inside bars.
    {"Breakaway", Feed::Kline, build_plain<p::Breakaway>, {},
     {"",
      "+1 for a bearish candle, a bearish one opening below its close, lower highs and lows on the "
      "third and fourth (the fourth bearish), and a bullish fifth closing inside that gap, -1 for "
      "the mirror, else 0.",
      "5"}},
    {"LadderBottom", Feed::Kline, build_plain<p::LadderBottom>, {},
     {"",
      "+1 for three bearish candles with falling opens and closes, a bearish fourth with an upper "
      "shadow, and a bullish fifth opening above the fourth's open and closing above its high, "
      "else 0.",
      "5"}},
    {"ConcealingBabySwallow", Feed::Kline, build_plain<p::ConcealingBabySwallow>, {},
     {"",
      "+1 for the concealing baby swallow: two bearish marubozu, a bearish candle opening below "
      "the second close with its high reaching into the second body, and a bearish fourth opening "
      "above its high and closing below its low, else 0.",
      "4"}},
    {"Hikkake", Feed::Kline, build_plain<p::Hikkake>, {},
     {"",
      "An inside bar and the break that follows it: +1 when the third bar breaks below (lower "
      "high and lower low), -1 when it breaks above, else 0.",
      "3"}},
    {"HikkakeModified", Feed::Kline, build_plain<p::HikkakeModified>, {},
     {"",
      "Two nested inside bars, the second's close in the lowest (highest) fifth of its range, then "
      "a break: +1 for a downward break after a close near the low, -1 for an upward break after a "
      "close near the high, else 0.",
      "4"}},
};

}  // namespace

std::span<const Entry> multi_candle_pattern_entries() { return kEntries; }

}  // namespace fendro::registry
