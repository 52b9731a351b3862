// Cost of one `update` of every volume, money-flow, VWAP and profile type
// over a random-walk series, built through the registry with customary
// parameters.
#include "../tests/indicators/volume/volume_keys.hpp"
#include "family_bench.hpp"

namespace {

std::vector<fendro::bench::Key> keys() {
  std::vector<fendro::bench::Key> out = fendro::testing::volume_keys();
  // Profiles with many bins: the cost follows the candles, not the bins.
  out.push_back({"ValueArea", {20, 1000000, 0.7}});
  out.push_back({"SinglePrints", {20, 1000000}});
  return out;
}

const bool kRegistered = fendro::bench::register_family(keys());

}  // namespace

BENCHMARK_MAIN();
