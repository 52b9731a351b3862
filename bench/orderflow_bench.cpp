// Cost of one `update` per bar for every order-flow key, built through the
// registry and fed bars that carry a derivatives tick, an order book, 0 to 4
// trade prints and a reference value (one benchmark per key).
#include <benchmark/benchmark.h>

#include <vector>

#include "../tests/indicators/orderflow/orderflow_bars.hpp"
#include "family_bench.hpp"

namespace {

using fendro::bench::Key;

const std::vector<Key> kKeys = {
    {"CalendarSpread", {}},        {"FundingBasis", {}},
    {"FundingRate", {}},           {"LongShortRatio", {}},
    {"OiToVolumeRatio", {}},       {"PerpetualPremiumIndex", {}},
    {"TakerBuySellRatio", {}},     {"TermStructureBasis", {}},
    {"LiquidationFeatures", {}},   {"OIWeighted", {}},
    {"OpenInterestDelta", {}},     {"FundingImpliedApr", {1095}},
    {"FundingRateMean", {20}},     {"FundingRateZScore", {20}},
    {"OIPriceDivergence", {20}},   {"OpenInterestMomentum", {20}},
    {"EstimatedLeverageRatio", {}}, {"DepthSlope", {}},
    {"Microprice", {}},            {"OrderBookImbalanceFull", {}},
    {"OrderBookImbalanceTop1", {}}, {"QuotedSpread", {}},
    {"OrderBookImbalanceTopN", {3}}, {"OrderFlowImbalance", {20}},
    {"SignedVolume", {}},          {"CumulativeVolumeDelta", {}},
    {"AmihudIlliquidity", {20}},   {"Pin", {50}},
    {"TradeImbalance", {50}},      {"RollMeasure", {20}},
    {"TradeSignAutocorrelation", {50}}, {"Vpin", {10, 50}},
    {"EffectiveSpread", {}},       {"RealizedSpread", {20}},
    {"KylesLambda", {50}},
};

const std::vector<fendro::BarSnapshot>& snapshots() {
  static const std::vector<fendro::testing::orderflow::Bar> bars =
      fendro::testing::orderflow::random_bars(1 << 12, 42);
  static const std::vector<fendro::BarSnapshot> s = [] {
    std::vector<fendro::BarSnapshot> out;
    out.reserve(bars.size());
    for (const auto& b : bars) out.push_back(b.snapshot());
    return out;
  }();
  return s;
}

[[gnu::noinline]] void run_snapshots(benchmark::State& state, fendro::Indicator& ind) {
  const auto& bars = snapshots();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ind.update(bars[i]));
    if (++i == bars.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void run_key(benchmark::State& state, const Key& k) {
  auto built = fendro::build_indicator(k.key, k.params);
  if (!built.ok()) {
    state.SkipWithError(built.error().display().c_str());
    return;
  }
  run_snapshots(state, *std::move(built).value());
}

const bool kRegistered = [] {
  for (const Key& k : kKeys) benchmark::RegisterBenchmark(k.key, run_key, k);
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
