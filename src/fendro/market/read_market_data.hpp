// Candle data of a command, read from its value tree.
#pragma once

#include <string>

#include "fendro/json/value.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The error text carries no line or column; callers add their own prefix.
Result<MarketData, std::string> read_market_data(const json::Value& data);

}  // namespace fendro
