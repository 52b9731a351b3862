// The generated sweep of zero_windows.hpp: every key at its customary
// parameters and with each whole-number parameter at 1, 2 and 5, after two
// histories (one ending near 20, one near 20000), on each stretch.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "reference/unbounded_ends.hpp"
#include "reference/zero_stretches.hpp"
#include "reference/zero_windows.hpp"

namespace fendro::reference {

// A history and its name.
struct NamedHistory {
  std::string name;
  std::vector<testing::Bar> bars;
};
// The two histories, long enough for any window the sweep builds.
std::vector<NamedHistory> residue_histories();

// Bars of a halt after which an average that decays has sunk far into the
// subnormal numbers: where a residue divided by it has grown without bound.
inline constexpr std::size_t kLongHalt = 3200;
// Bars compared past the longest window on the shorter stretches.
inline constexpr std::size_t kTail = 24;

// A sum rebuilt every n pushes keeps its residue for fewer than n bars once
// its window holds only zeros, and the comparison starts some bars past the
// longest window: the residue still stands there only when the window is
// longer than that margin and the rebuild comes late enough. So the sweep
// can try each whole-number parameter at kLongWindow, with each history
// kHistoryStagger bars (half that window) shorter than the one before: the
// stretch then meets the rebuilds at two phases half a window apart, and a
// residue read until the rebuild stands where it is compared at one of them.
inline constexpr double kLongWindow = 64;
inline constexpr std::size_t kHistoryStagger = 32;

// What the sweep tries: a type, how it is built, the parameter sets, and
// what its row says of it.
struct ZeroSubject {
  std::string_view key;
  std::string_view value_text;  // the row's value, whose stated ranges a kept state must hold
  std::function<IndicatorPtr(const std::vector<double>&)> build;  // null when refused
  std::vector<std::vector<double>> parameter_sets;
  std::vector<Kind> kinds;
  const ZeroWindowListing* listing = nullptr;
  // What remembers, when the key is listed as a memory the moving probe sees
  // (remembering_keys); "" when the probe must see none.
  std::string_view memory_reason;
  // Whether `parameter_sets` are all the sweep tries: only then must a
  // listed memory show on one of them.
  bool every_set = true;
  // Sets listed as diverging (diverging_sets): tried for nothing.
  std::vector<std::vector<double>> diverging;
  // Whether a memory the moving probe sees must be the one listed; a window
  // of kLongWindow moves its sums' rounding past what the probe allows.
  bool memory_listed = true;
  // How many bars shorter each history is than the one before.
  std::size_t stagger = 0;
};

// A registry row as the sweep tries it; `only`, when not empty, replaces
// the generated parameter sets.
ZeroSubject registry_subject(const registry::Entry& row, const std::vector<std::vector<double>>& only = {});
// The row at its customary parameters and each whole-number one at
// kLongWindow, after histories kHistoryStagger apart; its memory is not
// held to the listing.
ZeroSubject rebuild_phase_subject(const registry::Entry& row);

// A type that, tried so, still reads a residue on a window of zeros or
// copies until its sums are next rebuilt, with the reason: each listed key
// must still do so, so a mended one leaves the list.
struct RebuildPhaseListing {
  std::string_view key;
  std::string_view reason;
};
std::span<const RebuildPhaseListing> rebuild_phase_listings();

// The faults of one subject over the sweep, one line each: where a value read
// on a window of zeros is not the zero case as its listing (or its absence)
// asks, and where the moving probe finds a memory its `memory_reason` does
// not list, or none that it lists. With `report`, every parting seen is
// printed to stderr.
std::vector<std::string> zero_window_faults(const ZeroSubject& subject, const std::vector<NamedHistory>& histories,
                                            bool report);

}  // namespace fendro::reference
