// Long and short lines: the current candle's range against the mean range of
// the five valid candles before it, then a body of at least half the range;
// the sign is the candle's colour (+1 when close is above open, else -1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/patterns/candle_anatomy.hpp"

namespace fendro::patterns {

class RangeLine : public Indicator {
 public:
  // The first value comes on the sixth valid candle, yet the warm-up reports
  // the window length, 5.
  static constexpr std::size_t kWindow = 5;

  std::optional<double> update(const BarSnapshot& bar) final;
  std::uint64_t warmup_period() const final { return kWindow; }

 protected:
  // True when the range r stands out from the mean the way the type wants.
  virtual bool stands_out(double r, double mean) const = 0;

 private:
  LastN<double, kWindow> ranges_;
};

// Range strictly above the mean.
class LongLine final : public RangeLine {
  bool stands_out(double r, double mean) const override { return r > mean; }
};

// Range strictly below the mean.
class ShortLine final : public RangeLine {
  bool stands_out(double r, double mean) const override { return r < mean; }
};

}  // namespace fendro::patterns
