#include "fendro/proof/report_value.hpp"

#include <cmath>
#include <vector>

namespace fendro {
namespace {

// A JSON number when finite; null for the infinities and NaN.
json::Value number_or_null(double x) {
  return std::isfinite(x) ? json::Value::number(x) : json::Value::null();
}

}  // namespace

json::Value trades_to_value(std::span<const ClosedTrade> trades, json::Arena& arena) {
  std::vector<json::Value> items;
  items.reserve(trades.size());
  for (const ClosedTrade& t : trades) {
    const json::Member members[] = {
        {"reason", arena.make_string(t.reason)},
        {"entry_time", json::Value::integer(t.entry_time)},
        {"exit_time", json::Value::integer(t.exit_time)},
        {"entry_price", number_or_null(t.entry_price)},
        {"exit_price", number_or_null(t.exit_price)},
        {"qty", number_or_null(t.qty)},
        {"pnl", number_or_null(t.pnl)},
        {"return_pct", number_or_null(t.return_pct)},
    };
    items.push_back(arena.make_object(members));
  }
  return arena.make_array(items);
}

json::Value equity_to_value(std::span<const EquityPoint> equity, json::Arena& arena) {
  std::vector<json::Value> items;
  items.reserve(equity.size());
  for (const EquityPoint& p : equity) {
    const json::Member members[] = {
        {"time", json::Value::integer(p.time)},
        {"equity", number_or_null(p.equity)},
    };
    items.push_back(arena.make_object(members));
  }
  return arena.make_array(items);
}

json::Value insert_num_trades(const json::Value& metrics, std::uint64_t num_trades, json::Arena& arena) {
  std::vector<json::Member> members(metrics.as_object().begin(), metrics.as_object().end());
  members.push_back({"num_trades", json::Value::uinteger(num_trades)});
  return arena.make_object(members);
}

json::Value report_to_value(const Report& r, json::Arena& arena) {
  const Metrics& m = r.metrics;
  const json::Member metrics[] = {
      {"pnl", number_or_null(m.pnl)},
      {"return_pct", number_or_null(m.return_pct)},
      {"sharpe", number_or_null(m.sharpe)},
      {"sortino", number_or_null(m.sortino)},
      {"calmar", number_or_null(m.calmar)},
      {"max_drawdown", number_or_null(m.max_drawdown)},
      {"win_rate", number_or_null(m.win_rate)},
      {"profit_factor", number_or_null(m.profit_factor)},
  };
  const json::Member members[] = {
      {"schema_version", json::Value::uinteger(r.schema_version)},
      {"symbol", arena.make_string(r.symbol)},
      {"timeframe", arena.make_string(r.timeframe)},
      {"metrics", insert_num_trades(arena.make_object(metrics), m.num_trades, arena)},
      {"trades", trades_to_value(r.trades, arena)},
      {"equity", equity_to_value(r.equity, arena)},
      {"fees_paid", number_or_null(r.fees_paid)},
      {"initial_capital", number_or_null(r.initial_capital)},
  };
  return arena.make_object(members);
}

json::Value proof_to_value(const Proof& p, json::Arena& arena) {
  const json::Member members[] = {
      {"report", arena.clone(p.report)},
      {"inputs_hash", arena.make_string(p.inputs_hash)},
      {"report_hash", arena.make_string(p.report_hash)},
      {"engine_version", arena.make_string(p.engine_version)},
  };
  return arena.make_object(members);
}

}  // namespace fendro
