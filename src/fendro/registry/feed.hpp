// The input stream an indicator consumes.
#pragma once

#include <cstdint>
#include <string_view>

namespace fendro {

enum class Feed : std::uint8_t {
  Kline = 0,
  Trade = 1,
  Orderbook = 2,
  TradeQuote = 3,
  Derivatives = 4,
  CrossSection = 5,
  None = 255,  // absent / not in the table
};

// "Kline", "Trade", "Orderbook", "TradeQuote", "Derivatives", "CrossSection".
std::string_view feed_display_name(Feed f);
// "kline", "trade", "orderbook", "trade_quote", "derivatives", "cross_section".
std::string_view feed_json_name(Feed f);

}  // namespace fendro
