// Commands whose time goes into one long text (a long array or string to
// canonicalize, a long dataset_ref or symbol to prove, an error that quotes
// a long input) are asked to stop all through it, not only while it is
// parsed: after the parse there are still asks in proportion to the text,
// each of them ends the command as a stop with no answer, and a check that
// never stops changes no byte.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "fendro/json/parse.hpp"
#include "fendro/module/command.hpp"
#include "fendro/proof/canonical.hpp"
#include "fendro/util/paced_copy.hpp"
#include "module/counting_interrupt.hpp"
#include "module/watched_command.hpp"

namespace fendro {
namespace {

using fendro::testing::CountingInterrupt;
using fendro::testing::run;
using fendro::testing::Watched;

// Long enough for many ask intervals of every stage, short enough to run
// the command again and again.
constexpr std::size_t kLong = 4 * 1024 * 1024;

std::string candles(const std::string& symbol) {
  std::string text = "{\"" + symbol + "\":[";
  for (int k = 0; k < 300; ++k) {
    if (k != 0) text += ',';
    text += '[' + std::to_string(k * 60) + ",100,101,99,100.5,10]";
  }
  return text + "]}";
}

// A prove of an SMA on `symbol`; `part` replaces one piece of it whole.
struct Parts {
  std::string type = R"("Sma")";
  std::string entry = R"({"gt":[{"price":"close"},100]})";
  std::string sizing = R"({"type":"fixed_fraction","fraction":0.5})";
  std::string engine;  // ,"engine_version":... when not empty
  std::string data;    // the candles of `symbol` when empty
};

std::string prove(const std::string& symbol, const std::string& dataset_ref, const Parts& p = {}) {
  return R"({"cmd":"prove","spec":{"strategy":{"symbol":")" + symbol +
         R"(","timeframe":"1m","indicators":{"a":{"type":)" + p.type + R"(,"params":[5]}},)"
         R"("entry":)" + p.entry + R"(,"exit":{"lt":[{"price":"close"},99]},)"
         R"("sizing":)" + p.sizing + R"(},"dataset_ref":")" + dataset_ref + "\"" + p.engine +
         R"(},"data":)" + (p.data.empty() ? candles(symbol) : p.data) + "}";
}

// Errors that quote what they were given: the input `x` put in place.
std::string quoting(const std::string& x, int which) {
  Parts p;
  const std::string q = '"' + x + '"';
  switch (which) {
    case 0: p.sizing = R"({"type":"fixed_fraction","fraction":)" + q + "}"; break;
    case 1: p.data = R"({"BTC":[[0,)" + q + ",1,1,1,1]]}"; break;
    case 2: p.type = q; break;
    case 3: p.entry = R"({"gt":[{"price":"close"},)" + q + "]}"; break;
    case 4: p.sizing = R"({"type":)" + q + R"(,"fraction":0.5})"; break;
    case 5: p.entry = "{" + q + ":[1,2]}"; break;
    case 6: p.engine = R"(,"engine_version":)" + q; break;
    case 7: return R"({"cmd":)" + q + "}";
    default:  // no candles for the symbol
      p.data = candles("BTC");
      return prove(x, "unit", p);
  }
  return prove("BTC", "unit", p);
}
constexpr int kQuotingErrors = 9;

// The answer to the long input is the answer to a short one with the
// long one in its place.
std::string with_long(const std::string& short_answer, const std::string& x, const std::string& long_x) {
  std::string out = short_answer;
  const std::size_t at = out.find(x);
  EXPECT_NE(at, std::string::npos) << short_answer;
  if (at != std::string::npos) out.replace(at, x.size(), long_x);
  return out;
}

std::string canonicalize_array() {
  std::string text = R"({"cmd":"canonicalize","value":[)";
  while (text.size() < kLong) text += "12345.678,\"a\\\"b\",";
  return text + "1]}";
}

std::string canonicalize_escapes() {
  std::string text = R"({"cmd":"canonicalize","value":")";
  while (text.size() < kLong) text += "\\n";
  return text + "\"}";
}

struct Row {
  const char* name;
  std::string command;
};

const std::vector<Row>& rows() {
  static const std::vector<Row> all = {
      {"canonicalize a long array", canonicalize_array()},
      {"canonicalize a long string of escapes", canonicalize_escapes()},
      {"prove a long dataset_ref", prove("BTC", std::string(kLong, 'r'))},
      {"prove a long symbol", prove(std::string(kLong, 'S'), "unit")},
  };
  return all;
}

const std::vector<Row>& quoting_rows() {
  static const std::vector<Row> all = [] {
    std::vector<Row> out;
    for (int which = 0; which < kQuotingErrors; ++which) {
      out.push_back({"an error quoting a long input", quoting(std::string(kLong, 'q'), which)});
    }
    return out;
  }();
  return all;
}

std::vector<Row> every_row() {
  std::vector<Row> out = rows();
  out.insert(out.end(), quoting_rows().begin(), quoting_rows().end());
  return out;
}

// The asks of the parse alone: the command's asks beyond these come after
// its text was read.
std::size_t parse_asks(const std::string& command) {
  CountingInterrupt never;
  EXPECT_TRUE(json::parse_deferring(command, "data", nullptr, never.interrupt()).ok());
  return never.asked;
}

