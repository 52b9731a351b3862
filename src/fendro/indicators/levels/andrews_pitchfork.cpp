#include "fendro/indicators/levels/andrews_pitchfork.hpp"

#include <algorithm>

#include "fendro/indicators/common/centre_pivot.hpp"
#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<AndrewsPitchfork, IndicatorError> AndrewsPitchfork::create(std::uint64_t span) {
  FENDRO_CHECK(check_period(span));
  return AndrewsPitchfork(span);
}

// The centre is a pivot high (low) when its high (low) is strictly beyond
// every other candle's; both or neither adds nothing.
void AndrewsPitchfork::test_centre() {
  const std::size_t k = static_cast<std::size_t>(span_);
  const chart::CentrePivot p = chart::centre_pivot(window_, k);
  if (p.high == p.low) return;
  const HighLow& centre = window_[k];
  const double bar = static_cast<double>(seen_ - 1 - span_);
  add_pivot(p.high ? Pivot{bar, centre.high, true} : Pivot{bar, centre.low, false});
}

// A pivot of the newest pivot's kind replaces it only when strictly more
// extreme; otherwise it is appended and the oldest of four leaves.
void AndrewsPitchfork::add_pivot(const Pivot& p) {
  if (pivot_count_ > 0) {
    Pivot& newest = pivots_[pivot_count_ - 1];
    if (newest.high == p.high) {
      if (p.high ? p.price > newest.price : p.price < newest.price) newest = p;
      return;
    }
  }
  if (pivot_count_ == pivots_.size()) {
    std::move(pivots_.begin() + 1, pivots_.end(), pivots_.begin());
    --pivot_count_;
  }
  pivots_[pivot_count_++] = p;
}

std::optional<double> AndrewsPitchfork::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  ++seen_;
  window_.push({c->high, c->low});
  if (window_.is_full()) test_centre();
  if (pivot_count_ != pivots_.size()) return no_value();

  const Pivot& p0 = pivots_[0];
  const Pivot& p1 = pivots_[1];
  const Pivot& p2 = pivots_[2];
  const double t = static_cast<double>(seen_ - 1);
  const double mid_bar = midpoint(p1.bar, p2.bar);
  const double mid_price = midpoint(p1.price, p2.price);
  const double slope = (mid_price - p0.price) / (mid_bar - p0.bar);
  const double median = p0.price + (t - p0.bar) * slope;
  const double o1 = p1.price - (p0.price + (p1.bar - p0.bar) * slope);
  const double o2 = p2.price - (p0.price + (p2.bar - p0.bar) * slope);
  return value_out(out_.set(median, median + std::max(o1, o2), median + std::min(o1, o2)));
}

}  // namespace fendro
