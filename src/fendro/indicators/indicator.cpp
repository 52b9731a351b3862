#include "fendro/indicators/indicator.hpp"

#include <algorithm>

#include "fendro/util/run_scope.hpp"

namespace fendro {
namespace {

// Bars stepped between two looks at whether the command was stopped. Read
// after every bar, the flag would cost the cheapest steps a noticeable share;
// a bar stepped after the stop ends at once if its work is long, and is short
// otherwise.
constexpr std::size_t kBarsPerLook = 8;

}  // namespace

// One copy for every type that keeps it: the bars are stepped through the
// virtual update. Each result is stored by its index, which lets the compiler
// store the returned value and flag as they come rather than through a copy
// on the stack.
void Indicator::update_candles(std::span<const Candle> candles, std::optional<double>* out) {
  const std::size_t n = candles.size();
  BarSnapshot snap;
  const auto step = [&](std::size_t k) {
    snap.candle = &candles[k];
    out[k] = update(snap);
  };
  const RunScope* scope = RunScope::current();
  if (scope == nullptr) {
    for (std::size_t k = 0; k < n; ++k) step(k);
    return;
  }
  // Told to stop, a bar gives no value: the bars of a look before its first
  // bar without one gave theirs before the stop, and none from it on does.
  const auto stopped_from = [&](std::size_t first) {
    while (first < n && out[first].has_value()) ++first;
    std::fill(out + first, out + n, std::nullopt);
  };
  std::size_t k = 0;
  for (; k + kBarsPerLook <= n; k += kBarsPerLook) {
    static_assert(kBarsPerLook == 8);
    step(k);
    step(k + 1);
    step(k + 2);
    step(k + 3);
    step(k + 4);
    step(k + 5);
    step(k + 6);
    step(k + 7);
    if (scope->stopped()) [[unlikely]] return stopped_from(k);
  }
  for (; k < n; ++k) {
    step(k);
    if (scope->stopped()) [[unlikely]] return stopped_from(k);
  }
}

}  // namespace fendro
