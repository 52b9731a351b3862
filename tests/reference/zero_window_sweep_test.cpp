// The sweep of zero_window_runs.hpp on planted types: a ratio of two running
// sums read as they stand once its window holds only zeros is named, on the
// stretches where its terms are zero, from candles, prints or a
// cross-section; the same ratio read as exactly 0 there passes. A residue
// divided by an average that decays is named for growing without bound; a
// listed last value must be the one of the last bar with a nonzero entry; a
// listed residue must stay within a few units of the largest price.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "reference/zero_window_runs.hpp"

namespace fendro::reference {
namespace {

const std::vector<NamedHistory>& histories() {
  static const std::vector<NamedHistory> made = residue_histories();
  return made;
}

// One bar's two terms; `state` is the type's own (the last close).
using Terms = std::function<std::pair<double, double>(const BarSnapshot&, double& state)>;

// The ratio of the sums of the last n terms a and b, each kept as a running
// sum (add the new, subtract the leaving); 0 (or the last value) where b's
// sum is 0. With `settles`, a sum whose window holds only zeros reads exactly 0.
class PlantedRatio final : public Indicator {
 public:
  PlantedRatio(std::size_t n, bool settles, bool keeps_last, Terms terms)
      : n_(n), settles_(settles), keeps_last_(keeps_last), terms_(std::move(terms)) {}

  std::optional<double> update(const BarSnapshot& bar) override {
    const auto [a, b] = terms_(bar, state_);
    held_.push_back({a, b});
    sum_a_ = a + sum_a_;
    sum_b_ = b + sum_b_;
    if (held_.size() > n_) {
      sum_a_ = sum_a_ - held_.front().first;
      sum_b_ = sum_b_ - held_.front().second;
      held_.pop_front();
    }
    zeros_a_ = a != 0.0 ? 0 : zeros_a_ + 1;
    zeros_b_ = b != 0.0 ? 0 : zeros_b_ + 1;
    if (held_.size() < n_) return std::nullopt;
    const double sa = settles_ && zeros_a_ >= n_ ? 0.0 : sum_a_;
    const double sb = settles_ && zeros_b_ >= n_ ? 0.0 : sum_b_;
    if (sb == 0.0) return keeps_last_ ? last_ : 0.0;
    last_ = sa / sb;
    return last_;
  }
  std::uint64_t warmup_period() const override { return n_; }

