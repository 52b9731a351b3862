// One-period oscillators of the sequential-count family:
//   TdDeMarker  share of upward range extension over n bars (0.5 when flat)
//   TdPressure  volume-weighted buying pressure over n bars, as a percentage
//   TdRei       range expansion over n bars of qualified bars, within +-100
//   TdDWave     a count of alternating centre pivots of 2n + 1 bars, 1 .. 8
// Window sums are taken afresh each bar over the window, oldest first.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro::chart {

class TdDeMarker final : public Indicator {
 public:
  static Result<TdDeMarker, IndicatorError> create(std::uint64_t n);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return ups_.capacity() + 1; }

 private:
  explicit TdDeMarker(std::uint64_t n) : ups_(n), downs_(n) {}
  std::optional<Candle> prev_;
  BoundedRing<double> ups_;
  BoundedRing<double> downs_;
};

class TdPressure final : public Indicator {
 public:
  static Result<TdPressure, IndicatorError> create(std::uint64_t n);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return terms_.capacity(); }

 private:
  explicit TdPressure(std::uint64_t n) : terms_(n), volumes_(n) {}
  BoundedRing<double> terms_;
  BoundedRing<double> volumes_;
};

class TdRei final : public Indicator {
 public:
  static Result<TdRei, IndicatorError> create(std::uint64_t n);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return signed_.capacity() + 8; }

 private:
  explicit TdRei(std::uint64_t n) : candles_(8), signed_(n), absolute_(n) {}
  BoundedRing<Candle> candles_;  // the 8 candles before the current one
  BoundedRing<double> signed_;
  BoundedRing<double> absolute_;
};

class TdDWave final : public Indicator {
 public:
  static Result<TdDWave, IndicatorError> create(std::uint64_t n);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.capacity(); }

 private:
  explicit TdDWave(std::uint64_t n) : window_(2 * n + 1), centre_(n) {}
  BoundedRing<Candle> window_;
  std::uint64_t centre_;
  std::uint64_t wave_ = 0;
  int last_kind_ = 0;  // +1 high, -1 low, 0 none yet
  std::optional<double> held_;
};

}  // namespace fendro::chart
