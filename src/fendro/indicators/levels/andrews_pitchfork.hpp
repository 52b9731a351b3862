// Andrews pitchfork: the median line from the oldest of the last three
// alternating fractal pivots through the midpoint of the other two, and its
// parallels through them. A fractal pivot is the centre of the last 2k + 1
// candles when its high (low) is strictly above (below) every other one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class AndrewsPitchfork final : public Indicator {
 public:
  static Result<AndrewsPitchfork, IndicatorError> create(std::uint64_t span);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return window_.capacity(); }

 private:
  struct HighLow {
    double high;
    double low;
  };
  struct Pivot {
    double bar;
    double price;
    bool high;
  };

  explicit AndrewsPitchfork(std::uint64_t span) : span_(span), window_(2 * span + 1) {}
  void test_centre();
  void add_pivot(const Pivot& p);

  std::uint64_t span_;
  BoundedRing<HighLow> window_;  // the last 2k + 1 valid candles
  std::array<Pivot, 3> pivots_{};  // oldest first; kinds alternate
  std::size_t pivot_count_ = 0;
  std::uint64_t seen_ = 0;  // valid candles so far
  OutputList<3> out_{{"median", "upper", "lower"}};
};

}  // namespace fendro
