// Registry entries of this family: one row per type key.
#include "fendro/indicators/chart/heikin_ashi.hpp"
#include "fendro/indicators/chart/swing_patterns.hpp"
#include "fendro/indicators/chart/td_bar_signals.hpp"
#include "fendro/indicators/chart/td_levels.hpp"
#include "fendro/indicators/chart/td_oscillators.hpp"
#include "fendro/indicators/chart/td_sequential.hpp"
#include "fendro/indicators/chart/td_setup.hpp"
#include "fendro/indicators/chart/window_patterns.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

using namespace fendro::chart;

constexpr Entry kEntries[] = {
    {"DoubleTopBottom", build_plain<DoubleTopBottom>},
    {"FlagPennant", build_plain<FlagPennant>},
    {"Abcd", build_plain<Abcd>},
    {"CupAndHandle", build_plain<CupAndHandle>},
    {"RectangleRange", build_plain<RectangleRange>},
    {"Triangle", build_plain<Triangle>},
    {"Wedge", build_plain<Wedge>},
    {"Bat", build_plain<Bat>},
    {"Butterfly", build_plain<Butterfly>},
    {"Crab", build_plain<Crab>},
    {"Cypher", build_plain<Cypher>},
    {"Gartley", build_plain<Gartley>},
    {"HeadAndShoulders", build_plain<HeadAndShoulders>},
    {"Shark", build_plain<Shark>},
    {"TripleTopBottom", build_plain<TripleTopBottom>},
    {"ThreeDrives", build_plain<ThreeDrives>},
    {"TdCamouflage", build_plain<TdCamouflage>},
    {"TdClop", build_plain<TdClop>},
    {"TdClopwin", build_plain<TdClopwin>},
    {"TdDifferential", build_plain<TdDifferential>},
    {"TdOpen", build_plain<TdOpen>},
    {"TdPropulsion", build_plain<TdPropulsion>},
    {"TdTrap", build_plain<TdTrap>},
    {"TdRangeProjection", build_plain<TdRangeProjection>},
    {"TdDeMarker", build<TdDeMarker, U>},
    {"TdDWave", build<TdDWave, U>},
    {"TdPressure", build<TdPressure, U>},
    {"TdRei", build<TdRei, U>},
    {"TdSetup", build<TdSetup, U, U>},
    {"TdLines", build<TdLines, U, U>},
    {"TdRiskLevel", build<TdRiskLevel, U, U>},
    {"TdMovingAverage", build<TdMovingAverage, U, U>},
    {"TdCombo", build<TdCombo, U, U, U, U>},
    {"TdCountdown", build<TdCountdown, U, U, U, U>},
    {"TdSequential", build<TdSequential, U, U, U, U>},
    {"HeikinAshi", build_plain<HeikinAshi>},
    {"HeikinAshiOscillator", build<HeikinAshiOscillator, U>},
    {"SmoothedHeikinAshi", build<SmoothedHeikinAshi, U>},
    {"DumplingTop", build<DumplingTop, U>},
    {"FryPanBottom", build<FryPanBottom, U>},
    {"NewPriceLines", build<NewPriceLines, U>},
    {"PivotReversal", build<PivotReversal, U, U>},
    {"ThreeLineBreak", build<ThreeLineBreak, U>},
};

}  // namespace

std::span<const Entry> chart_pattern_entries() { return kEntries; }

}  // namespace fendro::registry