 private:
  std::size_t n_;
  bool settles_, keeps_last_;
  Terms terms_;
  double state_ = NAN;
  std::deque<std::pair<double, double>> held_;
  double sum_a_ = 0.0, sum_b_ = 0.0, last_ = 0.0;
  std::size_t zeros_a_ = 0, zeros_b_ = 0;
};

// The move of the close and its size.
std::pair<double, double> close_moves(const BarSnapshot& bar, double& last) {
  const double c = bar.candle->close;
  const double move = std::isnan(last) ? 0.0 : c - last;
  last = c;
  return {move, std::abs(move)};
}
// What was sold, and all that traded.
std::pair<double, double> print_flow(const BarSnapshot& bar, double&) {
  double sold = 0.0, all = 0.0;
  for (const Trade& t : bar.trades) {
    if (t.side & 1) sold = sold + t.size;
    all = all + t.size;
  }
  return {sold, all};
}
// The cross-section's changes, summed and in size.
std::pair<double, double> cross_changes(const BarSnapshot& bar, double&) {
  double net = 0.0, all = 0.0;
  for (const CrossSectionEntry& e : bar.cross_section->entries) {
    net = net + e.change;
    all = all + std::abs(e.change);
  }
  return {net, all};
}

ZeroSubject planted(std::string_view key, std::function<IndicatorPtr(std::size_t)> make,
                    const ZeroWindowListing* listing = nullptr) {
  ZeroSubject s;
  s.key = key;
  s.build = [make](const std::vector<double>& p) { return make(static_cast<std::size_t>(p[0])); };
  s.parameter_sets = {{5}};
  s.kinds = {Kind::Integer};
  s.listing = listing;
  return s;
}

// The faults on each stretch, by its name.
std::size_t faults_on(const std::vector<std::string>& faults, StretchKind kind) {
  std::size_t n = 0;
  for (const std::string& f : faults) n += f.find(", " + std::string(stretch_name(kind)) + ":") != std::string::npos;
  return n;
}

TEST(ZeroWindowSweep, NamesARatioOfResiduesOnEveryFeedWhereItsTermsAreZero) {
  struct Case {
    const char* feed;
    Terms terms;
    bool on_halt, on_flat_volume, on_quiet_moves;  // where a window of a term holds only zeros
  };
  const Case cases[] = {{"candles", close_moves, true, true, false},
                        {"prints", print_flow, true, true, true},
                        {"cross-section", cross_changes, true, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.feed);
    for (const bool settles : {false, true}) {
      const auto faults = zero_window_faults(
          planted("Planted", [&](std::size_t n) { return std::make_unique<PlantedRatio>(n, settles, false, c.terms); }),
          histories(), false);
      // Each history leaves a residue in at least one of the sums.
      EXPECT_EQ(faults_on(faults, StretchKind::kHalt) > 0, c.on_halt && !settles);
      EXPECT_EQ(faults_on(faults, StretchKind::kFlatVolume) > 0, c.on_flat_volume && !settles);
      EXPECT_EQ(faults_on(faults, StretchKind::kQuietMoves) > 0, c.on_quiet_moves && !settles);
    }
  }
}

// (close - SMA(close)) / EMA(true range): on a halt the numerator is the
// residue of an average of copies of the close, unless the average of equal
// closes is taken as the close itself.
class PlantedDrift final : public Indicator {
 public:
  PlantedDrift(std::size_t n, bool exact) : n_(n), exact_(exact), alpha_(2.0 / (static_cast<double>(n) + 1.0)) {}
  std::optional<double> update(const BarSnapshot& bar) override {
    const Candle& c = *bar.candle;
    const double tr = std::isnan(prev_) ? c.high - c.low
                                        : std::max(c.high, prev_) - std::min(c.low, prev_);
    prev_ = c.close;
    atr_ = std::isnan(atr_) ? tr : atr_ + alpha_ * (tr - atr_);
    closes_.push_back(c.close);
    sum_ = c.close + sum_;
    if (closes_.size() > n_) {
      sum_ = sum_ - closes_.front();
      closes_.pop_front();
    }
    if (closes_.size() < n_) return std::nullopt;
    bool equal = true;
    for (const double x : closes_) equal = equal && x == c.close;
    const double average = exact_ && equal ? c.close : sum_ / static_cast<double>(n_);
    if (atr_ == 0.0) return 0.0;
    return (c.close - average) / atr_;
  }
  std::uint64_t warmup_period() const override { return n_; }

