// Rank correlations of the close (series A) against the bar's reference
// value (series B) over the last n accepted pairs: Spearman's rho (the window
// re-ranked every bar) and Kendall's tau-b (pair counts kept up to date as
// pairs enter and leave).
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::stats {

// Entries of one series in ascending total order (-0.0 before +0.0), equal
// values in arrival order: the order of a stable sort of the window, kept up
// to date as values enter and leave.
class ArrivalSortedList {
 public:
  // Removes the value that arrived as number `seq`.
  void remove(double v, std::uint64_t seq);
  // Adds v as number `seq`, later than every number held.
  void insert(double v, std::uint64_t seq);
  // Mid-ranks (1-based; a group of equal values, -0.0 and +0.0 included,
  // shares the mean of its places) by window position, position 0 being
  // arrival number `first_seq`.
  void mid_ranks(std::uint64_t first_seq, std::vector<double>& ranks) const;

 private:
  struct Entry {
    std::int64_t key;  // total order key of the value
    std::uint64_t seq;
    auto operator<=>(const Entry&) const = default;
  };
  std::vector<Entry> entries_;
};

// Pearson correlation of the mid-ranks of A and of B, in [-1, 1]; 0.0 when
// either is constant. O(n) per bar: the orders are kept, not re-sorted.
class SpearmanCorrelation final : public Indicator {
 public:
  static Result<SpearmanCorrelation, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit SpearmanCorrelation(std::uint64_t n) : pairs_(n), period_(n) {}

  BoundedRing<std::pair<double, double>> pairs_;
  ArrivalSortedList by_a_;
  ArrivalSortedList by_b_;
  std::uint64_t next_seq_ = 0;  // arrival number of the next pair
  std::vector<double> rank_a_;  // scratch, by window position
  std::vector<double> rank_b_;
  std::uint64_t period_;
};

// Counts of a window's pairs of entries by how they compare.
struct KendallCounts {
  std::uint64_t concordant = 0;
  std::uint64_t discordant = 0;
  std::uint64_t tied_a = 0;
  std::uint64_t tied_b = 0;
  bool operator==(const KendallCounts&) const = default;
};

// (C - D) / sqrt((np - TA) * (np - TB)) with np = n(n - 1)/2, in [-1, 1];
// 0.0 when either series is constant. O(n) per bar.
class KendallTau final : public Indicator {
 public:
  static Result<KendallTau, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

  const KendallCounts& counts() const { return counts_; }
  const BoundedRing<std::pair<double, double>>& pairs() const { return pairs_; }

 private:
  explicit KendallTau(std::uint64_t n) : pairs_(n), period_(n) {}

  BoundedRing<std::pair<double, double>> pairs_;
  KendallCounts counts_;
  std::uint64_t period_;
};

// Adds (+1) or removes (-1) the comparison of (x, y) with (xi, yi).
void kendall_count(KendallCounts& c, std::pair<double, double> p, std::pair<double, double> q,
                   int sign);

}  // namespace fendro::stats
