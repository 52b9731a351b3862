#include "fendro/indicators/chart/td_sequential.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro::chart {
namespace {

// The buy side (+1) looks down at lows, the sell side (-1) up at highs.
bool at_or_beyond(double a, double b, int side) { return side > 0 ? a <= b : a >= b; }
bool beyond(double a, double b, int side) { return side > 0 ? a < b : a > b; }
double extreme(const Candle& c, int side) { return side > 0 ? c.low : c.high; }

}  // namespace

SetupCountdown::SetupCountdown(std::uint64_t ls, std::uint64_t s, std::uint64_t lc,
                               std::uint64_t c, bool combo)
    : window_(std::max(ls, lc)),
      setup_lookback_(ls),
      countdown_lookback_(lc),
      countdown_count_(c),
      setup_{s},
      reference_(std::numeric_limits<double>::quiet_NaN()),
      combo_(combo) {}

Result<SetupCountdown, IndicatorError> SetupCountdown::create(std::uint64_t ls, std::uint64_t s,
                                                              std::uint64_t lc, std::uint64_t c,
                                                              bool combo) {
  FENDRO_CHECK(check_lengths(ls, s));
  FENDRO_CHECK(check_lengths(lc, c));
  return SetupCountdown(ls, s, lc, c, combo);
}

std::uint64_t SetupCountdown::warmup() const { return sat_add(window_.capacity(), 1); }

void SetupCountdown::restart(int direction) {
  buy_countdown_ = 0;
  sell_countdown_ = 0;
  reference_ = std::numeric_limits<double>::quiet_NaN();
  direction_ = direction;
}

// One bar of the countdown on the side in force; a count at its end stays.
void SetupCountdown::count_down(const Candle& c, const Candle& earlier, const Candle& prev) {
  const int side = direction_;
  std::uint64_t& count = side > 0 ? buy_countdown_ : sell_countdown_;
  if (count >= countdown_count_ || !at_or_beyond(c.close, extreme(earlier, side), side)) return;
  if (combo_) {
    if (beyond(c.close, prev.close, side) && at_or_beyond(extreme(c, side), extreme(prev, side), side)) {
      ++count;
    }
    return;
  }
  const std::uint64_t next = count + 1;
  // The last bar must also reach the reference close, once there is one.
  if (next == countdown_count_ && !std::isnan(reference_) &&
      !at_or_beyond(extreme(c, side), reference_, side)) {
    return;
  }
  count = next;
  if (countdown_count_ >= 6 && next == countdown_count_ - 5) reference_ = c.close;
}

std::optional<SetupCountdown::Values> SetupCountdown::step(const Candle& c) {
  if (!window_.is_full()) {
    window_.push(c);
    return std::nullopt;
  }
  const std::size_t held = window_.len();
  setup_.count(side_of(c.close, window_[held - setup_lookback_].close));
  if (setup_.below == setup_.cap && direction_ != 1) {
    restart(1);
  } else if (setup_.above == setup_.cap && direction_ != -1) {
    restart(-1);
  }
  if (direction_ != 0) count_down(c, window_[held - countdown_lookback_], window_.back());
  window_.replace_oldest(c);

  double countdown = 0.0;
  if (direction_ > 0) countdown = static_cast<double>(buy_countdown_);
  if (direction_ < 0) countdown = -static_cast<double>(sell_countdown_);
  return Values{setup_.value(), countdown, static_cast<double>(direction_)};
}

Result<TdSequential, IndicatorError> TdSequential::create(std::uint64_t ls, std::uint64_t s,
                                                          std::uint64_t lc, std::uint64_t c) {
  FENDRO_TRY(core, SetupCountdown::create(ls, s, lc, c, false));
  return TdSequential(std::move(core));
}

std::optional<double> TdSequential::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto v = core_.step(*c);
  if (!v) return no_value();
  return value_out(out_.set(v->setup, v->countdown, v->direction));
}

template <bool kCombo>
std::optional<double> SignedCountdown<kCombo>::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto v = core_.step(*c);
  if (!v) return no_value();
  return value_out(v->countdown);
}

template class SignedCountdown<false>;
template class SignedCountdown<true>;

}  // namespace fendro::chart
