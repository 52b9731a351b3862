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
    {"ThreeSoldiersOrCrows", build_plain<p::ThreeSoldiersOrCrows>},
    {"IdenticalThreeCrows", build_plain<p::IdenticalThreeCrows>},
    {"AdvanceBlock", build_plain<p::AdvanceBlock>},
    {"StalledPattern", build_plain<p::StalledPattern>},
    {"ThreeInside", build_plain<p::ThreeInside>},
    {"ThreeOutside", build_plain<p::ThreeOutside>},
    {"TwoCrows", build_plain<p::TwoCrows>},
    {"UpsideGapTwoCrows", build_plain<p::UpsideGapTwoCrows>},
    {"UniqueThreeRiver", build_plain<p::UniqueThreeRiver>},
    {"StickSandwich", build_plain<p::StickSandwich>},
    // Gaps and continuations.
    {"TasukiGap", build_plain<p::TasukiGap>},
    {"GapSideBySideWhite", build_plain<p::GapSideBySideWhite>},
    {"UpsideGapThreeMethods", build_plain<p::UpsideGapThreeMethods>},
    {"DownsideGapThreeMethods", build_plain<p::DownsideGapThreeMethods>},
    {"ThreeLineStrike", build_plain<p::ThreeLineStrike>},
    {"RisingThreeMethods", build_plain<p::RisingThreeMethods>},
    {"FallingThreeMethods", build_plain<p::FallingThreeMethods>},
    {"MatHold", build_plain<p::MatHold>},
    // Five candles and inside bars.
    {"Breakaway", build_plain<p::Breakaway>},
    {"LadderBottom", build_plain<p::LadderBottom>},
    {"ConcealingBabySwallow", build_plain<p::ConcealingBabySwallow>},
    {"Hikkake", build_plain<p::Hikkake>},
    {"HikkakeModified", build_plain<p::HikkakeModified>},
};

}  // namespace

std::span<const Entry> multi_candle_pattern_entries() { return kEntries; }

}  // namespace fendro::registry
