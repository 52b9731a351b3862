// Reading what a registry row says of its type: the parameter list with the
// accepted intervals, and the warm-up expression.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fendro::reference {

inline constexpr double kMaxPeriod = 16777216.0;

// One end of an interval; an absent bound is written inf or -inf.
struct Bound {
  std::optional<double> at;  // nothing: unbounded
  bool inclusive = false;
};

struct ParamText {
  std::string name;
  std::optional<Bound> low, high;  // both or neither: no interval given
  std::string note;                // a rule between parameters, or nothing
};

// Parses "name [lo, hi] {note}; name2 (lo, hi]; name3". The error names the
// fault; nothing is returned for an empty text.
struct ParsedParams {
  std::vector<ParamText> params;
  std::string error;
};
ParsedParams parse_params(std::string_view text);

// The warm-up expression over the parameter names, evaluated; the error
// names the fault.
struct Evaluated {
  double value = 0.0;
  std::string error;
};
Evaluated evaluate(std::string_view expr, const std::map<std::string, double>& names);

// The expression as the reference shows it: parameter names in backticks.
std::string show_expression(std::string_view expr, const std::map<std::string, double>& names);

// A bound as the reference writes it.
std::string show_bound(const Bound& b, bool low);

}  // namespace fendro::reference
