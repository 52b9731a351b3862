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
    {"ThreeSoldiersOrCrows", Feed::Kline, build_plain<p::ThreeSoldiersOrCrows>, {}},
    {"IdenticalThreeCrows", Feed::Kline, build_plain<p::IdenticalThreeCrows>, {}},
    {"AdvanceBlock", Feed::Kline, build_plain<p::AdvanceBlock>, {}},
    {"StalledPattern", Feed::Kline, build_plain<p::StalledPattern>, {}},
    {"ThreeInside", Feed::Kline, build_plain<p::ThreeInside>, {}},
    {"ThreeOutside", Feed::Kline, build_plain<p::ThreeOutside>, {}},
    {"TwoCrows", Feed::Kline, build_plain<p::TwoCrows>, {}},
    {"UpsideGapTwoCrows", Feed::Kline, build_plain<p::UpsideGapTwoCrows>, {}},
    {"UniqueThreeRiver", Feed::Kline, build_plain<p::UniqueThreeRiver>, {}},
    {"StickSandwich", Feed::Kline, build_plain<p::StickSandwich>, {}},
    // Gaps and continuations.
    {"TasukiGap", Feed::Kline, build_plain<p::TasukiGap>, {}},
    {"GapSideBySideWhite", Feed::Kline, build_plain<p::GapSideBySideWhite>, {}},
    {"UpsideGapThreeMethods", Feed::Kline, build_plain<p::UpsideGapThreeMethods>, {}},
    {"DownsideGapThreeMethods", Feed::Kline, build_plain<p::DownsideGapThreeMethods>, {}},
    {"ThreeLineStrike", Feed::Kline, build_plain<p::ThreeLineStrike>, {}},
    {"RisingThreeMethods", Feed::Kline, build_plain<p::RisingThreeMethods>, {}},
    {"FallingThreeMethods", Feed::Kline, build_plain<p::FallingThreeMethods>, {}},
    {"MatHold", Feed::Kline, build_plain<p::MatHold>, {}},
    // Five candles and inside bars.
    {"Breakaway", Feed::Kline, build_plain<p::Breakaway>, {}},
    {"LadderBottom", Feed::Kline, build_plain<p::LadderBottom>, {}},
    {"ConcealingBabySwallow", Feed::Kline, build_plain<p::ConcealingBabySwallow>, {}},
    {"Hikkake", Feed::Kline, build_plain<p::Hikkake>, {}},
    {"HikkakeModified", Feed::Kline, build_plain<p::HikkakeModified>, {}},
};

}  // namespace

std::span<const Entry> multi_candle_pattern_entries() { return kEntries; }

}  // namespace fendro::registry
