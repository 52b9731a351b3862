// A caller's way to stop a long command. The loops whose length the input
// sets (parsing, reading candles, the bars, hashing, writing) ask it at
// bounded intervals whether to go on; a stop unwinds the command as a value,
// freeing whatever it built.
#pragma once

namespace fendro {

// What a stopped command comes to instead of its answer.
struct Stopped {};

// A check of the caller's: true asks the work to stop. The default one never
// stops and costs nothing to ask.
class Interrupt {
 public:
  using Check = bool (*)(void* context);

  constexpr Interrupt() = default;
  constexpr Interrupt(Check check, void* context) : check_(check), context_(context) {}

  // Whether the check is there at all: work may skip its pacing without one.
  bool active() const { return check_ != nullptr; }
  bool stop_requested() const { return check_ != nullptr && check_(context_); }

 private:
  Check check_ = nullptr;
  void* context_ = nullptr;
};

}  // namespace fendro
