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
    {"Camarilla", build_plain<Camarilla>},
    {"CentralPivotRange", build_plain<CentralPivotRange>},
    {"ClassicPivots", build_plain<ClassicPivots>},
    {"DemarkPivots", build_plain<DemarkPivots>},
    {"FibonacciPivots", build_plain<FibonacciPivots>},
    {"WoodiePivots", build_plain<WoodiePivots>},
    {"FibArcs", build_plain<FibArcs>},
    {"FibExtension", build_plain<FibExtension>},
    {"FibFan", build_plain<FibFan>},
    {"FibRetracement", build_plain<FibRetracement>},
    {"FibTimeZones", build_plain<FibTimeZones>},
    {"GoldenPocket", build_plain<GoldenPocket>},
    {"FibChannel", build_plain<FibChannel>},
    {"FibProjection", build_plain<FibProjection>},
    {"AutoFib", build_plain<AutoFib>},
    {"FibConfluence", build_plain<FibConfluence>},
    {"AndrewsPitchfork", build<AndrewsPitchfork, U>},
    {"MurreyMathLines", build<MurreyMathLines, U>},
    {"VolumeWeightedSr", build<VolumeWeightedSr, U>},
    {"InitialBalance", build<InitialBalance, U>},
    {"OpeningRange", build<OpeningRange, U>},
    {"OvernightGap", build<OvernightGap, I>},
    {"SessionHighLow", build<SessionHighLow, I>},
    {"SessionRange", build<SessionRange, I>},
};

}  // namespace

std::span<const Entry> level_entries() { return kEntries; }

}  // namespace fendro::registry
