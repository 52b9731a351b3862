// Channels from order statistics of the last n closes: median +- a multiple
// of the median absolute deviation, the quartiles, and the mean +- the
// coverage quantile of the relative deviations. Close-only: a NaN or infinite
// close changes nothing; the rest of the candle is not checked.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/sorted_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class MedianChannel final : public Indicator {
 public:
  static Result<MedianChannel, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  MedianChannel(std::uint64_t n, double m) : window_(n), m_(m) {}
  SortedWindow window_;
  double m_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

class QuartileBands final : public Indicator {
 public:
  static Result<QuartileBands, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  explicit QuartileBands(SortedWindow w) : window_(std::move(w)) {}
  SortedWindow window_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

class BomarBands final : public Indicator {
 public:
  // coverage in (0, 1].
  static Result<BomarBands, IndicatorError> create(std::uint64_t period, double coverage);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  BomarBands(std::uint64_t n, double coverage) : window_(n), coverage_(coverage) {}
  SortedWindow window_;
  double coverage_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

}  // namespace fendro
