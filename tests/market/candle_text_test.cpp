// The canonical text of a list of candles, as the inputs document holds it,
// is each candle's own text joined by commas, whatever the candles before
// it were: an open equal to the close before it (copied from that close's
// text) and every other open give the same bytes as a candle written alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fendro/market/records.hpp"
#include "fendro/proof/inputs.hpp"
#include "fendro/proof/proof.hpp"

namespace fendro {
namespace {

std::string alone(const Candle& c) {
  char buf[kCandleTextMax];
  return std::string(buf, put_candle(buf, c));
}

// The candles' part of the inputs document of `candles` under symbol "S".
std::string list_text(const std::vector<Candle>& candles) {
  const std::string doc = inputs_document_text(ProofSpec{}, MarketData{{"S", candles}});
  const std::string head = "{\"candles\":{\"S\":[";
  EXPECT_EQ(doc.compare(0, head.size(), head), 0) << doc;
  return doc.substr(head.size(), doc.find("]},\"dataset_ref\"") - head.size());
}

TEST(CandleTextTest, ListIsEachCandleAloneWhateverCameBefore) {
  // Closes followed by an open equal to them, to another value, and to a
  // value of the same text but other bits (0 and -0, "0" either way).
  const double closes[] = {101.25, -3.5, 0.0, -0.0, 1e300, 12345678.87654321, 0.1 + 0.2, 45035996.5};
  const double opens[] = {101.25, 101.5, -0.0, 0.0, 1e300, -1e300, 0.30000000000000004, 7.0};
  std::vector<Candle> candles;
  std::int64_t time = 1700000000000;
  for (const double close : closes) {
    for (const double open : opens) {
      candles.push_back(Candle{time, open, open + 1, open - 1, close, 2.5});
      candles.push_back(Candle{time + 1, close, close, close, open, 0.0});  // open = the close before it
      time += 2;
    }
  }
  std::string expected;
  for (const Candle& c : candles) expected.append(expected.empty() ? "" : ",").append(alone(c));
  EXPECT_EQ(list_text(candles), expected);
}

TEST(CandleTextTest, OpenEqualToTheCloseBeforeIsWrittenAsThatClose) {
  const std::vector<Candle> candles = {{1, 100.0, 102.0, 99.0, 101.25, 1.0}, {2, 101.25, 102.0, 100.5, 101.5, 2.0}};
  EXPECT_EQ(list_text(candles),
            "{\"close\":101.25,\"high\":102,\"low\":99,\"open\":100,\"time\":1,\"volume\":1},"
            "{\"close\":101.5,\"high\":102,\"low\":100.5,\"open\":101.25,\"time\":2,\"volume\":2}");
}

}  // namespace
}  // namespace fendro
