#include "reference/unbounded_ends.hpp"

#include <csignal>
#include <cstdio>

#include "bounded_child.hpp"
#include "fendro/registry/run_entry.hpp"

namespace fendro::reference {
namespace {

// What a build gives (and a child hands back): "built", or the reason of the
// refusal.
constexpr std::string_view kBuilt = "built";

std::string build_verdict(const registry::Entry& row, const std::vector<double>& params) {
  auto made = registry::run_entry(row.build, row.key, params);
  if (made) return std::string(kBuilt);
  return made.error().reason.empty() ? made.error().display() : made.error().reason;
}

// Parameter i at v and the rest customary; then, for a parameter with a
// note, the others of its kind that are unbounded the same way at 4 v.
std::string try_unbounded(const registry::Entry& row, std::size_t i, double v,
                          const std::vector<ParamText>& params, const std::vector<Kind>& kinds) {
  std::vector<double> values(row.params.values().begin(), row.params.values().end());
  values[i] = v;
  const std::string first = build_verdict(row, values);
  if (first == kBuilt || params[i].note.empty()) return first;
  const bool low = v < 0.0;
  for (std::size_t j = 0; j < params.size(); ++j) {
    if (j == i || kinds[j] != kinds[i] || !params[j].low) continue;
    const Bound& end = low ? *params[j].low : *params[j].high;
    if (!end.at) values[j] = 4.0 * v;
  }
  return build_verdict(row, values) == kBuilt ? std::string(kBuilt) : first;
}

// The values tried at an unbounded end, outward from zero: one past the
// longest window, then 2^31 for a whole number or 1e300 for any number.
std::vector<double> unbounded_end_values(Kind kind, bool low) {
  const double sign = low ? -1.0 : 1.0;
  return {sign * (kMaxPeriod + 1.0), sign * (kind == Kind::Integer ? 0x1p31 : 1e300)};
}

}  // namespace

Kind kind_of(const registry::Entry& row, std::size_t i) {
  std::vector<double> p(row.params.values().begin(), row.params.values().end());
  p[i] = 1.5;
  const std::string reason = build_verdict(row, p);
  const std::string head = "parameter #" + std::to_string(i);
  for (const char* whole : {" must be a positive integer", " must be an i32", " must be a u32"}) {
    if (reason.starts_with(head + whole)) return Kind::Integer;
  }
  return Kind::Number;
}

std::vector<std::string> unbounded_end_faults(const registry::Entry& row, std::size_t i,
                                              const std::vector<ParamText>& params,
                                              const std::vector<Kind>& kinds, ChildLimits limits) {
  std::vector<std::string> faults;
  const ParamText& p = params[i];
  if (!p.low) return faults;
  for (const bool low : {true, false}) {
    if ((low ? *p.low : *p.high).at) continue;
    for (const double v : unbounded_end_values(kinds[i], low)) {
      const testing::ChildOutcome run = testing::run_in_bounded_child(
          limits.headroom_bytes, limits.cpu_seconds, [&] { return try_unbounded(row, i, v, params, kinds); });
      if (run.ok && run.text == kBuilt) continue;
      char head[96];
      std::snprintf(head, sizeof head, "`%s` = %.17g ", p.name.c_str(), v);
      if (run.ok) {
        faults.push_back(head + ("is refused: " + run.text));
      } else if (run.signal == SIGXCPU || run.signal == SIGKILL) {
        faults.push_back(head + ("takes more than " + std::to_string(limits.cpu_seconds) +
                                 " s of CPU to build"));
      } else {
        faults.push_back(head + ("could not be tried: the child ended with signal " +
                                 std::to_string(run.signal) + ", status " + std::to_string(run.status)));
      }
    }
  }
  return faults;
}

}  // namespace fendro::reference
