#include "fendro/indicators/common/run_scope.hpp"

#include "fendro/indicators/cycle/phasor_tables.hpp"

namespace fendro {

RunScope::RunScope(const Interrupt& interrupt) : interrupt_(interrupt), outer_(current_) {
  if (interrupt_.active()) ask_at_ = kStepsPerAsk;
  current_ = this;
}

RunScope::~RunScope() { current_ = outer_; }

bool RunScope::ask() {
  steps_ = 0;
  ++in_bar_asks_;
  stopped_ = interrupt_.stop_requested();
  return stopped_;
}

bool note_before(std::uint64_t steps) {
  RunScope* scope = RunScope::current();
  return scope != nullptr && scope->stop_before(steps);
}

bool note_after(std::uint64_t steps) {
  RunScope* scope = RunScope::current();
  return scope != nullptr && scope->stop_after(steps);
}

cycle::PhasorTables& RunScope::phasor_tables() {
  if (!tables_) tables_ = std::make_unique<cycle::PhasorTables>();
  return *tables_;
}

}  // namespace fendro
