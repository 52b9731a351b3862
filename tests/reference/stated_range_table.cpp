// The ranges the rows state, the spans that are not ranges of a value and
// the bounds only approached (stated_ranges.hpp): one line each, in the
// order of the reference.
#include "reference/stated_ranges.hpp"

namespace fendro::reference {
namespace {

constexpr RangeClaim kClaims[] = {
    {"CorrelationTrendIndicator", "-1 to 1", ""},
    {"Adx", "0 to 100", ""},
    {"Adxr", "0 to 100", ""},
    {"Aroon", "0 to 100", ""},
    {"AroonOscillator", "-100 to 100", ""},
    {"Dx", "0 to 100", ""},
    {"MinusDi", "0 to 100", ""},
    {"PlusDi", "0 to 100", ""},
    {"PolarizedFractalEfficiency", "-100 to 100", ""},
    {"TrendStrengthIndex", "-1 to 1", ""},
    {"RviVolatility", "0 to 100", ""},
    {"WavePm", "0 to 100", ""},
    {"ChaikinMoneyFlow", "-1 to 1", ""},
    {"DemandIndex", "-100 to 100", ""},
    {"Mfi", "0 to 100", ""},
    {"TwiggsMoneyFlow", "-1 to 1", ""},
    {"VolumeRsi", "0 to 100", ""},
    {"Vzo", "-100 to 100", ""},
    {"OrderBookImbalanceFull", "-1 to 1", ""},
    {"OrderBookImbalanceTop1", "-1 to 1", ""},
    {"OrderBookImbalanceTopN", "-1 to 1", ""},
    {"Pin", "0 to 1", ""},
    {"TradeImbalance", "-1 to 1", ""},
    {"TradeSignAutocorrelation", "-1 to 1", ""},
    {"Vpin", "0 to 1", ""},
    {"AdaptiveRsi", "0 to 100", ""},
    {"AnchoredRsi", "0 to 100", ""},
    {"BalanceOfPower", "-1 to 1", ""},
    {"Cmo", "-100 to 100", ""},
    {"ConnorsRsi", "0 to 100", ""},
    {"DynamicMomentumIndex", "0 to 100", ""},
    {"FisherRsi", "-3.8002011672502 to 3.8002011672502", ""},
    {"IntradayMomentumIndex", "0 to 100", ""},
    {"InverseFisherTransform", "-1 to 1", ""},
    {"LaguerreRsi", "0 to 100", ""},
    {"ProjectionOscillator", "0 to 100", ""},
    {"Rmi", "0 to 100", ""},
    {"Rsi", "0 to 100", ""},
    {"Rsx", "0 to 100", ""},
    {"Smi", "-100 to 100", ""},
    {"Stc", "0 to 100", ""},
    {"StochRsi", "0 to 100", ""},
    {"Stochastic", "0 to 100", ""},
    {"StochasticCci", "0 to 100", ""},
    {"Tii", "0 to 100", ""},
    {"Tsi", "-100 to 100", ""},
    {"UltimateOscillator", "0 to 100", ""},
    {"WilliamsR", "-100 to 0", ""},
    {"EhlersStochastic", "-1 to 1", ""},
    {"EvenBetterSinewave", "-1 to 1", ""},
    {"HtDcPhase", "-45 to 315", ""},
    {"SineWave", "-1 to 1", ""},
    {"UniversalOscillator", "-1 to 1", ""},
    {"Autocorrelation", "-1 to 1", ""},
    {"HurstExponent", "0 to 1", ""},
    {"KendallTau", "-1 to 1", ""},
    {"PearsonCorrelation", "-1 to 1", ""},
    {"RSquared", "0 to 1", ""},
    {"RollingCorrelation", "-1 to 1", ""},
    {"RollingMinMaxScaler", "0 to 1", ""},
    {"RollingPercentileRank", "0 to 100", ""},
    {"SpearmanCorrelation", "-1 to 1", ""},
    {"WinRate", "0 to 1", ""},
    {"HasbrouckInformationShare", "0 to 1", ""},
    {"SpreadHurst", "0 to 1", ""},
    {"BodySizePct", "0 to 1", ""},
    {"ShadowRatio", "-1 to 1", ""},
    {"TdDWave", "1 to 8", ""},
    {"TdDeMarker", "0 to 1", ""},
    {"TdPressure", "-100 to 100", ""},
    {"TdRei", "-100 to 100", ""},
    {"BreadthThrust", "0 to 1", ""},
    {"BullishPercentIndex", "0 to 100", ""},
    {"HighLowIndex", "0 to 100", ""},
    {"PercentAboveMa", "0 to 100", ""},
};

// Each with what it bounds instead.
constexpr OtherSpan kOthers[] = {
    {"Kama", "0 to 1"},  // the efficiency ratio inside the average, not its value
    {"Inertia", "0 to 100"},  // the relative volatility index it regresses, not its value
    {"Kst", "1 to 4"},  // the weights of its four averages
    {"ThreeDrives", "1.13 to 1.75"},  // the ratio of a drive to its correction that the pattern asks
    {"SessionRange", "0 to 7"},  // the Asian session's local hours
    {"SessionRange", "8 to 15"},  // the eu session's local hours
    {"SessionRange", "16 to 23"},  // the us session's local hours
};

// Each with why it is only approached.
constexpr UnreachedBound kUnreached[] = {
    {"ConnorsRsi", "0 to 100", 100,
     "the rank counts the returns below the newest among `rank_period` that include it: at most "
     "100 (rank_period - 1) / rank_period"},
    {"InverseFisherTransform", "-1 to 1", -1,
     "tanh rounds to -1 only below about -19, at closes below -19 / scale, which no series here has"},
    {"SineWave", "-1 to 1", -1, "the sine of a phase that lands on 270 degrees only by chance"},
    {"SineWave", "-1 to 1", 1, "the sine of a phase that lands on 90 degrees only by chance"},
    {"HtDcPhase", "-45 to 315", -45, "an arctangent's phase, shifted into the interval, nears its ends"},
    {"HtDcPhase", "-45 to 315", 315, "an arctangent's phase, shifted into the interval, nears its ends"},
    {"Autocorrelation", "-1 to 1", -1,
     "the lagged products leave out `lag` terms of the sum of squares they are divided by: it reaches -1 only "
     "when those sit at the mean and the rest mirror themselves"},
    {"Autocorrelation", "-1 to 1", 1,
     "the lagged products leave out `lag` terms of the sum of squares they are divided by: it reaches 1 only "
     "when those sit at the mean and the rest repeat themselves"},
    {"RollingPercentileRank", "0 to 100", 0, "the newest close ties itself and counts half: at least 50 / period"},
    {"RollingPercentileRank", "0 to 100", 100,
     "the newest close ties itself and counts half: at most 100 - 50 / period"},
    {"HasbrouckInformationShare", "0 to 1", 0, "the midpoint of two bounds of the share: 0 only where both are"},
};

}  // namespace

std::span<const RangeClaim> range_claims() { return kClaims; }
std::span<const UnreachedBound> unreached_bounds() { return kUnreached; }
std::span<const OtherSpan> other_spans() { return kOthers; }

}  // namespace fendro::reference
