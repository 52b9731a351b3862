// Registry entries of this family: one row per type key.
#include "fendro/indicators/transforms/breadth.hpp"
#include "fendro/indicators/transforms/overnight_intraday_return.hpp"
#include "fendro/indicators/transforms/price_transforms.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

constexpr Entry kEntries[] = {
    {"AvgPrice", Feed::Kline, build_plain<AvgPrice>, {},
     {"",
      "The bar's mean price (open + high + low + close) / 4.",
      "1"}},
    {"MedianPrice", Feed::Kline, build_plain<MedianPrice>, {},
     {"",
      "The bar's median price (high + low) / 2.",
      "1"}},
    {"TypicalPrice", Feed::Kline, build_plain<TypicalPrice>, {},
     {"",
      "The bar's typical price (high + low + close) / 3.",
      "1"}},
    {"WeightedClose", Feed::Kline, build_plain<WeightedClose>, {},
     {"",
      "The bar's weighted close (high + low + 2 close) / 4.",
      "1"}},
    {"MidPoint", Feed::Kline, build<MidPoint, U>, {14},
     {"period [1, MAX]",
      "The midpoint of the highest and the lowest of the last `period` finite closes (nothing "
      "else of the candle is read).",
      "period"}},
    {"MidPrice", Feed::Kline, build<MidPrice, U>, {14},
     {"period [1, MAX]",
      "The midpoint of the highest high and the lowest low of the last `period` bars.",
      "period"}},
    {"OvernightIntradayReturn", Feed::Kline, build<OvernightIntradayReturn, I>, {0},
     {"utc_offset_minutes [-2147483648, 2147483647]",
      "The overnight return as a fraction: the local date's first open over the last close "
      "before it, less 1 (0 when that close is 0), held for all the date's bars, no value on "
      "the first date; `intraday` is the close over the date's first open less 1; dates are "
      "local at `utc_offset_minutes` from UTC.",
      "2"}},
    {"AbsoluteBreadthIndex", Feed::CrossSection, build_plain<AbsoluteBreadthIndex>, {},
     {"",
      "The absolute difference of the advancing and declining instruments (change above or "
      "below 0) of the bar's cross-section.",
      "1"}},
    {"AdvanceDeclineRatio", Feed::CrossSection, build_plain<AdvanceDeclineRatio>, {},
     {"",
      "Advancing over declining instruments of the bar's cross-section, the declining count "
      "raised to at least 1.",
      "1"}},
    {"BullishPercentIndex", Feed::CrossSection, build_plain<BullishPercentIndex>, {},
     {"",
      "The percentage of the cross-section's instruments flagged bullish, 0 to 100 (NaN for an "
      "empty cross-section).",
      "1"}},
    {"NewHighsNewLows", Feed::CrossSection, build_plain<NewHighsNewLows>, {},
     {"",
      "The cross-section's instruments at a new high less those at a new low.",
      "1"}},
    {"PercentAboveMa", Feed::CrossSection, build_plain<PercentAboveMa>, {},
     {"",
      "The percentage of the cross-section's instruments flagged above their moving average, 0 "
      "to 100 (NaN for an empty cross-section).",
      "1"}},
    {"TickIndex", Feed::CrossSection, build_plain<TickIndex>, {},
     {"",
      "Advancing less declining instruments (change above or below 0) of the bar's "
      "cross-section.",
      "1"}},
    {"Trin", Feed::CrossSection, build_plain<Trin>, {},
     {"",
      "The Arms index of the bar's cross-section: (advancing / declining) / (up volume / down "
      "volume), the up and down volumes being those of the advancing and declining instruments; "
      "the declining count and each volume raised to at least 1.",
      "1"}},
    {"UpDownVolumeRatio", Feed::CrossSection, build_plain<UpDownVolumeRatio>, {},
     {"",
      "The volume of the advancing instruments over that of the declining ones (raised to at "
      "least 1.0) in the bar's cross-section.",
      "1"}},
    {"AdvanceDecline", Feed::CrossSection, build_plain<AdvanceDecline>, {},
     {"",
      "The running total, from 0, of advancing less declining instruments (change above or "
      "below 0) of each cross-section.",
      "1"}},
    {"AdVolumeLine", Feed::CrossSection, build_plain<AdVolumeLine>, {},
     {"",
      "The running total, from 0, of the advancing instruments' volume less the declining "
      "instruments' volume of each cross-section.",
      "1"}},
    {"CumulativeVolumeIndex", Feed::CrossSection, build_plain<AdVolumeLine>, {},
     {"",
      "The running total, from 0, of the advancing instruments' volume less the declining "
      "instruments' volume of each cross-section (the same type as `AdVolumeLine`).",
      "1"}},
    {"McClellanOscillator", Feed::CrossSection, build_plain<McClellanOscillator>, {},
     {"",
      "The fast less the slow exponential average (weights 0.1 and 0.05, both seeded with the "
      "first bar) of net advances per mille, 1000 (advancing - declining) / (advancing + "
      "declining), 0 when neither.",
      "1"}},
    {"McClellanSummationIndex", Feed::CrossSection, build_plain<McClellanSummationIndex>, {},
     {"",
      "The running sum, from 0, of the McClellan oscillator (as `McClellanOscillator`).",
      "1"}},
    {"BreadthThrust", Feed::CrossSection, build<BreadthThrust, U>, {19},
     {"period [1, MAX]",
      "The exponential average over `period` bars (seeded with the mean of the first `period`) "
      "of the advancing share advancing / (advancing + declining) (0 when neither), 0 to 1.",
      "period"}},
    {"HighLowIndex", Feed::CrossSection, build<HighLowIndex, U>, {10},
     {"period [1, MAX]",
      "The simple average over `period` bars of the percentage of new highs among the "
      "instruments at a new high or low (0 when there are none), 0 to 100: a window whose every "
      "percentage is 100 averages to exactly 100, and a window of zeros to exactly 0.",
      "period"}},
};

}  // namespace

std::span<const Entry> transform_entries() { return kEntries; }

}  // namespace fendro::registry
