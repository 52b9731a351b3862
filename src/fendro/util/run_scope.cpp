#include "fendro/util/run_scope.hpp"

#include <algorithm>

#include "fendro/util/paced_copy.hpp"

namespace fendro {

bool RunScope::ask() {
  steps_ = 0;
  ++in_bar_asks_;
  stopped_ = interrupt_.stop_requested();
  return stopped_;
}

namespace {

// Room for the short ending a long text is given after it (", expected
// f64", a closing quote): reserved with it, so that ending never moves it.
constexpr std::size_t kEndingRoom = 4096;

// Appends `text` in stretches, asking `scope` before each; `out` has room.
bool append_stretches(RunScope& scope, std::string& out, std::string_view text) {
  for (std::size_t at = 0; at < text.size(); at += kCopyStretchBytes) {
    if (scope.ask_now()) return false;
    out.append(text.substr(at, std::min(kCopyStretchBytes, text.size() - at)));
  }
  return true;
}

}  // namespace

bool reserve_paced(std::string& out, std::size_t size) {
  if (size <= out.capacity()) return true;
  RunScope* scope = RunScope::current();
  if (out.size() <= kCopyStretchBytes || scope == nullptr) {
    out.reserve(size + kEndingRoom);
    return true;
  }
  std::string moved;
  moved.reserve(size + kEndingRoom);
  if (!append_stretches(*scope, moved, out)) return false;
  out.swap(moved);
  return true;
}

bool append_paced(std::string& out, std::string_view text) {
  RunScope* scope = RunScope::current();
  if (text.size() <= kCopyStretchBytes || scope == nullptr) {
    if (out.size() + text.size() > out.capacity() && !reserve_paced(out, out.size() + text.size())) return false;
    out.append(text);
    return scope == nullptr || !scope->stopped();
  }
  return reserve_paced(out, out.size() + text.size()) && append_stretches(*scope, out, text) && !scope->ask_now();
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
