// Price levels of the sequential-count family:
//   TdLines            resistance at the highest high of a completed down run
//                      of setup bars, support at the lowest low of an up run
//   TdRiskLevel        buy risk below the lowest low of a completed down run,
//                      sell risk above the highest high of an up run, each by
//                      the true range of that extreme bar
//   TdMovingAverage    two simple averages of the median price
//   TdRangeProjection  the next bar's projected high and low
// A level not yet set is written as NaN in the outputs.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/chart/td_setup.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::chart {

class TdLines final : public Indicator {
 public:
  static Result<TdLines, IndicatorError> create(std::uint64_t lookback, std::uint64_t count);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return warmup_; }

 private:
  TdLines(std::uint64_t lookback, std::uint64_t count);
  CloseLag closes_;
  SetupCounts runs_;
  double highest_;  // of the current down run
  double lowest_;   // of the current up run
  std::optional<double> resistance_;
  std::optional<double> support_;
  std::uint64_t warmup_;
  OutputList<2> out_{{"resistance", "support"}};
};

class TdRiskLevel final : public Indicator {
 public:
  static Result<TdRiskLevel, IndicatorError> create(std::uint64_t lookback, std::uint64_t count);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return warmup_; }

 private:
  TdRiskLevel(std::uint64_t lookback, std::uint64_t count);
  // An extreme price of a run and the true range of its bar.
  struct Extreme {
    double price;
    double true_range;
  };
  std::optional<double> prev_close_;
  CloseLag closes_;
  SetupCounts runs_;
  std::optional<Extreme> lowest_;   // of the current down run
  std::optional<Extreme> highest_;  // of the current up run
  std::optional<double> buy_risk_;
  std::optional<double> sell_risk_;
  std::uint64_t warmup_;
  OutputList<2> out_{{"buy_risk", "sell_risk"}};
};

class TdMovingAverage final : public Indicator {
 public:
  static Result<TdMovingAverage, IndicatorError> create(std::uint64_t st1, std::uint64_t st2);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return slow_.period; }

 private:
  TdMovingAverage(std::uint64_t st1, std::uint64_t st2) : fast_(st1), slow_(st2) {}
  SmaWindow fast_;
  SmaWindow slow_;
  OutputList<2> out_{{"st1", "st2"}};
};

class TdRangeProjection final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  OutputList<2> out_{{"high", "low"}};
};

}  // namespace fendro::chart
