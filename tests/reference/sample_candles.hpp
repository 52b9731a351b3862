// The candles of examples/sample_candles.py, built again bit for bit, so that
// a series the reference reports on is one a user can rebuild from Python.
// The walk is integer arithmetic on cents; each price is its cents divided
// by 100, which rounds the same on every machine in either language.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fendro/market/records.hpp"

namespace fendro::reference {

inline constexpr std::int64_t kSampleStartTimeMs = 1'700'000'000'000;
inline constexpr std::int64_t kSampleHourMs = 3'600'000;
inline constexpr std::uint64_t kSampleSeed = 2024;

// `candles(count, seed, start_cents / 100)` of the Python module, hourly
// from kSampleStartTimeMs.
std::vector<Candle> sample_candles(std::size_t count, std::uint64_t seed = kSampleSeed,
                                   std::int64_t start_cents = 10'000);

}  // namespace fendro::reference
