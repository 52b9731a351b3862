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
    {"ShadowRatio", Feed::Kline, build_plain<p::ShadowRatio>, {},
     {"",
      "(upper shadow - lower shadow) / range of the candle, from -1 to 1; 0 for a zero range.",
      "1"}},
    {"CloseVsOpen", Feed::Kline, build_plain<p::CloseVsOpen>, {},
     {"",
      "(close - open) / open, a fraction (0.01 is 1%); 0 when the open is 0.",
      "1"}},
    {"BodySizePct", Feed::Kline, build_plain<p::BodySizePct>, {},
     {"",
      "The body's share of the range, |close - open| / (high - low), a fraction from 0 to 1; 0 "
      "for a zero range.",
      "1"}},
    {"Doji", Feed::Kline, build_plain<p::Doji>, {},
     {"",
      "+1 when the body is at most 0.1 of the range, else 0.",
      "1"}},
    {"DragonflyDoji", Feed::Kline, build_plain<p::DragonflyDoji>, {},
     {"",
      "+1 for a doji (body at most 0.1 range) with a lower shadow of at least half the range "
      "and an upper shadow of at most 0.1 of it, else 0.",
      "1"}},
    {"GravestoneDoji", Feed::Kline, build_plain<p::GravestoneDoji>, {},
     {"",
      "-1 for a doji (body at most 0.1 range) with an upper shadow of at least half the range "
      "and a lower shadow of at most 0.1 of it, else 0.",
      "1"}},
    {"LongLeggedDoji", Feed::Kline, build_plain<p::LongLeggedDoji>, {},
     {"",
      "+1 for a doji (body at most 0.1 range) with both shadows at least 0.3 of the range, else "
      "0.",
      "1"}},
    {"RickshawMan", Feed::Kline, build_plain<p::RickshawMan>, {},
     {"",
      "+1 for a long-legged doji (body at most 0.1 range, both shadows at least 0.3 of it) "
      "whose body midpoint lies between 0.4 and 0.6 of the range, else 0.",
      "1"}},
    {"HighWave", Feed::Kline, build_plain<p::HighWave>, {},
     {"",
      "+1 when both shadows are at least 0.4 of the range, else 0.",
      "1"}},
    {"Hammer", Feed::Kline, build_plain<p::Hammer>, {},
     {"",
      "+1 when the lower shadow is at least twice the body and the upper shadow at most the "
      "body (a non-zero body), else 0; no trend test.",
      "1"}},
    {"HangingMan", Feed::Kline, build_plain<p::HangingMan>, {},
     {"",
      "-1 for the hammer shape (lower shadow at least twice the body, upper shadow at most the "
      "body, a non-zero body), else 0; no trend test.",
      "1"}},
    {"InvertedHammer", Feed::Kline, build_plain<p::InvertedHammer>, {},
     {"",
      "+1 when the upper shadow is at least twice the body and the lower shadow at most the "
      "body (a non-zero body), else 0; no trend test.",
      "1"}},
    {"ShootingStar", Feed::Kline, build_plain<p::ShootingStar>, {},
     {"",
      "-1 for the inverted-hammer shape (upper shadow at least twice the body, lower shadow at "
      "most the body, a non-zero body), else 0; no trend test.",
      "1"}},
    {"Takuri", Feed::Kline, build_plain<p::Takuri>, {},
     {"",
      "+1 for a doji (body at most 0.1 range) with a lower shadow of at least 0.7 of the range "
      "and an upper shadow of at most 0.05 of it, else 0.",
      "1"}},
    {"Marubozu", Feed::Kline, build_plain<p::Marubozu>, {},
     {"",
      "+1 (bullish) or -1 (bearish) when both shadows are at most 0.05 of the range, else 0.",
      "1"}},
    {"SpinningTop", Feed::Kline, build_plain<p::SpinningTop>, {},
     {"",
      "+1 (bullish) or -1 (bearish) when the body is at most 0.3 of the range and both shadows "
      "at least twice the body, else 0.",
      "1"}},
    {"OpeningMarubozu", Feed::Kline, build_plain<p::OpeningMarubozu>, {},
     {"",
      "+1 for a bullish candle with a body of at least 0.7 range opening within 0.05 range of "
      "the low, -1 for a bearish one opening within 0.05 range of the high, else 0.",
      "1"}},
    {"ClosingMarubozu", Feed::Kline, build_plain<p::ClosingMarubozu>, {},
     {"",
      "+1 for a bullish candle with a body of at least 0.7 range closing within 0.05 range of "
      "the high, -1 for a bearish one closing within 0.05 range of the low, else 0.",
      "1"}},
    {"BeltHold", Feed::Kline, build_plain<p::BeltHold>, {},
     {"",
      "+1 for a bullish candle with a body of at least half the range opening within 0.05 range "
      "of the low, -1 for a bearish one opening within 0.05 range of the high, else 0.",
      "1"}},
    {"LongLine", Feed::Kline, build_plain<p::LongLine>, {},
     {"",
      "+1 (bullish) or -1 (otherwise) when the candle's range exceeds the mean range of the 5 "
      "candles before it and its body is at least half its range, else 0; values start on the "
      "sixth candle (the warm-up says 5).",
      "5"}},
    {"ShortLine", Feed::Kline, build_plain<p::ShortLine>, {},
     {"",
      "+1 (bullish) or -1 (otherwise) when the candle's range is below the mean range of the 5 "
      "candles before it and its body is at least half its range, else 0; values start on the "
      "sixth candle (the warm-up says 5).",
      "5"}},
    // Two candles.
    {"Engulfing", Feed::Kline, build_plain<p::Engulfing>, {},
     {"",
      "+1 when a bullish body engulfs the previous bearish body (strictly larger), -1 for the "
      "bearish mirror, else 0.",
      "2"}},
    {"Harami", Feed::Kline, build_plain<p::Harami>, {},
     {"",
      "+1 when a bullish body lies inside the previous, larger bearish body, -1 for the bearish "
      "mirror, else 0.",
      "2"}},
    {"HaramiCross", Feed::Kline, build_plain<p::HaramiCross>, {},
     {"",
      "A doji inside the previous (non-doji) body: +1 when that candle was bearish, -1 when "
      "bullish; else 0.",
      "2"}},
    {"HomingPigeon", Feed::Kline, build_plain<p::HomingPigeon>, {},
     {"",
      "+1 for two bearish candles, the second body inside the first and smaller, else 0.",
      "2"}},
    {"DojiStar", Feed::Kline, build_plain<p::DojiStar>, {},
     {"",
      "A doji beyond the close of a long candle (body at least half its range): +1 below a "
      "bearish one, -1 above a bullish one; else 0.",
      "2"}},
    {"Kicking", Feed::Kline, build_plain<p::Kicking>, {},
     {"",
      "Two opposite marubozu (bodies at least 0.95 of their ranges) with a gap between them: +1 "
      "when the second is bullish, -1 when bearish; else 0.",
      "2"}},
    {"KickingByLength", Feed::Kline, build_plain<p::KickingByLength>, {},
     {"",
      "Two opposite gapping marubozu as in `Kicking`, signed by the longer body (+1 bullish, -1 "
      "bearish; equal bodies take the first candle's side); else 0.",
      "2"}},
    {"Counterattack", Feed::Kline, build_plain<p::Counterattack>, {},
     {"",
      "Two opposite long candles (bodies at least half their ranges) closing within 0.025 of "
      "their summed ranges: +1 when the second is bullish, -1 when bearish; else 0.",
      "2"}},
    {"PiercingDarkCloud", Feed::Kline, build_plain<p::PiercingDarkCloud>, {},
     {"",
      "+1 piercing line (a bullish candle opening below the previous low and closing inside the "
      "previous bearish body, above its midpoint), -1 dark cloud cover (the mirror), else 0.",
      "2"}},
    {"InNeck", Feed::Kline, build_plain<p::InNeck>, {},
     {"",
      "-1 when a bullish candle opens below the previous long bearish candle's low and closes "
      "at or just above (within a tenth of its body) its close, else 0.",
      "2"}},
    {"OnNeck", Feed::Kline, build_plain<p::OnNeck>, {},
     {"",
      "-1 when a bullish candle opens below the previous long bearish candle's low and closes "
      "within 0.05 of its range of that low, else 0.",
      "2"}},
    {"Thrusting", Feed::Kline, build_plain<p::Thrusting>, {},
     {"",
      "-1 when a bullish candle opens below the previous long bearish candle's low and closes "
      "inside its body, more than a tenth in but below its midpoint, else 0.",
      "2"}},
    {"SeparatingLines", Feed::Kline, build_plain<p::SeparatingLines>, {},
     {"",
      "Two opposite candles opening at the same level (within 0.05 of the first range), the second "
      "long and opening at its own extreme (shadow on that side at most 0.05 of its range): +1 "
      "when the second is bullish, -1 when bearish; else 0.",
      "2"}},
    {"MatchingLow", Feed::Kline, build_plain<p::MatchingLow>, {},
     {"",
      "+1 for two bearish candles closing at the same level (within 0.05 of their mean range), "
      "else 0.",
      "2"}},
    {"Tweezer", Feed::Kline, build_plain<p::Tweezer>, {},
     {"",
      "+1 tweezer bottom (two lows within 0.1% of each other), -1 tweezer top (two highs within "
      "0.1%), else 0; +1 when both match.",
      "2"}},
    // Three candles.
    {"MorningEveningStar", Feed::Kline, build_plain<p::MorningEveningStar>, {},
     {"",
      "+1 morning star (a bearish candle, a star whose body is at most half each neighbour's and "
      "lies below the first close, then a bullish candle closing more than 0.3 of the first body "
      "above the first close), -1 evening star (the mirror), else 0.",
      "3"}},
    {"MorningDojiStar", Feed::Kline, build_plain<p::MorningDojiStar>, {},
     {"",
      "+1 for a long bearish candle (body at least half its range), a doji whose body lies below "
      "both neighbours' bodies, and a bullish candle closing more than 0.3 of the first body above "
      "the first close, else 0.",
      "3"}},
    {"EveningDojiStar", Feed::Kline, build_plain<p::EveningDojiStar>, {},
     {"",
      "-1 for a long bullish candle (body at least half its range), a doji whose body lies above "
      "both neighbours' bodies, and a bearish candle closing more than 0.3 of the first body below "
      "the first close, else 0.",
      "3"}},
    {"AbandonedBaby", Feed::Kline, build_plain<p::AbandonedBaby>, {},
     {"",
      "A middle candle with open and close within 0.1% of each other, gapping away from both "
      "neighbours shadows included: +1 after a bearish and before a bullish candle, -1 for the "
      "mirror, else 0.",
      "3"}},
    {"Tristar", Feed::Kline, build_plain<p::Tristar>, {},
     {"",
      "Three doji: -1 when the middle body lies above the first and the third's body top is "
      "below the middle's (a top), +1 for the mirror below (a bottom), else 0.",
      "3"}},
    {"ThreeStarsInSouth", Feed::Kline, build_plain<p::ThreeStarsInSouth>, {},
     {"",
      "+1 for three bearish candles: the first with a lower shadow at least its body, the second "
      "with a smaller body inside the first's and a higher low, the third without shadows (within "
      "0.1% of its price) inside the second's range; else 0.",
      "3"}},
    {"TowerTopBottom", Feed::Kline, build_plain<p::TowerTopBottom>, {},
     {"",
      "+1 tower bottom (a long bearish candle, a small body, a long bullish candle), -1 tower "
      "top (the mirror), else 0.",
      "3"}},
};

}  // namespace

std::span<const Entry> candle_pattern_entries() { return kEntries; }

}  // namespace fendro::registry
