// The streamed report text against the general canonical writer: the same
// report built as a value tree (members in any order, sorted by the tree)
// and written by write_canonical_json must give the same bytes.
#include "fendro/proof/report_text.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "fendro/proof/canonical.hpp"
#include "fendro/proof/proof.hpp"
#include "proof/streamed_text.hpp"

namespace fendro {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

json::Value num(double x) { return std::isfinite(x) ? json::Value::number(x) : json::Value::null(); }

std::string reference_text(const Report& r) {
  json::Arena arena;
  std::vector<json::Value> equity;
  for (const EquityPoint& p : r.equity) {
    const json::Member m[] = {{"time", json::Value::integer(p.time)}, {"equity", num(p.equity)}};
    equity.push_back(arena.make_object(m));
  }
  std::vector<json::Value> trades;
  for (const ClosedTrade& t : r.trades) {
    const json::Member m[] = {
        {"reason", arena.make_string(t.reason)},   {"qty", num(t.qty)},
        {"pnl", num(t.pnl)},                       {"return_pct", num(t.return_pct)},
        {"exit_time", json::Value::integer(t.exit_time)}, {"exit_price", num(t.exit_price)},
        {"entry_time", json::Value::integer(t.entry_time)}, {"entry_price", num(t.entry_price)},
    };
    trades.push_back(arena.make_object(m));
  }
  const Metrics& mt = r.metrics;
  const json::Member metrics[] = {
      {"win_rate", num(mt.win_rate)},   {"sortino", num(mt.sortino)},
      {"sharpe", num(mt.sharpe)},       {"return_pct", num(mt.return_pct)},
      {"profit_factor", num(mt.profit_factor)}, {"pnl", num(mt.pnl)},
      {"num_trades", json::Value::uinteger(mt.num_trades)}, {"max_drawdown", num(mt.max_drawdown)},
      {"calmar", num(mt.calmar)},
  };
  const json::Member report[] = {
      {"trades", arena.make_array(trades)},
      {"timeframe", arena.make_string(r.timeframe)},
      {"symbol", arena.make_string(r.symbol)},
      {"schema_version", json::Value::uinteger(r.schema_version)},
      {"metrics", arena.make_object(metrics)},
      {"initial_capital", num(r.initial_capital)},
      {"fees_paid", num(r.fees_paid)},
      {"equity", arena.make_array(equity)},
  };
  std::string out;
  write_canonical_json(out, arena.make_object(report));
  return out;
}

std::string streamed_text(const Report& r) {
  return testing::streamed_text([&](ResponseWriter& out) { write_report(out, r); });
}

// Numbers from every region of the canonical float rule, with their edges.
double any_number(std::mt19937_64& rng) {
  static const double kEdges[] = {
      0.0, -0.0, kInf, -kInf, kNaN, 1e-8, 5e-9, 4.9999999999999e-9, 1.5e-8, 0.125, 0.123456785, 0.123456775,
      45035996.27370496, std::nextafter(45035996.27370496, 0.0), std::nextafter(45035996.27370496, kInf),
      -45035996.27370496, 9007199254740992.0, 9007199254740993.0, 1e21, 1e300, -1e-300,
      std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(),
      std::numeric_limits<double>::lowest(), 10000.0, 9999.99999999, 0.1 + 0.2};
  switch (rng() % 5) {
    case 0: return kEdges[rng() % std::size(kEdges)];
    case 1: return std::bit_cast<double>(rng());  // any bit pattern, NaNs included
    case 2: return static_cast<double>(static_cast<std::int64_t>(rng() % 2000001) - 1000000) / 100.0;
    default: {
      // Equity-like: around the capital, at full precision.
      std::uniform_real_distribution<double> d(0.0, 20000.0);
      return d(rng) * (rng() % 10 == 0 ? -1.0 : 1.0);
    }
  }
}

std::int64_t any_time(std::mt19937_64& rng) {
  static const std::int64_t kEdges[] = {0, -1, 1, std::numeric_limits<std::int64_t>::min(),
                                        std::numeric_limits<std::int64_t>::max(), 1700000000000};
  return rng() % 4 == 0 ? kEdges[rng() % std::size(kEdges)] : static_cast<std::int64_t>(rng());
}

Report any_report(std::mt19937_64& rng) {
  static const std::string_view kReasons[] = {"signal", "stop_loss", "trailing_stop", "take_profit",
                                              "liquidation", "end"};
  static const char* const kTexts[] = {"BTC", "", "a\"b\\c\n\t\x01\x1f", "\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E",
                                       "1h"};
  Report r;
  r.symbol = kTexts[rng() % std::size(kTexts)];
  r.timeframe = kTexts[rng() % std::size(kTexts)];
  const std::size_t points = rng() % 8 == 0 ? 30000 : rng() % 300;
  for (std::size_t k = 0; k < points; ++k) {
    // Runs of one value, as while no position is open.
    const double equity = k != 0 && rng() % 3 == 0 ? r.equity.back().equity : any_number(rng);
    r.equity.push_back({any_time(rng), equity});
  }
  const std::size_t trades = rng() % 8 == 0 ? 3000 : rng() % 40;
  for (std::size_t k = 0; k < trades; ++k) {
    r.trades.push_back(ClosedTrade{kReasons[rng() % std::size(kReasons)], any_time(rng), any_time(rng),
                                   any_number(rng), any_number(rng), any_number(rng), any_number(rng),
                                   any_number(rng)});
  }
  Metrics& m = r.metrics;
  for (double* x : {&m.pnl, &m.return_pct, &m.sharpe, &m.sortino, &m.calmar, &m.max_drawdown, &m.win_rate,
                    &m.profit_factor}) {
    *x = any_number(rng);
  }
  m.num_trades = rng() % 3 == 0 ? std::numeric_limits<std::uint64_t>::max() : rng() % 1000;
  r.fees_paid = any_number(rng);
  r.initial_capital = any_number(rng);
  return r;
}

TEST(ReportText, GeneratedReportsMatchTheGeneralWriter) {
  std::mt19937_64 rng(2024);
  for (int round = 0; round < 200; ++round) {
    const Report r = round == 0 ? Report{} : any_report(rng);  // the empty report first
    const std::string expected = reference_text(r);
    ASSERT_EQ(streamed_text(r), expected) << "round " << round;
    ASSERT_EQ(report_hash(r), hash_text(expected)) << "round " << round;
  }
}

}  // namespace
}  // namespace fendro
