// Registry entries of this family: one row per type key.
#include "fendro/indicators/transforms/breadth.hpp"
#include "fendro/indicators/transforms/overnight_intraday_return.hpp"
#include "fendro/indicators/transforms/price_transforms.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

constexpr Entry kEntries[] = {
    {"AvgPrice", build_plain<AvgPrice>},
    {"MedianPrice", build_plain<MedianPrice>},
    {"TypicalPrice", build_plain<TypicalPrice>},
    {"WeightedClose", build_plain<WeightedClose>},
    {"MidPoint", build<MidPoint, U>},
    {"MidPrice", build<MidPrice, U>},
    {"OvernightIntradayReturn", build<OvernightIntradayReturn, I>},
    {"AbsoluteBreadthIndex", build_plain<AbsoluteBreadthIndex>},
    {"AdvanceDeclineRatio", build_plain<AdvanceDeclineRatio>},
    {"BullishPercentIndex", build_plain<BullishPercentIndex>},
    {"NewHighsNewLows", build_plain<NewHighsNewLows>},
    {"PercentAboveMa", build_plain<PercentAboveMa>},
    {"TickIndex", build_plain<TickIndex>},
    {"Trin", build_plain<Trin>},
    {"UpDownVolumeRatio", build_plain<UpDownVolumeRatio>},
    {"AdvanceDecline", build_plain<AdvanceDecline>},
    {"AdVolumeLine", build_plain<AdVolumeLine>},
    {"CumulativeVolumeIndex", build_plain<AdVolumeLine>},
    {"McClellanOscillator", build_plain<McClellanOscillator>},
    {"McClellanSummationIndex", build_plain<McClellanSummationIndex>},
    {"BreadthThrust", build<BreadthThrust, U>},
    {"HighLowIndex", build<HighLowIndex, U>},
};

}  // namespace

std::span<const Entry> transform_entries() { return kEntries; }

}  // namespace fendro::registry
