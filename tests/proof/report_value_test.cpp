// The streamed report and proof texts against the value trees of
// report_value: write_canonical_json of the tree must give the streamed
// bytes, over generated reports with the awkward numbers (signed zeros,
// subnormals, huge values, integral floats, non-finite values) and empty lists.
#include "fendro/proof/report_value.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/proof/canonical.hpp"
#include "fendro/proof/report_text.hpp"
#include "fendro/proof/response_writer.hpp"
#include "indicators/series.hpp"
#include "proof/streamed_text.hpp"

namespace fendro {
namespace {

using testing::SplitMix;

constexpr double kInf = std::numeric_limits<double>::infinity();

double odd_number(SplitMix& rng) {
  static const double kOdd[] = {
      0.0, -0.0, 1.0, -1.0, 10000.0, 3.0e15, 9007199254740993.0, 1e22, -1e300, 1.7976931348623157e308,
      5e-324, -2.2250738585072014e-308, 1e-9, -4.9999999999e-9, 5e-9, 0.1, 45035996.27370496,
      std::nan(""), kInf, -kInf};
  switch (rng.next() % 4) {
    case 0: return kOdd[rng.next() % std::size(kOdd)];
    case 1: return static_cast<double>(static_cast<std::int64_t>(rng.next() % 2000001) - 1000000);
    case 2: return std::bit_cast<double>(rng.next());
    default: return (rng.unit() - 0.25) * 20000.0;
  }
}

std::int64_t odd_time(SplitMix& rng) {
  static const std::int64_t kOdd[] = {0, -1, std::numeric_limits<std::int64_t>::min(),
                                      std::numeric_limits<std::int64_t>::max(), 1700000000000};
  return rng.next() % 3 == 0 ? kOdd[rng.next() % std::size(kOdd)] : static_cast<std::int64_t>(rng.next());
}

Report odd_report(SplitMix& rng) {
  static const char* const kReasons[] = {"signal", "stop_loss", "trailing_stop", "take_profit", "liquidation",
                                         "end"};
  static const char* const kTexts[] = {"BTC", "", "q\"\\\x7f\x1f", "\xE2\x82\xAC", "15m"};
  Report r;
  r.symbol = kTexts[rng.next() % std::size(kTexts)];
  r.timeframe = kTexts[rng.next() % std::size(kTexts)];
  const std::size_t points = rng.next() % 4 == 0 ? 0 : rng.next() % 200;
  for (std::size_t k = 0; k < points; ++k) r.equity.push_back({odd_time(rng), odd_number(rng)});
  const std::size_t trades = rng.next() % 3 == 0 ? 0 : rng.next() % 30;
  for (std::size_t k = 0; k < trades; ++k) {
    r.trades.push_back(ClosedTrade{kReasons[rng.next() % std::size(kReasons)], odd_time(rng), odd_time(rng),
                                   odd_number(rng), odd_number(rng), odd_number(rng), odd_number(rng),
                                   odd_number(rng)});
  }
  Metrics& m = r.metrics;
  for (double* x : {&m.pnl, &m.return_pct, &m.sharpe, &m.sortino, &m.calmar, &m.max_drawdown, &m.win_rate,
                    &m.profit_factor, &r.fees_paid, &r.initial_capital}) {
    *x = odd_number(rng);
  }
  m.num_trades = rng.next() % 4 == 0 ? std::numeric_limits<std::uint64_t>::max() : r.trades.size();
  r.schema_version = rng.next() % 4 == 0 ? std::numeric_limits<std::uint32_t>::max() : 1;
  return r;
}

std::string streamed_report(const Report& r) {
  return testing::streamed_text([&](ResponseWriter& out) { write_report(out, r); });
}

std::string streamed_proof(const ProvenRun& run) {
  return testing::streamed_text([&](ResponseWriter& out) { write_proof(out, run); });
}

// The proof as prove's steps give it: the report's value, its hash, the
// inputs' hash and the engine's version.
std::string reference_proof(const ProvenRun& run) {
  json::Arena arena;
  const json::Value report = report_to_value(run.report, arena);
  const Proof proof{report, run.inputs_hash, hash_value(report), std::string(ENGINE_VERSION)};
  std::string out;
  write_canonical_json(out, proof_to_value(proof, arena));
  return out;
}

TEST(ReportValue, StreamedTextsMatchTheValueTrees) {
  SplitMix rng(31);
  for (int round = 0; round < 400; ++round) {
    const Report r = round == 0 ? Report{} : odd_report(rng);
    json::Arena arena;
    std::string expected;
    write_canonical_json(expected, report_to_value(r, arena));
    ASSERT_EQ(streamed_report(r), expected) << "round " << round;
    ASSERT_EQ(report_hash(r), hash_text(expected)) << "round " << round;
    const ProvenRun run{r, round % 2 == 0 ? std::string(64, 'a') : hash_text(expected)};
    ASSERT_EQ(streamed_proof(run), reference_proof(run)) << "round " << round;
  }
}

std::string file_text(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Real runs: every golden request that proves, over the golden candles and
// over their first few candles only.
TEST(ReportValue, ProvenRunsMatchTheValueTrees) {
  const std::filesystem::path dir = std::filesystem::path(FENDRO_TEST_DATA_DIR) / "golden";
  // The trees refer into their texts, which must outlive them.
  const std::string data_text = file_text(dir / "data.json");
  auto data_doc = json::parse(data_text);
  ASSERT_TRUE(data_doc.ok());
  auto data = read_market_data(data_doc->root);
  ASSERT_TRUE(data.ok()) << data.error();
  MarketData short_data = *data;
  for (auto& [symbol, candles] : short_data) candles.resize(std::min<std::size_t>(candles.size(), 3));
  int proven = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (!name.ends_with(".request.json")) continue;
    const std::string text = file_text(entry.path());
    auto doc = json::parse(text);
    ASSERT_TRUE(doc.ok()) << name;
    auto spec = read_proof_spec(*doc->root.find("spec"));
    ASSERT_TRUE(spec.ok()) << name;
    for (const MarketData* d : {&*data, &short_data}) {
      auto run = prove(*spec, *d);
      if (!run.ok()) continue;
      EXPECT_EQ(streamed_proof(*run), reference_proof(*run)) << name;
      ++proven;
    }
  }
  EXPECT_GE(proven, 8);
}

TEST(ReportValue, MembersAndTheirKinds) {
  Report r;
  r.symbol = "BTC";
  // Moved in whole: gcc 12 at -O3 takes the copy of "1h" into the empty
  // string for a read of uninitialised bytes (a false positive).
  r.timeframe = std::string("1h");
  r.trades.push_back(ClosedTrade{"end", -5, 7, 1.5, -0.0, -2.0, 0.0, kInf});
  r.equity.push_back({-3, 10000.0});
  r.metrics.calmar = kInf;
  r.metrics.num_trades = 1;
  r.initial_capital = 10000.0;
  json::Arena arena;
  std::string text;
  write_canonical_json(text, report_to_value(r, arena));
  EXPECT_EQ(text,
            "{\"equity\":[{\"equity\":10000,\"time\":-3}],\"fees_paid\":0,\"initial_capital\":10000,"
            "\"metrics\":{\"calmar\":null,\"max_drawdown\":0,\"num_trades\":1,\"pnl\":0,\"profit_factor\":0,"
            "\"return_pct\":0,\"sharpe\":0,\"sortino\":0,\"win_rate\":0},\"schema_version\":1,"
            "\"symbol\":\"BTC\",\"timeframe\":\"1h\",\"trades\":[{\"entry_price\":1.5,\"entry_time\":-5,"
            "\"exit_price\":0,\"exit_time\":7,\"pnl\":0,\"qty\":-2,\"reason\":\"end\",\"return_pct\":null}]}");
}

TEST(ReportValue, ProofHasExactlyFourMembersInKeyOrder) {
  json::Arena arena;
  const Proof p{json::Value::null(), "i", "r", "0.2.0"};
  const json::Value v = proof_to_value(p, arena);
  ASSERT_EQ(v.size, 4u);
  std::string text;
  write_canonical_json(text, v);
  EXPECT_EQ(text, "{\"engine_version\":\"0.2.0\",\"inputs_hash\":\"i\",\"report\":null,\"report_hash\":\"r\"}");
}

}  // namespace
}  // namespace fendro
