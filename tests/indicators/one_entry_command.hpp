// A "prove" command with one entry, "i0", of a type key, trading the close
// against it, over the given candles written as text that reads back to the
// same numbers.
#pragma once

#include <charconv>
#include <span>
#include <string>
#include <string_view>

#include "fendro/market/records.hpp"

namespace fendro::testing {

inline std::string one_entry_prove_command(std::string_view key, std::span<const double> params,
                                           std::span<const Candle> candles) {
  std::string text = R"({"cmd":"prove","spec":{"strategy":{"symbol":"BTC","timeframe":"1m",)"
                     R"("indicators":{"i0":{"type":")" +
                     std::string(key) + R"(","params":[)";
  char buf[32];
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (i > 0) text += ',';
    text.append(buf, std::to_chars(buf, buf + sizeof buf, params[i]).ptr);
  }
  text += R"(]}},"entry":{"gt":[{"price":"close"},"i0"]},"exit":{"lt":[{"price":"close"},"i0"]},)"
          R"("sizing":{"type":"fixed_fraction","fraction":0.5}},"dataset_ref":"rows"},"data":{"BTC":[)";
  for (std::size_t i = 0; i < candles.size(); ++i) {
    const Candle& c = candles[i];
    text += i == 0 ? "[" : ",[";
    text.append(buf, std::to_chars(buf, buf + sizeof buf, c.time).ptr);
    for (const double v : {c.open, c.high, c.low, c.close, c.volume}) {
      text += ',';
      text.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    }
    text += ']';
  }
  return text + "]}}";
}

}  // namespace fendro::testing
