// What the work of one command shares while it runs: the command's
// interrupt, asked from inside work whose length the input sets (a long bar,
// a long text), and caches that depend only on parameters, kept by whoever
// makes them (the periodogram's phasor tables) for the whole command.
//
// A scope is installed on the command's thread for the length of the run
// (the engine starts no threads). Indicators built and stepped outside any
// scope (tests, tools) work alone: nothing is shared and nothing is asked.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include "fendro/util/interrupt.hpp"

namespace fendro {

// Something a command's work keeps for the length of the command, in its
// scope: made on first use by whoever needs it, freed with the scope.
class ScopeCache {
 public:
  virtual ~ScopeCache() = default;
};

class RunScope {
 public:
  // Installs the scope on this thread until it is destroyed; a scope already
  // installed comes back then. `steps_per_ask`: see kStepsPerAsk (tests ask
  // after fewer steps, to reach an ask with little work). Inline: every
  // command makes one, and the smallest commands take a few hundred
  // nanoseconds in all.
  explicit RunScope(const Interrupt& interrupt, std::uint64_t steps_per_ask = kStepsPerAsk)
      : interrupt_(interrupt), outer_(current_) {
    if (interrupt_.active()) ask_at_ = steps_per_ask;
    current_ = this;
  }
  ~RunScope() { current_ = outer_; }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

  // The scope installed on this thread, if any.
  static RunScope* current() { return current_; }

  // The interrupt as the command's work asks it: through this scope, so
  // that once it has said stop it goes on saying so without asking again,
  // and stopped() tells. Inactive when the scope's own is.
  Interrupt interrupt() {
    if (!interrupt_.active()) return {};
    return Interrupt([](void* self) { return static_cast<RunScope*>(self)->ask_quietly(); }, this);
  }

  // Whether an ask made through the scope (from inside a bar, or through
  // interrupt()) was told to stop: the command ends as stopped, and work
  // still under way in a bar returns at once.
  bool stopped() const { return stopped_; }
  // How many times work inside a bar has asked the interrupt.
  std::uint64_t in_bar_asks() const { return in_bar_asks_; }

  // Notes `steps` more steps of work inside a bar (an inner loop's steps of
  // about a nanosecond each; dearer steps count for several) and asks the
  // interrupt once about kStepsPerAsk have been done since the last ask.
  // True: stop now.
  bool stop_after(std::uint64_t steps) {
    if (stopped_) return true;
    steps_ += steps;
    if (steps_ < ask_at_) return false;
    return ask();
  }

  // The same for `steps` about to be done at one go: when they would take the
  // count past an ask, it asks now, before them, and they start the next
  // count. No two stretches of work that together pass an ask then run
  // without an ask between them, however long either is.
  bool stop_before(std::uint64_t steps) {
    if (stopped_) return true;
    if (steps_ + steps < ask_at_) {
      steps_ += steps;
      return false;
    }
    const bool stop = ask();
    steps_ = steps;
    return stop;
  }

  // Asks the interrupt now, between pieces of a bar's work too large to
  // count in steps (the indicators of a long bar, one after another).
  // True: stop now.
  bool ask_now() { return stopped_ || ask(); }

  // The command's cache of type T, made when first wanted.
  template <class T>
  T& cache() {
    static_assert(std::is_base_of_v<ScopeCache, T>);
    for (const std::unique_ptr<ScopeCache>& c : caches_) {
      if (ScopeCache& cached = *c; typeid(cached) == typeid(T)) return static_cast<T&>(cached);
    }
    caches_.push_back(std::make_unique<T>());
    return static_cast<T&>(*caches_.back());
  }

  // About 4 ms of work between two asks: far below the 100 ms a stop may
  // take, and a negligible cost next to the work itself.
  static constexpr std::uint64_t kStepsPerAsk = std::uint64_t{1} << 22;

 private:
  bool ask();
  // An ask of interrupt()'s: not one of the in-bar asks counted above.
  bool ask_quietly() {
    if (!stopped_) stopped_ = interrupt_.stop_requested();
    return stopped_;
  }

  // Initialised constantly here, so reading it costs no call.
  static inline thread_local RunScope* current_ = nullptr;

  Interrupt interrupt_;
  RunScope* outer_;
  std::uint64_t steps_ = 0;
  // Never reached without an interrupt to ask.
  std::uint64_t ask_at_ = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t in_bar_asks_ = 0;
  bool stopped_ = false;
  std::vector<std::unique_ptr<ScopeCache>> caches_;
};

// The pacing of long work inside one bar: through the scope of the thread,
// if any; outside every scope nothing is asked and nothing stops.
class InBarPacer {
 public:
  InBarPacer() : scope_(RunScope::current()) {}
  bool stop_after(std::uint64_t steps) { return scope_ != nullptr && scope_->stop_after(steps); }

 private:
  RunScope* scope_;
};

// Appends `text` to `out`; a long one in stretches, with the interrupt of the
// thread's scope (if any) asked between them, for a text whose length the
// input sets (an error that quotes what it was given). False once told to
// stop: `out` then holds only a part, and the scope's stopped() ends the
// command as stopped.
bool append_paced(std::string& out, std::string_view text);

// Makes room in `out` for `size` bytes in all, and a little more for a short
// ending after them: a long text already there moves to the new room in
// stretches, asking as append_paced does. False once told to stop (`out`
// then holds a part).
bool reserve_paced(std::string& out, std::size_t size);

// Work below this many steps is not noted: a short window's bar then pays one
// comparison, and the bar loop's own clock, read between stretches of bars,
// covers a stretch of such bars.
inline constexpr std::uint64_t kUnnotedSteps = std::uint64_t{1} << 14;

// What stop_before and StepTally do once there is enough work to note: kept
// out of line, so that the short work's path through them stays a comparison.
[[gnu::cold]] bool note_before(std::uint64_t steps);
[[gnu::cold]] bool note_after(std::uint64_t steps);

// Notes `steps` of work a bar is about to do at one go with the thread's
// scope, if any (see RunScope::stop_before). True: stop now; the bar gives
// no value.
inline bool stop_before(std::uint64_t steps) {
  if (steps < kUnnotedSteps) [[likely]] return false;
  return note_before(steps);
}

// Steps counted as long work goes on, for work whose size shows only as it is
// done (how many bins each bar of a profile covers): noted with the thread's
// scope once they add up to kUnnotedSteps, so counting costs an addition.
class StepTally {
 public:
  // Adds `steps` just done. True: stop now.
  bool stop_after(std::uint64_t steps) {
    pending_ += steps;
    if (pending_ < kUnnotedSteps) [[likely]] return false;
    const std::uint64_t noted = pending_;
    pending_ = 0;
    return note_after(noted);
  }

 private:
  std::uint64_t pending_ = 0;
};

}  // namespace fendro
