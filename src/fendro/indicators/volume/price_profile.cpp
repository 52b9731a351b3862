#include "fendro/indicators/volume/price_profile.hpp"

#include <algorithm>
#include <bit>

#include "fendro/indicators/common/paced_lists.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/volume/repeated_sum.hpp"

namespace fendro::volume {
namespace {

// Steps of a bar in the scan for the grid (two chains of extremes), of
// placing a bar (its two bins) and of each halving of its binary searches
// for its runs.
constexpr std::uint64_t kGridSteps = 3;
constexpr std::uint64_t kBarSteps = 12;
constexpr std::uint64_t kSearchSteps = 8;

// Walks over the bars or the runs cost little while they stay in the core's
// own cache and are bound by memory once they do not: the steps of one entry
// of such a walk, in quarters.
std::uint64_t walk_quarter_steps(std::uint64_t entries, std::size_t entry_bytes) {
  constexpr std::uint64_t kCoreCacheBytes = std::uint64_t{2} << 20;
  return entries * entry_bytes <= kCoreCacheBytes ? 2 : 8;
}

// Bytes of a run: its volume and its cover.
constexpr std::size_t kRunBytes = sizeof(double) + sizeof(std::uint64_t);

// Steps of clearing an entry of a run's list: a long list's first clearing
// touches fresh memory.
constexpr std::uint64_t kClearingSteps = 2;

// `place` (which handles one bar and gives the steps it took) on every bar,
// in order. A walk that may reach `most_steps` in all, enough to be noted,
// counts its steps as it goes; a short one counts nothing. True: told to
// stop.
template <class Place>
bool paced_walk(const ProfileBars& bars, std::uint64_t most_steps, Place&& place) {
  if (most_steps < kUnnotedSteps) {
    bars.for_each([&place](const ProfileBar& b) { place(b); });
    return false;
  }
  StepTally tally;
  return bars.any_of([&](const ProfileBar& b) { return tally.stop_after(place(b)); });
}

// Steps of adding a run's volume over its bins: a few additions, or the
// stretches of a long run taken at once.
constexpr std::uint64_t kLongAddition = 5;
constexpr std::uint64_t addition_steps(std::uint64_t k) { return k < kLongAddition ? k : 48; }

// Counts nothing: the walks over a few runs.
struct NoTally {
  static constexpr bool stop_after(std::uint64_t) { return false; }
};

}  // namespace

std::optional<BinGrid> BinGrid::of(const ProfileBars& bars, std::uint64_t bins) {
  if (stop_before(kGridSteps * (bars.older.size() + bars.newer.size()))) return std::nullopt;
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

bool BinRuns::stop_after_build(const BinGrid& grid, const ProfileBars& bars) {
  bins_ = grid.bins;
  const std::uint64_t n = bars.older.size() + bars.newer.size();
  // Few bins for the bars: one run per bin, filled directly (no sorting).
  if (bins_ <= 2 * n + kDirectBins) return stop_after_direct(grid, bars);
  spans_.clear();
  starts_.clear();
  // At full size from the first bar: a long window's lists are then
  // touched a bar at a time, never copied as they grow.
  spans_.reserve(n);
  starts_.reserve(2 * n + 1);
  starts_.push_back(0);
  const bool stop = paced_walk(bars, kBarSteps * n, [&](const ProfileBar& b) {
    const Span s{grid.index(b.low), grid.index(b.high)};
    spans_.push_back(s);
    starts_.push_back(s.a);
    if (s.b + 1 < bins_) starts_.push_back(s.b + 1);
    return kBarSteps;
  });
  if (stop || stop_after_sort(starts_, merged_)) return true;
  starts_.erase(std::unique(starts_.begin(), starts_.end()), starts_.end());
  const std::uint64_t runs = starts_.size();
  if (stop_after_assign(volume_, runs, 0.0, kClearingSteps) ||
      stop_after_assign(cover_, runs, std::uint64_t{0}, kClearingSteps)) {
    return true;
  }

  const std::uint64_t search_steps = kSearchSteps * std::bit_width(runs);
  const std::uint64_t quarters = walk_quarter_steps(runs, kRunBytes);
  std::size_t k = 0;
  return paced_walk(bars, n * (search_steps + runs * quarters / 4), [&](const ProfileBar& b) {
    const Span s = spans_[k++];
    const auto first = std::lower_bound(starts_.begin(), starts_.end(), s.a);
    const auto last = std::upper_bound(first, starts_.end(), s.b);
    spread(b.volume, s, static_cast<std::size_t>(first - starts_.begin()),
           static_cast<std::size_t>(last - starts_.begin()));
    return search_steps + static_cast<std::uint64_t>(last - first) * quarters / 4;
  }) || stop_before(kReadingSteps * runs);
}

bool BinRuns::stop_after_direct(const BinGrid& grid, const ProfileBars& bars) {
  const auto bins = static_cast<std::size_t>(bins_);
  if (starts_.size() != bins || (bins > 0 && starts_.back() != bins - 1)) {
    if (stop_before(kClearingSteps * bins)) return true;
    starts_.resize(bins);
    for (std::size_t i = 0; i < bins; ++i) starts_[i] = i;
  }
  const std::uint64_t quarters = walk_quarter_steps(bins_, kRunBytes);
  const std::uint64_t n = bars.older.size() + bars.newer.size();
  const auto place = [&](const ProfileBar& b) {
    const Span s{grid.index(b.low), grid.index(b.high)};
    spread(b.volume, s, static_cast<std::size_t>(s.a), static_cast<std::size_t>(s.b) + 1);
    return kBarSteps + (s.b - s.a + 1) * quarters / 4;
  };
  // At the most every bar covers every bin.
  const std::uint64_t most = n * (kBarSteps + bins_ * quarters / 4) + (2 * kClearingSteps + kReadingSteps) * bins_;
  if (most < kUnnotedSteps) {
    volume_.assign(bins, 0.0);
    cover_.assign(bins, 0);
    bars.for_each(place);
    return false;
  }
  if (stop_after_assign(volume_, bins, 0.0, kClearingSteps) ||
      stop_after_assign(cover_, bins, std::uint64_t{0}, kClearingSteps)) {
    return true;
  }
  return paced_walk(bars, most, place) || stop_before(kReadingSteps * bins_);
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

namespace {

template <class Tally>
std::optional<ValueAreaBins> walk_value_area(const BinRuns& runs, std::uint64_t poc, double fraction,
                                             Tally& tally) {
  // Total volume: every bin added in index order (bins without volume add nothing).
  double total = 0.0;
  for (std::size_t j = 0; j < runs.size(); ++j) {
    if (runs.volume(j) > 0.0) {
      const std::uint64_t k = runs.end(j) - runs.start(j);
      total = add_repeatedly(total, runs.volume(j), k).sum;
      if (tally.stop_after(addition_steps(k))) return std::nullopt;
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
      if (tally.stop_after(addition_steps(r.additions))) return std::nullopt;
    } else {
      const RepeatedSum r = add_repeatedly(area, down, edges.low - runs.start(down_run), target);
      area = r.sum;
      edges.low -= r.additions;
      if (tally.stop_after(addition_steps(r.additions))) return std::nullopt;
    }
  }
  return edges;
}

}  // namespace

std::optional<ValueAreaBins> value_area(const BinRuns& runs, std::uint64_t poc, double fraction) {
  // Each run is added to the total once and to the area at most twice (a
  // stretch of it each side): a few runs cannot add up to a note.
  if (3 * runs.size() * addition_steps(kLongAddition) < kUnnotedSteps) {
    NoTally none;
    return walk_value_area(runs, poc, fraction, none);
  }
  StepTally tally;
  return walk_value_area(runs, poc, fraction, tally);
}

std::uint64_t single_print_bins(const BinRuns& runs) {
  std::uint64_t n = 0;
  for (std::size_t j = 0; j < runs.size(); ++j) {
    if (runs.cover(j) == 1) n += runs.end(j) - runs.start(j);
  }
  return n;
}

}  // namespace fendro::volume
