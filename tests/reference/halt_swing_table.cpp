#include "reference/halt_swings.hpp"

namespace fendro::reference {

std::span<const HaltSwingListing> halt_swing_listings() {
  constexpr std::string_view kRings =
      "a two-pole filter: its tail rings down toward 0 in exact arithmetic too, turning at every half cycle";
  constexpr std::string_view kCalendar = "a calendar or session type: its value follows the clock, not the price";
  static constexpr HaltSwingListing kListings[] = {
      {"SuperSmoother", kRings},
      {"RoofingFilter", kRings},
      {"BandpassFilter", kRings},
      {"HighpassFilter", kRings},
      {"Decycler", kRings},
      {"UniversalOscillator", kRings},
      {"EmpiricalModeDecomposition", kRings},
      {"Reflex", kRings},
      {"Trendflex", kRings},
      {"EhlersStochastic", "a stochastic of a roofing filter's ringing tail"},
      {"AutocorrelationPeriodogram", "the dominant cycle of a ringing filter's tail"},
      {"EvenBetterSinewave", "its tail normalised by its own power: the ringing filter's tail at full scale"},
      {"TurnOfMonth", kCalendar},
      {"SeasonalZScore", kCalendar},
      {"FibTimeZones", "counts bars to the next Fibonacci time zone: it moves with the clock on a halt"},
      {"NakedPoc", "the nearest untested point of control: the halt's own volume-free bars end old ones"},
      {"HoltWinters",
       "its level and trend are a two-pole filter whose poles are complex at the customary factors (0.3, 0.1): "
       "its tail rings toward the price in exact arithmetic too, turning about every 50 bars"},
  };
  return kListings;
}

}  // namespace fendro::reference
