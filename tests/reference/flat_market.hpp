// Whether a type reads, on a market that does not move, what exact
// arithmetic gives. One-price candles at prices whose copies do not sum
// exactly (0.3, 123.456, ...) are compared, bar by bar and bit for bit, with
// the same candles at 1.0 and 4.0, where every sum of copies is exact: a
// value the two give alike (price-free) must be that value again; one the
// 4.0 run gives four times over (price-like) must be the price times it.
// The answers come from the arithmetic of whole numbers, not from a second
// instance of the code under test, which would repeat its rounding.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/registry/registry.hpp"

namespace fendro::reference {

// The prices tried, and the volumes each is tried with.
inline constexpr double kFlatPrices[] = {0.00103, 0.3, 3.3, 7.77, 123.456, 30000.17, 1e9 + 0.01};
inline constexpr double kFlatVolumes[] = {0.0, 1.7};

// A type whose exact value on one-price candles is not the same value at
// every price nor the price times one value, or that is not found by the
// comparison for a stated reason.
struct FlatListing {
  std::string_view key;
  std::string_view reason;
  // Listed for the comparison after a moving history only (one-price candles
  // from the first bar read exactly).
  bool after_history_only = false;
};
std::span<const FlatListing> flat_listings();

// What the check tries: a way to build the type and its parameter sets.
struct FlatSubject {
  std::string_view key;
  std::function<IndicatorPtr(const std::vector<double>&)> build;  // null when refused
  std::vector<std::vector<double>> parameter_sets;
};

// The customary parameters and each whole-number one at 1, 2, 3 and 14.
FlatSubject flat_subject(const registry::Entry& row);

// v with 17 significant digits, as it is held.
std::string number(double v);

// What an instance gave, bar by bar: the value and each named output.
struct Traced {
  std::vector<std::optional<double>> values;
  std::vector<std::vector<double>> outputs;
};

// Whether `at`, a run scaled by `factor`, gives on bar i what the runs at 1
// and at 4 (where sums of copies are exact) make exact: a value the two give
// alike must be that value again, one the run at 4 gives four times over
// (a whole number at 1, as copies of a price are) the factor times it. ""
// when it does, what it gives else; nothing where the two relate otherwise
// (not compared). A value absent from either exact run is not compared.
std::optional<std::string> scaled_fault(const Traced& at1, const Traced& at4, const Traced& at, double factor,
                                        std::size_t i);

// One line per parameter set, price and volume on which the type reads
// other than exact arithmetic gives (its first such bar); none when exact.
std::vector<std::string> flat_market_faults(const FlatSubject& subject);

}  // namespace fendro::reference
