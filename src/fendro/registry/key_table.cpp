#include "fendro/registry/key_table.hpp"

#include <algorithm>
#include <array>

namespace fendro::registry {
namespace {

constexpr std::size_t kMinKeyLength = 2;
constexpr std::size_t kMaxKeyLength = 26;

constexpr KeyRow kRows[] = {
    // length 2
    {"Dx", Feed::Kline}, {"T3", Feed::Kline},
    // length 3
    {"Adl", Feed::Kline}, {"Adx", Feed::Kline}, {"Apo", Feed::Kline}, {"Atr", Feed::Kline},
    {"Bat", Feed::Kline}, {"Cci", Feed::Kline}, {"Cfo", Feed::Kline}, {"Cmo", Feed::Kline},
    {"Dpo", Feed::Kline}, {"Ema", Feed::Kline}, {"Hma", Feed::Kline}, {"Jma", Feed::Kline},
    {"Kst", Feed::Kline}, {"Kvo", Feed::Kline}, {"Mfi", Feed::Kline}, {"Mom", Feed::Kline},
    {"Nvi", Feed::Kline}, {"Obv", Feed::Kline}, {"Pgo", Feed::Kline}, {"Pin", Feed::Trade},
    {"Pmo", Feed::Kline}, {"Ppo", Feed::Kline}, {"Pvi", Feed::Kline}, {"Qqe", Feed::Kline},
    {"Rmi", Feed::Kline}, {"Roc", Feed::Kline}, {"Rsi", Feed::Kline}, {"Rsx", Feed::Kline},
    {"Rvi", Feed::Kline}, {"Rwi", Feed::Kline}, {"Sma", Feed::Kline}, {"Smi", Feed::Kline},
    {"Stc", Feed::Kline}, {"Tii", Feed::Kline}, {"Tsf", Feed::Kline}, {"Tsi", Feed::Kline},
    {"Tsv", Feed::Kline}, {"Vzo", Feed::Kline}, {"Wad", Feed::Kline}, {"Wma", Feed::Kline},
    // length 4
    {"Abcd", Feed::Kline}, {"Adxr", Feed::Kline}, {"Alma", Feed::Kline}, {"Beta", Feed::Kline},
    {"Crab", Feed::Kline}, {"Dema", Feed::Kline}, {"Doji", Feed::Kline}, {"Ehma", Feed::Kline},
    {"Fama", Feed::Kline}, {"Kama", Feed::Kline}, {"Mama", Feed::Kline}, {"Natr", Feed::Kline},
    {"Nrtr", Feed::Kline}, {"Psar", Feed::Kline}, {"Rocp", Feed::Kline}, {"Rocr", Feed::Kline},
    {"Smma", Feed::Kline}, {"Tema", Feed::Kline}, {"Trin", Feed::CrossSection},
    {"Trix", Feed::Kline}, {"Vpin", Feed::Trade}, {"Vwap", Feed::Kline}, {"Vwma", Feed::Kline},
    // length 5
    {"Alpha", Feed::Kline}, {"Aroon", Feed::Kline}, {"Evwma", Feed::Kline},
    {"Frama", Feed::Kline}, {"Shark", Feed::Kline}, {"TdRei", Feed::Kline},
    {"Trima", Feed::Kline}, {"Vidya", Feed::Kline}, {"Wedge", Feed::Kline},
    {"Zlema", Feed::Kline},
    // length 6
    {"Cypher", Feed::Kline}, {"FibFan", Feed::Kline}, {"Hammer", Feed::Kline},
    {"Harami", Feed::Kline}, {"InNeck", Feed::Kline}, {"KRatio", Feed::Kline},
    {"OnNeck", Feed::Kline}, {"PlusDi", Feed::Kline}, {"PlusDm", Feed::Kline},
    {"Qstick", Feed::Kline}, {"Reflex", Feed::Kline}, {"SarExt", Feed::Kline},
    {"StdDev", Feed::Kline}, {"Takuri", Feed::Kline}, {"TdClop", Feed::Kline},
    {"TdOpen", Feed::Kline}, {"TdTrap", Feed::Kline}, {"Vortex", Feed::Kline},
    {"WavePm", Feed::Kline}, {"ZScore", Feed::Kline}, {"ZigZag", Feed::Kline},
    // length 7
    {"AutoFib", Feed::Kline}, {"Coppock", Feed::Kline}, {"FibArcs", Feed::Kline},
    {"Garch11", Feed::Kline}, {"Gartley", Feed::Kline}, {"Hikkake", Feed::Kline},
    {"Inertia", Feed::Kline}, {"Keltner", Feed::Kline}, {"Kicking", Feed::Kline},
    {"MacdFix", Feed::Kline}, {"MatHold", Feed::Kline}, {"MinusDi", Feed::Kline},
    {"MinusDm", Feed::Kline}, {"Rocr100", Feed::Kline}, {"TdCombo", Feed::Kline},
    {"TdDWave", Feed::Kline}, {"TdLines", Feed::Kline}, {"TdSetup", Feed::Kline},
    {"Tristar", Feed::Kline}, {"Tweezer", Feed::Kline}, {"WinRate", Feed::Kline},
    // length 8
    {"AtrBands", Feed::Kline}, {"AvgPrice", Feed::Kline}, {"BeltHold", Feed::Kline},
    {"Decycler", Feed::Kline}, {"DojiStar", Feed::Kline}, {"Donchian", Feed::Kline},
    {"ElderRay", Feed::Kline}, {"HighWave", Feed::Kline}, {"HtPhasor", Feed::Kline},
    {"Kurtosis", Feed::Kline}, {"LongLine", Feed::Kline}, {"Marubozu", Feed::Kline},
    {"MedianMa", Feed::Kline}, {"MidPoint", Feed::Kline}, {"MidPrice", Feed::Kline},
    {"NakedPoc", Feed::Kline}, {"PercentB", Feed::Kline}, {"RSquared", Feed::Kline},
    {"SineWave", Feed::Kline}, {"Skewness", Feed::Kline}, {"StochRsi", Feed::Kline},
    {"Triangle", Feed::Kline}, {"TtmTrend", Feed::Kline}, {"TwoCrows", Feed::Kline},
    {"Variance", Feed::Kline}, {"YoyoExit", Feed::Kline},
    // length 9
    {"Alligator", Feed::Kline}, {"Breakaway", Feed::Kline}, {"Butterfly", Feed::Kline},
    {"Camarilla", Feed::Kline}, {"Engulfing", Feed::Kline}, {"FisherRsi", Feed::Kline},
    {"HtDcPhase", Feed::Kline}, {"LogReturn", Feed::Kline}, {"M2Measure", Feed::Kline},
    {"MassIndex", Feed::Kline}, {"PainIndex", Feed::Kline}, {"ShortLine", Feed::Kline},
    {"TailRatio", Feed::Kline}, {"TasukiGap", Feed::Kline}, {"TdClopwin", Feed::Kline},
    {"Thrusting", Feed::Kline}, {"TickIndex", Feed::CrossSection}, {"Trendflex", Feed::Kline},
    {"TrueRange", Feed::Kline}, {"ValueArea", Feed::Kline}, {"VoltyStop", Feed::Kline},
    {"VolumeRsi", Feed::Kline}, {"WaveTrend", Feed::Kline}, {"WilliamsR", Feed::Kline},
    // length 10
    {"AtrRatchet", Feed::Kline}, {"BomarBands", Feed::Kline}, {"BurkeRatio", Feed::Kline},
    {"ConnorsRsi", Feed::Kline}, {"DepthSlope", Feed::Orderbook}, {"Equivolume", Feed::Kline},
    {"Expectancy", Feed::Kline}, {"FibChannel", Feed::Kline}, {"ForceIndex", Feed::Kline},
    {"HangingMan", Feed::Kline}, {"HeikinAshi", Feed::Kline}, {"JarqueBera", Feed::Kline},
    {"KendallTau", Feed::Kline}, {"MaEnvelope", Feed::Kline}, {"Microprice", Feed::Orderbook},
    {"OIWeighted", Feed::Derivatives}, {"OmegaRatio", Feed::Kline}, {"OuHalfLife", Feed::Kline},
    {"RollingIqr", Feed::Kline}, {"StarcBands", Feed::Kline}, {"Stochastic", Feed::Kline},
    {"SuperTrend", Feed::Kline}, {"TdDeMarker", Feed::Kline}, {"TdPressure", Feed::Kline},
    {"TpoProfile", Feed::Kline}, {"TrendLabel", Feed::Kline}, {"TtmSqueeze", Feed::Kline},
    {"UlcerIndex", Feed::Kline},
    // length 11
    {"AdaptiveCci", Feed::Kline}, {"AdaptiveRsi", Feed::Kline}, {"AnchoredRsi", Feed::Kline},
    {"BodySizePct", Feed::Kline}, {"CalmarRatio", Feed::Kline}, {"CloseVsOpen", Feed::Kline},
    {"DemandIndex", Feed::Kline}, {"DistanceSsd", Feed::Kline}, {"DumplingTop", Feed::Kline},
    {"FlagPennant", Feed::Kline}, {"FundingRate", Feed::Derivatives},
    {"GeometricMa", Feed::Kline}, {"HaramiCross", Feed::Kline}, {"HoltWinters", Feed::Kline},
    {"HtTrendMode", Feed::Kline}, {"KaseDevStop", Feed::Kline}, {"KylesLambda", Feed::TradeQuote},
    {"LaguerreRsi", Feed::Kline}, {"LinRegAngle", Feed::Kline}, {"LinRegSlope", Feed::Kline},
    {"MartinRatio", Feed::Kline}, {"MatchingLow", Feed::Kline}, {"MaxDrawdown", Feed::Kline},
    {"MedianPrice", Feed::Kline}, {"RegimeLabel", Feed::Kline}, {"RickshawMan", Feed::Kline},
    {"RollMeasure", Feed::Trade}, {"RollingVwap", Feed::Kline}, {"SessionVwap", Feed::Kline},
    {"ShadowRatio", Feed::Kline}, {"SharpeRatio", Feed::Kline}, {"SpinningTop", Feed::Kline},
    {"SpreadHurst", Feed::Kline}, {"TdCountdown", Feed::Kline}, {"TdRiskLevel", Feed::Kline},
    {"ThreeDrives", Feed::Kline}, {"ThreeInside", Feed::Kline}, {"TurnOfMonth", Feed::Kline},
    {"ValueAtRisk", Feed::Kline}, {"ZeroLagMacd", Feed::Kline},
    // length 12
    {"AdOscillator", Feed::Kline}, {"AdVolumeLine", Feed::CrossSection},
    {"AdvanceBlock", Feed::Kline}, {"AnchoredVwap", Feed::Kline}, {"BetterVolume", Feed::Kline},
    {"CandleVolume", Feed::Kline}, {"CupAndHandle", Feed::Kline}, {"DemarkPivots", Feed::Kline},
    {"DonchianStop", Feed::Kline}, {"ElderImpulse", Feed::Kline}, {"FibExtension", Feed::Kline},
    {"FibTimeZones", Feed::Kline}, {"FryPanBottom", Feed::Kline},
    {"FundingBasis", Feed::Derivatives}, {"GoldenPocket", Feed::Kline},
    {"HighLowIndex", Feed::CrossSection}, {"HighLowRange", Feed::Kline},
    {"HomingPigeon", Feed::Kline}, {"HurstChannel", Feed::Kline}, {"LadderBottom", Feed::Kline},
    {"OpeningRange", Feed::Kline}, {"OvernightGap", Feed::Kline}, {"PairwiseBeta", Feed::Kline},
    {"PpoHistogram", Feed::Kline}, {"ProfileShape", Feed::Kline}, {"ProfitFactor", Feed::Kline},
    {"QuotedSpread", Feed::Orderbook}, {"SessionRange", Feed::Kline},
    {"ShootingStar", Feed::Kline}, {"SignedVolume", Feed::Trade}, {"SinglePrints", Feed::Kline},
    {"SortinoRatio", Feed::Kline}, {"TdCamouflage", Feed::Kline}, {"TdPropulsion", Feed::Kline},
    {"TdSequential", Feed::Kline}, {"ThreeOutside", Feed::Kline}, {"TreynorRatio", Feed::Kline},
    {"TypicalPrice", Feed::Kline}, {"WoodiePivots", Feed::Kline},
    // length 13
    {"AbandonedBaby", Feed::Kline}, {"AdaptiveCycle", Feed::Kline},
    {"BreadthThrust", Feed::CrossSection}, {"ClassicPivots", Feed::Kline},
    {"Cointegration", Feed::Kline}, {"Counterattack", Feed::Kline},
    {"DragonflyDoji", Feed::Kline}, {"ElderSafeZone", Feed::Kline},
    {"FibConfluence", Feed::Kline}, {"FibProjection", Feed::Kline},
    {"GainLossRatio", Feed::Kline}, {"HiLoActivator", Feed::Kline},
    {"HurstExponent", Feed::Kline}, {"JumpIndicator", Feed::Kline},
    {"LinRegChannel", Feed::Kline}, {"MacdHistogram", Feed::Kline},
    {"MacdIndicator", Feed::Kline}, {"MedianChannel", Feed::Kline},
    {"NewPriceLines", Feed::Kline}, {"PivotReversal", Feed::Kline},
    {"QuartileBands", Feed::Kline}, {"RoofingFilter", Feed::Kline},
    {"RviVolatility", Feed::Kline}, {"SampleEntropy", Feed::Kline},
    {"StandardError", Feed::Kline}, {"SterlingRatio", Feed::Kline},
    {"StickSandwich", Feed::Kline}, {"StochasticCci", Feed::Kline},
    {"SuperSmoother", Feed::Kline}, {"TimeBasedStop", Feed::Kline},
    {"TsfOscillator", Feed::Kline}, {"VarianceRatio", Feed::Kline},
    {"VolumeProfile", Feed::Kline}, {"WeightedClose", Feed::Kline},
    // length 14
    {"AdvanceDecline", Feed::CrossSection}, {"BalanceOfPower", Feed::Kline},
    {"BandpassFilter", Feed::Kline}, {"BollingerBands", Feed::Kline},
    {"CalendarSpread", Feed::Derivatives}, {"ChandelierExit", Feed::Kline},
    {"DisparityIndex", Feed::Kline}, {"EaseOfMovement", Feed::Kline},
    {"EwmaVolatility", Feed::Kline}, {"FibRetracement", Feed::Kline},
    {"GravestoneDoji", Feed::Kline}, {"HighpassFilter", Feed::Kline},
    {"InitialBalance", Feed::Kline}, {"InvertedHammer", Feed::Kline},
    {"KellyCriterion", Feed::Kline}, {"LongLeggedDoji", Feed::Kline},
    {"LongShortRatio", Feed::Derivatives}, {"ModifiedMaStop", Feed::Kline},
    {"PercentAboveMa", Feed::CrossSection}, {"RealizedSpread", Feed::TradeQuote},
    {"RecoveryFactor", Feed::Kline}, {"RectangleRange", Feed::Kline},
    {"SeasonalZScore", Feed::Kline}, {"SessionHighLow", Feed::Kline},
    {"ShannonEntropy", Feed::Kline}, {"SineWeightedMa", Feed::Kline},
    {"StalledPattern", Feed::Kline}, {"TdDifferential", Feed::Kline},
    {"ThreeLineBreak", Feed::Kline}, {"TowerTopBottom", Feed::Kline},
    {"TradeImbalance", Feed::Trade}, {"VolatilityCone", Feed::Kline},
    // length 15
    {"AroonOscillator", Feed::Kline}, {"AtrTrailingStop", Feed::Kline},
    {"Autocorrelation", Feed::Kline}, {"AverageDrawdown", Feed::Kline},
    {"CenterOfGravity", Feed::Kline}, {"ChandeKrollStop", Feed::Kline},
    {"ChoppinessIndex", Feed::Kline}, {"ClosingMarubozu", Feed::Kline},
    {"CyberneticCycle", Feed::Kline}, {"DetrendedStdDev", Feed::Kline},
    {"DoubleBollinger", Feed::Kline}, {"DoubleTopBottom", Feed::Kline},
    {"EffectiveSpread", Feed::TradeQuote}, {"EveningDojiStar", Feed::Kline},
    {"FibonacciPivots", Feed::Kline}, {"FisherTransform", Feed::Kline},
    {"FundingRateMean", Feed::Derivatives}, {"GainToPainRatio", Feed::Kline},
    {"GatorOscillator", Feed::Kline}, {"GeneralizedDema", Feed::Kline},
    {"HikkakeModified", Feed::Kline}, {"KickingByLength", Feed::Kline},
    {"LinRegIntercept", Feed::Kline}, {"McGinleyDynamic", Feed::Kline},
    {"MorningDojiStar", Feed::Kline}, {"MurreyMathLines", Feed::Kline},
    {"NewHighsNewLows", Feed::CrossSection}, {"OiToVolumeRatio", Feed::Derivatives},
    {"OpeningMarubozu", Feed::Kline}, {"ProjectionBands", Feed::Kline},
    {"RollingQuantile", Feed::Kline}, {"SeparatingLines", Feed::Kline},
    {"TdMovingAverage", Feed::Kline}, {"ThreeLineStrike", Feed::Kline},
    {"TripleTopBottom", Feed::Kline}, {"TwiggsMoneyFlow", Feed::Kline},
    {"VolatilityRatio", Feed::Kline}, {"VwapStdDevBands", Feed::Kline},
    // length 16
    {"AndrewsPitchfork", Feed::Kline}, {"BipowerVariation", Feed::Kline},
    {"ChaikinMoneyFlow", Feed::Kline}, {"CommonSenseRatio", Feed::Kline},
    {"CompositeProfile", Feed::Kline}, {"EhlersStochastic", Feed::Kline},
    {"GrangerCausality", Feed::Kline}, {"HeadAndShoulders", Feed::Kline},
    {"InformationRatio", Feed::Kline}, {"KalmanHedgeRatio", Feed::Kline},
    {"LinearRegression", Feed::Kline}, {"PairSpreadZScore", Feed::Kline},
    {"StepTrailingStop", Feed::Kline}, {"TradeVolumeIndex", Feed::Kline},
    {"UniqueThreeRiver", Feed::Kline}, {"VolumeOscillator", Feed::Kline},
    {"VolumePriceTrend", Feed::Kline}, {"VolumeWeightedSr", Feed::Kline},
    // length 17
    {"AccelerationBands", Feed::Kline}, {"AmihudIlliquidity", Feed::Trade},
    {"AverageDailyRange", Feed::Kline}, {"AwesomeOscillator", Feed::Kline},
    {"BetaNeutralSpread", Feed::Kline}, {"CentralPivotRange", Feed::Kline},
    {"ChaikinOscillator", Feed::Kline}, {"ChaikinVolatility", Feed::Kline},
    {"FractalChaosBands", Feed::Kline}, {"FundingImpliedApr", Feed::Derivatives},
    {"FundingRateZScore", Feed::Derivatives}, {"IntradayIntensity", Feed::Kline},
    {"OIPriceDivergence", Feed::Derivatives}, {"OpenInterestDelta", Feed::Derivatives},
    {"PiercingDarkCloud", Feed::Kline}, {"RenkoTrailingStop", Feed::Kline},
    {"RollingCovariance", Feed::Kline}, {"TakerBuySellRatio", Feed::Derivatives},
    {"TdRangeProjection", Feed::Kline}, {"ThreeStarsInSouth", Feed::Kline},
    {"UpDownVolumeRatio", Feed::CrossSection}, {"UpsideGapTwoCrows", Feed::Kline},
    // length 18
    {"BollingerBandwidth", Feed::Kline}, {"DecyclerOscillator", Feed::Kline},
    {"EvenBetterSinewave", Feed::Kline}, {"GapSideBySideWhite", Feed::Kline},
    {"HighLowVolumeNodes", Feed::Kline}, {"MorningEveningStar", Feed::Kline},
    {"OrderFlowImbalance", Feed::Orderbook}, {"PearsonCorrelation", Feed::Kline},
    {"RealizedVolatility", Feed::Kline}, {"RelativeStrengthAB", Feed::Kline},
    {"RisingThreeMethods", Feed::Kline}, {"RollingCorrelation", Feed::Kline},
    {"SmoothedHeikinAshi", Feed::Kline}, {"StandardErrorBands", Feed::Kline},
    {"TermStructureBasis", Feed::Derivatives}, {"TrendStrengthIndex", Feed::Kline},
    {"UltimateOscillator", Feed::Kline}, {"VolumeWeightedMacd", Feed::Kline},
    // length 19
    {"AdvanceDeclineRatio", Feed::CrossSection}, {"BullishPercentIndex", Feed::CrossSection},
    {"FallingThreeMethods", Feed::Kline}, {"IdenticalThreeCrows", Feed::Kline},
    {"LiquidationFeatures", Feed::Derivatives}, {"McClellanOscillator", Feed::CrossSection},
    {"ParkinsonVolatility", Feed::Kline}, {"RollingMinMaxScaler", Feed::Kline},
    {"SpearmanCorrelation", Feed::Kline}, {"UniversalOscillator", Feed::Kline},
    {"YangZhangVolatility", Feed::Kline},
    // length 20
    {"AbsoluteBreadthIndex", Feed::CrossSection}, {"DerivativeOscillator", Feed::Kline},
    {"DynamicMomentumIndex", Feed::Kline}, {"HeikinAshiOscillator", Feed::Kline},
    {"HilbertDominantCycle", Feed::Kline}, {"HistoricalVolatility", Feed::Kline},
    {"OpenInterestMomentum", Feed::Derivatives}, {"ProjectionOscillator", Feed::Kline},
    {"SpreadAr1Coefficient", Feed::Kline}, {"SpreadBollingerBands", Feed::Kline},
    {"ThreeSoldiersOrCrows", Feed::Kline}, {"UpsidePotentialRatio", Feed::Kline},
    // length 21
    {"AcceleratorOscillator", Feed::Kline}, {"ConcealingBabySwallow", Feed::Kline},
    {"CumulativeVolumeDelta", Feed::Trade}, {"CumulativeVolumeIndex", Feed::CrossSection},
    {"GarmanKlassVolatility", Feed::Kline}, {"IntradayMomentumIndex", Feed::Kline},
    {"PerpetualPremiumIndex", Feed::Derivatives}, {"RollingPercentileRank", Feed::Kline},
    {"UpsideGapThreeMethods", Feed::Kline},
    // length 22
    {"AdaptiveLaguerreFilter", Feed::Kline}, {"CoefficientOfVariation", Feed::Kline},
    {"ConditionalValueAtRisk", Feed::Kline}, {"EstimatedLeverageRatio", Feed::Kline},
    {"InstantaneousTrendline", Feed::Kline}, {"InverseFisherTransform", Feed::Kline},
    {"OrderBookImbalanceFull", Feed::Orderbook}, {"OrderBookImbalanceTop1", Feed::Orderbook},
    {"OrderBookImbalanceTopN", Feed::Orderbook}, {"PercentageTrailingStop", Feed::Kline},
    {"VolatilityOfVolatility", Feed::Kline},
    // length 23
    {"DownsideGapThreeMethods", Feed::Kline}, {"LeadLagCrossCorrelation", Feed::Kline},
    {"MarketFacilitationIndex", Feed::Kline}, {"McClellanSummationIndex", Feed::CrossSection},
    {"MedianAbsoluteDeviation", Feed::Kline}, {"OvernightIntradayReturn", Feed::Kline},
    // length 24
    {"KasePermissionStochastic", Feed::Kline}, {"RogersSatchellVolatility", Feed::Kline},
    {"TradeSignAutocorrelation", Feed::Trade}, {"VerticalHorizontalFilter", Feed::Kline},
    // length 25
    {"CorrelationTrendIndicator", Feed::Kline}, {"HasbrouckInformationShare", Feed::Kline},
    // length 26
    {"AutocorrelationPeriodogram", Feed::Kline}, {"AwesomeOscillatorHistogram", Feed::Kline},
    {"EmpiricalModeDecomposition", Feed::Kline}, {"PolarizedFractalEfficiency", Feed::Kline},};
static_assert(std::size(kRows) == kTypeKeyCount);

constexpr bool row_before(const KeyRow& a, const KeyRow& b) {
  return a.key.size() != b.key.size() ? a.key.size() < b.key.size() : a.key < b.key;
}

constexpr bool rows_strictly_ordered() {
  for (std::size_t k = 1; k < std::size(kRows); ++k) {
    if (!row_before(kRows[k - 1], kRows[k])) return false;
  }
  return true;
}
static_assert(rows_strictly_ordered(), "keys must be unique and ordered by length, then bytes");
static_assert(kRows[0].key.size() >= kMinKeyLength &&
              kRows[std::size(kRows) - 1].key.size() <= kMaxKeyLength);

// bucket[len] .. bucket[len + 1]: the rows whose key has `len` bytes.
constexpr std::array<std::size_t, kMaxKeyLength + 2> make_buckets() {
  std::array<std::size_t, kMaxKeyLength + 2> b{};
  std::size_t row = 0;
  for (std::size_t len = 0; len < b.size(); ++len) {
    while (row < std::size(kRows) && kRows[row].key.size() < len) ++row;
    b[len] = row;
  }
  return b;
}
constexpr auto kBuckets = make_buckets();

}  // namespace

std::span<const KeyRow> key_rows() { return kRows; }

std::optional<std::size_t> key_slot(std::string_view key) {
  if (key.size() < kMinKeyLength || key.size() > kMaxKeyLength) return std::nullopt;
  const KeyRow* first = kRows + kBuckets[key.size()];
  const KeyRow* last = kRows + kBuckets[key.size() + 1];
  const KeyRow* at =
      std::lower_bound(first, last, key, [](const KeyRow& r, std::string_view k) { return r.key < k; });
  if (at == last || at->key != key) return std::nullopt;
  return static_cast<std::size_t>(at - kRows);
}

}  // namespace fendro::registry
