#include "fendro/registry/strategy_error.hpp"

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
  out.append(text);
  if (kind == Kind::InvalidParameters) {
    out.append(": ");
    out.append(reason);
  }
  return out;
}

}  // namespace fendro