 private:
  std::size_t n_;
  bool exact_;
  double alpha_, prev_ = NAN, atr_ = NAN, sum_ = 0.0;
  std::deque<double> closes_;
};

ZeroSubject planted_drift(bool exact, std::string_view memory_reason) {
  ZeroSubject s = planted("Drift", [exact](std::size_t n) { return std::make_unique<PlantedDrift>(n, exact); });
  s.memory_reason = memory_reason;
  return s;
}

TEST(ZeroWindowSweep, NamesAResidueDividedByAnAverageThatDecays) {
  for (const bool exact : {false, true}) {
    const auto faults = zero_window_faults(planted_drift(exact, "an exponential average of the true range"),
                                           histories(), false);
    // Past the stretch's first bars the average sinks below any residue:
    // the quotient grows past any bound, or overflows.
    EXPECT_EQ(faults.empty(), exact);
    EXPECT_EQ(faults_on(faults, StretchKind::kHalt), faults.size());
    for (const std::string& f : faults) {
      EXPECT_TRUE(f.find("grows without bound") != std::string::npos || f.find("inf") != std::string::npos) << f;
    }
  }
}

// The list of memories stays exact: a memory the moving probe sees must be
// listed, and a listed one must be seen on some parameter set (unless the
// sets tried are not all of them).
TEST(ZeroWindowSweep, AMemoryListIsExactBothWays) {
  const auto unlisted = zero_window_faults(planted_drift(true, ""), histories(), false);
  ASSERT_EQ(unlisted.size(), 1u);
  EXPECT_NE(unlisted[0].find("Drift [5]"), std::string::npos) << unlisted[0];
  EXPECT_NE(unlisted[0].find("not listed as a memory"), std::string::npos) << unlisted[0];

  ZeroSubject ratio = planted(
      "Ratio", [](std::size_t n) { return std::make_unique<PlantedRatio>(n, true, false, close_moves); });
  EXPECT_TRUE(zero_window_faults(ratio, histories(), false).empty());
  ratio.memory_reason = "planted";
  const auto stale = zero_window_faults(ratio, histories(), false);
  ASSERT_EQ(stale.size(), 1u);
  EXPECT_NE(stale[0].find("Ratio: listed as a memory (planted)"), std::string::npos) << stale[0];
  ratio.every_set = false;
  EXPECT_TRUE(zero_window_faults(ratio, histories(), false).empty());
}

// A listed last value: kept from the bar its window holds only zeros, or
// named when a residue moves it.
TEST(ZeroWindowSweep, AListedLastValueMustBeTheLastBarsWithANonzeroEntry) {
  // The first stretch bar moves nothing, so the window of the last n moves
  // holds only zeros from stretch bar n - 1 on.
  const ZeroWindowListing listing{"Kept", ZeroCase::kLastValue, "planted", {},
                                  [](std::span<const double> p) { return static_cast<std::size_t>(p[0]) - 1; },
                                  stretches({StretchKind::kHalt, StretchKind::kFlatVolume})};
  for (const bool settles : {false, true}) {
    const auto faults = zero_window_faults(
        planted("Kept", [&](std::size_t n) { return std::make_unique<PlantedRatio>(n, settles, true, close_moves); },
                &listing),
        histories(), false);
    EXPECT_EQ(faults.empty(), settles) << (faults.empty() ? "" : faults[0]);
    for (const std::string& f : faults) EXPECT_NE(f.find("is not kept"), std::string::npos) << f;
  }
}

// close - SMA(close), scaled: the residue itself passes as listed; a
// million times it does not.
class PlantedGap final : public Indicator {
 public:
  PlantedGap(std::size_t n, double scale) : n_(n), scale_(scale) {}
  std::optional<double> update(const BarSnapshot& bar) override {
    const double c = bar.candle->close;
    closes_.push_back(c);
    sum_ = c + sum_;
    if (closes_.size() > n_) {
      sum_ = sum_ - closes_.front();
      closes_.pop_front();
    }
    if (closes_.size() < n_) return std::nullopt;
    return (c - sum_ / static_cast<double>(n_)) * scale_;
  }
  std::uint64_t warmup_period() const override { return n_; }

