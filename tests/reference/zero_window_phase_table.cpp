// The types that read a residue on a window of zeros or copies until their
// sums are next rebuilt, at long windows or at another phase of the rebuilds
// (zero_window_runs.hpp), each with its reason. These are faults still to
// mend: each listed key must still show one, so a mended key leaves the list.
#include "reference/zero_window_runs.hpp"

namespace fendro::reference {

std::span<const RebuildPhaseListing> rebuild_phase_listings() {
  constexpr std::string_view kCancellingFlows =
      "a window of flows that cancel exactly (a book moving at sizes of 1) reads the residue its sum kept from "
      "the flows before until it is next rebuilt";
  static constexpr RebuildPhaseListing kListings[] = {
      {"OrderFlowImbalance", kCancellingFlows},
  };
  return kListings;
}

}  // namespace fendro::reference
