// Something whose freeing holds the freeing thread until the test lets it
// go: the queue then stays busy for as long as the test needs. A test that
// never lets go fails instead of hanging: the freeing ends by itself after
// a minute.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <utility>

#include "fendro/util/free_later.hpp"
#include "fendro/util/interrupt.hpp"

namespace fendro::testing {

class FreeGate {
 public:
  void let_go() {
    const std::lock_guard<std::mutex> held(lock_);
    open_ = true;
    changed_.notify_all();
  }
  bool freed() {
    const std::lock_guard<std::mutex> held(lock_);
    return freed_;
  }
  // Hands the freeing thread something that is freed only once let go.
  void hand_over() {
    Held held(this);
    free_later(held);
  }
  // Waits until the freeing thread is held at the gate.
  void wait_until_held() {
    std::unique_lock<std::mutex> held(lock_);
    changed_.wait(held, [&] { return held_; });
  }
  // Lets go, and waits until what it handed over is freed.
  ~FreeGate() {
    let_go();
    wait_until_freed();
  }

 private:
  class Held {
   public:
    explicit Held(FreeGate* gate) : gate_(gate) {}
    Held(Held&& o) noexcept : gate_(std::exchange(o.gate_, nullptr)) {}
    ~Held() {
      if (gate_ != nullptr) gate_->free_when_let_go();
    }

   private:
    FreeGate* gate_;
  };

  void free_when_let_go() {
    std::unique_lock<std::mutex> held(lock_);
    held_ = true;
    changed_.notify_all();
    changed_.wait_for(held, std::chrono::minutes(1), [&] { return open_; });
    freed_ = true;
  }

  std::mutex lock_;
  std::condition_variable changed_;
  bool held_ = false;
  bool open_ = false;
  bool freed_ = false;
};

// An interrupt that never says stop, and lets `gate` go the first time it is asked.
struct LetGoWhenAsked {
  FreeGate* gate;
  std::size_t asked = 0;

  Interrupt interrupt() {
    return Interrupt(
        [](void* self) {
          auto* s = static_cast<LetGoWhenAsked*>(self);
          if (++s->asked == 1) s->gate->let_go();
          return false;
        },
        this);
  }
};

}  // namespace fendro::testing
