// The price profile of a window of candles: the window's low L and high H cut
// into `bins` equal bins, each candle's volume spread evenly over the bins
// its low-to-high range covers, and the readings taken from that histogram
// (point of control, value area, volume nodes, single prints).
//
// The histogram is kept as runs of adjacent bins covered by the same
// candles: every bin of a run holds the same volume (the same additions in
// the same order), so the readings are exactly those of a bin-by-bin
// histogram while memory and time follow the number of candles, not `bins`.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro::volume {

// What a profile reads of a candle.
struct ProfileBar {
  double low;
  double high;
  double volume;
};

inline ProfileBar profile_bar(const Candle& c) { return {c.low, c.high, c.volume}; }

// period or bins 0 gives ZeroPeriod. No upper bound: windows grow with the
// bars seen and the histogram's size follows the window, not `bins`.
inline Status<IndicatorError> check_period_and_bins(std::uint64_t period, std::uint64_t bins) {
  if (period == 0 || bins == 0) return err(IndicatorError::zero_period());
  return Unit{};
}

// Appends the candle to a rolling window (the oldest bar leaves when it is
// full); true once the window holds all its bars.
inline bool roll(BoundedRing<ProfileBar>& window, const Candle& c) {
  window.push(profile_bar(c));
  return window.is_full();
}

// The bars of a window, oldest first, in up to two runs.
struct ProfileBars {
  std::span<const ProfileBar> older;
  std::span<const ProfileBar> newer;

  static ProfileBars of(const BoundedRing<ProfileBar>& ring) { return {ring.older(), ring.newer()}; }
  static ProfileBars of(std::span<const ProfileBar> block) { return {block, {}}; }

  template <class F>
  void for_each(F&& f) const {
    for (const ProfileBar& b : older) f(b);
    for (const ProfileBar& b : newer) f(b);
  }
  // f on the bars in order until it gives true; whether it did.
  template <class F>
  bool any_of(F&& f) const {
    for (const ProfileBar& b : older) {
      if (f(b)) return true;
    }
    for (const ProfileBar& b : newer) {
      if (f(b)) return true;
    }
    return false;
  }
};

// L, H and the bins between them.
struct BinGrid {
  double low = 0.0;   // L
  double high = 0.0;  // H
  double width = 0.0;  // (H - L) / bins
  std::uint64_t bins = 1;

  // L and H of the bars (at least one), and the bin width. The scan of a
  // long window is noted with the command's scope first (see stop_before):
  // nothing when told to stop.
  static std::optional<BinGrid> of(const ProfileBars& bars, std::uint64_t bins);

  // A window whose range is not above 0 is flat: it is not spread over bins.
  bool flat() const { return !(high - low > 0.0); }

  // floor((p - L) / w) limited to 0 ..= bins - 1, clamped in floating point
  // (the quotient is NaN or far out of range when the width underflows or
  // the range overflows; NaN gives 0). Below those limits the floor of the
  // positive quotient is its truncation.
  std::uint64_t index(double price) const {
    const double q = (price - low) / width;
    if (!(q >= 1.0)) return 0;
    if (q >= static_cast<double>(bins - 1)) return bins - 1;
    return static_cast<std::uint64_t>(q);
  }
  // L + w * (i + 0.5), L + w * i.
  double center(std::uint64_t i) const { return low + width * (static_cast<double>(i) + 0.5); }
  double edge(std::uint64_t i) const { return low + width * static_cast<double>(i); }
};

// The histogram of a window that is not flat, as runs of equal bins.
class BinRuns {
 public:
  // Spreads the bars, oldest first: a bar with volume adds volume / (b - a + 1)
  // to each bin from the index a of its low to the index b of its high; every
  // bar, with volume or without, counts once in each bin it covers. A long
  // window or many bins make this long work: it is noted with the command's
  // scope as it goes, and so is a walk of the runs for the readings that
  // follow (kReadingSteps a run; a dearer reading notes the rest itself; see
  // stop_before). True: told to stop; the runs are then incomplete and the
  // bar gives no value.
  bool stop_after_build(const BinGrid& grid, const ProfileBars& bars);

  // Steps of each run that the readings after a build are counted in it.
  static constexpr std::uint64_t kReadingSteps = 2;

  std::size_t size() const { return starts_.size(); }
  std::uint64_t start(std::size_t j) const { return starts_[j]; }
  std::uint64_t end(std::size_t j) const { return j + 1 < starts_.size() ? starts_[j + 1] : bins_; }
  double volume(std::size_t j) const { return volume_[j]; }
  std::uint64_t cover(std::size_t j) const { return cover_[j]; }
  // The run holding bin i.
  std::size_t run_of(std::uint64_t i) const;

 private:
  struct Span {
    std::uint64_t a;  // bin of the bar's low
    std::uint64_t b;  // bin of the bar's high
  };
  // Below this many bins beyond twice the bars, every bin is its own run.
  static constexpr std::uint64_t kDirectBins = 64;
  bool stop_after_direct(const BinGrid& grid, const ProfileBars& bars);
  void spread(double volume, Span s, std::size_t first, std::size_t last);
  std::vector<std::uint64_t> starts_;  // first bin of each run, ascending; starts_[0] = 0
  std::vector<std::uint64_t> merged_;  // scratch: merging the sorted starts of a long window
  std::vector<double> volume_;         // volume of each bin of the run
  std::vector<std::uint64_t> cover_;   // bars covering each bin of the run
  std::vector<Span> spans_;            // bin range of each bar (scratch)
  std::uint64_t bins_ = 1;
};

// The point of control: the first bin of largest volume (a later bin wins
// only when strictly larger).
std::uint64_t point_of_control(const BinRuns& runs);

// The bin of least volume among those with volume above 0 (the first of
// equals), or `fallback` when no bin has volume.
std::uint64_t low_volume_node(const BinRuns& runs, std::uint64_t fallback);

// The value area: from the point of control, bins are added one at a time,
// the neighbour above or below with more volume (a tie goes up), until the
// area holds `fraction` of the total volume or spans every bin. Over many
// runs this is long work, noted with the command's scope as it goes: nothing
// when told to stop.
struct ValueAreaBins {
  std::uint64_t low;   // lowest bin of the area
  std::uint64_t high;  // highest bin of the area
};
std::optional<ValueAreaBins> value_area(const BinRuns& runs, std::uint64_t poc, double fraction);

// The number of bins covered by exactly one bar.
std::uint64_t single_print_bins(const BinRuns& runs);

}  // namespace fendro::volume
