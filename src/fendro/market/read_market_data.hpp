// Candle data of a command, read from its value tree.
#pragma once

#include <string>
#include <string_view>

#include "fendro/json/cursor.hpp"
#include "fendro/json/value.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The error text carries no line or column; callers add their own prefix.
Result<MarketData, std::string> read_market_data(const json::Value& data);

// The same reading straight from the text of the data value, without its
// tree: for any text that json::parse accepts, the result and the failure
// text are exactly those of reading the parsed tree. (Text that does not
// parse fails with its syntax error, placed within `text`.)
Result<MarketData, std::string> read_market_data_text(std::string_view text);
// The same reading from the value at a cursor, which it reads whole unless
// the text fails (cur.failed(): the failure returned is then meaningless).
Result<MarketData, std::string> read_market_data(json::Cursor& cur);

}  // namespace fendro
