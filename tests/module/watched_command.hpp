// A command run under a counting check: whether it stopped, and what its
// sink took by then.
#pragma once

#include <string>

#include "fendro/module/command.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro::testing {

struct Watched {
  bool stopped = false;
  std::string response;
};

inline Watched run(const std::string& command, CountingInterrupt& check) {
  Watched out;
  StringSink sink(out.response);
  out.stopped = !apply_command(command, sink, check.interrupt()).ok();
  return out;
}

}  // namespace fendro::testing
