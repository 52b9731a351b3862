// The check of an interval's `inf` or `-inf` end: a parameter said to be
// unbounded must build far past the longest window. Each such build runs in
// a child process whose address space and CPU time are bounded, so a type
// that would fill a table as large as the value, or loop over it, fails the
// check instead of taking the machine's memory or the generator's time.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "reference/entry_doc_text.hpp"

namespace fendro::reference {

// A parameter is read as a whole number (a count, an i32 or a u32) or as any
// finite number.
enum class Kind { Integer, Number };

// Parameter i's kind, by the reader that refuses 1.5 in its place (the
// others at their customary values).
Kind kind_of(const registry::Entry& row, std::size_t i);

// What one child may take beyond what the generator holds when it forks.
struct ChildLimits {
  std::size_t headroom_bytes;  // ignored under AddressSanitizer (its shadow needs the space)
  unsigned cpu_seconds;
};
inline constexpr ChildLimits kBuildLimits{std::size_t{256} << 20, 30};

// The faults of parameter i's unbounded ends, one line each, nothing when
// they hold. An end is tried one past the longest window (16777217) and at
// 2^31 for a whole number or 1e300 for any number (negated for -inf), with
// the other parameters at their customary values. Where parameter i has a
// note (a rule between parameters) and that build is refused, it is built
// again with every other parameter of its kind that is unbounded the same
// way at four times the value, so that a rule such as "below `slow`" can
// be met.
std::vector<std::string> unbounded_end_faults(const registry::Entry& row, std::size_t i,
                                              const std::vector<ParamText>& params,
                                              const std::vector<Kind>& kinds,
                                              ChildLimits limits = kBuildLimits);

}  // namespace fendro::reference
