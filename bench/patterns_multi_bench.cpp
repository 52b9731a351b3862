// Update cost per bar of the three-candle run, continuation, five-candle and
// inside-bar patterns: every key of their registry table (none takes a
// parameter).
#include <vector>

#include "family_bench.hpp"
#include "fendro/registry/families.hpp"

namespace {

std::vector<fendro::bench::Key> table_keys() {
  std::vector<fendro::bench::Key> keys;
  for (const auto& e : fendro::registry::multi_candle_pattern_entries()) {
    keys.push_back({e.key.data(), {}});
  }
  return keys;
}

const bool kRegistered = fendro::bench::register_family(table_keys());

}  // namespace

BENCHMARK_MAIN();
