// The money side of a run: the account, slippage, sizing and the fills that
// open and close positions. Every formula keeps its stated order of operations:
// the results end in hashed reports.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/market/records.hpp"
#include "fendro/registry/strategy_error.hpp"
#include "fendro/strategy/report.hpp"
#include "fendro/strategy/rule_window.hpp"
#include "fendro/strategy/spec.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct Account {
  std::vector<ClosedTrade> closed;  // in the order of closing
  double cash = 0.0;
  double qty = 0.0;  // signed: positive long, negative short
  double entry_price = 0.0;
  std::int64_t entry_time = 0;
  double entry_fees = 0.0;  // fee of the opening fill; 0 once closed
  double fees_paid = 0.0;
};

// What a fill reads of the bar being processed.
struct FillContext {
  const StrategySpec* spec = nullptr;
  const Candle* candle = nullptr;     // the bar whose price fills the order
  const RuleWindow* window = nullptr; // as it stands at the fill
  const OrderBook* order_book = nullptr;
  double maker_rate = 0.0;
  double taker_rate = 0.0;
  std::uint64_t bar_index = 0;
};

enum class Side : std::uint8_t { Long, Short };

// Standard deviation of the per-bar simple returns of the window's last
// `lookback` closes (population, not annualised); absent when there is none.
std::optional<double> volatility_estimate(const RuleWindow& window, std::uint32_t lookback);

// Slippage fraction of the spec's model; `abs_qty` feeds volume_impact.
double slippage_fraction(const Slippage& model, const FillContext& ctx, double abs_qty);

// No trade (absent), a quantity, or the sizing error text.
Result<std::optional<double>, std::string> size_position(const Sizing& sizing, const Risk& risk,
                                                          std::optional<double> vol, double equity,
                                                          double price);

// Opens a position at `price` before slippage; `maker` picks the maker fee.
// Not trading (nothing to size, a cap of zero) is success with nothing booked.
Status<StrategyError> entry_fill(Side side, bool maker, const FillContext& ctx, Account& account,
                                 std::optional<std::uint64_t>& entry_bar, double& trail_ref,
                                 double price);

// Closes the open position at `price` before slippage, taker fee; nothing when flat.
void exit_fill(std::string_view reason, const FillContext& ctx, Account& account,
               std::optional<std::uint64_t>& entry_bar, double price);

// The fee of closing `qty` at `price` (after slippage): every close, the
// forced one at the end included, pays the taker rate.
inline double close_fee(double qty, double price, double taker_rate) {
  return (std::fabs(qty) * price) * taker_rate;
}

// Books a closing fill at its final price with a fee the caller computed.
// `reason` must be a static text.
void close_position(Account& account, std::int64_t time, std::string_view reason, double price,
                    double fee);

}  // namespace fendro
