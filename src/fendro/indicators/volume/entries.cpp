// Registry entries of this family: one row per type key.
#include "fendro/indicators/volume/money_flow.hpp"
#include "fendro/indicators/volume/profile_features.hpp"
#include "fendro/indicators/volume/volume_candles.hpp"
#include "fendro/indicators/volume/volume_lines.hpp"
#include "fendro/indicators/volume/volume_oscillators.hpp"
#include "fendro/indicators/volume/volume_profiles.hpp"
#include "fendro/indicators/volume/vwap.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

constexpr Entry kEntries[] = {
    {"Obv", Feed::Kline, build_plain<Obv>, {},
     {"",
      "On-balance volume: the running total of volume, added on a close above the previous close "
      "and subtracted on one below it (0 on the first bar).",
      "1"}},
    {"Adl", Feed::Kline, build_plain<Adl>, {},
     {"",
      "The accumulation/distribution line: the running total of volume times the close's place "
      "in the bar's range, ((close - low) - (high - close)) / (high - low), -1 at the low to +1 "
      "at the high (0 for a zero range).",
      "1"}},
    {"AdOscillator", Feed::Kline, build_plain<AdOscillator>, {},
     {"",
      "The Williams accumulation/distribution line (as `Wad`) minus its 13-bar simple average.",
      "14"}},
    {"Pvi", Feed::Kline, build_plain<Pvi>, {},
     {"",
      "The positive volume index, from 1000: it moves by the close's relative change only on bars "
      "whose volume rose.",
      "1"}},
    {"Nvi", Feed::Kline, build_plain<Nvi>, {},
     {"",
      "The negative volume index, from 1000: it moves by the close's relative change only on bars "
      "whose volume fell.",
      "1"}},
    {"VolumePriceTrend", Feed::Kline, build_plain<VolumePriceTrend>, {},
     {"",
      "The running total of volume times the close's relative change from the previous close.",
      "1"}},
    {"Wad", Feed::Kline, build_plain<Wad>, {},
     {"",
      "Williams accumulation/distribution: the running total of the close minus the true low "
      "(up closes) or minus the true high (down closes); volume is not used.",
      "2"}},
    {"TradeVolumeIndex", Feed::Kline, build<TradeVolumeIndex, F>, {0.01},
     {"min_tick [0, inf)",
      "The running total of volume signed by the direction of the last close-to-close move "
      "larger than `min_tick` (up adds, down subtracts).",
      "2"}},
    {"IntradayIntensity", Feed::Kline, build_plain<IntradayIntensity>, {},
     {"",
      "The bar's volume times the close's place in its range, (2 close - high - low) / "
      "(high - low) (0 for a zero range); not accumulated.",
      "1"}},
    {"MarketFacilitationIndex", Feed::Kline, build_plain<MarketFacilitationIndex>, {},
     {"",
      "The bar's range per unit of volume, (high - low) / volume; no value at zero volume.",
      "1"}},
    {"BetterVolume", Feed::Kline, build<BetterVolume, U>, {20},
     {"period [1, MAX]",
      "A code for the bar against the `period` - 1 bars before it: 4 climax and churn, 3 climax "
      "(-3 when the close is below the open), 2 churn, 1 volume below all of theirs, 0 none; "
      "climax is range x volume above all of theirs, churn volume per range above all of theirs.",
      "period"}},
    {"ChaikinMoneyFlow", Feed::Kline, build<ChaikinMoneyFlow, U>, {20},
     {"period [1, MAX]",
      "The money-flow volume of the last `period` bars divided by their volume, -1 to 1 in exact "
      "arithmetic (0 without volume). Both are running sums (the newest bar added, the oldest "
      "taken away), which keep the rounding of bars that have left the window: after heavy volume "
      "or high prices, a window of little volume can read far past either end.",
      "period"}},
    {"ChaikinOscillator", Feed::Kline, build<ChaikinOscillator, U, U>, {3, 10},
     {"fast_period [1, MAX) {below `slow_period`}; slow_period [2, MAX] {above `fast_period`}",
      "The exponential average over `fast_period` minus that over `slow_period` of the "
      "accumulation/distribution line.",
      "slow_period"}},
    {"DemandIndex", Feed::Kline, build<DemandIndex, U>, {10},
     {"period [1, MAX]",
      "The demand index: 100 (1 - selling / buying) when buying pressure is larger, "
      "else -100 (1 - buying / selling); each pressure is an exponential average (over `period`) "
      "of the bar's volume relative to its `period`-bar average, the side against the move of "
      "(high + low + 2 close) / 4 damped by that move's size against the `period`-bar average "
      "two-bar range. The last value again while either average or a price is 0 (a window of "
      "zeros counts 0). -100 to 100 in exact arithmetic: the `period`-bar averages are running "
      "sums never rebuilt (see Running sums across scales), so once volumes some 1e16 times smaller follow "
      "larger ones (volumes alternating 1e12 and 1e-8 in blocks), the volume average reads the "
      "larger ones' rounding, of either sign, and the index reads anywhere (past 1e5 on such "
      "blocks) for as long as the volumes stay that small.",
      "period + 1"}},
    {"EaseOfMovement", Feed::Kline, build<EaseOfMovement, U>, {14},
     {"period [1, MAX]",
      "The `period`-bar simple average of ease of movement: 1e8 (high - low) times the change of "
      "the bar's midpoint, divided by volume (0 at zero volume); a window of zeros counts 0.",
      "period + 1"}},
    {"ForceIndex", Feed::Kline, build<ForceIndex, U>, {13},
     {"period [1, MAX]",
      "The exponential average over `period` of volume times the close's change.",
      "period + 1"}},
    {"Kvo", Feed::Kline, build<Kvo, U, U>, {34, 55},
     {"fast_period [1, MAX) {below `slow_period`}; slow_period [2, MAX] {above `fast_period`}",
      "The Klinger volume oscillator: the exponential average over `fast_period` minus that over "
      "`slow_period` of the volume force, 100 x volume x |2 (range / cumulative range - 1)| "
      "signed by the trend of high + low + close.",
      "slow_period + 1"}},
    {"Mfi", Feed::Kline, build<Mfi, U>, {14},
     {"period [1, MAX]",
      "The money flow index, 0 to 100 in exact arithmetic while typical prices are above 0 (flows "
      "below 0 take it anywhere, an infinity included): the money flow (typical price x volume) of "
      "the bars whose typical price rose, in percent of that of the bars whose typical price rose "
      "or fell, over the last `period` bars (50 when neither, as over level prices or no volume). "
      "The flows are running sums (the newest bar added, the oldest taken away, rebuilt every "
      "`period` bars), which keep the rounding of bars that have left the window: after far heavier "
      "flows, small ones can read past either end until the next rebuild; one whose window holds "
      "no flow is exactly 0.",
      "period + 1"}},
    {"Tsv", Feed::Kline, build<Tsv, U>, {13},
     {"period [1, MAX]",
      "Time segmented volume: the sum over the last `period` bars of volume times the close's "
      "change; a window of zeros counts 0.",
      "period + 1"}},
    {"TwiggsMoneyFlow", Feed::Kline, build<TwiggsMoneyFlow, U>, {21},
     {"period [1, MAX]",
      "Twiggs money flow, -1 to 1 in exact arithmetic: the Wilder average (over `period`) of "
      "volume x (2 close - true high - true low) / true range, divided by the Wilder average of "
      "volume (0 while that is 0). Each Wilder step, avg + (x - avg) / `period`, rounds at the "
      "scale of the average before it, and the flow's average rounds apart from the volume's: "
      "where a close sits at its true high or low after a bar of another flow and volume, the "
      "ratio passes 1 or -1 by up to about 2^-53 times the larger volume over the smaller (see "
      "Running sums across scales): by tens of units in the last place where volumes are alike "
      "(56 above 1 and 63 below -1 on walks near 1 and 1e9), by about 2e-9 (millions of units) "
      "at `period` 1 on the bar after a burst of 1e6 to 1e7 among volumes below 1.",
      "period + 1"}},
    {"VolumeOscillator", Feed::Kline, build<VolumeOscillator, U, U>, {5, 10},
     {"fast_period [1, MAX) {below `slow_period`}; slow_period [2, MAX] {above `fast_period`}",
      "The simple average of volume over `fast_period` above that over `slow_period`, in percent "
      "of the latter (0 while that is 0); a window of zeros counts 0, each with its own length.",
      "slow_period"}},
    {"VolumeRsi", Feed::Kline, build<VolumeRsi, U>, {14},
     {"period [1, MAX]",
      "The relative strength of volume, 0 to 100: the Wilder average (over `period`) of volume "
      "rises in percent of rises plus falls (50 when both are 0).",
      "period + 1"}},
    {"Vzo", Feed::Kline, build<Vzo, U>, {14},
     {"period [1, MAX]",
      "The volume zone oscillator, -100 to 100, passing -100 by a unit in the last place and "
      "passing 100 by 2 units in the last place when every bar in the averages closed the same "
      "way: the exponential average (over "
      "`period`) of volume signed by the close's direction, in percent of that of volume.",
      "period + 1"}},
    {"CandleVolume", Feed::Kline, build<CandleVolume, U>, {20},
     {"period [1, MAX]",
      "The bar's body, close - open; the `width` output is the bar's volume over the "
      "`period`-bar average volume (0 while that average is 0).",
      "period"}},
    {"Equivolume", Feed::Kline, build<Equivolume, U>, {20},
     {"period [1, MAX]",
      "The bar's range, high - low; the `width` output is the bar's volume over the `period`-bar "
      "average volume (0 while that average is 0).",
      "period"}},
    {"Vwap", Feed::Kline, build_plain<Vwap>, {},
     {"",
      "The volume-weighted average of the typical price (high + low + close) / 3 over every bar "
      "so far (no value until some volume has been seen).",
      "1"}},
    {"AnchoredVwap", Feed::Kline, build_plain<AnchoredVwap>, {},
     {"",
      "The volume-weighted average typical price from the first bar it is given (its anchor); "
      "the same values as `Vwap`.",
      "1"}},
    {"SessionVwap", Feed::Kline, build<SessionVwap, I>, {0},
     {"utc_offset_minutes [-2147483648, 2147483647]",
      "The volume-weighted average typical price since the start of the bar's local day (local "
      "time being UTC plus `utc_offset_minutes`); the bar's typical price while the day has no "
      "volume.",
      "1"}},
    {"RollingVwap", Feed::Kline, build<RollingVwap, U>, {20},
     {"period [1, MAX]",
      "The volume-weighted average typical price of the last `period` bars (no value while their "
      "volume is 0).",
      "period"}},
    {"VwapStdDevBands", Feed::Kline, build<VwapStdDevBands, F>, {2},
     {"multiplier (0, inf)",
      "The upper band: the cumulative VWAP of the typical price plus `multiplier` "
      "volume-weighted standard deviations of the typical price.",
      "1"}},
    {"VolumeProfile", Feed::Kline, build<VolumeProfile, U, U>, {20, 24},
     {"period [1, inf); bins [1, inf)",
      "The lowest low of the last `period` bars, the bottom of their price range (`bins` changes "
      "nothing).",
      "period"}},
    {"TpoProfile", Feed::Kline, build<TpoProfile, U, U>, {20, 24},
     {"period [1, inf); bins [1, inf)",
      "The lowest low of the last `period` bars, the bottom of their price range (`bins` changes "
      "nothing; the same values as `VolumeProfile`).",
      "period"}},
    {"ValueArea", Feed::Kline, build<ValueArea, U, U, F>, {20, 24, 0.7},
     {"period [1, inf); bins [1, inf); value_area_pct (0, 1]",
      "The point of control: the centre of the bin with the most volume (the lowest of equals) "
      "when the last `period` bars' low-to-high range is cut into `bins` equal bins, each bar's "
      "volume spread evenly over the bins its range covers; the value area, grown from it until "
      "it holds `value_area_pct` of the volume, is reported by its outer bin edges.",
      "period"}},
    {"CompositeProfile", Feed::Kline, build<CompositeProfile, U, U, F>, {20, 24, 0.7},
     {"period [1, inf); bins [1, inf); value_area_pct (0, 1]",
      "The point of control: the centre of the bin with the most volume (the lowest of equals) "
      "when the last `period` bars' low-to-high range is cut into `bins` equal bins, each bar's "
      "volume spread evenly over the bins its range covers; the value area, grown from it until "
      "it holds `value_area_pct` of the volume, is reported by the centres of its end bins.",
      "period"}},
    {"HighLowVolumeNodes", Feed::Kline, build<HighLowVolumeNodes, U, U>, {20, 24},
     {"period [1, inf); bins [1, inf)",
      "The high-volume node: the centre of the bin with the most volume (the lowest of equals) "
      "when the last `period` bars' low-to-high range is cut into `bins` equal bins, each bar's "
      "volume spread evenly over the bins its range covers.",
      "period"}},
    {"NakedPoc", Feed::Kline, build<NakedPoc, U, U>, {20, 24},
     {"period [1, inf); bins [1, inf)",
      "The untested point of control nearest the close: the bars are taken in consecutive blocks "
      "of `period`, and each completed block's point of control (over `bins` bins) stays listed "
      "until a later bar's high-low range covers it; the close when none is listed.",
      "period"}},
    {"ProfileShape", Feed::Kline, build<ProfileShape, U, U>, {20, 24},
     {"period [1, MAX]; bins [3, MAX]",
      "Where the point of control of the last `period` bars' volume profile (`bins` bins) lies: "
      "-1 in the lowest floor(`bins` / 3) bins, +1 in the highest floor(`bins` / 3), 0 between "
      "(-1 for a window without range).",
      "period"}},
    {"SinglePrints", Feed::Kline, build<SinglePrints, U, U>, {20, 24},
     {"period [1, inf); bins [1, inf)",
      "How many of the `bins` price bins of the last `period` bars' range are covered by the "
      "high-low range of exactly one bar, with volume or not (0 for a window without range).",
      "period"}},
};

}  // namespace

std::span<const Entry> volume_entries() { return kEntries; }

}  // namespace fendro::registry
