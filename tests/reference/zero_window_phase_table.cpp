// The types that read a residue on a window of zeros or copies until their
// sums are next rebuilt, at long windows or at another phase of the rebuilds
// (zero_window_runs.hpp), each with its reason. These are faults still to
// mend: each listed key must still show one, so a mended key leaves the list.
#include "reference/zero_window_runs.hpp"

namespace fendro::reference {

std::span<const RebuildPhaseListing> rebuild_phase_listings() {
  constexpr std::string_view kRegression =
      "a regression over a window of copies of the close: its sums' residue reads as a slope (an intercept off "
      "the close) until they are next rebuilt";
  constexpr std::string_view kMoments =
      "moments of a window of copies (or of zero returns) read from sums that hold a residue until they are next "
      "rebuilt";
  constexpr std::string_view kCancellingFlows =
      "a window of flows that cancel exactly (a book moving at sizes of 1) reads the residue its sum kept from "
      "the flows before until it is next rebuilt";
  static constexpr RebuildPhaseListing kListings[] = {
      {"Cfo", kRegression},
      {"LinRegAngle", kRegression},
      {"LinRegIntercept", kRegression},
      {"LinRegSlope", kRegression},
      {"LinearRegression", kRegression},
      {"Tsf", kRegression},
      {"TsfOscillator", kRegression},
      {"Kurtosis", kMoments},
      {"Skewness", kMoments},
      {"RealizedVolatility", kMoments},
      {"BipowerVariation", kMoments},
      {"OrderFlowImbalance", kCancellingFlows},
  };
  return kListings;
}

}  // namespace fendro::reference
