// Registry entries of this family: one row per type key.
#include "fendro/indicators/pairs/calendar_studies.hpp"
#include "fendro/indicators/pairs/pair_betas.hpp"
#include "fendro/indicators/pairs/pair_models.hpp"
#include "fendro/indicators/pairs/pair_trackers.hpp"
#include "fendro/indicators/pairs/regime_labels.hpp"
#include "fendro/indicators/pairs/spread_windows.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {

std::span<const Entry> pair_regime_entries() {
  using namespace pairs;
  static constexpr Entry kEntries[] = {
      {"BetaNeutralSpread", Feed::Kline, build<BetaNeutralSpread, U>, {20},
     {"period [2, MAX]",
      "The residual of this bar's close from the least-squares line of the close on the reference "
      "series (levels) over `period` bars.",
      "period"}},
      {"DistanceSsd", Feed::Kline, build<DistanceSsd, U>, {20},
     {"period [2, MAX]",
      "The sum of squared differences of the close and the reference series, each divided by "
      "its oldest value in the window, over `period` bars.",
      "period"}},
      {"HasbrouckInformationShare", Feed::Kline, build<HasbrouckInformationShare, U>, {30},
     {"period [6, MAX]",
      "The close's share of price discovery against the reference series in an error-correction "
      "model of their one-bar changes over `period` bars: the midpoint of its upper and lower "
      "bounds, 0 to 1 (0.5 when the model cannot be fitted); 1 exactly where both bounds round "
      "to 1, as on closes alternating a tick apart against a reference that does not.",
      "period + 2"}},
      {"OuHalfLife", Feed::Kline, build<OuHalfLife, U>, {20},
     {"period [3, MAX]",
      "The mean-reversion half-life, in bars, of the spread close - reference over `period` "
      "bars; 0 when it does not revert.",
      "period"}},
      {"PairwiseBeta", Feed::Kline, build<PairwiseBeta, U>, {20},
     {"period [2, MAX]",
      "The beta of the close's log returns on the reference series' log returns over `period` "
      "bars.",
      "period + 1"}},
      {"SpreadAr1Coefficient", Feed::Kline, build<SpreadAr1Coefficient, U>, {20},
     {"period [3, MAX]",
      "The AR(1) coefficient of the spread close - reference over `period` bars: the slope of "
      "each spread on the one before.",
      "period"}},
      {"SpreadHurst", Feed::Kline, build<SpreadHurst, U>, {40},
     {"period [8, MAX]",
      "The Hurst exponent, 0 to 1, of the spread close - reference over `period` bars, from how "
      "its mean squared change grows over lags up to `period`/4 (0.5 random walk, above trending, "
      "below mean reverting).",
      "period"}},
      {"TrendLabel", Feed::Kline, build<TrendLabel, U>, {20},
     {"period [2, MAX]",
      "The sign of the least-squares slope of the last `period` closes: +1, -1 or 0.",
      "period"}},
      {"GrangerCausality", Feed::Kline, build<GrangerCausality, U, U>, {40, 2},
     {"period [5, MAX] {at least 3 `lag` + 2}; lag [1, MAX] {at most (`period` - 2) / 3}",
      "The F statistic of whether `lag` lags of the reference series improve a forecast of the "
      "close from its own lags, over `period` bars.",
      "period"}},
      {"PairSpreadZScore", Feed::Kline, build<PairSpreadZScore, U, U>, {20, 20},
     {"beta_period [2, MAX]; z_period [2, MAX]",
      "The z-score, over `z_period` bars, of the log spread ln close - beta ln reference, beta "
      "fitted over `beta_period` bars (close and reference above 0).",
      "beta_period + z_period - 1"}},
      {"Cointegration", Feed::Kline, build<Cointegration, U, U>, {40, 1},
     {"period [4, MAX] {at least 2 `adf_lags` + 4}; adf_lags [1, MAX] {at most (`period` - 4) / "
      "2}",
      "The hedge ratio (least-squares slope) of the close on the reference series over `period` "
      "bars (Engle-Granger); the newest residual and the ADF t statistic of the residuals with "
      "`adf_lags` lagged changes are outputs.",
      "period"}},
      {"KalmanHedgeRatio", Feed::Kline, build<KalmanHedgeRatio, F, F>, {1e-4, 1e-3},
     {"delta (0, 1); observation_var (0, inf)",
      "The hedge ratio beta of close = beta reference + intercept, tracked by a two-state Kalman "
      "filter (state noise `delta`/(1 - `delta`), observation variance `observation_var`).",
      "1"}},
      {"LeadLagCrossCorrelation", Feed::Kline, build<LeadLagCrossCorrelation, U, U>, {20, 5},
     {"window [2, MAX]; max_lag [1, MAX]",
      "The correlation, with its sign, that is largest in magnitude between the last `window` "
      "closes and the reference series shifted by 0 to `max_lag` bars either way (levels).",
      "window + 2 * max_lag"}},
      {"RelativeStrengthAB", Feed::Kline, build<RelativeStrengthAB, U, U>, {10, 14},
     {"ratio_ma_period [1, MAX]; rsi_period [1, MAX]",
      "The ratio close / reference; its average over `ratio_ma_period` bars and its RSI over "
      "`rsi_period` bars are outputs.",
      "max(ratio_ma_period, rsi_period + 1)"}},
      {"SpreadBollingerBands", Feed::Kline, build<SpreadBollingerBands, U, F>, {20, 2.0},
     {"period [2, MAX]; num_std (0, inf)",
      "The middle band: the mean of the spread close - reference over `period` bars; the bands "
      "`num_std` standard deviations away and %B are outputs.",
      "period"}},
      {"RegimeLabel", Feed::Kline, build<RegimeLabel, U, U>, {20, 50},
     {"vol_period [2, MAX]; lookback [2, MAX]",
      "The volatility regime: -1 when the sample standard deviation of the last `vol_period` log "
      "returns of the close is below the 0.25 quantile of its last `lookback` values, +1 above the "
      "0.75 quantile, else 0.",
      "vol_period + lookback"}},
      {"SeasonalZScore", Feed::Kline, build<SeasonalZScore, I>, {60},
     {"utc_offset_minutes [-2147483648, 2147483647]",
      "The z-score of this bar's simple return against the earlier returns of the same local hour "
      "(the candle time shifted by `utc_offset_minutes`), once that hour has two.",
      "2"}},
      {"TurnOfMonth", Feed::Kline, build<TurnOfMonth, U32, U32, I>, {2, 2, 0},
     {"first_days [0, 4294967295] {not both 0}; last_days [0, 4294967295] {not both 0}; "
      "utc_offset_minutes [-2147483648, 2147483647]",
      "The mean daily return (last close over the previous date's last close, minus 1) of the "
      "turn-of-month dates seen so far, the first `first_days` and last `last_days` local dates of "
      "each month, a date counting once the next one opens.",
      "2"}},
      {"VolatilityCone", Feed::Kline, build<VolatilityCone, U, U>, {20, 50},
     {"window [2, inf); lookback [2, inf)",
      "The current volatility: the sample standard deviation of the last `window` log returns "
      "(not annualised); its range over `lookback` values and percentile are outputs.",
      "window + lookback"}},
  };
  return kEntries;
}

}  // namespace fendro::registry
