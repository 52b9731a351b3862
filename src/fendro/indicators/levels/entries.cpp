// Registry entries of this family: one row per type key.
#include "fendro/indicators/levels/andrews_pitchfork.hpp"
#include "fendro/indicators/levels/fib_geometry.hpp"
#include "fendro/indicators/levels/fib_retracements.hpp"
#include "fendro/indicators/levels/floor_pivots.hpp"
#include "fendro/indicators/levels/murrey_math.hpp"
#include "fendro/indicators/levels/opening_range.hpp"
#include "fendro/indicators/levels/session_levels.hpp"
#include "fendro/indicators/levels/volume_weighted_sr.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

constexpr Entry kEntries[] = {
    {"Camarilla", Feed::Kline, build_plain<Camarilla>, {},
     {"",
      "The pivot (high + low + close) / 3 of the bar's own candle (no previous-bar or session "
      "logic); the Camarilla levels are the close plus or minus 1.1 (high - low) times 1/12, "
      "1/6, 1/4 and 1/2.",
      "1"}},
    {"CentralPivotRange", Feed::Kline, build_plain<CentralPivotRange>, {},
     {"",
      "The pivot (high + low + close) / 3 of the bar's own candle (no previous-bar or session "
      "logic); the range's top and bottom are the larger and smaller of the median price and 2 "
      "pivot - median price.",
      "1"}},
    {"ClassicPivots", Feed::Kline, build_plain<ClassicPivots>, {},
     {"",
      "The floor pivot (high + low + close) / 3 of the bar's own candle (no previous-bar or "
      "session logic); the supports and resistances follow from it and the bar's range.",
      "1"}},
    {"DemarkPivots", Feed::Kline, build_plain<DemarkPivots>, {},
     {"",
      "The DeMark pivot X / 4 of the bar's own candle (no previous-bar or session logic): X = "
      "high + 2 low + close when the close is below the open, 2 high + low + close when above, "
      "high + low + 2 close when equal.",
      "1"}},
    {"FibonacciPivots", Feed::Kline, build_plain<FibonacciPivots>, {},
     {"",
      "The pivot (high + low + close) / 3 of the bar's own candle (no previous-bar or session "
      "logic); the levels lie 0.382, 0.618 and 1 times the bar's range above and below it.",
      "1"}},
    {"WoodiePivots", Feed::Kline, build_plain<WoodiePivots>, {},
     {"",
      "Woodie's pivot (high + low + 2 close) / 4 of the bar's own candle (no previous-bar or "
      "session logic).",
      "1"}},
    {"FibArcs", Feed::Kline, build_plain<FibArcs>, {},
     {"",
      "The 38.2% arc: the newer of the two newest swing pivots (5% reversals of high/low; no "
      "value before 2 are confirmed) plus 0.382 of the leg back towards the older, times sqrt(1 "
      "- q^2) with q the bars since the newer pivot over the leg's bars (its price once q >= "
      "1).",
      "2"}},
    {"FibExtension", Feed::Kline, build_plain<FibExtension>, {},
     {"",
      "The 127.2% extension of the newest leg between swing pivots (5% reversals of high/low; "
      "no value before 2 are confirmed): the older pivot plus 1.272 times (newer - older).",
      "2"}},
    {"FibFan", Feed::Kline, build_plain<FibFan>, {},
     {"",
      "The 38.2% fan line at the current bar: the line from the older of the two newest swing "
      "pivots (5% reversals of high/low; no value before 2 are confirmed) through the 38.2% "
      "retracement of the leg at the newer pivot's bar.",
      "2"}},
    {"FibRetracement", Feed::Kline, build_plain<FibRetracement>, {},
     {"",
      "The 0% level of the newest leg between swing pivots (5% reversals of high/low; no value "
      "before 2 are confirmed), the newer pivot's price; the other levels retrace 23.6% to 100% "
      "back towards the older pivot.",
      "2"}},
    {"FibTimeZones", Feed::Kline, build_plain<FibTimeZones>, {},
     {"",
      "1 when the bars since the newest swing pivot's extreme (5% reversals of high/low; no "
      "value before the first is confirmed) are a Fibonacci zone number (1, 2, 3, 5, 8, ...), "
      "else 0.",
      "2"}},
    {"GoldenPocket", Feed::Kline, build_plain<GoldenPocket>, {},
     {"",
      "The low end of the golden pocket of the newest leg between swing pivots (5% reversals of "
      "high/low; no value before 2 are confirmed): the lower of its 61.8% and 65% retracements "
      "from the newer pivot.",
      "2"}},
    {"FibChannel", Feed::Kline, build_plain<FibChannel>, {},
     {"",
      "The channel base at the current bar: the line through the oldest and the newest of the "
      "three newest swing pivots (5% reversals of high/low; no value before 3 are confirmed); "
      "the other levels are parallels at 0.618, 1 and 1.618 times the middle pivot's distance "
      "from it.",
      "3"}},
    {"FibProjection", Feed::Kline, build_plain<FibProjection>, {},
     {"",
      "The 61.8% projection: the newest of the three newest swing pivots (5% reversals of "
      "high/low; no value before 3 are confirmed) plus 0.618 times (middle - oldest).",
      "3"}},
    {"AutoFib", Feed::Kline, build_plain<AutoFib>, {},
     {"",
      "The 0% level (the newer end's price) of the largest leg among up to the six newest swing "
      "pivots (5% reversals of high/low; no value before 2 are confirmed), the newest of equal "
      "legs; the other levels retrace it 23.6% to 100%.",
      "2"}},
    {"FibConfluence", Feed::Kline, build_plain<FibConfluence>, {},
     {"",
      "The mean of the largest cluster (the levels within 3% of one of them; the later of equal "
      "sizes) of the 38.2%, 50% and 61.8% retracements of every leg between up to the six "
      "newest swing pivots (5% reversals of high/low; no value before 3 are confirmed); the "
      "cluster's size is the `strength` output.",
      "3"}},
    {"AndrewsPitchfork", Feed::Kline, build<AndrewsPitchfork, U>, {3},
     {"period [1, MAX]",
      "The median line at the current bar: from the oldest of the last three alternating pivots "
      "(a bar whose high or low is strictly beyond those of the `period` bars on each side; one "
      "of the same side as the last replaces it only when more extreme) through the midpoint of "
      "the other two; no value before three pivots.",
      "2 * period + 1"}},
    {"MurreyMathLines", Feed::Kline, build<MurreyMathLines, U>, {20},
     {"period [1, MAX]",
      "The top line: the highest high of the last `period` bars; the other lines cut the range "
      "down to the lowest low into eighths.",
      "period"}},
    {"VolumeWeightedSr", Feed::Kline, build<VolumeWeightedSr, U>, {20},
     {"period [1, MAX]",
      "Support: the volume-weighted mean low of the last `period` bars (the plain mean when the "
      "window holds no volume).",
      "period"}},
    {"InitialBalance", Feed::Kline, build<InitialBalance, U>, {30},
     {"period [1, MAX]",
      "The highest high of the first `period` valid candles of the run: it grows until then and "
      "stays fixed afterwards (no daily reset).",
      "1"}},
    {"OpeningRange", Feed::Kline, build<OpeningRange, U>, {30},
     {"period [1, MAX]",
      "The highest high of the first `period` valid candles of the run, fixed afterwards (no "
      "daily reset); `breakout_distance` is the close less the range's middle.",
      "1"}},
    {"OvernightGap", Feed::Kline, build<OvernightGap, I>, {-300},
     {"utc_offset_minutes [-2147483648, 2147483647]",
      "The local date's gap as a fraction: its first open over the last close before it, less 1 "
      "(0 when that close is 0), held for all the date's bars, no value on the first date; "
      "dates are local at `utc_offset_minutes` from UTC.",
      "2"}},
    {"SessionHighLow", Feed::Kline, build<SessionHighLow, I>, {60},
     {"utc_offset_minutes [-2147483648, 2147483647]",
      "The running high of the current local date, dates being local at `utc_offset_minutes` "
      "from UTC.",
      "1"}},
    {"SessionRange", Feed::Kline, build<SessionRange, I>, {0},
     {"utc_offset_minutes [-2147483648, 2147483647]",
      "The high-low range so far on the current local date of the Asian session (local hours 0 "
      "to 7; the eu and us sessions, hours 8 to 15 and 16 to 23, are further outputs), 0 while "
      "it has no bars.",
      "1"}},
};

}  // namespace

std::span<const Entry> level_entries() { return kEntries; }

}  // namespace fendro::registry