TEST(LongTextStop, AnErrorQuotingALongInputQuotesItWhole) {
  const std::string long_x(kLong, 'q');
  for (int which = 0; which < kQuotingErrors; ++which) {
    const std::string short_answer = apply_command(quoting("qqq", which));
    ASSERT_NE(short_answer.find("\"ok\":false"), std::string::npos) << short_answer;
    EXPECT_EQ(apply_command(quoting(long_x, which)), with_long(short_answer, "qqq", long_x)) << short_answer;
  }
}

// Letting go of a text of tens of megabytes asks after the answer is whole:
// a stop said there still ends the command as stopped, for the caller's
// check may have left its own state to match (a handler's exception).
TEST(LongTextStop, AStopAfterTheAnswerIsWholeStillEndsTheCommand) {
  const std::string command = quoting(std::string(std::size_t{48} << 20, 'q'), 7);
  CountingInterrupt never;
  const Watched whole = run(command, never);
  ASSERT_FALSE(whole.stopped);
  ASSERT_EQ(whole.response.back(), '}');
  CountingInterrupt last{.stop_at = never.asked};
  const Watched stopped = run(command, last);
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(last.asked, never.asked);
}

// A proof's texts are copied out of the request in stretches that ask: a
// stop there ends the command as stopped, never as a failure to read the
// request.
TEST(LongTextStop, AStopWhileAProofsLongTextIsReadEndsTheCommand) {
  // Long enough that its copy's asks outnumber all the others after the parse.
  const std::size_t length = 16 * kLong;
  const std::string proof = R"({"engine_version":"0.2.0","inputs_hash":")" + std::string(length, 'f') +
                            R"(","report":null,"report_hash":"00"})";
  const std::string command = R"({"cmd":"verify","proof":)" + proof + R"(,"spec":{"strategy":{"symbol":"BTC",)"
                              R"("timeframe":"1m","indicators":{},"entry":{"gt":[{"price":"close"},100]},)"
                              R"("exit":{"lt":[{"price":"close"},99]},"sizing":{"type":"fixed_fraction",)"
                              R"("fraction":0.5}},"dataset_ref":"unit"},"data":)" + candles("BTC") + "}";
  CountingInterrupt never;
  ASSERT_EQ(run(command, never).response, R"({"ok":true,"valid":false})");
  const std::size_t first = parse_asks(command) + 1;
  ASSERT_GE(never.asked, first + length / kCopyStretchBytes);
  for (std::size_t k = first; k <= never.asked; k += 3) {
    CountingInterrupt stop{.stop_at = k};
    const Watched stopped = run(command, stop);
    EXPECT_TRUE(stopped.stopped) << k << ": " << stopped.response.substr(0, 80);
    EXPECT_EQ(stop.asked, k);
  }
}

TEST(LongTextStop, NeverStoppingChangesNoByte) {
  for (const Row& row : every_row()) {
    CountingInterrupt never;
    const Watched watched = run(row.command, never);
    EXPECT_FALSE(watched.stopped) << row.name;
    EXPECT_EQ(watched.response, apply_command(row.command)) << row.name;
  }
}

TEST(LongTextStop, AskedAllThroughTheTextAfterItsParse) {
  for (const Row& row : every_row()) {
    CountingInterrupt never;
    ASSERT_FALSE(run(row.command, never).stopped) << row.name;
    const std::size_t parsed = parse_asks(row.command);
    // At the least once per hashing interval of the long text, beyond the parse.
    EXPECT_GE(never.asked, parsed + kLong / HashSink::kAskBytes) << row.name;
  }
}

TEST(LongTextStop, EachAskAfterTheParseEndsTheCommandWithNoAnswer) {
  for (const Row& row : every_row()) {
    CountingInterrupt never;
    ASSERT_FALSE(run(row.command, never).stopped) << row.name;
    const std::string answer = apply_command(row.command);
    const std::size_t first = parse_asks(row.command) + 1;
    // Every ask past the parse, some dozen of them spread evenly. A prove's
    // walk asks as time passes, so another run may make fewer asks in all:
    // one that ended before ask k never reached it.
    const std::size_t step = std::max<std::size_t>(1, (never.asked - first) / 12);
    std::vector<std::size_t> asks;
    for (std::size_t k = first; k <= never.asked; k += step) asks.push_back(k);
    // The last ask too: one made once the answer is whole (as what the
    // command held is let go of) still ends the command as stopped.
    asks.push_back(never.asked);
    std::size_t stops = 0;
    for (const std::size_t k : asks) {
      CountingInterrupt stop{.stop_at = k};
      const Watched stopped = run(row.command, stop);
      if (!stopped.stopped && stop.asked < k) continue;
      ++stops;
      EXPECT_TRUE(stopped.stopped) << row.name << " at " << k;
      EXPECT_EQ(stop.asked, k) << row.name << " at " << k;
      EXPECT_NE(stopped.response, answer) << row.name << " at " << k;
    }
    EXPECT_GE(stops, 6u) << row.name;
  }
}

}  // namespace
}  // namespace fendro
