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
    {"ShadowRatio", build_plain<p::ShadowRatio>},
    {"CloseVsOpen", build_plain<p::CloseVsOpen>},
    {"BodySizePct", build_plain<p::BodySizePct>},
    {"Doji", build_plain<p::Doji>},
    {"DragonflyDoji", build_plain<p::DragonflyDoji>},
    {"GravestoneDoji", build_plain<p::GravestoneDoji>},
    {"LongLeggedDoji", build_plain<p::LongLeggedDoji>},
    {"RickshawMan", build_plain<p::RickshawMan>},
    {"HighWave", build_plain<p::HighWave>},
    {"Hammer", build_plain<p::Hammer>},
    {"HangingMan", build_plain<p::HangingMan>},
    {"InvertedHammer", build_plain<p::InvertedHammer>},
    {"ShootingStar", build_plain<p::ShootingStar>},
    {"Takuri", build_plain<p::Takuri>},
    {"Marubozu", build_plain<p::Marubozu>},
    {"SpinningTop", build_plain<p::SpinningTop>},
    {"OpeningMarubozu", build_plain<p::OpeningMarubozu>},
    {"ClosingMarubozu", build_plain<p::ClosingMarubozu>},
    {"BeltHold", build_plain<p::BeltHold>},
    {"LongLine", build_plain<p::LongLine>},
    {"ShortLine", build_plain<p::ShortLine>},
    // Two candles.
    {"Engulfing", build_plain<p::Engulfing>},
    {"Harami", build_plain<p::Harami>},
    {"HaramiCross", build_plain<p::HaramiCross>},
    {"HomingPigeon", build_plain<p::HomingPigeon>},
    {"DojiStar", build_plain<p::DojiStar>},
    {"Kicking", build_plain<p::Kicking>},
    {"KickingByLength", build_plain<p::KickingByLength>},
    {"Counterattack", build_plain<p::Counterattack>},
    {"PiercingDarkCloud", build_plain<p::PiercingDarkCloud>},
    {"InNeck", build_plain<p::InNeck>},
    {"OnNeck", build_plain<p::OnNeck>},
    {"Thrusting", build_plain<p::Thrusting>},
    {"SeparatingLines", build_plain<p::SeparatingLines>},
    {"MatchingLow", build_plain<p::MatchingLow>},
    {"Tweezer", build_plain<p::Tweezer>},
    // Three candles.
    {"MorningEveningStar", build_plain<p::MorningEveningStar>},
    {"MorningDojiStar", build_plain<p::MorningDojiStar>},
    {"EveningDojiStar", build_plain<p::EveningDojiStar>},
    {"AbandonedBaby", build_plain<p::AbandonedBaby>},
    {"Tristar", build_plain<p::Tristar>},
    {"ThreeStarsInSouth", build_plain<p::ThreeStarsInSouth>},
    {"TowerTopBottom", build_plain<p::TowerTopBottom>},
};

}  // namespace

std::span<const Entry> candle_pattern_entries() { return kEntries; }

}  // namespace fendro::registry
