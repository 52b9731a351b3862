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
    {"MacdIndicator", build_counts<MacdIndicator, 3>},
    {"MacdFix", build_macd_fix},
    {"MacdHistogram", build_counts<MacdHistogram, 3>},
    {"Apo", build_counts<Apo, 2>},
    {"Ppo", build_counts<Ppo, 2>},
    {"PpoHistogram", build_counts<PpoHistogram, 3>},
    {"ZeroLagMacd", build_counts<ZeroLagMacd, 3>},
    {"VolumeWeightedMacd", build_counts<VolumeWeightedMacd, 3>},
    {"Cci", build_counts<Cci, 1>},
    {"StochasticCci", build_counts<StochasticCci, 1>},
    {"AdaptiveCci", build_counts<AdaptiveCci, 1>},
    {"Stochastic", build_counts<Stochastic, 2>},
    {"WilliamsR", build_counts<WilliamsR, 1>},
    {"Smi", build_counts<Smi, 3>},
    {"KasePermissionStochastic", build_counts<KasePermissionStochastic, 2>},
    {"Kst", build_kst},
    {"Coppock", build_counts<Coppock, 3>},
    {"Pmo", build_counts<Pmo, 2>},
    {"Trix", build_counts<Trix, 1>},
    {"Tsi", build_counts<Tsi, 2>},
    {"Tii", build_counts<Tii, 2>},
    {"Stc", build_stc},
    {"UltimateOscillator", build_counts<UltimateOscillator, 3>},
    {"Rvi", build_counts<Rvi, 1>},
    {"WaveTrend", build_counts<WaveTrend, 3>},
    {"Pgo", build_counts<Pgo, 1>},
    {"ProjectionOscillator", build_counts<ProjectionOscillator, 1>},
    {"Inertia", build_counts<Inertia, 2>},
};

}  // namespace

std::span<const Entry> momentum_oscillator_entries() { return kEntries; }

}  // namespace fendro::registry
