// Reading candle data from a command's text asks the parse's interrupt
// however the text runs: a long candle list read from a text with much more
// after it is given room for the candles that text might hold, and gives the
// room back once the list ends in stretches, asking between them; a long
// run of blanks between candles is left to the parse, which asks as it goes.
#include <gtest/gtest.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "fendro/json/cursor.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/json/parser.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/util/paced_copy.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro {
namespace {

using fendro::testing::CountingInterrupt;

constexpr std::size_t kCandles = 200'000;

// The asks made while the listener was last told of candles: what came after
// is the end of the list.
class LastToldAt final : public CandleListener {
 public:
  explicit LastToldAt(const CountingInterrupt& counter) : counter_(counter) {}
  void symbol(std::string_view) override {}
  void candles(std::span<const Candle>, std::span<const CandleSpellings>) override { asked = counter_.asked; }
  std::size_t asked = 0;

 private:
  const CountingInterrupt& counter_;
};

// Plain candles, then `after` (members of the root after "data").
std::string command(std::size_t candles, const std::string& after) {
  std::string text = R"({"data":{"S":[)";
  for (std::size_t k = 0; k < candles; ++k) {
    if (k != 0) text += ',';
    text += R"({"time":)" + std::to_string(1'700'000'000'000 + 60'000 * k) +
            R"(,"open":101.25,"high":102.5,"low":100.75,"close":101.5,"volume":12.375})";
  }
  return text + "]}" + after + "}";
}

TEST(CandleListRoom, GivenBackAskingWhenTheTextAfterTheListIsLong) {
  // As much text after the list as in it: the room guessed is about twice
  // what the list needs.
  std::string text = command(kCandles, "");
  text = command(kCandles, R"(,"x":")" + std::string(text.size(), 's') + "\"");
  CountingInterrupt never;
  LastToldAt told(never);
  std::size_t read = 0;
  std::size_t after_list = 0;
  const auto parsed = json::parse_deferring(
      text, "data",
      [&](json::Cursor& cur) {
        const auto data = read_market_data(cur, &told);
        after_list = never.asked - told.asked;
        if (data) read = data->at("S").size();
      },
      never.interrupt());
  ASSERT_TRUE(parsed.ok());
  ASSERT_EQ(read, kCandles);
  EXPECT_GE(after_list, kCandles * sizeof(Candle) / kCopyStretchBytes - 1);
}

TEST(CandleListBlanks, ALongRunBetweenCandlesIsAskedThrough) {
  std::string text = command(1000, "");
  const std::size_t at = text.find(R"(,{"time")", text.size() / 2) + 1;
  const std::size_t run = 4 * json::detail::Parser::kCheckBytes;
  text.insert(at, std::string(run, '\n'));
  CountingInterrupt never;
  std::size_t read = 0;
  ASSERT_TRUE(json::parse_deferring(
                  text, "data",
                  [&](json::Cursor& cur) {
                    const auto data = read_market_data(cur);
                    if (data) read = data->at("S").size();
                  },
                  never.interrupt())
                  .ok());
  EXPECT_EQ(read, 1000u);
  EXPECT_GE(never.asked, run / json::detail::Parser::kCheckBytes - 1);
}

}  // namespace
}  // namespace fendro