 private:
  std::size_t n_;
  double scale_, sum_ = 0.0;
  std::deque<double> closes_;
};

TEST(ZeroWindowSweep, AListedResidueStaysWithinAFewUnitsOfTheLargestPrice) {
  const ZeroWindowListing listing{"Gap", ZeroCase::kFewUlps, "planted"};
  for (const double scale : {1.0, 1e6}) {
    const auto faults = zero_window_faults(
        planted("Gap", [&](std::size_t n) { return std::make_unique<PlantedGap>(n, scale); }, &listing), histories(),
        false);
    EXPECT_EQ(faults.empty(), scale == 1.0) << (faults.empty() ? "" : faults[0]);
  }
  // Unlisted, the residue itself is named: its fresh value is 0.
  EXPECT_FALSE(zero_window_faults(planted("Gap", [](std::size_t n) { return std::make_unique<PlantedGap>(n, 1.0); }),
                                  histories(), false)
                   .empty());
}

// The mean size of the last n moves of the close, from a running sum rebuilt
// exactly from the window every n pushes (the first after n - phase):
// once the window holds only zeros, the sum holds a residue until the next
// rebuild clears it. With `settles`, a window of zeros reads exactly 0.
class PlantedRebuiltMean final : public Indicator {
 public:
  PlantedRebuiltMean(std::size_t n, bool settles, std::size_t phase)
      : n_(n), settles_(settles), pushes_(phase % n) {}
  std::optional<double> update(const BarSnapshot& bar) override {
    const double c = bar.candle->close;
    const double size = std::isnan(last_) ? 0.0 : std::abs(c - last_);
    last_ = c;
    sizes_.push_back(size);
    sum_ = size + sum_;
    if (sizes_.size() > n_) {
      sum_ = sum_ - sizes_.front();
      sizes_.pop_front();
    }
    zeros_ = size != 0.0 ? 0 : zeros_ + 1;
    if (++pushes_ == n_) {
      sum_ = 0.0;
      for (const double x : sizes_) sum_ = sum_ + x;
      pushes_ = 0;
    }
    if (sizes_.size() < n_) return std::nullopt;
    return (settles_ && zeros_ >= n_ ? 0.0 : sum_) / static_cast<double>(n_);
  }
  std::uint64_t warmup_period() const override { return n_; }

 private:
  std::size_t n_;
  bool settles_;
  std::size_t pushes_;
  double last_ = NAN, sum_ = 0.0;
  std::size_t zeros_ = 0;
  std::deque<double> sizes_;
};

// At the sweep's own windows the rebuild clears the residue before the
// comparison starts, whatever its phase. At kLongWindow one history misses it
// at some phase of the rebuilds, and histories a stagger apart name it at
// every phase.
TEST(ZeroWindowSweep, ARebuiltSumsResidueIsNamedAtALongWindowAfterStaggeredHistories) {
  const auto mean = [](bool settles, std::size_t phase) {
    return planted("Rebuilt", [settles, phase](std::size_t n) {
      return std::make_unique<PlantedRebuiltMean>(n, settles, phase);
    });
  };
  std::size_t missed_by_one_phase = 0;
  const std::size_t window = static_cast<std::size_t>(kLongWindow);
  for (std::size_t phase = 0; phase < window; phase += 4) {
    SCOPED_TRACE("phase " + std::to_string(phase));
    ZeroSubject short_window = mean(false, phase);
    EXPECT_TRUE(zero_window_faults(short_window, histories(), false).empty());
    ZeroSubject one_phase = mean(false, phase);
    one_phase.parameter_sets = {{kLongWindow}};
    missed_by_one_phase += zero_window_faults(one_phase, histories(), false).empty();
    for (const bool settles : {false, true}) {
      ZeroSubject staggered = mean(settles, phase);
      staggered.parameter_sets = {{kLongWindow}};
      staggered.stagger = kHistoryStagger;
      const auto faults = zero_window_faults(staggered, histories(), false);
      EXPECT_EQ(faults.empty(), settles) << (faults.empty() ? "" : faults[0]);
    }
  }
  EXPECT_GT(missed_by_one_phase, 0u);
}

// A set listed as diverging is tried for nothing; the others still are.
TEST(ZeroWindowSweep, ADivergingSetIsSkippedAndOnlyIt) {
  ZeroSubject gap = planted("Gap", [](std::size_t n) { return std::make_unique<PlantedGap>(n, 1e6); });
  gap.parameter_sets = {{5}, {6}};
  const auto both = zero_window_faults(gap, histories(), false);
  gap.diverging = {{5}};
  const auto six = zero_window_faults(gap, histories(), false);
  EXPECT_FALSE(six.empty());
  EXPECT_LT(six.size(), both.size());
  for (const std::string& f : six) EXPECT_EQ(f.find("Gap [5]"), std::string::npos) << f;
  gap.diverging = {{5}, {6}};
  EXPECT_TRUE(zero_window_faults(gap, histories(), false).empty());
}

}  // namespace
}  // namespace fendro::reference
