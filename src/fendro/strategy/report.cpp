#include "fendro/strategy/report.hpp"

#include <array>
#include <cmath>
#include <limits>
#include <memory>

#include "fendro/strategy/account.hpp"
#include "fendro/strategy/engine.hpp"
#include "fendro/strategy/tiny.hpp"

namespace fendro {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Step return of the curve: (e1 / e0) + (-1), or 0 from a (near) zero equity.
double step_return(double e0, double e1) { return is_tiny(e0) ? 0.0 : (e1 / e0) + (-1.0); }

json::Value num(double x) { return std::isfinite(x) ? json::Value::number(x) : json::Value::null(); }

// The members are written in key order here, so they are copied as they are.
json::Value obj(json::Arena& arena, std::span<const json::Member> members) {
  json::Member* copy = arena.allocate_array<json::Member>(members.size());
  std::uninitialized_copy(members.begin(), members.end(), copy);
  return json::Value::object_ref({copy, members.size()});
}

}  // namespace

Metrics compute_metrics(std::span<const EquityPoint> equity, std::span<const ClosedTrade> trades,
                        double initial_capital) {
  Metrics m;
  const double c = initial_capital;
  const std::size_t n = equity.size();
  m.pnl = n == 0 ? c - c : equity[n - 1].equity - c;
  m.return_pct = is_tiny(c) ? 0.0 : (m.pnl / c) * 100.0;

  if (n >= 2) {
    // The returns are recomputed on each pass rather than stored.
    const auto r = [&](std::size_t k) { return step_return(equity[k].equity, equity[k + 1].equity); };
    const double steps = static_cast<double>(n - 1);
    double sum = -0.0;
    for (std::size_t k = 0; k + 1 < n; ++k) sum += r(k);
    const double mean = sum / steps;
    double dev = -0.0;
    double down = -0.0;
    for (std::size_t k = 0; k + 1 < n; ++k) {
      const double rk = r(k);
      const double d = rk - mean;
      dev += d * d;
      const double neg = std::isnan(rk) ? 0.0 : (rk < 0.0 ? rk : 0.0);
      down += neg * neg;
    }
    const double sd = std::sqrt(dev / steps);
    m.sharpe = is_tiny(sd) ? 0.0 : mean / sd;
    const double dd = std::sqrt(down / steps);
    m.sortino = is_tiny(dd) ? 0.0 : (sum / steps) / dd;
  }

  double peak = -kInf;
  for (const EquityPoint& p : equity) {
    if (p.equity > peak) peak = p.equity;
    if (peak > 0.0) {
      const double d = ((peak - p.equity) / peak) * 100.0;
      if (d > m.max_drawdown) m.max_drawdown = d;
    }
  }
  if (is_tiny(m.max_drawdown)) {
    m.calmar = m.return_pct > 0.0 ? kInf : 0.0;
  } else {
    m.calmar = m.return_pct / m.max_drawdown;
  }

  std::uint64_t wins = 0;
  double gross_profit = -0.0;
  double gross_loss = -0.0;
  for (const ClosedTrade& t : trades) {
    if (t.pnl > 0.0) {
      ++wins;
      gross_profit += t.pnl;
    } else if (t.pnl < 0.0) {
      gross_loss -= t.pnl;
    }
  }
  m.num_trades = trades.size();
  m.win_rate = trades.empty() ? 0.0 : (static_cast<double>(wins) / static_cast<double>(trades.size())) * 100.0;
  if (is_tiny(gross_loss)) {
    m.profit_factor = gross_profit > 0.0 ? kInf : 0.0;
  } else {
    m.profit_factor = gross_profit / gross_loss;
  }
  return m;
}

Report finish_report(BacktestEngine&& engine) {
  Account& account = engine.account;
  if (holds_position(account.qty) && engine.last_bar) {
    const LastBar last = *engine.last_bar;
    const double fee = (std::fabs(account.qty) * last.close) * engine.taker_rate;
    close_position(account, last.time, "end", last.close, fee);
  }
  Report report;
  report.symbol = engine.spec.symbol;
  report.timeframe = engine.spec.timeframe;
  report.metrics = compute_metrics(engine.equity, account.closed, engine.initial_capital);
  report.trades = std::move(account.closed);
  report.equity = std::move(engine.equity);
  report.fees_paid = account.fees_paid;
  report.initial_capital = engine.initial_capital;
  // The run's indicators and rule window are not needed any more.
  engine.slots.clear();
  engine.window = RuleWindow(1, 0);
  return report;
}

json::Value trades_to_value(std::span<const ClosedTrade> trades, json::Arena& arena) {
  json::Value* items = arena.allocate_array<json::Value>(trades.size());
  for (std::size_t k = 0; k < trades.size(); ++k) {
    const ClosedTrade& t = trades[k];
    const std::array<json::Member, 8> members{{
        {"entry_price", num(t.entry_price)},
        {"entry_time", json::Value::integer(t.entry_time)},
        {"exit_price", num(t.exit_price)},
        {"exit_time", json::Value::integer(t.exit_time)},
        {"pnl", num(t.pnl)},
        {"qty", num(t.qty)},
        {"reason", json::Value::string_ref(t.reason)},
        {"return_pct", num(t.return_pct)},
    }};
    new (&items[k]) json::Value(obj(arena, members));
  }
  return json::Value::array_ref({items, trades.size()});
}

json::Value equity_to_value(std::span<const EquityPoint> equity, json::Arena& arena) {
  json::Value* items = arena.allocate_array<json::Value>(equity.size());
  for (std::size_t k = 0; k < equity.size(); ++k) {
    const std::array<json::Member, 2> members{{
        {"equity", num(equity[k].equity)},
        {"time", json::Value::integer(equity[k].time)},
    }};
    new (&items[k]) json::Value(obj(arena, members));
  }
  return json::Value::array_ref({items, equity.size()});
}

json::Value report_to_value(const Report& r, json::Arena& arena) {
  const Metrics& m = r.metrics;
  const std::array<json::Member, 9> metrics{{
      {"calmar", num(m.calmar)},
      {"max_drawdown", num(m.max_drawdown)},
      {"num_trades", json::Value::uinteger(m.num_trades)},
      {"pnl", num(m.pnl)},
      {"profit_factor", num(m.profit_factor)},
      {"return_pct", num(m.return_pct)},
      {"sharpe", num(m.sharpe)},
      {"sortino", num(m.sortino)},
      {"win_rate", num(m.win_rate)},
  }};
  const std::array<json::Member, 8> members{{
      {"equity", equity_to_value(r.equity, arena)},
      {"fees_paid", num(r.fees_paid)},
      {"initial_capital", num(r.initial_capital)},
      {"metrics", obj(arena, metrics)},
      {"schema_version", json::Value::uinteger(r.schema_version)},
      {"symbol", arena.make_string(r.symbol)},
      {"timeframe", arena.make_string(r.timeframe)},
      {"trades", trades_to_value(r.trades, arena)},
  }};
  return obj(arena, members);
}

}  // namespace fendro
