// An interrupt for tests: counts how often it is asked and asks to stop at
// the `stop_at`-th time (never when 0).
#pragma once

#include <cstddef>

#include "fendro/util/interrupt.hpp"

namespace fendro::testing {

struct CountingInterrupt {
  std::size_t stop_at = 0;
  std::size_t asked = 0;

  Interrupt interrupt() {
    return Interrupt(
        [](void* self) {
          auto* counter = static_cast<CountingInterrupt*>(self);
          return ++counter->asked == counter->stop_at;
        },
        this);
  }
};

}  // namespace fendro::testing
