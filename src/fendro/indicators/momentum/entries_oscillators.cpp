// Registry entries of this family: one row per type key.
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "fendro/indicators/momentum/candle_range.hpp"
#include "fendro/indicators/momentum/cci.hpp"
#include "fendro/indicators/momentum/macd.hpp"
#include "fendro/indicators/momentum/smoothed_momentum.hpp"
#include "fendro/indicators/momentum/stochastic.hpp"
#include "fendro/indicators/momentum/trend_cycle.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

// Reads counts 0 .. N - 1 in index order; the first failure is the answer.
template <std::size_t N>
Result<std::array<std::uint64_t, N>, StrategyError> read_counts(const Params& p) {
  std::array<std::uint64_t, N> out{};
  for (std::size_t i = 0; i < N; ++i) {
    FENDRO_TRY(n, p.usize(i));
    out[i] = n;
  }
  return out;
}

// Types built from N counts, passed to T::create in index order.
template <class T, std::size_t N>
BuildResult build_counts(const Params& p) {
  FENDRO_TRY(n, read_counts<N>(p));
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    return box<T>(p, T::create(n[I]...));
  }(std::make_index_sequence<N>{});
}

BuildResult build_macd_fix(const Params& p) {
  FENDRO_TRY(signal, p.usize(0));
  return box<MacdIndicator>(p, MacdIndicator::create_fixed(signal));
}

BuildResult build_kst(const Params& p) {
  FENDRO_TRY(n, read_counts<9>(p));
  return box<Kst>(p, Kst::create(n));
}

BuildResult build_stc(const Params& p) {
  FENDRO_TRY(n, read_counts<3>(p));
  FENDRO_TRY(factor, p.f64(3));
  return box<Stc>(p, Stc::create(n[0], n[1], n[2], factor));
}

static constexpr Entry kEntries[] = {
    {"MacdIndicator", Feed::Kline, build_counts<MacdIndicator, 3>, {12, 26, 9}},
    {"MacdFix", Feed::Kline, build_macd_fix, {9}},
    {"MacdHistogram", Feed::Kline, build_counts<MacdHistogram, 3>, {12, 26, 9}},
    {"Apo", Feed::Kline, build_counts<Apo, 2>, {12, 26}},
    {"Ppo", Feed::Kline, build_counts<Ppo, 2>, {12, 26}},
    {"PpoHistogram", Feed::Kline, build_counts<PpoHistogram, 3>, {12, 26, 9}},
    {"ZeroLagMacd", Feed::Kline, build_counts<ZeroLagMacd, 3>, {12, 26, 9}},
    {"VolumeWeightedMacd", Feed::Kline, build_counts<VolumeWeightedMacd, 3>, {12, 26, 9}},
    {"Cci", Feed::Kline, build_counts<Cci, 1>, {20}},
    {"StochasticCci", Feed::Kline, build_counts<StochasticCci, 1>, {14}},
    {"AdaptiveCci", Feed::Kline, build_counts<AdaptiveCci, 1>, {20}},
    {"Stochastic", Feed::Kline, build_counts<Stochastic, 2>, {14, 3}},
    {"WilliamsR", Feed::Kline, build_counts<WilliamsR, 1>, {14}},
    {"Smi", Feed::Kline, build_counts<Smi, 3>, {10, 3, 3}},
    {"KasePermissionStochastic", Feed::Kline, build_counts<KasePermissionStochastic, 2>, {10, 3}},
    {"Kst", Feed::Kline, build_kst, {10, 15, 20, 30, 10, 10, 10, 15, 9}},
    {"Coppock", Feed::Kline, build_counts<Coppock, 3>, {14, 11, 10}},
    {"Pmo", Feed::Kline, build_counts<Pmo, 2>, {35, 20}},
    {"Trix", Feed::Kline, build_counts<Trix, 1>, {15}},
    {"Tsi", Feed::Kline, build_counts<Tsi, 2>, {25, 13}},
    {"Tii", Feed::Kline, build_counts<Tii, 2>, {30, 15}},
    {"Stc", Feed::Kline, build_stc, {23, 50, 10, 0.5}},
    {"UltimateOscillator", Feed::Kline, build_counts<UltimateOscillator, 3>, {7, 14, 28}},
    {"Rvi", Feed::Kline, build_counts<Rvi, 1>, {10}},
    {"WaveTrend", Feed::Kline, build_counts<WaveTrend, 3>, {10, 21, 4}},
    {"Pgo", Feed::Kline, build_counts<Pgo, 1>, {14}},
    {"ProjectionOscillator", Feed::Kline, build_counts<ProjectionOscillator, 1>, {14}},
    {"Inertia", Feed::Kline, build_counts<Inertia, 2>, {20, 14}},
};

}  // namespace

std::span<const Entry> momentum_oscillator_entries() { return kEntries; }

}  // namespace fendro::registry
