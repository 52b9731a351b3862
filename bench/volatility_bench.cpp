// Cost of one `update` of every volatility, band and channel type over a
// random-walk series, built through the registry with customary parameters.
#include "../tests/indicators/volatility/vol_keys.hpp"
#include "family_bench.hpp"

namespace {

std::vector<fendro::bench::Key> keys() {
  std::vector<fendro::bench::Key> out;
  for (const fendro::testing::VolKey& k : fendro::testing::vol_keys()) {
    out.push_back({k.key, k.params});
  }
  return out;
}

const bool kRegistered = fendro::bench::register_family(keys());

}  // namespace

BENCHMARK_MAIN();
