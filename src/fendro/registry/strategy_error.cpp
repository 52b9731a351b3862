#include "fendro/registry/strategy_error.hpp"

#include "fendro/util/run_scope.hpp"

namespace fendro {

std::string StrategyError::display() const {
  std::string out;
  switch (kind) {
    case Kind::InvalidSpec: out = "invalid strategy spec: "; break;
    case Kind::UnknownIndicator: out = "unknown indicator type: "; break;
    case Kind::InvalidParameters: out = "invalid parameters for indicator "; break;
    case Kind::UndeclaredIndicator: out = "rule references undeclared indicator: "; break;
    case Kind::InvalidInput: out = "invalid input data: "; break;
  }
  if (!append_paced(out, text)) return out;
  if (kind == Kind::InvalidParameters) {
    out.append(": ");
    append_paced(out, reason);
  }
  return out;
}

std::string StrategyError::copied(std::string_view text) {
  std::string out;
  append_paced(out, text);
  return out;
}

}  // namespace fendro
