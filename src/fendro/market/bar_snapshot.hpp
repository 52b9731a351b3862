// What every indicator sees of one bar.
#pragma once

#include <optional>
#include <span>

#include "fendro/market/records.hpp"

namespace fendro {

struct BarSnapshot {
  std::optional<double> reference;               // second series of pair indicators
  const DerivativesTick* derivatives = nullptr;  // absent when null
  const Candle* candle = nullptr;                // always present
  std::span<const Trade> trades;                 // valid prints, oldest first
  const OrderBook* order_book = nullptr;
  const CrossSection* cross_section = nullptr;
};

}  // namespace fendro
