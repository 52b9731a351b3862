#include "fendro/proof/report_text.hpp"

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <utility>

#include "fendro/proof/canonical.hpp"

namespace fendro {
namespace {

// Room for one integer: put_i64 / put_u64 store whole words.
constexpr std::size_t kIntTextMax = 24;

// One point with its separator; the room it may need (and a word of scratch
// past the end, for the whole-word copies below).
constexpr std::size_t kPointTextMax = 1 + 10 + kFloatTextMax + 8 + kIntTextMax + 1 + 64;

constexpr std::size_t kPointsPerStopCheck = 1024;

// The text of a point up to its time's value, `,{"equity":<value>,"time":`,
// kept from the last point: while no position is open the equity stays the
// same from bar to bar, and the whole stretch is copied as one word.
class PointHead {
 public:
  // Writes the head of a point whose equity is `equity` at p; returns the end.
  char* put(char* p, double equity) {
    const auto bits = std::bit_cast<std::uint64_t>(equity);
    if (bits == bits_ && size_ != 0) {
      std::memcpy(p, text_, kKept);
      return p + size_;
    }
    char* const start = p;
    p = fendro::put(p, ",{\"equity\":");
    p = put_canonical_float(p, equity);
    p = fendro::put(p, ",\"time\":");
    const auto size = static_cast<std::size_t>(p - start);
    bits_ = bits;
    size_ = size <= kKept ? size : 0;  // a longer text is written anew each time
    std::memcpy(text_, start, kKept);
    return p;
  }

 private:
  static constexpr std::size_t kKept = 64;
  std::uint64_t bits_ = 0;
  std::size_t size_ = 0;  // 0: nothing kept
  char text_[kKept];
};

// The text of a time, its digits above the last eight kept from the last
// time: bar times step by a minute or an hour, so those digits seldom change.
class TimeText {
 public:
  // Writes the digits of `time` at p (kIntTextMax bytes of room); returns the end.
  char* put(char* p, std::int64_t time) {
    const std::uint64_t low = static_cast<std::uint64_t>(time) - base_;
    if (low < kLow && base_ != 0) {
      std::memcpy(p, high_text_, sizeof high_text_);
      p += high_size_;
      store_digits8(p, digits8_word(static_cast<std::uint32_t>(low)));
      return p + 8;
    }
    char* const end = put_i64(p, time);
    // Kept for a time of 9 to 19 digits. No negative time passes the test
    // above: a kept base is at most 2^63 - 10^8, so its distance from a
    // negative time, taken modulo 2^64, is at least 10^8.
    const std::uint64_t base = static_cast<std::uint64_t>(time) / kLow * kLow;
    if (time >= static_cast<std::int64_t>(kLow) && base <= kMaxBase) {
      base_ = base;
      high_size_ = static_cast<std::size_t>(end - p) - 8;
      std::memcpy(high_text_, p, sizeof high_text_);
    }
    return end;
  }

