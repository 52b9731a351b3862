// Registry entries of this family: one row per type key.
#include "fendro/indicators/transforms/breadth.hpp"
#include "fendro/indicators/transforms/overnight_intraday_return.hpp"
#include "fendro/indicators/transforms/price_transforms.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

constexpr Entry kEntries[] = {
    {"AvgPrice", Feed::Kline, build_plain<AvgPrice>, {}},
    {"MedianPrice", Feed::Kline, build_plain<MedianPrice>, {}},
    {"TypicalPrice", Feed::Kline, build_plain<TypicalPrice>, {}},
    {"WeightedClose", Feed::Kline, build_plain<WeightedClose>, {}},
    {"MidPoint", Feed::Kline, build<MidPoint, U>, {14}},
    {"MidPrice", Feed::Kline, build<MidPrice, U>, {14}},
    {"OvernightIntradayReturn", Feed::Kline, build<OvernightIntradayReturn, I>, {0}},
    {"AbsoluteBreadthIndex", Feed::CrossSection, build_plain<AbsoluteBreadthIndex>, {}},
    {"AdvanceDeclineRatio", Feed::CrossSection, build_plain<AdvanceDeclineRatio>, {}},
    {"BullishPercentIndex", Feed::CrossSection, build_plain<BullishPercentIndex>, {}},
    {"NewHighsNewLows", Feed::CrossSection, build_plain<NewHighsNewLows>, {}},
    {"PercentAboveMa", Feed::CrossSection, build_plain<PercentAboveMa>, {}},
    {"TickIndex", Feed::CrossSection, build_plain<TickIndex>, {}},
    {"Trin", Feed::CrossSection, build_plain<Trin>, {}},
    {"UpDownVolumeRatio", Feed::CrossSection, build_plain<UpDownVolumeRatio>, {}},
    {"AdvanceDecline", Feed::CrossSection, build_plain<AdvanceDecline>, {}},
    {"AdVolumeLine", Feed::CrossSection, build_plain<AdVolumeLine>, {}},
    {"CumulativeVolumeIndex", Feed::CrossSection, build_plain<AdVolumeLine>, {}},
    {"McClellanOscillator", Feed::CrossSection, build_plain<McClellanOscillator>, {}},
    {"McClellanSummationIndex", Feed::CrossSection, build_plain<McClellanSummationIndex>, {}},
    {"BreadthThrust", Feed::CrossSection, build<BreadthThrust, U>, {19}},
    {"HighLowIndex", Feed::CrossSection, build<HighLowIndex, U>, {10}},
};

}  // namespace

std::span<const Entry> transform_entries() { return kEntries; }

}  // namespace fendro::registry
