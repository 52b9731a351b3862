#include "reference/flat_market.hpp"

namespace fendro::reference {

std::span<const FlatListing> flat_listings() {
  static constexpr FlatListing kListings[] = {
      {"StepTrailingStop", "a stop whole steps away from the price: neither one value nor a multiple of it"},
      {"RenkoTrailingStop", "a stop whole bricks away from the price: neither one value nor a multiple of it"},
      {"InverseFisherTransform", "a hyperbolic tangent of the price, not a multiple of it"},
      {"KalmanHedgeRatio", "a filter of the price's ratio to the reference, both copies: its state moves "
                           "toward 1 by its own recursion"},
  };
  return kListings;
}

}  // namespace fendro::reference
