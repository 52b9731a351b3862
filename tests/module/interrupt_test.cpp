// Commands asked to stop: each long stage (parsing and reading candles,
// the bars, hashing the inputs, writing or hashing the report) ends at the
// ask that says so, with the stop as its value; a check that never stops
// changes no answer.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fendro/json/parse.hpp"
#include "fendro/json/parser.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/module/command.hpp"
#include "fendro/proof/inputs.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/proof/report_text.hpp"
#include "fendro/registry/registry.hpp"
#include "fendro/strategy/engine.hpp"
#include "fendro/strategy/report.hpp"
#include "fendro/strategy/spec.hpp"
#include "fendro/util/free_later.hpp"
#include "fendro/util/math.hpp"
#include "module/counting_interrupt.hpp"
#include "module/watched_command.hpp"

namespace fendro {
namespace {

using fendro::testing::CountingInterrupt;
using fendro::testing::run;
using fendro::testing::Watched;

const std::string kStrategy =
    R"({"symbol":"BTC","timeframe":"1h","indicators":{"fast":{"type":"Sma","params":[5]},)"
    R"("slow":{"type":"Ema","params":[20]}},"entry":{"cross_above":["fast","slow"]},)"
    R"("exit":{"cross_below":["fast","slow"]},"sizing":{"type":"fixed_fraction","fraction":0.5}})";

// `n` plain candles of a wavy price, as bulk data comes.
std::string candles_text(int n) {
  std::string text = R"({"BTC":[)";
  for (int k = 0; k < n; ++k) {
    const int close = 1000 + (k * 7) % 97 - (k * 3) % 41;
    if (k != 0) text += ',';
    text += "[" + std::to_string(k * 3600) + "," + std::to_string(close) + ",";
    text += std::to_string(close + 5) + "," + std::to_string(close - 5) + "," + std::to_string(close) + ".5,10]";
  }
  return text + "]}";
}

const std::string& long_data() {
  static const std::string text = candles_text(60'000);
  return text;
}

std::string prove_command(const std::string& data) {
  return R"({"cmd":"prove","spec":{"strategy":)" + kStrategy + R"(,"dataset_ref":"unit"},"data":)" + data + "}";
}

std::string verify_command(const std::string& proof, const std::string& data) {
  return R"({"cmd":"verify","proof":)" + proof + R"(,"spec":{"strategy":)" + kStrategy +
         R"(,"dataset_ref":"unit"},"data":)" + data + "}";
}

TEST(CommandInterrupt, NeverStoppingChangesNoAnswer) {
  const std::string proof = apply_command(prove_command(long_data()));
  const std::vector<std::string> commands = {
      prove_command(long_data()),
      verify_command(proof, long_data()),
      prove_command(candles_text(3)),
      R"({"cmd":"version"})",
      R"({"cmd":"canonicalize","value":{"b":[1.50,2],"a":"x"}})",
      R"({"cmd":"nope"})",
      R"({"cmd":"prove","spec":{"strategy":{}},"data":{}})",
      prove_command(R"({"ETH":[]})"),
      prove_command(long_data() + "]"),
  };
  for (const std::string& command : commands) {
    CountingInterrupt never;
    const Watched watched = run(command, never);
    EXPECT_FALSE(watched.stopped) << command.substr(0, 200);
    EXPECT_EQ(watched.response, apply_command(command)) << command.substr(0, 200);
  }
}

TEST(CommandInterrupt, StopsAtTheAskThatSaysSoWithNoAnswer) {
  const std::string proof = apply_command(prove_command(long_data()));
  for (const std::string& command : {prove_command(long_data()), verify_command(proof, long_data())}) {
    CountingInterrupt never;
    ASSERT_FALSE(run(command, never).stopped);
    // The text alone is several check intervals long, and so is the response.
    ASSERT_GE(never.asked, 2 * long_data().size() / json::detail::Parser::kCheckBytes);
    // Every ask up to about half of them: the parse, the bars, the hashes.
    for (std::size_t k = 1; k <= never.asked / 2; ++k) {
      CountingInterrupt stop{.stop_at = k};
      const Watched watched = run(command, stop);
      EXPECT_TRUE(watched.stopped) << k;
      EXPECT_EQ(stop.asked, k);
    }
    // Stopped at the last ask, a response may have been begun, never ended.
    CountingInterrupt last{.stop_at = never.asked};
    const Watched late = run(command, last);
    if (late.stopped) {
      EXPECT_NE(late.response, apply_command(command));
    }
  }
}

// Millions of short symbols cost far more than their text takes to read:
// the reader asks by their count too, and each of its asks can end it.
TEST(CommandInterrupt, TheReaderOfManySymbolsAsksByTheirCount) {
  constexpr int kSymbols = 200'000;
  std::string text = R"({"data":{)";
  for (int k = 0; k < kSymbols; ++k) text += (k == 0 ? "\"" : ",\"") + std::to_string(k) + "\":[]";
  text += "}}";
  const auto read = [&](CountingInterrupt& check) {
    std::optional<Result<MarketData, std::string>> data;
    const auto parsed = json::parse_deferring(
        text, "data", [&](json::Cursor& cur) { data = read_market_data(cur); }, check.interrupt());
    return parsed.ok() ? std::optional<bool>() : std::optional<bool>(parsed.error().stopped);
  };
  CountingInterrupt never;
  ASSERT_FALSE(read(never).has_value());
  // The text alone (under 3 MB) would be asked about a dozen times.
  EXPECT_GE(never.asked, std::size_t{kSymbols} / 4096);
  for (std::size_t k = 1; k <= never.asked; ++k) {
    CountingInterrupt stop{.stop_at = k};
    EXPECT_EQ(read(stop), std::optional<bool>(true)) << k;
    EXPECT_EQ(stop.asked, k);
  }
}

// A stop hands what the command held (the tree, the candles, the strategy,
// the engine and its indicators) to the freeing thread instead of freeing
// it on the caller's path; a command that was not stopped hands nothing.
//
// Not every ask is counted in work, so where the n-th one lands depends on
// the load: a command first waits for what the last stop handed over, asking
// every few milliseconds until it is freed (a stop there finds the command
// holding nothing yet), and the bars ask by time. So each run starts with
// nothing left to free, and the stops go at each ask in turn: every stage's,
// the bars' however many there are, as far as the run asks.
TEST(CommandInterrupt, AStoppedCommandHandsWhatItHeldToTheFreeingThread) {
  // A text of a few parse intervals, bars of several stretches, a hash of a
  // few intervals: every stage asks, in a few dozen runs.
  const std::string command = prove_command(candles_text(20'000));
  CountingInterrupt never;
  const std::uint64_t start = handed_over();
  ASSERT_FALSE(run(command, never).stopped);
  EXPECT_EQ(handed_over(), start);
  std::uint64_t most = 0;
  for (std::size_t k = 1; k <= never.asked; ++k) {
    wait_until_freed();
    CountingInterrupt stop{.stop_at = k};
    const std::uint64_t before = handed_over();
    const bool stopped = run(command, stop).stopped;
    // Its bars may ask fewer times than they did unstopped: it then ends whole.
    if (!stopped) {
      EXPECT_EQ(handed_over(), before) << k;
      continue;
    }
    EXPECT_GE(handed_over() - before, 1u) << k;
    most = std::max(most, handed_over() - before);
  }
  // A stop in the bars: the tree and the candles as read, the request's
  // spec, candles and strategy copy, the strategy and its entries, the engine.
  EXPECT_GE(most, 8u);
  wait_until_freed();
}

TEST(CommandInterrupt, TheCandleReaderIsAskedThroughPlainRuns) {
  const std::string text = R"({"data":)" + long_data() + "}";
  std::optional<Result<MarketData, std::string>> data;
  CountingInterrupt stop{.stop_at = 2};
  const auto parsed = json::parse_deferring(
      text, "data", [&](json::Cursor& cur) { data = read_market_data(cur); }, stop.interrupt());
  ASSERT_FALSE(parsed.ok());
  EXPECT_TRUE(parsed.error().stopped);
  EXPECT_EQ(stop.asked, 2u);
}

struct ProvenInputs {
  json::Document strategy;
  ProofSpec spec;
  MarketData data;
};

ProvenInputs inputs() {
  ProvenInputs in;
  in.strategy = std::move(json::parse(kStrategy)).value();
  in.spec.strategy = in.strategy.root;
  in.spec.dataset_ref = "unit";
  in.data = std::move(read_market_data_text(long_data())).value();
  return in;
}

TEST(ProveInterrupt, EachStageStopsWithTheStopValue) {
  const ProvenInputs in = inputs();
  const auto reference = prove(in.spec, in.data);
  ASSERT_TRUE(reference.ok());

  CountingInterrupt at_first{.stop_at = 1};
  const auto stopped = prove(in.spec, in.data, at_first.interrupt());
  ASSERT_FALSE(stopped.ok());
  EXPECT_EQ(stopped.error().kind, ProofError::Kind::Stopped);

  CountingInterrupt hashing{.stop_at = 2};
  EXPECT_FALSE(inputs_hash(in.spec, in.data, hashing.interrupt()).ok());
  CountingInterrupt never;
  EXPECT_EQ(inputs_hash(in.spec, in.data, never.interrupt()).value(), reference->inputs_hash);
  EXPECT_GE(never.asked, in.data.at("BTC").size() / 4096);

  CountingInterrupt report_hashing{.stop_at = 2};
  EXPECT_FALSE(report_hash(reference->report, report_hashing.interrupt()).ok());
  CountingInterrupt never_again;
  EXPECT_EQ(report_hash(reference->report, never_again.interrupt()).value(), report_hash(reference->report));
}

TEST(ProveInterrupt, AStoppedWriterHandsOnNothingMore) {
  const ProvenInputs in = inputs();
  const auto run = prove(in.spec, in.data);
  ASSERT_TRUE(run.ok());
  std::string whole;
  StringSink whole_sink(whole);
  ResponseWriter plain(&whole_sink);
  write_proof(plain, *run);
  plain.finish();

  std::string part;
  StringSink part_sink(part);
  CountingInterrupt stop{.stop_at = 3};
  ResponseWriter writer(&part_sink, stop.interrupt());
  write_proof(writer, *run);
  writer.finish();
  EXPECT_TRUE(writer.stopped());
  EXPECT_EQ(stop.asked, 3u);
  // Two full pieces went out before the third ask stopped it.
  EXPECT_FALSE(part.empty());
  EXPECT_LT(part.size(), whole.size() / 2);
  EXPECT_EQ(whole.compare(0, part.size(), part), 0);
}

// A curve of `n` bars that rises and falls, with a flat stretch and a drop to
// zero equity so that every branch of the metrics runs.
std::vector<EquityPoint> wavy_curve(std::size_t n) {
  std::vector<EquityPoint> curve(n);
  for (std::size_t k = 0; k < n; ++k) {
    const double x = static_cast<double>(k);
    double e = 10000.0 + 800.0 * cr::sin(x / 900.0) + 50.0 * cr::sin(x / 7.0);
    if (k % 50'000 < 200) e = 10000.0;
    if (k == n / 3) e = 0.0;
    curve[k] = {static_cast<std::int64_t>(k) * 60'000, e};
  }
  return curve;
}

bool same_bits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

TEST(MetricsInterrupt, AsksBetweenStretchesOfBothPassesAndStopsAtTheAskThatSaysSo) {
  const std::vector<ClosedTrade> trades = {{"signal", 0, 60'000, 100.0, 101.0, 1.0, 1.0, 1.0},
                                           {"stop_loss", 60'000, 120'000, 101.0, 99.0, 1.0, -2.0, -2.0}};
  // Per pass: a curve of n bars asks between its stretches; the second pass walks n - 1 steps.
  const std::size_t per = kMetricsBarsPerAsk;
  struct Case {
    std::size_t bars;
    std::size_t asks;
  };
  const std::vector<Case> cases = {
      {0, 0}, {1, 0}, {2, 0}, {per, 0}, {per + 1, 1}, {per + 2, 2}, {3 * per + 5, 6}, {300'000, 8},
  };
  for (const Case& c : cases) {
    const std::vector<EquityPoint> curve = wavy_curve(c.bars);
    const Metrics plain = compute_metrics(curve, trades, 10000.0);
    CountingInterrupt never;
    const auto asked = compute_metrics(curve, trades, 10000.0, never.interrupt());
    ASSERT_TRUE(asked.ok()) << c.bars;
    EXPECT_EQ(never.asked, c.asks) << c.bars;
    const Metrics& m = *asked;
    for (const auto& [got, want] : {std::pair{m.pnl, plain.pnl}, {m.return_pct, plain.return_pct},
                                    {m.max_drawdown, plain.max_drawdown}, {m.sharpe, plain.sharpe},
                                    {m.sortino, plain.sortino}, {m.calmar, plain.calmar},
                                    {m.win_rate, plain.win_rate}, {m.profit_factor, plain.profit_factor}}) {
      EXPECT_TRUE(same_bits(got, want)) << c.bars << ": " << got << " vs " << want;
    }
    EXPECT_EQ(m.num_trades, plain.num_trades);
    for (std::size_t k = 1; k <= c.asks; ++k) {
      CountingInterrupt stop{.stop_at = k};
      EXPECT_FALSE(compute_metrics(curve, trades, 10000.0, stop.interrupt()).ok()) << c.bars << " at " << k;
      EXPECT_EQ(stop.asked, k);
    }
  }
}

TEST(MetricsInterrupt, TheWalkTheBarsFedGivesTheMetricsOfTheCurve) {
  const ProvenInputs in = inputs();
  const auto run = prove(in.spec, in.data);
  ASSERT_TRUE(run.ok());
  const Report& r = run->report;
  ASSERT_GT(r.trades.size(), 10u);
  const Metrics again = compute_metrics(r.equity, r.trades, r.initial_capital);
  for (const auto& [got, want] : {std::pair{r.metrics.max_drawdown, again.max_drawdown},
                                  {r.metrics.sharpe, again.sharpe}, {r.metrics.sortino, again.sortino},
                                  {r.metrics.calmar, again.calmar}, {r.metrics.return_pct, again.return_pct}}) {
    EXPECT_TRUE(same_bits(got, want)) << got << " vs " << want;
  }
}

TEST(MetricsInterrupt, TheEngineAsksWhileItsMetricsRun) {
  // Flat candles, enough of them that the metrics' second pass asks twice
  // (the first walked with the bars, which ask for themselves).
  std::string text = R"({"BTC":[)";
  const std::size_t n = 2 * kMetricsBarsPerAsk + 10;
  for (std::size_t k = 0; k < n; ++k) {
    if (k != 0) text += ',';
    text += '[' + std::to_string(k) + ",100,101,99,100,1]";
  }
  text += "]}";
  const json::Document strategy_json = std::move(json::parse(kStrategy)).value();
  const StrategySpec strategy = std::move(read_strategy_spec(strategy_json.root)).value();
  const MarketData data = std::move(read_market_data_text(text)).value();
  const std::vector<Candle>& candles = data.at("BTC");
  const auto engine = [&] {
    std::vector<IndicatorSlot> slots;
    for (const auto& [id, ind] : strategy.indicators) {
      slots.emplace_back(id, std::move(build_indicator(ind.type, ind.params)).value());
    }
    auto e = std::make_unique<BacktestEngine>(strategy, std::move(slots), 0, window_capacity_for(strategy),
                                              candles.size(), 10000.0);
    EXPECT_TRUE(e->run(candles).ok());
    return e;
  };
  const Report plain = std::move(*engine()).finish_report();
  CountingInterrupt never;
  const auto asked = std::move(*engine()).finish_report(never.interrupt());
  ASSERT_TRUE(asked.ok());
  // Once after freeing each indicator, then twice in the metrics.
  const std::size_t asks = strategy.indicators.size() + 2;
  EXPECT_EQ(never.asked, asks);
  EXPECT_EQ(asked->equity, plain.equity);
  EXPECT_EQ(asked->metrics.sharpe, plain.metrics.sharpe);
  EXPECT_EQ(asked->metrics.max_drawdown, plain.metrics.max_drawdown);
  for (std::size_t k = 1; k <= asks; ++k) {
    CountingInterrupt stop{.stop_at = k};
    EXPECT_FALSE(std::move(*engine()).finish_report(stop.interrupt()).ok()) << k;
    EXPECT_EQ(stop.asked, k);
  }
}

}  // namespace
}  // namespace fendro
