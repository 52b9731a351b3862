// Stepping indicators over order-flow bars.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/records.hpp"
#include "indicators/orderflow/orderflow_bars.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::orderflow {

inline std::optional<double> step(Indicator& ind, const Bar& b) { return ind.update(b.snapshot()); }

inline bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof(double)) == 0; }

}  // namespace fendro::testing::orderflow
