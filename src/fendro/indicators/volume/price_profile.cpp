#include "fendro/indicators/volume/price_profile.hpp"

#include <algorithm>

#include "fendro/indicators/volume/repeated_sum.hpp"

namespace fendro::volume {

BinGrid BinGrid::of(const ProfileBars& bars, std::uint64_t bins) {
  BinGrid g;
  const ProfileBar& first = bars.older.empty() ? bars.newer.front() : bars.older.front();
  g.low = first.low;
  g.high = first.high;
  bars.for_each([&g](const ProfileBar& b) {
    g.low = std::min(g.low, b.low);
    g.high = std::max(g.high, b.high);
  });
  g.bins = bins;
  g.width = (g.high - g.low) / static_cast<double>(bins);
  return g;
}

void BinRuns::build(const BinGrid& grid, const ProfileBars& bars) {
  bins_ = grid.bins;
  const std::uint64_t n = bars.older.size() + bars.newer.size();
  // Few bins for the bars: one run per bin, filled directly (no sorting).
  if (bins_ <= 2 * n + kDirectBins) {
    build_direct(grid, bars);
    return;
  }
  spans_.clear();
  starts_.clear();
  starts_.push_back(0);
  bars.for_each([this, &grid](const ProfileBar& b) {
    const Span s{grid.index(b.low), grid.index(b.high)};
    spans_.push_back(s);
    starts_.push_back(s.a);
    if (s.b + 1 < bins_) starts_.push_back(s.b + 1);
  });
  std::sort(starts_.begin(), starts_.end());
  starts_.erase(std::unique(starts_.begin(), starts_.end()), starts_.end());
  volume_.assign(starts_.size(), 0.0);
  cover_.assign(starts_.size(), 0);

  std::size_t k = 0;
  bars.for_each([this, &k](const ProfileBar& b) {
    const Span s = spans_[k++];
    const auto first = std::lower_bound(starts_.begin(), starts_.end(), s.a);
    const auto last = std::upper_bound(first, starts_.end(), s.b);
    spread(b.volume, s, static_cast<std::size_t>(first - starts_.begin()),
           static_cast<std::size_t>(last - starts_.begin()));
  });
}

void BinRuns::build_direct(const BinGrid& grid, const ProfileBars& bars) {
  const auto bins = static_cast<std::size_t>(bins_);
  if (starts_.size() != bins || (bins > 0 && starts_.back() != bins - 1)) {
    starts_.resize(bins);
    for (std::size_t i = 0; i < bins; ++i) starts_[i] = i;
  }
  volume_.assign(bins, 0.0);
  cover_.assign(bins, 0);
  bars.for_each([this, &grid](const ProfileBar& b) {
    const Span s{grid.index(b.low), grid.index(b.high)};
    spread(b.volume, s, static_cast<std::size_t>(s.a), static_cast<std::size_t>(s.b) + 1);
  });
}

// Adds the bar to the runs [first, last): those from its low bin to its high bin.
void BinRuns::spread(double volume, Span s, std::size_t first, std::size_t last) {
  if (volume != 0.0) {
    const double share = volume / static_cast<double>(s.b - s.a + 1);
    for (std::size_t j = first; j < last; ++j) volume_[j] = volume_[j] + share;
  }
  for (std::size_t j = first; j < last; ++j) ++cover_[j];
}

std::size_t BinRuns::run_of(std::uint64_t i) const {
  return static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), i) -
                                  starts_.begin()) -
         1;
}

std::uint64_t point_of_control(const BinRuns& runs) {
  std::size_t best = 0;
  for (std::size_t j = 1; j < runs.size(); ++j) {
    if (runs.volume(j) > runs.volume(best)) best = j;
  }
  return runs.start(best);
}

std::uint64_t low_volume_node(const BinRuns& runs, std::uint64_t fallback) {
  std::size_t best = runs.size();
  for (std::size_t j = 0; j < runs.size(); ++j) {
    const double v = runs.volume(j);
    if (v > 0.0 && (best == runs.size() || v < runs.volume(best))) best = j;
  }
  return best == runs.size() ? fallback : runs.start(best);
}

ValueAreaBins value_area(const BinRuns& runs, std::uint64_t poc, double fraction) {
  // Total volume: every bin added in index order (bins without volume add nothing).
  double total = 0.0;
  for (std::size_t j = 0; j < runs.size(); ++j) {
    if (runs.volume(j) > 0.0) {
      total = add_repeatedly(total, runs.volume(j), runs.end(j) - runs.start(j)).sum;
    }
  }
  const double target = total * fraction;
  const std::uint64_t top = runs.end(runs.size() - 1) - 1;
  std::size_t up_run = runs.run_of(poc);
  std::size_t down_run = up_run;
  double area = runs.volume(up_run);
  ValueAreaBins edges{poc, poc};
  while (area < target) {
    const bool has_up = edges.high < top;
    const bool has_down = edges.low > 0;
    if (!has_up && !has_down) break;
    // The run just beyond each edge. While both stay the same, every step
    // takes the same side, so a whole stretch of that run is taken at once.
    if (has_up && edges.high + 1 == runs.end(up_run)) ++up_run;
    if (has_down && edges.low == runs.start(down_run)) --down_run;
    const double up = has_up ? runs.volume(up_run) : 0.0;
    const double down = has_down ? runs.volume(down_run) : 0.0;
    if (has_up && (!has_down || up >= down)) {
      const RepeatedSum r = add_repeatedly(area, up, runs.end(up_run) - (edges.high + 1), target);
      area = r.sum;
      edges.high += r.additions;
    } else {
      const RepeatedSum r = add_repeatedly(area, down, edges.low - runs.start(down_run), target);
      area = r.sum;
      edges.low -= r.additions;
    }
  }
  return edges;
}

std::uint64_t single_print_bins(const BinRuns& runs) {
  std::uint64_t n = 0;
  for (std::size_t j = 0; j < runs.size(); ++j) {
    if (runs.cover(j) == 1) n += runs.end(j) - runs.start(j);
  }
  return n;
}

}  // namespace fendro::volume
