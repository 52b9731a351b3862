// Cost of one `update` of every level type over a random-walk series, built
// through the registry with customary parameters.
#include "family_bench.hpp"

namespace {

const std::vector<fendro::bench::Key> kKeys = {
    {"Camarilla", {}},
    {"CentralPivotRange", {}},
    {"ClassicPivots", {}},
    {"DemarkPivots", {}},
    {"FibonacciPivots", {}},
    {"WoodiePivots", {}},
    {"FibArcs", {}},
    {"FibExtension", {}},
    {"FibFan", {}},
    {"FibRetracement", {}},
    {"FibTimeZones", {}},
    {"GoldenPocket", {}},
    {"FibChannel", {}},
    {"FibProjection", {}},
    {"AutoFib", {}},
    {"FibConfluence", {}},
    {"AndrewsPitchfork", {5}},
    {"MurreyMathLines", {64}},
    {"VolumeWeightedSr", {20}},
    {"InitialBalance", {30}},
    {"OpeningRange", {30}},
    {"OvernightGap", {0}},
    {"SessionHighLow", {0}},
    {"SessionRange", {0}},
};

const bool kRegistered = fendro::bench::register_family(kKeys);

}  // namespace

BENCHMARK_MAIN();
