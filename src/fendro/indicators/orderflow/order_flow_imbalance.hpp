// Order-flow imbalance: the net size added at the best quotes from book to
// book, summed over the last `period` usable books (a book with both sides
// filled). The first usable book only primes the previous quotes; a snapshot
// without such a book changes nothing.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class OrderFlowImbalance final : public Indicator {
 public:
  static Result<OrderFlowImbalance, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return flows_.period() + 1; }

 private:
  struct Quotes {
    BookLevel bid;
    BookLevel ask;
  };
  explicit OrderFlowImbalance(std::uint64_t period) : flows_(period, true) {}
  std::optional<Quotes> prev_;
  RunningSum flows_;  // rebuilt exactly every `period` pushes
  ZeroRun no_flow_;   // a window of no flow sums to 0, whatever residue flows_ holds
};

}  // namespace fendro
