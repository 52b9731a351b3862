// The values (and keys) of the arrays and objects a parse is reading, as
// stacks; and the decoded text of a string with escapes.
#pragma once

#include "fendro/json/value.hpp"
#include "fendro/util/realloc_stack.hpp"

namespace fendro::json::detail {

// Grown without copying what they hold once large: a long array or object
// would otherwise be copied whole at each doubling, with nowhere to ask an
// interrupt.
using fendro::ReallocStack;

using ValueStack = ReallocStack<Value>;

}  // namespace fendro::json::detail
