// The type keys a benchmark program is given (--key KEY), checked with its
// other options before anything is measured.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bench_options.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"

namespace fendro::bench {

// Each of `keys` a type key that builds at its customary parameters: empty
// when they all are, the refusal of the first that is not otherwise.
inline std::string key_refusal(const std::vector<std::string>& keys) {
  for (const std::string& key : keys) {
    const std::optional<std::size_t> slot = registry::key_slot(key);
    if (!slot) return "unknown key '" + key + "'";
    const registry::Entry& row = registry::key_rows()[*slot];
    if (!build_indicator(row.key, row.params.values()).ok()) {
      return "key '" + key + "' cannot be built at its customary parameters";
    }
  }
  return {};
}

// The options parsed and the keys checked, or the exit status: 0 after the
// usage, 2 after naming what was refused.
inline std::optional<int> options_and_keys_or_exit(const char* program, const char* usage, int argc, char** argv,
                                                   const std::vector<Option>& options,
                                                   const std::vector<std::string>& keys) {
  std::string why = parse_options(argc, argv, options);
  if (why.empty()) why = key_refusal(keys);
  return exit_for(program, usage, why);
}

}  // namespace fendro::bench
