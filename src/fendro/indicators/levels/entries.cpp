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
    {"Camarilla", Feed::Kline, build_plain<Camarilla>, {}},
    {"CentralPivotRange", Feed::Kline, build_plain<CentralPivotRange>, {}},
    {"ClassicPivots", Feed::Kline, build_plain<ClassicPivots>, {}},
    {"DemarkPivots", Feed::Kline, build_plain<DemarkPivots>, {}},
    {"FibonacciPivots", Feed::Kline, build_plain<FibonacciPivots>, {}},
    {"WoodiePivots", Feed::Kline, build_plain<WoodiePivots>, {}},
    {"FibArcs", Feed::Kline, build_plain<FibArcs>, {}},
    {"FibExtension", Feed::Kline, build_plain<FibExtension>, {}},
    {"FibFan", Feed::Kline, build_plain<FibFan>, {}},
    {"FibRetracement", Feed::Kline, build_plain<FibRetracement>, {}},
    {"FibTimeZones", Feed::Kline, build_plain<FibTimeZones>, {}},
    {"GoldenPocket", Feed::Kline, build_plain<GoldenPocket>, {}},
    {"FibChannel", Feed::Kline, build_plain<FibChannel>, {}},
    {"FibProjection", Feed::Kline, build_plain<FibProjection>, {}},
    {"AutoFib", Feed::Kline, build_plain<AutoFib>, {}},
    {"FibConfluence", Feed::Kline, build_plain<FibConfluence>, {}},
    {"AndrewsPitchfork", Feed::Kline, build<AndrewsPitchfork, U>, {3}},
    {"MurreyMathLines", Feed::Kline, build<MurreyMathLines, U>, {20}},
    {"VolumeWeightedSr", Feed::Kline, build<VolumeWeightedSr, U>, {20}},
    {"InitialBalance", Feed::Kline, build<InitialBalance, U>, {30}},
    {"OpeningRange", Feed::Kline, build<OpeningRange, U>, {30}},
    {"OvernightGap", Feed::Kline, build<OvernightGap, I>, {-300}},
    {"SessionHighLow", Feed::Kline, build<SessionHighLow, I>, {60}},
    {"SessionRange", Feed::Kline, build<SessionRange, I>, {0}},
};

}  // namespace

std::span<const Entry> level_entries() { return kEntries; }

}  // namespace fendro::registry
