// Setup counts: runs of bars whose close lies below (the buy side) or above
// (the sell side) the close a fixed number of bars earlier, each count capped
// at its setup length. A buy-side value is positive, a sell-side one negative.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::chart {

// Where a close lies against an earlier close.
enum class Side : std::int8_t { Below = -1, Equal = 0, Above = 1 };

inline Side side_of(double close, double earlier) {
  if (close < earlier) return Side::Below;
  if (close > earlier) return Side::Above;
  return Side::Equal;
}

// The two setup counts: a bar below extends the buy run and ends the sell run,
// a bar above the reverse, an equal bar ends both.
struct SetupCounts {
  std::uint64_t cap = 0;
  std::uint64_t below = 0;
  std::uint64_t above = 0;

  void count(Side s) {
    below = s == Side::Below ? (below < cap ? below + 1 : cap) : 0;
    above = s == Side::Above ? (above < cap ? above + 1 : cap) : 0;
  }
  // +below when there is a buy run, else -above when there is a sell run, else 0.
  double value() const {
    if (below > 0) return static_cast<double>(below);
    if (above > 0) return -static_cast<double>(above);
    return 0.0;
  }
};

// The last `lookback` closes: each close is compared with the one `lookback`
// bars before it once that many are held.
class CloseLag {
 public:
  explicit CloseLag(std::uint64_t lookback) : ring_(lookback) {}
  // No answer while filling (the close is kept).
  std::optional<Side> push(double close) {
    if (!ring_.is_full()) {
      ring_.push(close);
      return std::nullopt;
    }
    return side_of(close, ring_.replace_oldest(close));
  }

 private:
  BoundedRing<double> ring_;
};

// Lookback and count, both positive; no upper bound (the ring grows with the
// bars actually seen).
Status<IndicatorError> check_lengths(std::uint64_t a, std::uint64_t b);

class TdSetup final : public Indicator {
 public:
  static Result<TdSetup, IndicatorError> create(std::uint64_t lookback, std::uint64_t count);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return warmup_; }

 private:
  TdSetup(std::uint64_t lookback, std::uint64_t count);
  CloseLag closes_;
  SetupCounts counts_;
  std::uint64_t warmup_;
};

}  // namespace fendro::chart
