#include "reference/flat_market.hpp"

namespace fendro::reference {

std::span<const FlatListing> flat_listings() {
  static constexpr FlatListing kListings[] = {
      {"StepTrailingStop", "a stop whole steps away from the price: neither one value nor a multiple of it"},
      {"RenkoTrailingStop", "a stop whole bricks away from the price: neither one value nor a multiple of it"},
      {"InverseFisherTransform", "a hyperbolic tangent of the price, not a multiple of it"},
      {"KalmanHedgeRatio", "a filter of the price's ratio to the reference, both copies: its state moves "
                           "toward 1 by its own recursion"},
      // Levels measured from the last swing high and low, which a halt does
      // not end: the history's swing points stay in the sums of scaled terms.
      {"FibChannel", "a channel from the last swings: a level a whole number of ticks at 1 is a sum of scaled "
                     "swing points elsewhere", true},
      {"FibExtension", "levels from the last swings, as FibChannel", true},
      {"FibConfluence", "levels from the last swings, as FibChannel", true},
      {"FibProjection", "levels from the last swings, as FibChannel", true},
  };
  return kListings;
}

}  // namespace fendro::reference
