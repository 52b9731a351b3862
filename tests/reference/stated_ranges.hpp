// The ranges a row's value text states ("0 to 100", "from -1 to 1"), read
// back and judged against what the type gives. Every "A to B" of two
// numbers in a value text is either a range of the value or of named
// outputs, listed in range_claims(), or one that bounds something else
// (hours, weights, a ratio the type tests), listed in other_spans(); a
// phrase in neither fails, so a new row's range cannot go untried. Where the
// arithmetic steps past a bound, the text says by how much, right after the
// phrase: "passing 100 by a unit in the last place when ..." or "by N units
// in the last place"; the reach measured must be exactly that. Where it
// steps further, as a running sum's rounding can carry a ratio, the phrase
// is followed by " in exact arithmetic" and the text says why: the check
// then asks that some value does pass it by more than a few units. Each
// bound must be reached, or passed: one that a type only approaches (a
// ratio that nears 1 as its window grows) is listed in unreached_bounds()
// with the reason, and must then stay unreached.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fendro::reference {

// One "A to B" of two numbers, where `at` is its offset in the text.
struct RangePhrase {
  std::string text;
  double low = 0.0, high = 0.0;
  std::size_t at = 0;
};
std::vector<RangePhrase> range_phrases(std::string_view text);

// One "passing B by a unit in the last place" (or "by N units in the last
// place"; "passing A and B by ..." gives both): how far the text says the
// value steps past bound B.
struct StatedExcursion {
  double bound = 0.0;
  std::uint64_t ulps = 0;
  std::size_t at = 0;
};
std::vector<StatedExcursion> stated_excursions(std::string_view text);

// A range that a row states: which of its outputs it bounds, by name, comma
// separated; empty for the bar's value.
struct RangeClaim {
  std::string_view key, phrase, outputs;
};
std::span<const RangeClaim> range_claims();

// An "A to B" that is not a range of what the type gives.
struct OtherSpan {
  std::string_view key, phrase;
};
std::span<const OtherSpan> other_spans();

// A bound of a listed range that the type approaches and never reaches,
// with the reason.
struct UnreachedBound {
  std::string_view key, phrase;
  double bound = 0.0;
  std::string_view reason;
};
std::span<const UnreachedBound> unreached_bounds();

// What a value text's phrases claim, each with the excursions it states
// past its low and its high bound (the excursions that follow it before
// the next phrase).
struct Claimed {
  RangePhrase range;
  std::string_view outputs;
  std::uint64_t ulps_below = 0, ulps_above = 0;
  bool exact_only = false;  // "A to B in exact arithmetic"
  bool low_unreached = false, high_unreached = false;  // listed in unreached_bounds()
};

inline constexpr std::string_view kInExactArithmetic = " in exact arithmetic";
// The most units in the last place a stated range may be passed by.
inline constexpr std::uint64_t kFewUlps = 4;
struct ReadClaims {
  std::vector<Claimed> claims;
  std::vector<std::string> faults;  // a phrase neither listed nor set aside, an excursion of no bound
};
ReadClaims read_claims(std::string_view key, std::string_view text, std::span<const RangeClaim> table,
                       std::span<const OtherSpan> others, std::span<const UnreachedBound> unreached = {});

// The claims of the tables that no key's text holds (a stale listing).
std::vector<std::string> unheld_listings(std::span<const RangeClaim> table, std::span<const OtherSpan> others,
                                         const std::vector<std::pair<std::string, std::string>>& key_texts,
                                         std::span<const UnreachedBound> unreached = {});

// How far `v` lies past `bound`, in representable numbers: 0 at the bound or
// on its inner side. Any two doubles are fewer than 2^64 numbers apart, so
// the count is exact even from one end of the doubles to the other, across
// zero too. A NaN is counted by its bits, beyond the infinity of its sign:
// past every high bound when its sign bit is clear, past every low bound when
// it is set, and 0 against every bound of the other side; a caller that must
// not count one tests for it first.
std::uint64_t ulps_past(double v, double bound, bool above);

// The least and greatest value one output gave, and where.
struct Reach {
  double min = 0.0, max = 0.0;
  std::string min_at, max_at;
  std::uint64_t values = 0;
  void add(double v, std::string_view run, std::size_t bar);  // a NaN is not a value here
};

// The faults of one claim against what was measured for one of its
// outputs (`name`): a reach past a bound other than the stated one, a stated
// excursion not reached, a bound never reached (unless listed so) or a
// bound listed as never reached that is, no value at all.
std::vector<std::string> reach_faults(const Claimed& claim, std::string_view name, const Reach& reach);

}  // namespace fendro::reference
