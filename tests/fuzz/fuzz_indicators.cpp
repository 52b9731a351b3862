// Every indicator type on every part of a bar: the fuzz bytes choose a type
// key, its parameters and a stream of snapshots that carry, besides the
// candle, a reference value, the valid prints of a raw trade list, an order
// book, a derivatives tick and a cross-section (a command run only ever
// carries candles, so the pair, order-flow and breadth types are reached
// here). Two instances fed the same stream give the same values and outputs
// to the bit, every output list keeps its names in one order, and the warm-up
// never changes.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/records.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "fuzz_check.hpp"

namespace {

using namespace fendro;

constexpr double kParams[] = {14, 10, 5, 3, 2, 20, 9, 26, 1, 4, 50, 0, -1, 0.5, 2.5, 0.02, 0.2, 100, 1e6, 1e-9};

struct Bar {
  Candle candle;
  std::optional<double> reference;
  std::optional<DerivativesTick> derivatives;
  std::vector<Trade> trades;
  std::optional<OrderBook> book;
  std::optional<CrossSection> cross;

  BarSnapshot snapshot() const {
    BarSnapshot s;
    s.candle = &candle;
    s.reference = reference;
    s.derivatives = derivatives ? &*derivatives : nullptr;
    s.trades = trades;
    s.order_book = book ? &*book : nullptr;
    s.cross_section = cross ? &*cross : nullptr;
    return s;
  }
};

class Stream {
 public:
  explicit Stream(FuzzedDataProvider& in) : in_(in) {}

  std::vector<Bar> bars() {
    std::vector<Bar> out(10 + pick(150));
    double price = 100.0;
    double ref = 50.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
      Bar& b = out[i];
      Candle& c = b.candle;
      c.time = 1700000000000 + static_cast<std::int64_t>(i) * 60000;
      c.open = price;
      price *= 1.0 + (static_cast<double>(pick(81)) - 40.0) / 1000.0;
      c.close = price;
      c.high = std::max(c.open, c.close) * (1.0 + pick(10) / 1000.0);
      c.low = std::min(c.open, c.close) * (1.0 - pick(10) / 1000.0);
      c.volume = 10.0 + pick(1000);
      if (rare(32)) c.close = odd();
      ref *= 1.0 + (static_cast<double>(pick(41)) - 20.0) / 1000.0;
      if (!rare(16)) b.reference = rare(32) ? odd() : ref;
      if (!rare(4)) {
        DerivativesTick d;
        d.funding_rate = (static_cast<double>(pick(21)) - 10.0) / 10000.0;
        d.mark_price = price * (1.0 + pick(5) / 10000.0);
        d.index_price = price;
        d.future_price = price * (1.0 + pick(50) / 10000.0);
        d.open_interest = 1000.0 + pick(500);
        d.longs = 1.0 + pick(100);
        d.shorts = 1.0 + pick(100);
        d.taker_buy_volume = pick(300);
        d.taker_sell_volume = pick(300);
        d.long_liquidations = pick(3) == 0 ? pick(50) : 0.0;
        d.short_liquidations = pick(3) == 0 ? pick(50) : 0.0;
        if (rare(32)) d.mark_price = odd();
        b.derivatives = d;
      }
      // Raw prints, some failing the trade check; the bar keeps the valid
      // ones in order, as the bar loop collects them.
      std::vector<Trade> raw;
      for (std::size_t t = pick(5); t > 0; --t) {
        Trade tr;
        tr.price = rare(32) ? odd() : price * (1.0 + (static_cast<double>(pick(11)) - 5.0) / 10000.0);
        tr.size = rare(32) ? odd() : 0.1 * (1 + pick(50));
        tr.time = c.time + static_cast<std::int64_t>(pick(60000));
        tr.side = static_cast<std::uint8_t>(pick(2));
        raw.push_back(tr);
      }
      std::size_t pos = 0;
      while (const Trade* tr = next_valid_trade(raw, pos)) b.trades.push_back(*tr);
      if (!rare(4)) {
        OrderBook book;
        for (std::size_t k = pick(4); k > 0; --k) book.bids.push_back({price * (1.0 - k / 1000.0), 1.0 + pick(20)});
        for (std::size_t k = pick(4); k > 0; --k) book.asks.push_back({price * (1.0 + k / 1000.0), 1.0 + pick(20)});
        if (rare(32) && !book.bids.empty()) book.bids[0].price = odd();
        b.book = std::move(book);
      }
      if (!rare(4)) {
        CrossSection cs;
        for (std::size_t k = pick(6); k > 0; --k) {
          CrossSectionEntry e;
          e.change = (static_cast<double>(pick(21)) - 10.0) / 100.0;
          e.volume = pick(1000);
          e.new_high = static_cast<std::uint8_t>(pick(2));
          e.new_low = static_cast<std::uint8_t>(pick(2));
          e.above_ma = static_cast<std::uint8_t>(pick(2));
          e.bullish = static_cast<std::uint8_t>(pick(2));
          cs.entries.push_back(e);
        }
        b.cross = std::move(cs);
      }
    }
    return out;
  }

