// The type keys a benchmark program is given (--key KEY), checked with its
// other options before anything is measured.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bench_options.hpp"
#include "command_gen.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"

namespace fendro::bench {

// Each of `keys` (given by `option`) a type key that builds at its customary
// parameters: empty when they all are, the refusal of the first that is not
// otherwise.
inline std::string key_refusal(const std::vector<std::string>& keys, std::string_view option = "--key") {
  const std::string head = "option '" + std::string(option) + "': ";
  for (const std::string& key : keys) {
    const std::optional<std::size_t> slot = registry::key_slot(key);
    if (!slot) return head + "unknown key '" + key + "'";
    const registry::Entry& row = registry::key_rows()[*slot];
    if (!build_indicator(row.key, row.params.values()).ok()) {
      return head + "key '" + key + "' cannot be built at its customary parameters";
    }
  }
  return {};
}

// The comma-separated lists of keys given by `option` into `out`: empty when
// each names type keys, the refusal otherwise (an empty list would silently
// stand for every key, an unknown key for none).
inline std::string key_list_refusal(const std::vector<std::string>& lists, std::string_view option,
                                    std::set<std::string, std::less<>>& out) {
  for (const std::string& list : lists) {
    std::vector<std::string> keys = parts_of(list);
    if (keys.empty()) return "option '" + std::string(option) + "' takes a list of type keys, not '" + list + "'";
    for (std::string& key : keys) {
      if (!registry::key_slot(key)) {
        return "option '" + std::string(option) + "': unknown key '" + key + "' in '" + list + "'";
      }
      out.insert(std::move(key));
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
