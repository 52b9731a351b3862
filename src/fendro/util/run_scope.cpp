#include "fendro/util/run_scope.hpp"

#include <algorithm>

#include "fendro/util/paced_copy.hpp"

namespace fendro {

RunScope::RunScope(const Interrupt& interrupt, std::uint64_t steps_per_ask)
    : interrupt_(interrupt), outer_(current_) {
  if (interrupt_.active()) ask_at_ = steps_per_ask;
  current_ = this;
}

RunScope::~RunScope() { current_ = outer_; }

bool RunScope::ask() {
  steps_ = 0;
  ++in_bar_asks_;
  stopped_ = interrupt_.stop_requested();
  return stopped_;
}

bool append_paced(std::string& out, std::string_view text) {
  RunScope* scope = RunScope::current();
  if (text.size() <= kCopyStretchBytes || scope == nullptr) {
    out.append(text);
    return scope == nullptr || !scope->stopped();
  }
  out.reserve(out.size() + text.size());
  for (std::size_t at = 0; at < text.size(); at += kCopyStretchBytes) {
    if (scope->ask_now()) return false;
    out.append(text.substr(at, std::min(kCopyStretchBytes, text.size() - at)));
  }
  return !scope->ask_now();
}

bool note_before(std::uint64_t steps) {
  RunScope* scope = RunScope::current();
  return scope != nullptr && scope->stop_before(steps);
}

bool note_after(std::uint64_t steps) {
  RunScope* scope = RunScope::current();
  return scope != nullptr && scope->stop_after(steps);
}

}  // namespace fendro
