#include "fendro/indicators/orderflow/trade_flow.hpp"

#include <cmath>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/orderflow/trade_inputs.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

using orderflow::each_trade;
using orderflow::signed_size;
using orderflow::trade_sign;

std::optional<double> SignedVolume::update(const BarSnapshot& bar) {
  if (bar.trades.empty()) return no_value();
  return value_out(signed_size(bar.trades.back()));
}

std::optional<double> CumulativeVolumeDelta::update(const BarSnapshot& bar) {
  if (bar.trades.empty()) return no_value();
  for (const Trade& t : bar.trades) total_ = total_ + signed_size(t);
  return value_out(total_);
}

std::optional<double> EffectiveSpread::update(const BarSnapshot& bar) {
  if (bar.trades.empty()) return no_value();
  const std::optional<double> mid = orderflow::quote_mid(bar);
  if (!mid) return no_value();
  const Trade& last = bar.trades.back();
  return value_out(orderflow::spread_bps(trade_sign(last), last.price, *mid, *mid));
}

Result<TradeImbalance, IndicatorError> TradeImbalance::create(std::uint64_t period) {
  FENDRO_TRY(window, pair_ring_window_new(period));
  return TradeImbalance(std::move(window));
}

std::optional<double> TradeImbalance::update(const BarSnapshot& bar) {
  return returned(each_trade(bar.trades, [this](const Trade& t) -> std::optional<double> {
    PairRingWindow& w = window_;
    const bool sell = orderflow::is_sell(t);
    const std::pair<double, double> flow = sell ? std::pair{0.0, t.size} : std::pair{t.size, 0.0};
    const auto leaving = w.ring.push(flow);
    w.acc_a = w.acc_a + flow.first;
    w.acc_b = w.acc_b + flow.second;
    if (leaving) {
      w.acc_a = w.acc_a - leaving->first;
      w.acc_b = w.acc_b - leaving->second;
    }
    zeros_.push(flow.first, flow.second);
    if (!w.ring.is_full()) return std::nullopt;
    const double buys = zeros_.read_a(w);
    const double sells = zeros_.read_b(w);
    const double total = buys + sells;
    return total > 0.0 ? (buys - sells) / total : 0.0;
  }));
}

Result<Pin, IndicatorError> Pin::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Pin(period);
}

std::optional<double> Pin::update(const BarSnapshot& bar) {
  return returned(each_trade(bar.trades, [this](const Trade& t) -> std::optional<double> {
    const std::uint8_t buy = orderflow::is_sell(t) ? 0 : 1;
    if (const auto leaving = buys_ring_.push(buy)) buys_ -= *leaving;
    buys_ += buy;
    if (!buys_ring_.is_full()) return std::nullopt;
    const double n = static_cast<double>(period_);
    return std::fabs(2.0 * static_cast<double>(buys_) - n) / n;
  }));
}

Result<TradeSignAutocorrelation, IndicatorError> TradeSignAutocorrelation::create(
    std::uint64_t period) {
  FENDRO_CHECK(
      check_period_min_first(period, 2, "trade-sign autocorrelation needs period >= 2"));
  return TradeSignAutocorrelation(period);
}

std::optional<double> TradeSignAutocorrelation::update(const BarSnapshot& bar) {
  return returned(each_trade(bar.trades, [this](const Trade& t) -> std::optional<double> {
    const std::int8_t d = orderflow::is_sell(t) ? -1 : 1;
    if (signs_.is_full()) neighbours_ -= signs_[0] * signs_[1];  // period >= 2
    if (!signs_.empty()) neighbours_ += signs_.back() * d;
    signs_.push(d);
    if (!signs_.is_full()) return std::nullopt;
    return static_cast<double>(neighbours_) / static_cast<double>(period_ - 1);
  }));
}

}  // namespace fendro
