// Williams' Alligator: three smoothed averages (jaw, teeth, lips) of the
// median price (high + low) / 2, each seeded by the mean of its first n values
// and then smoothed with weight 1/n. The lines are not shifted in time.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/averages/smma.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"

namespace fendro {

struct AlligatorLines {
  SmmaState jaw;
  SmmaState teeth;
  SmmaState lips;
  CopiesSoFar flat;  // of the midpoints: lines fed only copies read the copy
};

struct AlligatorValues {
  double jaw;
  double teeth;
  double lips;
};

// Any length 0 gives ZeroPeriod; then jaw, teeth, lips above MAX_PERIOD, in
// that order, InvalidPeriod. The lengths need no particular order.
Result<AlligatorLines, IndicatorError> alligator_lines_new(std::uint64_t jaw, std::uint64_t teeth,
                                                           std::uint64_t lips);

// Feeds the median price of (high, low) to the three lines. A median that is
// not finite changes nothing. A value once all three lines are seeded.
std::optional<AlligatorValues> alligator_update(AlligatorLines& lines, double high, double low);

class Alligator final : public Indicator {
 public:
  static Result<Alligator, IndicatorError> create(std::uint64_t jaw, std::uint64_t teeth,
                                                  std::uint64_t lips);

  // Returns the jaw; outputs `jaw`, `teeth`, `lips`.
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  // The longest line seeds last.
  std::uint64_t warmup_period() const override;

 private:
  explicit Alligator(const AlligatorLines& lines) : lines_(lines) {}
  AlligatorLines lines_;
  OutputList<3> outputs_{{"jaw", "teeth", "lips"}};
};

}  // namespace fendro
