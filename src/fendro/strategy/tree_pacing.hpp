// Pacing of the passes over what a strategy declares, whose length the
// strategy alone sets: reading its rules and records, checking them,
// compiling them, measuring how far back they read, freeing them. Each pass
// tells the thread's scope of every node it visits, and the scope asks the
// command's interrupt every few milliseconds; once told to stop, a pass
// gives up at once and the command ends as stopped. Outside every scope
// nothing is asked and nothing stops.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fendro/util/free_later.hpp"
#include "fendro/util/huge_pages.hpp"
#include "fendro/util/interrupt.hpp"
#include "fendro/util/paced_copy.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/util/small_frees.hpp"

namespace fendro {

// What visiting one node or member costs in each pass, in the scope's steps
// (about a nanosecond each), counted high: a pass noting too much asks a
// little early, one noting too little would run long unasked.
inline constexpr std::uint64_t kReadNodeSteps = 400;      // a node read into the tree, its storage allocated
inline constexpr std::uint64_t kReadMemberSteps = 40;     // a member matched against a record's fields
inline constexpr std::uint64_t kReadNumberSteps = 16;     // a number of a list read
inline constexpr std::uint64_t kCheckNodeSteps = 100;     // a node's references looked up
inline constexpr std::uint64_t kCompileNodeSteps = 400;   // a node compiled, its reference interned
inline constexpr std::uint64_t kMeasureNodeSteps = 40;    // a node's lookback
inline constexpr std::uint64_t kFreeNodeSteps = 100;      // a node's storage freed
inline constexpr std::uint64_t kEntrySteps = 100;         // one entry of a map or list walked
inline constexpr std::uint64_t kFreeEntrySteps = 400;     // one entry of a map freed, its node and storage

// Freeing memory costs about a step per this many bytes (the pages go back
// to the system at a tenth of a millisecond a megabyte or more).
inline constexpr std::uint64_t kFreedBytesPerStep = 8;

// Notes `steps` of a pass with the thread's scope, if any. True: stop now.
inline bool pass_stop_after(std::uint64_t steps) {
  RunScope* scope = RunScope::current();
  return scope != nullptr && scope->stop_after(steps);
}

// Whether the thread's scope was told to stop: a pass that gave up left its
// result unfinished, and the command ends as stopped.
inline bool pass_stopped() {
  const RunScope* scope = RunScope::current();
  return scope != nullptr && scope->stopped();
}

// An interrupt that asks through the thread's scope, for the paced copies and
// comparisons of long texts (util/paced_copy.hpp); inactive outside every
// scope.
inline Interrupt scope_interrupt() {
  RunScope* scope = RunScope::current();
  if (scope == nullptr) return {};
  return Interrupt([](void* s) { return static_cast<RunScope*>(s)->ask_now(); }, scope);
}

// Buffers from this size on have their pages given back before they are
// freed: the allocator maps them apart (its threshold for that is 32 MiB
// at most), so they are unmapped whole when freed.
inline constexpr std::size_t kGiveBackFromBytes = std::size_t{32} << 20;

// Readies a buffer of `bytes` at `p` for freeing: a large one gives its pages
// back to the system in stretches noted with the scope (util/huge_pages.hpp),
// so that freeing it then takes little. Adds to `left` what is left to free,
// in bytes. False once told to stop.
inline bool give_back_paced(const void* p, std::size_t bytes, std::uint64_t& left) {
  if (bytes >= kGiveBackFromBytes &&
      !give_back_pages(p, bytes, [] { return !pass_stop_after(kGiveBackStretchBytes / kFreedBytesPerStep); })) {
    return false;
  }
  left += std::min(bytes, kGiveBackFromBytes);
  return true;
}

// Frees the storage of `v`, its pages given back first, and notes its cost
// with the scope. True: stop now.
template <class Vector>
bool free_and_note(Vector& v) {
  std::uint64_t left = 0;
  if (!give_back_paced(v.data(), v.capacity() * sizeof(typename Vector::value_type), left)) return true;
  Vector().swap(v);
  return pass_stop_after(kEntrySteps + left / kFreedBytesPerStep);
}

// Frees the entries of `map` from the front, each noted with the scope by
// its cost. `give_back(entry, left)` readies the entry's long texts and lists
// with give_back_paced (false once told to stop). False once told to stop:
// the rest then goes to the freeing thread, and `map` is left empty (a
// million entries freed on the way out of a stopped command took tens of
// milliseconds).
template <class Map, class GiveBack>
bool erase_paced(Map& map, GiveBack give_back) {
  SmallFrees small;
  while (!map.empty()) {
    std::uint64_t left = 0;
    bool stop = !give_back(*map.begin(), left);
    if (!stop) {
      map.erase(map.begin());
      small.freed();
      stop = pass_stop_after(kFreeEntrySteps + left / kFreedBytesPerStep);
    }
    if (stop) {
      free_later(map);
      return false;
    }
  }
  return true;
}

// The first `c` of `text` at or after `from`, or npos; a long text is
// searched in stretches noted with the scope. Once told to stop the answer
// is npos and of no use: pass_stopped() says so.
inline std::size_t find_char_paced(std::string_view text, char c, std::size_t from = 0) {
  // A stretch is searched at tens of bytes a nanosecond: counted as a step
  // per 8 bytes.
  constexpr std::size_t kStretch = kCopyStretchBytes;
  for (std::size_t at = from; at < text.size(); at += kStretch) {
    const std::size_t n = std::min(kStretch, text.size() - at);
    const std::size_t found = text.substr(at, n).find(c);
    if (found != std::string_view::npos) return at + found;
    if (n == kStretch && pass_stop_after(kStretch / 8)) break;
  }
  return std::string_view::npos;
}

}  // namespace fendro
