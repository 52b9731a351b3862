// Registry entries of this family: one row per type key.
#include "fendro/indicators/cycle/autocorrelation_periodogram.hpp"
#include "fendro/indicators/cycle/ehlers_filters.hpp"
#include "fendro/indicators/cycle/hilbert.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

using namespace fendro::cycle;

template <FlexOscillator::Kind K>
BuildResult build_flex(const Params& p) {
  FENDRO_TRY(period, p.usize(0));
  return box<FlexOscillator>(p, FlexOscillator::create(K, period));
}

static constexpr Entry kEntries[] = {
    {"AutocorrelationPeriodogram", Feed::Kline, build<AutocorrelationPeriodogram, U, U>, {10, 48},
     {"min_period [4, inf) {below `max_period`}; max_period [11, inf) {above `min_period`}",
      "The dominant cycle length in bars, `min_period` to `max_period`: the power-weighted mean of "
      "the candidate periods whose smoothed autocorrelation power is at least half the peak, from "
      "the roofing-filtered close.",
      "max_period + 3"}},
    {"BandpassFilter", Feed::Kline, build<BandpassFilter, U, F>, {20, 0.3},
     {"period [1, MAX]; bandwidth (0, 1)",
      "Ehlers' band-pass filter of the close, centred on `period` bars with relative "
      "`bandwidth`. Unstable where cos(4 pi `bandwidth` / `period`) < 0 (`bandwidth` / `period` "
      "between 1/8 and 3/8 or 5/8 and 7/8: at `period` 1 with `bandwidth` in (0.125, 0.375) or "
      "(0.625, 0.875), 2 in (0.25, 0.75), 3 above 0.375, 4 above 0.5, 5 above 0.625, 6 above "
      "0.75, 7 above 0.875): a pole then lies outside the unit circle, and on closes that move "
      "(other than alternating two prices) the value grows without bound, overflows to -inf or "
      "inf within some 1,100 bars and is NaN after; a prove reads those values, and a comparison "
      "with NaN is false.",
      "1"}},
    {"CenterOfGravity", Feed::Kline, build<CenterOfGravity, U>, {10},
     {"period [1, MAX]",
      "Ehlers' centre of gravity of the last `period` closes: (`period` + 1)/2 - (sum of (k + 1) "
      "close_k) / (sum of closes), k = 0 for the newest; 0 when the closes sum to 0.",
      "period"}},
    {"EhlersStochastic", Feed::Kline, build<EhlersStochastic, U>, {20},
     {"period [1, MAX]",
      "Ehlers' stochastic, -1 to 1, of the roofing-filtered close (high-pass 48, super smoother "
      "10) over `period` bars, averaged with the previous bar's.",
      "period"}},
    {"Reflex", Feed::Kline, build_flex<FlexOscillator::Kind::Reflex>, {20},
     {"period [1, MAX]",
      "Ehlers' reflex: how far the last `period` values of a super-smoothed (`period`/2) close "
      "lie, on average, below the straight line from its value `period` bars back to its current "
      "one, over the root of its exponential mean square.",
      "period + 1"}},
    {"Trendflex", Feed::Kline, build_flex<FlexOscillator::Kind::Trendflex>, {20},
     {"period [1, MAX]",
      "Ehlers' trendflex: the mean amount by which the current value of a super-smoothed "
      "(`period`/2) close exceeds its last `period` values, over the root of its exponential mean "
      "square.",
      "period + 1"}},
    {"CyberneticCycle", Feed::Kline, build<CyberneticCycle, U>, {10},
     {"period [1, MAX]",
      "Ehlers' cyber cycle of the close with alpha 2/(`period` + 1).",
      "1"}},
    {"Decycler", Feed::Kline, build<Decycler, U>, {60},
     {"period [1, MAX]",
      "Ehlers' decycler: the close minus its two-pole high-pass of `period` bars. Unstable at "
      "`period` 1, as `HighpassFilter`: it overflows to -inf or inf within some 400 bars of "
      "closes that move, then reads NaN.",
      "1"}},
    {"HighpassFilter", Feed::Kline, build<HighpassFilter, U>, {48},
     {"period [1, MAX]",
      "Ehlers' two-pole high-pass filter of the close, cut-off `period` bars. Unstable at "
      "`period` 1, where its double pole lies at about -7.36, outside the unit circle: on closes "
      "that move the value grows some sevenfold a bar in alternating sign, overflows to -inf or "
      "inf within some 400 bars and is NaN after; a prove reads those values, and a comparison "
      "with NaN is false. Every `period` from 2 on is stable.",
      "1"}},
    {"DecyclerOscillator", Feed::Kline, build<DecyclerOscillator, U, U>, {30, 60},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}",
      "The difference of two decyclers of the close, `fast` minus `slow`. Unstable at `fast` 1, "
      "as `HighpassFilter` at `period` 1: it overflows to -inf or inf within some 400 bars of "
      "closes that move, then reads NaN.",
      "1"}},
    {"EmpiricalModeDecomposition", Feed::Kline, build<EmpiricalModeDecomposition, U, F>, {20, 0.5},
     {"period [1, MAX]; fraction (0, 1]",
      "The trend of the empirical mode decomposition: the mean over the last 2 `period` bars of a "
      "band-pass of the close centred on `period` bars (bandwidth 0.1); `fraction` is checked but "
      "does not enter the value.",
      "max(2 * period, 50)"}},
    {"EvenBetterSinewave", Feed::Kline, build<EvenBetterSinewave, U, U>, {40, 10},
     {"duration [1, inf); smoothing_period [1, MAX]",
      "Ehlers' even better sinewave, -1 to 1: the mean of the last three values of a one-pole "
      "high-pass (`duration`) of the close super-smoothed over `smoothing_period`, over their root "
      "mean square. At `duration` 2 the high-pass's pole lies a unit in the last place inside -1: "
      "on a flat market it keeps alternating instead of decaying, and so does the smoothed "
      "value, so the wave alternates between 1/3 and -1/3 on every bar (as it does in exact "
      "arithmetic: the mean of x, -x, x over their root mean square is x / 3 over |x|).",
      "3"}},
    {"Fama", Feed::Kline, build<Fama, F, F>, {0.5, 0.05},
     {"fast_limit (0, 1] {at least `slow_limit`}; slow_limit (0, 1] {at most `fast_limit`}",
      "The following adaptive average (FAMA): an average of the MESA adaptive average with half "
      "its weight, which moves between `slow_limit` and `fast_limit` with the Hilbert phase rate.",
      "33"}},
    {"Mama", Feed::Kline, build<Mama, F, F>, {0.5, 0.05},
     {"fast_limit (0, 1] {at least `slow_limit`}; slow_limit (0, 1] {at most `fast_limit`}",
      "The MESA adaptive moving average of the close, weight between `slow_limit` and "
      "`fast_limit` by the Hilbert phase rate; FAMA is an output.",
      "33"}},
    {"InstantaneousTrendline", Feed::Kline, build<InstantaneousTrendline, U>, {20},
     {"period [1, MAX]",
      "Ehlers' instantaneous trendline of the close with alpha 2/(`period` + 1).",
      "1"}},
    {"RoofingFilter", Feed::Kline, build<RoofingFilter, U, U>, {10, 48},
     {"lp_period [1, MAX] {below `hp_period`}; hp_period [1, inf) {above `lp_period`}",
      "Ehlers' roofing filter: a super smoother of `lp_period` over a one-pole high-pass of "
      "`hp_period` of the close.",
      "1"}},
    {"SuperSmoother", Feed::Kline, build<SuperSmoother, U>, {10},
     {"period [1, MAX]",
      "Ehlers' two-pole super smoother of the close over `period` bars.",
      "1"}},
    {"UniversalOscillator", Feed::Kline, build<UniversalOscillator, U>, {20},
     {"period [1, MAX]",
      "Ehlers' universal oscillator, -1 to 1: a super smoother (`period`) of half the two-bar "
      "change of the close over its decaying peak (times 0.991 a bar).",
      "3"}},
    {"HtPhasor", Feed::Kline, build_plain<HtPhasor>, {},
     {"",
      "The in-phase component of the Hilbert transform of the close; the quadrature is an "
      "output.",
      "22"}},
    {"SineWave", Feed::Kline, build_plain<SineWave>, {},
     {"",
      "The sine of the Hilbert dominant-cycle phase of the close, -1 to 1.",
      "50"}},
    {"HtTrendMode", Feed::Kline, build_plain<HtTrendMode>, {},
     {"",
      "The Hilbert trend mode of the close: 1 in a trend, 0 in a cycle.",
      "50"}},
    {"HtDcPhase", Feed::Kline, build_plain<HtDcPhase>, {},
     {"",
      "The phase, in degrees from -45 to 315, of the Hilbert dominant cycle of the close.",
      "50"}},
    {"HilbertDominantCycle", Feed::Kline, build_plain<HilbertDominantCycle>, {},
     {"",
      "The smoothed length, in bars, of the Hilbert dominant cycle of the close.",
      "50"}},
    {"AdaptiveCycle", Feed::Kline, build_plain<AdaptiveCycle>, {},
     {"",
      "Half the Hilbert dominant cycle of the close, rounded and limited to 3..25 bars.",
      "50"}},
};

}  // namespace

std::span<const Entry> cycle_entries() { return kEntries; }

}  // namespace fendro::registry
