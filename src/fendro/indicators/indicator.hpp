// The interface of every indicator object: fed one bar at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "fendro/market/bar_snapshot.hpp"

namespace fendro {

struct NamedOutput {
  std::string_view name;  // static text
  double value = 0.0;
};

class Indicator {
 public:
  virtual ~Indicator() = default;
  // No value while warming up, for a rejected bar, or when the snapshot lacks
  // the part the type consumes; a rejected bar leaves the state untouched.
  virtual std::optional<double> update(const BarSnapshot& bar) = 0;
  // update() on each candle in order (a snapshot carrying the candle alone),
  // result k into out[k]: a whole stretch of bars in one call. Types whose
  // step is cheap override it with a loop the compiler sees through; the
  // values, and the state left behind, are those of the calls one by one.
  // Once a bar's work inside is told to stop by the command's interrupt (it
  // then gives no value), the rest of the stretch is not stepped, but for a
  // few bars (each ends at once if its work is long), and gives no value: the
  // command ends as stopped.
  virtual void update_candles(std::span<const Candle> candles, std::optional<double>* out);
  // The (name, value) pairs of the last update that gave a value, in the
  // type's fixed order; empty for single-output types and before the first value.
  // The view stays valid until the next update.
  virtual std::span<const NamedOutput> outputs() const { return {}; }
  // Accepted bars needed before the first value; fixed at construction.
  virtual std::uint64_t warmup_period() const = 0;
};

// Fixed list of named outputs for a multi-output type. `set` replaces the
// whole list (on a bar that gives a value); before the first set it is empty.
template <std::size_t N>
class OutputList {
 public:
  explicit constexpr OutputList(const std::array<std::string_view, N>& names) {
    for (std::size_t k = 0; k < N; ++k) items_[k].name = names[k];
  }
  // Returns the first output, the value `update` reports.
  template <class... V>
  double set(V... values) {
    static_assert(sizeof...(V) == N);
    std::size_t k = 0;
    ((items_[k++].value = static_cast<double>(values)), ...);
    filled_ = true;
    return items_[0].value;
  }
  std::span<const NamedOutput> view() const {
    return filled_ ? std::span<const NamedOutput>(items_) : std::span<const NamedOutput>();
  }

 private:
  std::array<NamedOutput, N> items_{};
  bool filled_ = false;
};

}  // namespace fendro
