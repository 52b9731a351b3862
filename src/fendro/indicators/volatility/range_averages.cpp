#include "fendro/indicators/volatility/range_averages.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

// ---- ChaikinVolatility ----

Result<ChaikinVolatility, IndicatorError> ChaikinVolatility::create(std::uint64_t ema_period,
                                                                    std::uint64_t roc_period) {
  FENDRO_CHECK(check_period(ema_period));
  FENDRO_CHECK(check_period(roc_period));
  return ChaikinVolatility(ema_period, roc_period);
}

std::optional<double> ChaikinVolatility::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double h = c->high - c->low;
  if (!std::isfinite(h)) return no_value();
  halt_.push(h == 0.0);
  const auto avg = ema_update_settled(ema_, h);
  if (!avg || !std::isfinite(*avg)) return no_value();
  averages_.push(*avg);
  if (!averages_.is_full()) return no_value();
  const double old = averages_.front();
  const double change = old == 0.0 ? 0.0 : ((*avg - old) / old) * 100.0;
  return value_out(halt_.read(change, warmup_period()));
}

// ---- MassIndex ----

Result<MassIndex, IndicatorError> MassIndex::create(std::uint64_t ema_period,
                                                    std::uint64_t sum_period) {
  if (ema_period == 0 || sum_period == 0) return err(IndicatorError::zero_period());
  if (ema_period > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  // No upper bound on the sum period: its ring grows with the bars seen.
  return MassIndex(ema_period, sum_period);
}

std::optional<double> MassIndex::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double h = c->high - c->low;
  if (!std::isfinite(h)) return no_value();
  halt_.push(h == 0.0);
  // One test an update, on the second average, which settles after the
  // first: settled below normal (or seeding), the update takes the settled
  // path out of line. Normal, it has been seeded, and so has the first.
  if (below_normal(chain_[1].value)) [[unlikely]] {
    return settled_path([](MassIndex* m, double range) { return m->advance<true>(range); }, this, h);
  }
  return advance<false>(h);
}

template <bool Kept>
std::optional<double> MassIndex::advance(double h) {
  std::array<double, 2> e;
  if constexpr (Kept) {
    if (!ema_chain_update_as<true>(chain_, h, e)) return no_value();
  } else {
    e[0] = ema_seeded_update(chain_[0], h);
    if (!std::isfinite(e[0])) return no_value();
    e[1] = ema_seeded_update(chain_[1], e[0]);
  }
  const auto over = [](double range, double smoothed) {
    return smoothed == 0.0 ? 1.0 : range / smoothed;
  };
  const double ratio = halt_.read_steady(Kept ? kept_apply(ratio_kept_, over, e[0], e[1]) : over(e[0], e[1]),
                                       2 * chain_[0].period, Kept || below_normal(e[0]));
  ratios_.push(ratio);
  if (!ratios_.is_full()) return no_value();
  return value_out(ratios_.sum());
}

}  // namespace fendro
