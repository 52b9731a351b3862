// Registry entries of this family: one row per type key. None of these types
// reads a parameter; any given are ignored and the build cannot fail.
#include "fendro/indicators/patterns/range_lines.hpp"
#include "fendro/indicators/patterns/single_candle.hpp"
#include "fendro/indicators/patterns/star_reversal.hpp"
#include "fendro/indicators/patterns/two_candle_body.hpp"
#include "fendro/indicators/patterns/two_candle_level.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

namespace p = fendro::patterns;

constexpr Entry kEntries[] = {
    // One candle.
    {"ShadowRatio", Feed::Kline, build_plain<p::ShadowRatio>, {}},
    {"CloseVsOpen", Feed::Kline, build_plain<p::CloseVsOpen>, {}},
    {"BodySizePct", Feed::Kline, build_plain<p::BodySizePct>, {}},
    {"Doji", Feed::Kline, build_plain<p::Doji>, {}},
    {"DragonflyDoji", Feed::Kline, build_plain<p::DragonflyDoji>, {}},
    {"GravestoneDoji", Feed::Kline, build_plain<p::GravestoneDoji>, {}},
    {"LongLeggedDoji", Feed::Kline, build_plain<p::LongLeggedDoji>, {}},
    {"RickshawMan", Feed::Kline, build_plain<p::RickshawMan>, {}},
    {"HighWave", Feed::Kline, build_plain<p::HighWave>, {}},
    {"Hammer", Feed::Kline, build_plain<p::Hammer>, {}},
    {"HangingMan", Feed::Kline, build_plain<p::HangingMan>, {}},
    {"InvertedHammer", Feed::Kline, build_plain<p::InvertedHammer>, {}},
    {"ShootingStar", Feed::Kline, build_plain<p::ShootingStar>, {}},
    {"Takuri", Feed::Kline, build_plain<p::Takuri>, {}},
    {"Marubozu", Feed::Kline, build_plain<p::Marubozu>, {}},
    {"SpinningTop", Feed::Kline, build_plain<p::SpinningTop>, {}},
    {"OpeningMarubozu", Feed::Kline, build_plain<p::OpeningMarubozu>, {}},
    {"ClosingMarubozu", Feed::Kline, build_plain<p::ClosingMarubozu>, {}},
    {"BeltHold", Feed::Kline, build_plain<p::BeltHold>, {}},
    {"LongLine", Feed::Kline, build_plain<p::LongLine>, {}},
    {"ShortLine", Feed::Kline, build_plain<p::ShortLine>, {}},
    // Two candles.
    {"Engulfing", Feed::Kline, build_plain<p::Engulfing>, {}},
    {"Harami", Feed::Kline, build_plain<p::Harami>, {}},
    {"HaramiCross", Feed::Kline, build_plain<p::HaramiCross>, {}},
    {"HomingPigeon", Feed::Kline, build_plain<p::HomingPigeon>, {}},
    {"DojiStar", Feed::Kline, build_plain<p::DojiStar>, {}},
    {"Kicking", Feed::Kline, build_plain<p::Kicking>, {}},
    {"KickingByLength", Feed::Kline, build_plain<p::KickingByLength>, {}},
    {"Counterattack", Feed::Kline, build_plain<p::Counterattack>, {}},
    {"PiercingDarkCloud", Feed::Kline, build_plain<p::PiercingDarkCloud>, {}},
    {"InNeck", Feed::Kline, build_plain<p::InNeck>, {}},
    {"OnNeck", Feed::Kline, build_plain<p::OnNeck>, {}},
    {"Thrusting", Feed::Kline, build_plain<p::Thrusting>, {}},
    {"SeparatingLines", Feed::Kline, build_plain<p::SeparatingLines>, {}},
    {"MatchingLow", Feed::Kline, build_plain<p::MatchingLow>, {}},
    {"Tweezer", Feed::Kline, build_plain<p::Tweezer>, {}},
    // Three candles.
    {"MorningEveningStar", Feed::Kline, build_plain<p::MorningEveningStar>, {}},
    {"MorningDojiStar", Feed::Kline, build_plain<p::MorningDojiStar>, {}},
    {"EveningDojiStar", Feed::Kline, build_plain<p::EveningDojiStar>, {}},
    {"AbandonedBaby", Feed::Kline, build_plain<p::AbandonedBaby>, {}},
    {"Tristar", Feed::Kline, build_plain<p::Tristar>, {}},
    {"ThreeStarsInSouth", Feed::Kline, build_plain<p::ThreeStarsInSouth>, {}},
    {"TowerTopBottom", Feed::Kline, build_plain<p::TowerTopBottom>, {}},
};

}  // namespace

std::span<const Entry> candle_pattern_entries() { return kEntries; }

}  // namespace fendro::registry