 private:
  static constexpr std::uint64_t kLow = 100000000;
  static constexpr std::uint64_t kMaxBase = (std::uint64_t{1} << 63) - kLow;
  std::uint64_t base_ = 0;  // the kept digits' value times 10^8; 0: nothing kept
  std::size_t high_size_ = 0;
  char high_text_[16] = {};  // at most 11 digits are kept; whole words copied
};

// The text of equity_to_value's array.
void put_equity(ResponseWriter& out, std::span<const EquityPoint> equity) {
  if (equity.empty()) {
    out.write("\"equity\":[]");
    return;
  }
  out.write("\"equity\":");
  PointHead head;
  TimeText time;
  for (std::size_t k = 0; k < equity.size(); ++k) {
    // A stopped writer ends the list: looked at once a block (about a piece).
    if (k % kPointsPerStopCheck == 0 && out.stopped()) break;
    char* p = out.room(kPointTextMax);
    // Every head starts with a separator; the first point's opens the list.
    char* const start = p;
    p = head.put(p, equity[k].equity);
    if (k == 0) *start = '[';
    p = time.put(p, equity[k].time);
    *p++ = '}';
    out.advance_to(p);
  }
  out.write("]");
}

// Up to the reason's value, and from there on; the room each part may need.
constexpr std::size_t kTradeHeadMax = 1 + 4 * kFloatTextMax + 2 * kIntTextMax + 80;
constexpr std::size_t kTradeTailMax = 14 + kFloatTextMax + 1;

// The text of trades_to_value's array.
void put_trades(ResponseWriter& out, std::span<const ClosedTrade> trades) {
  out.write("\"trades\":[");
  for (std::size_t k = 0; k < trades.size() && !out.stopped(); ++k) {
    const ClosedTrade& t = trades[k];
    char* p = out.room(kTradeHeadMax);
    if (k != 0) *p++ = ',';
    p = put(p, "{\"entry_price\":");
    p = put_canonical_float(p, t.entry_price);
    p = put(p, ",\"entry_time\":");
    p = put_i64(p, t.entry_time);
    p = put(p, ",\"exit_price\":");
    p = put_canonical_float(p, t.exit_price);
    p = put(p, ",\"exit_time\":");
    p = put_i64(p, t.exit_time);
    p = put(p, ",\"pnl\":");
    p = put_canonical_float(p, t.pnl);
    p = put(p, ",\"qty\":");
    p = put_canonical_float(p, t.qty);
    p = put(p, ",\"reason\":");
    out.advance_to(p);
    write_canonical_string(out, t.reason);
    p = out.room(kTradeTailMax);
    p = put(p, ",\"return_pct\":");
    p = put_canonical_float(p, t.return_pct);
    *p++ = '}';
    out.advance_to(p);
  }
  out.write("]");
}

constexpr std::size_t kMetricsTextMax = 160 + 8 * kFloatTextMax + kIntTextMax;

// The text of the metrics object, "num_trades" in its key place as
// insert_num_trades puts it.
void put_metrics(ResponseWriter& out, const Metrics& m) {
  char* p = out.room(kMetricsTextMax);
  p = put(p, "\"metrics\":{\"calmar\":");
  p = put_canonical_float(p, m.calmar);
  p = put(p, ",\"max_drawdown\":");
  p = put_canonical_float(p, m.max_drawdown);
  p = put(p, ",\"num_trades\":");
  p = put_u64(p, m.num_trades);
  p = put(p, ",\"pnl\":");
  p = put_canonical_float(p, m.pnl);
  p = put(p, ",\"profit_factor\":");
  p = put_canonical_float(p, m.profit_factor);
  p = put(p, ",\"return_pct\":");
  p = put_canonical_float(p, m.return_pct);
  p = put(p, ",\"sharpe\":");
  p = put_canonical_float(p, m.sharpe);
  p = put(p, ",\"sortino\":");
  p = put_canonical_float(p, m.sortino);
  p = put(p, ",\"win_rate\":");
  p = put_canonical_float(p, m.win_rate);
  *p++ = '}';
  out.advance_to(p);
}

// A few bytes more than a point or a trade takes in the usual case: the
// estimate only sizes a string sink's reservation.
constexpr std::size_t kPointTextGuess = 56;
constexpr std::size_t kTradeTextGuess = 240;

}  // namespace

// The text of report_to_value: the bytes write_canonical_json gives for it.
void write_report(ResponseWriter& out, const Report& r) {
  out.expect(1024 + r.symbol.size() + r.timeframe.size() + kPointTextGuess * r.equity.size() +
             kTradeTextGuess * r.trades.size());
  // Members in key order: equity, fees_paid, initial_capital, metrics,
  // schema_version, symbol, timeframe, trades.
  out.write("{");
  put_equity(out, r.equity);
  char* p = out.room(40 + 2 * kFloatTextMax);
  p = put(p, ",\"fees_paid\":");
  p = put_canonical_float(p, r.fees_paid);
  p = put(p, ",\"initial_capital\":");
  p = put_canonical_float(p, r.initial_capital);
  *p++ = ',';
  out.advance_to(p);
  put_metrics(out, r.metrics);
  p = out.room(40 + kIntTextMax);
  p = put(p, ",\"schema_version\":");
  p = put_u64(p, r.schema_version);
  out.advance_to(put(p, ",\"symbol\":"));
  write_canonical_string(out, r.symbol);
  out.write(",\"timeframe\":");
  write_canonical_string(out, r.timeframe);
  out.write(",");
  put_trades(out, r.trades);
  out.write("}");
}

std::string report_hash(const Report& report) { return std::move(report_hash(report, Interrupt{})).value(); }

Result<std::string, Stopped> report_hash(const Report& report, const Interrupt& interrupt) {
  ResponseWriter out(nullptr, interrupt);
  out.seal_begin();
  write_report(out, report);
  std::string hash = out.seal_end();
  if (out.stopped()) return err(Stopped{});
  return hash;
}

}  // namespace fendro
