// Cost of one `update` of every price-transform and breadth type, built
// through the registry with customary parameters. Candle-fed types run over
// the shared random walk; breadth types over cross-sections of 100
// instruments each (the cost grows with the instruments of a bar).
#include <cstdint>
#include <vector>

#include "family_bench.hpp"

namespace {

const std::vector<fendro::bench::Key> kCandleKeys = {
    {"AvgPrice", {}},
    {"MedianPrice", {}},
    {"TypicalPrice", {}},
    {"WeightedClose", {}},
    {"MidPoint", {14}},
    {"MidPrice", {14}},
    {"MidPoint", {1000}},
    {"OvernightIntradayReturn", {0}},
};

const std::vector<fendro::bench::Key> kBreadthKeys = {
    {"AbsoluteBreadthIndex", {}}, {"AdvanceDeclineRatio", {}},   {"BullishPercentIndex", {}},
    {"NewHighsNewLows", {}},      {"PercentAboveMa", {}},        {"TickIndex", {}},
    {"Trin", {}},                 {"UpDownVolumeRatio", {}},     {"AdvanceDecline", {}},
    {"AdVolumeLine", {}},         {"CumulativeVolumeIndex", {}}, {"McClellanOscillator", {}},
    {"McClellanSummationIndex", {}}, {"BreadthThrust", {19}},    {"HighLowIndex", {10}},
};

constexpr std::size_t kInstruments = 100;

const std::vector<fendro::CrossSection>& sections() {
  static const std::vector<fendro::CrossSection> s = [] {
    fendro::testing::SplitMix rng(42);
    std::vector<fendro::CrossSection> out(1024);
    for (fendro::CrossSection& cs : out) {
      for (std::size_t i = 0; i < kInstruments; ++i) {
        const auto flag = [&rng] { return static_cast<std::uint8_t>(rng.next() % 4 == 0); };
        cs.entries.push_back(
            {rng.unit() - 0.5, rng.unit() * 1e4, flag(), flag(), flag(), flag()});
      }
    }
    return out;
  }();
  return s;
}

void run_sections(benchmark::State& state, const fendro::bench::Key& k) {
  auto built = fendro::build_indicator(k.key, k.params);
  if (!built.ok()) {
    state.SkipWithError(built.error().display().c_str());
    return;
  }
  fendro::Indicator& ind = *built.value();
  const auto& all = sections();
  const fendro::Candle candle = fendro::testing::flat(100.0);
  fendro::BarSnapshot bar;
  bar.candle = &candle;
  std::size_t i = 0;
  for (auto _ : state) {
    bar.cross_section = &all[i];
    benchmark::DoNotOptimize(ind.update(bar));
    if (++i == all.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

bool register_breadth() {
  for (const fendro::bench::Key& k : kBreadthKeys) {
    benchmark::RegisterBenchmark(k.key, run_sections, k);
  }
  return true;
}

const bool kRegistered = fendro::bench::register_family(kCandleKeys) && register_breadth();

}  // namespace

BENCHMARK_MAIN();
