// The types that legitimately differ from a fresh instance once their
// windows hold only zeros (zero_windows.hpp), each with its reason. Types
// whose memory a moving market shows (a recursion that a moving probe sees
// parting from a fresh instance past the longest window) are listed by what
// remembers, and the probe keeps that list exact; the kMemory rows keep a
// state the probe cannot see on some parameter set, because any moving bar
// sets it afresh or a moving market reads it the same way.
#include <algorithm>

#include "reference/zero_windows.hpp"

namespace fendro::reference {
namespace {

constexpr std::string_view kSwings =
    "keeps the last swing points until new ones form: a flat stretch forms none, a fresh instance has none";
constexpr std::string_view kCount = "keeps its setup and countdown counts, which a flat stretch does not reset";
constexpr std::string_view kCopies = "an average of copies of the halted close";
constexpr std::string_view kStop = "a trailing stop: keeps its level and direction until price crosses it";

std::size_t rvi_reach(std::span<const double> p) {
  // Four candles smoothed, then `period` smoothed values summed.
  return static_cast<std::size_t>(p[0]) + 2;
}
std::size_t period_reach(std::span<const double> p) {
  // The closes' window: `period` bars.
  return static_cast<std::size_t>(p[0]);
}
std::size_t demand_reach(std::span<const double> p) {
  // The ranges of `period` bars, each reaching back to the bar before.
  return static_cast<std::size_t>(p[0]);
}

constexpr ZeroWindowListing kListings[] = {
    // (1) Memory that outlasts the window.
    {"Abcd", ZeroCase::kMemory, kSwings},
    {"AndrewsPitchfork", ZeroCase::kMemory, kSwings},
    {"AutoFib", ZeroCase::kMemory, kSwings},
    {"Bat", ZeroCase::kMemory, kSwings},
    {"Butterfly", ZeroCase::kMemory, kSwings},
    {"Crab", ZeroCase::kMemory, kSwings},
    {"CupAndHandle", ZeroCase::kMemory, kSwings},
    {"Cypher", ZeroCase::kMemory, kSwings},
    {"DoubleTopBottom", ZeroCase::kMemory, kSwings},
    {"FibArcs", ZeroCase::kMemory, kSwings},
    {"FibChannel", ZeroCase::kMemory, kSwings},
    {"FibConfluence", ZeroCase::kMemory, kSwings},
    {"FibExtension", ZeroCase::kMemory, kSwings},
    {"FibFan", ZeroCase::kMemory, kSwings},
    {"FibProjection", ZeroCase::kMemory, kSwings},
    {"FibRetracement", ZeroCase::kMemory, kSwings},
    {"FibTimeZones", ZeroCase::kMemory, kSwings},
    {"FlagPennant", ZeroCase::kMemory, kSwings},
    {"FractalChaosBands", ZeroCase::kMemory, kSwings},
    {"Gartley", ZeroCase::kMemory, kSwings},
    {"GoldenPocket", ZeroCase::kMemory, kSwings},
    {"HeadAndShoulders", ZeroCase::kMemory, kSwings},
    {"RectangleRange", ZeroCase::kMemory, kSwings},
    {"Shark", ZeroCase::kMemory, kSwings},
    {"ThreeDrives", ZeroCase::kMemory, kSwings},
    {"Triangle", ZeroCase::kMemory, kSwings},
    {"TripleTopBottom", ZeroCase::kMemory, kSwings},
    {"Wedge", ZeroCase::kMemory, kSwings},
    {"ZigZag", ZeroCase::kMemory, kSwings},
    {"TdLines", ZeroCase::kMemory, kSwings},
    {"TdRiskLevel", ZeroCase::kMemory, kSwings},
    {"TdDWave", ZeroCase::kMemory, "keeps its wave count until a new swing"},
    {"ThreeLineBreak", ZeroCase::kMemory, "keeps its last lines until a close breaks them"},
    {"TdCombo", ZeroCase::kMemory, kCount},
    {"TdCountdown", ZeroCase::kMemory, kCount},
    {"TdSequential", ZeroCase::kMemory, kCount},
    {"Nrtr", ZeroCase::kMemory, kStop},
    {"PercentageTrailingStop", ZeroCase::kMemory, kStop},
    {"ModifiedMaStop", ZeroCase::kMemory, kStop},
    {"KaseDevStop", ZeroCase::kMemory, kStop},
    {"ElderSafeZone", ZeroCase::kMemory, kStop},
    {"AdaptiveCycle", ZeroCase::kMemory, "a measured cycle length, kept while nothing moves"},
    {"HtTrendMode", ZeroCase::kMemory, "Hilbert-transform recursions"},
    {"EmpiricalModeDecomposition", ZeroCase::kMemory, "a recursive band-pass filter"},
    {"Evwma", ZeroCase::kMemory, "a recursion: with no volume the last value is carried"},
    {"Kama", ZeroCase::kMemory, "a recursion whose smoothing constant is slowest when nothing moves"},
    {"ElderImpulse", ZeroCase::kMemory, "slopes of exponential averages"},
    {"ConnorsRsi", ZeroCase::kMemory, "an RSI keeps the ratio of its two decaying averages through a halt"},
    {"WavePm", ZeroCase::kMemory,
     "an exponential average of a weight that any moving bar sets to the same constant at length 1"},
    {"VolumeWeightedMacd", ZeroCase::kMemory, "an exponential signal line"},
    {"Jma", ZeroCase::kMemory, "an adaptive recursion"},
    {"SuperSmoother", ZeroCase::kMemory, "a two-pole recursive filter"},
    {"StochRsi", ZeroCase::kMemory,
     "the RSI's Wilder averages outlast any window: on a halt the kept RSI wobbles by a unit in the last place, "
     "and the stochastic of that wobble spans 0 to 100"},
    {"TtmSqueeze", ZeroCase::kMemory,
     "the squeeze compares the bands with a Keltner width that is a Wilder ATR; the momentum fits the closes "
     "less an average of copies of the close"},
    // (2) A residue of an average of copies of one price, not divided up.
    {"AdOscillator", ZeroCase::kFewUlps, "the line less its average: copies of the line on a halt"},
    {"AwesomeOscillator", ZeroCase::kFewUlps, "two averages of copies of the median price"},
    {"AcceleratorOscillator", ZeroCase::kFewUlps, "the awesome oscillator less its average"},
    {"AwesomeOscillatorHistogram", ZeroCase::kFewUlps, "the awesome oscillator less its value some bars back"},
    {"DisparityIndex", ZeroCase::kFewUlps, "the close less an average of copies of it, in percent of that average",
     ResidueOf::kLargestPriceInPercentOfClose},
    {"Sma", ZeroCase::kFewUlps, kCopies},
    {"Wma", ZeroCase::kFewUlps, kCopies},
    {"Trima", ZeroCase::kFewUlps, kCopies},
    {"Hma", ZeroCase::kFewUlps, kCopies},
    {"TdMovingAverage", ZeroCase::kFewUlps, kCopies},
    {"MaEnvelope", ZeroCase::kFewUlps, kCopies},
    {"AccelerationBands", ZeroCase::kFewUlps, kCopies},
    {"StarcBands", ZeroCase::kFewUlps, kCopies},
    {"HurstChannel", ZeroCase::kFewUlps, kCopies},
    {"RelativeStrengthAB", ZeroCase::kFewUlps, "an average of copies of the ratio of two halted closes",
     ResidueOf::kLargestValue},
    {"Stochastic", ZeroCase::kFewUlps, "%D, an average of copies of the zero case 50", ResidueOf::kLargestValue},
    {"VolumeOscillator", ZeroCase::kFewUlps, "on flat prices, two averages of the volume that moves",
     ResidueOf::kLargestValue},
    {"CandleVolume", ZeroCase::kFewUlps, "its width: the volume over an average of the volume that moves",
     ResidueOf::kLargestValue},
    {"Equivolume", ZeroCase::kFewUlps, "its width: the volume over an average of the volume that moves",
     ResidueOf::kLargestValue},
    {"TtmTrend", ZeroCase::kSign, "the close against an average of copies of the midpoint"},
    // (3) The zero case repeats the last value.
    {"Rvi", ZeroCase::kLastValue, "a range of zero repeats the last value", {}, rvi_reach,
     stretches({StretchKind::kHalt, StretchKind::kFlatVolume})},
    {"Pgo", ZeroCase::kLastValue,
     "flat prices read 0 while the true-range average decays, then the last value again (a fresh instance has none)",
     {}, period_reach, stretches({StretchKind::kHalt, StretchKind::kFlatVolume})},
    {"DemandIndex", ZeroCase::kLastValue, "no volume or no range repeats the last value", {}, demand_reach,
     stretches({StretchKind::kHalt, StretchKind::kFlatVolume, StretchKind::kQuietMoves})},
};

// What remembers, for each key the moving probe finds remembering.
constexpr std::string_view kExponential[] = {
    "Apo", "BreadthThrust", "ChaikinOscillator", "ChaikinVolatility", "Dema", "DemandIndex", "Ehma", "ElderImpulse",
    "ElderRay", "Ema", "EwmaVolatility", "ForceIndex", "GeneralizedDema", "HeikinAshiOscillator", "HoltWinters",
    "KasePermissionStochastic", "Kvo", "MacdFix", "MacdHistogram", "MacdIndicator", "MassIndex",
    "McClellanOscillator", "Pgo", "Pmo", "PolarizedFractalEfficiency", "Ppo", "PpoHistogram", "Smi",
    "SmoothedHeikinAshi", "Stc", "T3", "Tema", "Trix", "Tsi", "VolatilityRatio", "VolumeWeightedMacd", "Vzo",
    "WavePm", "WaveTrend", "ZeroLagMacd", "Zlema"};
constexpr std::string_view kWilder[] = {
    "Adx", "Adxr", "Alligator", "ConnorsRsi", "DerivativeOscillator", "Dx", "FisherRsi", "GatorOscillator", "Inertia",
    "MinusDi", "MinusDm", "PlusDi", "PlusDm", "Qqe", "RelativeStrengthAB", "Rmi", "Rsi", "RviVolatility", "Smma",
    "StochRsi", "TwiggsMoneyFlow", "VolumeRsi"};
constexpr std::string_view kWilderAtr[] = {
    "Atr", "AtrBands", "ChandeKrollStop", "ChandelierExit", "Keltner", "Natr", "StarcBands"};
constexpr std::string_view kStops[] = {
    "AtrRatchet", "AtrTrailingStop", "ElderSafeZone", "KaseDevStop", "ModifiedMaStop", "Psar", "RenkoTrailingStop",
    "SarExt", "StepTrailingStop", "SuperTrend", "VoltyStop", "YoyoExit"};
constexpr std::string_view kFilters[] = {
    "AdaptiveLaguerreFilter", "AutocorrelationPeriodogram", "BandpassFilter", "CyberneticCycle", "Decycler",
    "DecyclerOscillator", "EhlersStochastic", "EmpiricalModeDecomposition", "EvenBetterSinewave", "FisherTransform",
    "HeikinAshi", "HighpassFilter", "InstantaneousTrendline", "LaguerreRsi", "Reflex", "RoofingFilter", "Rsx",
    "SuperSmoother", "Trendflex", "UniversalOscillator"};
constexpr std::string_view kHilbert[] = {
    "AdaptiveCycle", "Fama", "HilbertDominantCycle", "HtDcPhase", "HtPhasor", "HtTrendMode", "Mama", "SineWave"};
constexpr std::string_view kAdaptive[] = {
    "AdaptiveCci", "AdaptiveRsi", "Evwma", "Frama", "Jma", "Kama", "McGinleyDynamic", "Vidya"};
constexpr std::string_view kEstimates[] = {"Garch11", "KalmanHedgeRatio"};
constexpr std::string_view kCumulative[] = {
    "AdVolumeLine", "Adl", "AdvanceDecline", "AnchoredRsi", "AnchoredVwap", "CumulativeVolumeDelta",
    "CumulativeVolumeIndex", "McClellanSummationIndex", "Nvi", "Obv", "OIWeighted", "Pvi", "RecoveryFactor",
    "TradeVolumeIndex", "VolumePriceTrend", "Vwap", "VwapStdDevBands", "Wad"};
constexpr std::string_view kRunStart[] = {"InitialBalance", "OpeningRange"};
constexpr std::string_view kCalendar[] = {
    "AverageDailyRange", "OvernightGap", "OvernightIntradayReturn", "SeasonalZScore", "SessionHighLow",
    "SessionRange", "SessionVwap", "TurnOfMonth"};
constexpr std::string_view kLevels[] = {
    "AndrewsPitchfork", "NakedPoc", "TdDWave", "TdLines", "TdRiskLevel", "ThreeLineBreak"};
constexpr std::string_view kBuckets[] = {"Vpin"};

constexpr RememberingKeys kRemembering[] = {
    {"an exponential average: every bar seen keeps a weight", kExponential},
    {"Wilder smoothing (an RSI, directional movement, a smoothed average)", kWilder},
    {"a Wilder average true range", kWilderAtr},
    {kStop, kStops},
    {"a recursive filter: each value feeds the next", kFilters},
    {"Hilbert-transform recursions (a smoothed period and phase)", kHilbert},
    {"an adaptive average: a recursion whose weight the market sets", kAdaptive},
    {"a recursive estimate (a GARCH variance, a Kalman filter)", kEstimates},
    {"a cumulative line: a total over every bar since the first", kCumulative},
    {"fixed by the first bars of the run", kRunStart},
    {"a session or calendar state, kept by local days, hours or months rather than bars", kCalendar},
    {"keeps pivots, lines or levels until price makes or reaches new ones", kLevels},
    {"buckets of volume, not bars: the last buckets reach back any number of bars", kBuckets},
};

// Periods at which a filter's pole lies outside the unit circle.
constexpr double kPeriod1[] = {1};
constexpr double kPeriod1Slow60[] = {1, 60};
constexpr double kPeriod1Band03[] = {1, 0.3};
constexpr double kPeriod2Band03[] = {2, 0.3};
constexpr std::string_view kHighpassPole =
    "at period 1 the high-pass's alpha is about 8.36: a double pole at 1 - alpha, outside the unit circle; NaN on "
    "any moving history";
constexpr std::string_view kBandpassPole =
    "1 / cos(4 pi bandwidth / period) is below -1, so alpha is too: the poles' product, alpha, lies outside the unit "
    "circle; inf on any moving history";

constexpr DivergingSet kDiverging[] = {
    {"HighpassFilter", kPeriod1, kHighpassPole},
    {"Decycler", kPeriod1, kHighpassPole},
    {"DecyclerOscillator", kPeriod1Slow60, kHighpassPole},
    {"BandpassFilter", kPeriod1Band03, kBandpassPole},
    {"BandpassFilter", kPeriod2Band03, kBandpassPole},
};

}  // namespace

std::span<const ZeroWindowListing> zero_window_listings() { return kListings; }

std::span<const RememberingKeys> remembering_keys() { return kRemembering; }

std::string_view memory_reason_of(std::string_view key) {
  for (const RememberingKeys& group : kRemembering) {
    if (std::find(group.keys.begin(), group.keys.end(), key) != group.keys.end()) return group.reason;
  }
  return {};
}

std::span<const DivergingSet> diverging_sets() { return kDiverging; }

const ZeroWindowListing* listing_of(std::string_view key, std::span<const ZeroWindowListing> table) {
  const auto it =
      std::find_if(table.begin(), table.end(), [&](const ZeroWindowListing& l) { return l.key == key; });
  return it == table.end() ? nullptr : &*it;
}

}  // namespace fendro::reference
