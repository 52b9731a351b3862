// Whether a type reads its zero case once its windows hold only zeros. An
// instance fed a history that leaves rounding residue in its running sums
// and then a stretch (zero_stretches.hpp) is compared, bar by bar past its
// longest window, with a fresh instance fed the stretch alone: where every
// entry a window holds is zero, what the type computes from that window's
// sum must be what a window that never held anything else gives. Types that
// legitimately differ are listed with their reason (zero_window_table.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "indicators/all_feeds.hpp"
#include "reference/unbounded_ends.hpp"
#include "reference/zero_stretches.hpp"

namespace fendro::reference {

// What one bar gave: the value and each named output in the type's order.
struct BarGave {
  std::optional<double> value;
  std::vector<double> outputs;
};

// What an instance gave on each bar of a stretch, the output names, and the
// largest magnitude of a value or an output it gave on the history before.
struct Trace {
  std::vector<std::string_view> names;
  std::vector<BarGave> bars;
  double history_largest = 0.0;
};

// Steps `ind` over `history` (recording nothing), then over `stretch`.
Trace trace_over(Indicator& ind, std::span<const testing::Bar> history, std::span<const testing::Bar> stretch);

// How a listed type differs from a fresh instance on a stretch whose
// windows hold only zeros, and what is checked instead.
enum class ZeroCase {
  // (1) State outlasts every window (a recursion, a kept swing, a count):
  // finite, inside its stated range, not growing without bound on a long halt.
  kMemory,
  // (2) A residue of an average of copies of one value (a halted close, a
  // zero case such as 50), not divided up: within kFewUlpsOfScale units in the
  // last place of the magnitude the sums carried before the copies filled
  // them (`residue_of`).
  kFewUlps,
  // (2) A comparison of such an average with the price: either of its two
  // values (|h| equal to |f|).
  kSign,
  // (3) The zero case repeats the last value: on the stretches `zero_on`
  // names (where the windows it is read from hold zeros), from the bar its
  // windows hold only zeros on (`reach`, the stretch bars they span at
  // `params`), the value of the bar before. Elsewhere the type is checked as
  // if it were not listed.
  kLastValue,
};

// The magnitude a kFewUlps residue is counted in: the largest price of the
// history, that in percent of the stretch's close (a value in percent of an
// average of the close), or the largest value or output the instance gave on
// the history (a value not in price units).
enum class ResidueOf { kLargestPrice, kLargestPriceInPercentOfClose, kLargestValue };

// A set of stretch kinds.
constexpr unsigned stretches(std::initializer_list<StretchKind> kinds) {
  unsigned set = 0;
  for (const StretchKind k : kinds) set |= 1u << static_cast<unsigned>(k);
  return set;
}

struct ZeroWindowListing {
  std::string_view key;
  ZeroCase kind;
  std::string_view reason;
  ResidueOf residue_of = ResidueOf::kLargestPrice;          // kFewUlps
  std::size_t (*reach)(std::span<const double>) = nullptr;  // kLastValue
  unsigned zero_on = 0;                                     // kLastValue
};
std::span<const ZeroWindowListing> zero_window_listings();
const ZeroWindowListing* listing_of(std::string_view key, std::span<const ZeroWindowListing> table);

// The keys whose memory a moving market shows: an instance fed a history
// parts from a fresh one past its longest window on at least one generated
// parameter set. Exactly those keys, each with what remembers; they are
// checked as kMemory on the sets where the probe sees it.
struct RememberingKeys {
  std::string_view reason;
  std::span<const std::string_view> keys;
};
std::span<const RememberingKeys> remembering_keys();
// The reason `key` is listed with, or "" when it is not.
std::string_view memory_reason_of(std::string_view key);

// A parameter set at which a type diverges on any moving history (a filter
// whose pole lies outside the unit circle): its values say nothing of its
// windows, so it is listed and not checked.
struct DivergingSet {
  std::string_view key;
  std::span<const double> params;
  std::string_view reason;
};
std::span<const DivergingSet> diverging_sets();

// The bound of kFewUlps, in units of the last place of the largest magnitude
// of the history: a window of n copies keeps up to about n/2 units of the
// sums' roundings once the largest entries have left.
inline constexpr std::uint64_t kFewUlpsOfScale = 16;

// Units in the last place of `scale` (or of the larger of |a| and |b| when
// `scale` is 0) between a and b; the largest count for a NaN against a number
// or a value against none.
std::uint64_t ulps_apart(std::optional<double> a, std::optional<double> b, double scale);

// How close a history trace must stay to a fresh one.
struct Closeness {
  std::uint64_t ulps = 0;  // 0: to the bit
  double scale = 0.0;      // the magnitude whose last place counts (0: the larger value's own)
  // A nonzero value of a fresh instance may also be missed by the rounding a
  // running sum of nonzero entries keeps (a window of closes on a halt):
  // both values finite, nonzero, of one sign, kResidueUlps of the larger apart.
  bool nonzero_residue = false;
  bool sign_only = false;  // |h| and |f| to the bit
};
// A relative 1e-6: some 2^32 units in the last place. A ratio of two sums of
// nonzero moves loses some of its digits to cancellation; a value read from
// residues is off by far more.
inline constexpr std::uint64_t kResidueUlps = std::uint64_t{1} << 32;
bool close_enough(std::optional<double> h, std::optional<double> f, const Closeness& c);

// Where a history and a fresh trace first part, past `from`.
struct Parting {
  std::size_t bar = 0;  // stretch bar, 0-based
  std::string output;   // "" for the value
  std::optional<double> h, f;
};

// The first bar at or after `from` where the value or a named output of `h`
// and `f` are not close enough.
std::optional<Parting> first_parting(const Trace& h, const Trace& f, std::size_t from, const Closeness& c);

// The first bar at or after `from` whose value or an output differs from
// what `h` gave on bar `kept` (a value that is not kept).
std::optional<Parting> first_change(const Trace& h, std::size_t kept, std::size_t from);

// The stretch bar from which every window of `ind` (built at `params`) holds
// stretch bars only, with a margin: past the warm-up and past the sum of the
// whole-number parameters, the longest a chain of windows can reach back.
std::size_t settled_from(const Indicator& ind, std::span<const double> params, std::span<const Kind> kinds);

}  // namespace fendro::reference
