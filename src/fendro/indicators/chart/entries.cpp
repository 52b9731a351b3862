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
    {"DoubleTopBottom", Feed::Kline, build_plain<DoubleTopBottom>, {}},
    {"FlagPennant", Feed::Kline, build_plain<FlagPennant>, {}},
    {"Abcd", Feed::Kline, build_plain<Abcd>, {}},
    {"CupAndHandle", Feed::Kline, build_plain<CupAndHandle>, {}},
    {"RectangleRange", Feed::Kline, build_plain<RectangleRange>, {}},
    {"Triangle", Feed::Kline, build_plain<Triangle>, {}},
    {"Wedge", Feed::Kline, build_plain<Wedge>, {}},
    {"Bat", Feed::Kline, build_plain<Bat>, {}},
    {"Butterfly", Feed::Kline, build_plain<Butterfly>, {}},
    {"Crab", Feed::Kline, build_plain<Crab>, {}},
    {"Cypher", Feed::Kline, build_plain<Cypher>, {}},
    {"Gartley", Feed::Kline, build_plain<Gartley>, {}},
    {"HeadAndShoulders", Feed::Kline, build_plain<HeadAndShoulders>, {}},
    {"Shark", Feed::Kline, build_plain<Shark>, {}},
    {"TripleTopBottom", Feed::Kline, build_plain<TripleTopBottom>, {}},
    {"ThreeDrives", Feed::Kline, build_plain<ThreeDrives>, {}},
    {"TdCamouflage", Feed::Kline, build_plain<TdCamouflage>, {}},
    {"TdClop", Feed::Kline, build_plain<TdClop>, {}},
    {"TdClopwin", Feed::Kline, build_plain<TdClopwin>, {}},
    {"TdDifferential", Feed::Kline, build_plain<TdDifferential>, {}},
    {"TdOpen", Feed::Kline, build_plain<TdOpen>, {}},
    {"TdPropulsion", Feed::Kline, build_plain<TdPropulsion>, {}},
    {"TdTrap", Feed::Kline, build_plain<TdTrap>, {}},
    {"TdRangeProjection", Feed::Kline, build_plain<TdRangeProjection>, {}},
    {"TdDeMarker", Feed::Kline, build<TdDeMarker, U>, {13}},
    {"TdDWave", Feed::Kline, build<TdDWave, U>, {3}},
    {"TdPressure", Feed::Kline, build<TdPressure, U>, {10}},
    {"TdRei", Feed::Kline, build<TdRei, U>, {5}},
    {"TdSetup", Feed::Kline, build<TdSetup, U, U>, {4, 9}},
    {"TdLines", Feed::Kline, build<TdLines, U, U>, {4, 9}},
    {"TdRiskLevel", Feed::Kline, build<TdRiskLevel, U, U>, {4, 9}},
    {"TdMovingAverage", Feed::Kline, build<TdMovingAverage, U, U>, {3, 5}},
    {"TdCombo", Feed::Kline, build<TdCombo, U, U, U, U>, {4, 9, 2, 13}},
    {"TdCountdown", Feed::Kline, build<TdCountdown, U, U, U, U>, {4, 9, 2, 13}},
    {"TdSequential", Feed::Kline, build<TdSequential, U, U, U, U>, {4, 9, 2, 13}},
    {"HeikinAshi", Feed::Kline, build_plain<HeikinAshi>, {}},
    {"HeikinAshiOscillator", Feed::Kline, build<HeikinAshiOscillator, U>, {10}},
    {"SmoothedHeikinAshi", Feed::Kline, build<SmoothedHeikinAshi, U>, {10}},
    {"DumplingTop", Feed::Kline, build<DumplingTop, U>, {20}},
    {"FryPanBottom", Feed::Kline, build<FryPanBottom, U>, {20}},
    {"NewPriceLines", Feed::Kline, build<NewPriceLines, U>, {3}},
    {"PivotReversal", Feed::Kline, build<PivotReversal, U, U>, {3, 2}},
    {"ThreeLineBreak", Feed::Kline, build<ThreeLineBreak, U>, {3}},
};

}  // namespace

std::span<const Entry> chart_pattern_entries() { return kEntries; }

}  // namespace fendro::registry
