// Market records that indicators consume.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct Candle {
  std::int64_t time = 0;  // ms since the Unix epoch
  double open = 0.0;
  double high = 0.0;
  double low = 0.0;
  double close = 0.0;
  double volume = 0.0;
};

struct Trade {
  double price = 0.0;
  double size = 0.0;
  std::int64_t time = 0;
  std::uint8_t side = 0;  // bit 0 set: sell aggressor
};

struct BookLevel {
  double price = 0.0;
  double size = 0.0;
};

struct OrderBook {
  std::vector<BookLevel> bids;  // best first
  std::vector<BookLevel> asks;  // best first
};

struct DerivativesTick {
  double funding_rate = 0.0;
  double mark_price = 0.0;
  double index_price = 0.0;
  double future_price = 0.0;
  double open_interest = 0.0;
  double longs = 0.0;
  double shorts = 0.0;
  double taker_buy_volume = 0.0;
  double taker_sell_volume = 0.0;
  double long_liquidations = 0.0;
  double short_liquidations = 0.0;
  double reserved = 0.0;  // carried, read by nothing
};

struct CrossSectionEntry {
  double change = 0.0;
  double volume = 0.0;
  std::uint8_t new_high = 0;
  std::uint8_t new_low = 0;
  std::uint8_t above_ma = 0;
  std::uint8_t bullish = 0;
};

struct CrossSection {
  std::vector<CrossSectionEntry> entries;
};

// Symbol -> candles, ordered by the symbols' bytes.
using MarketData = std::map<std::string, std::vector<Candle>, std::less<>>;

Status<IndicatorError> validate_candle(const Candle& c);
Status<IndicatorError> validate_trade(const Trade& t);

// Advances `pos` past failing prints and returns the next valid one, or
// nullptr at the end of `raw`.
const Trade* next_valid_trade(std::span<const Trade> raw, std::size_t& pos);

}  // namespace fendro
