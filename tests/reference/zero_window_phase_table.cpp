// The types that read a residue on a window of zeros or copies until their
// sums are next rebuilt, at long windows or at another phase of the rebuilds
// (zero_window_runs.hpp), each with its reason. These are faults still to
// mend: each listed key must still show one, so a mended key leaves the list.
#include "reference/zero_window_runs.hpp"

namespace fendro::reference {

std::span<const RebuildPhaseListing> rebuild_phase_listings() {
  constexpr std::string_view kPair =
      "a covariance of two windows of copies (or of zero returns) read from sums that hold a residue until they "
      "are next rebuilt";
  constexpr std::string_view kVolume =
      "sums of a window whose volume or feed has stopped hold a residue until they are next rebuilt";
  static constexpr RebuildPhaseListing kListings[] = {
      {"Alpha", kPair},
      {"Beta", kPair},
      {"BetaNeutralSpread", kPair},
      {"Cointegration", kPair},
      {"PairSpreadZScore", kPair},
      {"PairwiseBeta", kPair},
      {"RSquared", kPair},
      {"RollingCorrelation", kPair},
      {"RollingCovariance", kPair},
      {"TreynorRatio", kPair},
      {"RollingVwap", kVolume},
      {"VolumeWeightedSr", kVolume},
      {"OrderFlowImbalance", kVolume},
      {"FundingRateMean", kVolume},
  };
  return kListings;
}

}  // namespace fendro::reference