 private:
  FuzzedDataProvider& in_;
  std::size_t pick(std::size_t n) { return in_.ConsumeIntegralInRange<std::size_t>(0, n - 1); }
  bool rare(unsigned in) { return in_.ConsumeIntegralInRange<unsigned>(0, in - 1) == in - 1; }
  double odd() {
    static constexpr double kOdd[] = {0.0, -0.0, -1.0, 1e-300, 1e300, 5e-324};
    return rare(4) ? in_.ConsumeFloatingPoint<double>() : kOdd[pick(std::size(kOdd))];
  }
};

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto rows = registry::key_rows();
  const std::size_t slot = in.ConsumeIntegralInRange<std::size_t>(0, rows.size() + 1);
  const std::string_view key = slot < rows.size() ? rows[slot].key : (slot == rows.size() ? "Macd" : "Bollinger");
  std::vector<double> params(in.ConsumeIntegralInRange<std::size_t>(0, 5));
  for (double& p : params) {
    p = in.ConsumeIntegralInRange(0, 15) == 15 ? in.ConsumeFloatingPoint<double>()
                                               : kParams[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kParams) - 1)];
  }
  auto first = build_indicator(key, params);
  auto second = build_indicator(key, params);
  fuzz::expect(first.ok() == second.ok(), "one of two identical builds fails", key);
  if (!first) return 0;
  Indicator& a = **first;
  Indicator& b = **second;
  const std::uint64_t warmup = a.warmup_period();
  fuzz::expect(warmup == b.warmup_period(), "two identical builds differ in warm-up", key);

  Stream stream(in);
  std::vector<std::string_view> names;
  for (const Bar& bar : stream.bars()) {
    const BarSnapshot snap = bar.snapshot();
    const std::optional<double> x = a.update(snap);
    const std::optional<double> y = b.update(snap);
    fuzz::expect(x.has_value() == y.has_value() && (!x || bits(*x) == bits(*y)), "two instances part", key);
    const auto xs = a.outputs();
    const auto ys = b.outputs();
    fuzz::expect(xs.size() == ys.size(), "two instances give different outputs", key);
    for (std::size_t k = 0; k < xs.size(); ++k) {
      fuzz::expect(xs[k].name == ys[k].name && bits(xs[k].value) == bits(ys[k].value), "two instances' outputs part",
                   key, xs[k].name);
    }
    if (!xs.empty()) {
      if (names.empty()) {
        for (const NamedOutput& o : xs) names.push_back(o.name);
      }
      fuzz::expect(names.size() == xs.size(), "the output list changes length", key);
      for (std::size_t k = 0; k < xs.size(); ++k) fuzz::expect(names[k] == xs[k].name, "an output changes name", key);
    }
    fuzz::expect(a.warmup_period() == warmup, "the warm-up changes", key);
  }
  return 0;
}
