// Consistency checks of a strategy that was read without fault.
#pragma once

#include "fendro/registry/strategy_error.hpp"
#include "fendro/strategy/spec.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The first fault, in this order: rule references, spec version, sizing,
// declared feeds (ids ascending), order-type offsets, partial fills, fill
// timing. The spec is only read. Every node and entry checked is noted with
// the thread's scope (tree_pacing.hpp); once it says stop the check fails,
// and its caller finds the scope stopped.
Status<StrategyError> validate_spec(const StrategySpec& spec);

// UndeclaredIndicator carrying the whole reference whose base (the text before
// the first '.') is not a key of `declared`. Operands and children are visited
// left to right.
Status<StrategyError> check_condition_refs(const Condition& c, const IndicatorMap& declared);
Status<StrategyError> check_operand_refs(const Operand& o, const IndicatorMap& declared);

}  // namespace fendro
