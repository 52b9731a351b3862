#include "reference/flat_market_history.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>

#include "indicators/all_feeds.hpp"
#include "indicators/series.hpp"
#include "reference/zero_windows.hpp"

namespace fendro::reference {
namespace {

// A candle in ticks and whole volumes.
struct TickBar {
  std::int64_t open, high, low, close, volume;
};

// A walk near 2,000 ticks: moves of up to 6 ticks, wicks of up to 3, a gap
// every tenth bar, volumes 0 to 999 with every seventh bar up to 1e9 (every
// twentieth bar 0).
std::vector<TickBar> tick_walk(std::size_t n) {
  testing::SplitMix rng(20261209);
  const auto draw = [&rng](std::int64_t below) { return static_cast<std::int64_t>(rng.next() % static_cast<std::uint64_t>(below)); };
  std::vector<TickBar> bars;
  std::int64_t close = 2000;
  for (std::size_t i = 0; i < n; ++i) {
    std::int64_t open = close;
    if (i % 10 == 9) open += draw(2) == 0 ? draw(150) + 20 : -(draw(150) + 20);
    open = std::clamp<std::int64_t>(open, 1200, 2800);
    close = std::clamp<std::int64_t>(open + draw(13) - 6, 1100, 2900);
    const std::int64_t high = std::max(open, close) + draw(4);
    const std::int64_t low = std::min(open, close) - draw(4);
    // Heavy bars among light ones, so a sum of scaled volumes keeps rounding.
    const std::int64_t volume = i % 20 == 19 ? 0 : (i % 7 == 3 ? draw(1'000'000) * 1000 : draw(1000));
    bars.push_back({open, high, low, close, volume});
  }
  return bars;
}

// The stretches after the walk. Each keeps every window the type reads on it
// to copies of one price or to zero volumes.
enum class Stretch {
  kHalt,           // every price the last close, volume 0
  kFlatVolume,     // every price the last close, volume 7 on every bar
  kZeroVolume,     // closes moving a tick or two, volume 0 (volume factors only)
};
constexpr Stretch kStretches[] = {Stretch::kHalt, Stretch::kFlatVolume, Stretch::kZeroVolume};
const char* stretch_name(Stretch s) {
  switch (s) {
    case Stretch::kHalt: return "a halt";
    case Stretch::kFlatVolume: return "one price with a steady volume";
    case Stretch::kZeroVolume: return "moving closes at volume 0";
  }
  return "";
}

std::vector<TickBar> stretch_after(const TickBar& last, Stretch kind, std::size_t n) {
  std::vector<TickBar> bars;
  std::int64_t close = last.close;
  for (std::size_t i = 0; i < n; ++i) {
    if (kind != Stretch::kZeroVolume) {
      bars.push_back({close, close, close, close, kind == Stretch::kHalt ? 0 : 7});
      continue;
    }
    const std::int64_t open = close;
    close += static_cast<std::int64_t>(i * 7 % 5) - 2;
    bars.push_back({open, std::max(open, close) + 1, std::min(open, close) - 1, close, 0});
  }
  return bars;
}

Traced run_scaled(const FlatSubject& s, const std::vector<double>& params, const std::vector<TickBar>& bars,
                std::size_t record_from, double price_factor, double volume_factor) {
  Traced g;
  IndicatorPtr ind = s.build(params);
  if (!ind) return g;
  testing::Bar b;
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const TickBar& t = bars[i];
    const auto px = [price_factor](std::int64_t ticks) { return price_factor * static_cast<double>(ticks); };
    b.candle = Candle{1'700'000'000'000 + static_cast<std::int64_t>(i) * 3'600'000, px(t.open), px(t.high),
                      px(t.low), px(t.close), volume_factor * static_cast<double>(t.volume)};
    b.reference = px(t.close);
    const std::optional<double> v = ind->update(testing::snapshot_of(b));
    if (i < record_from) continue;
    g.values.push_back(v);
    std::vector<double> outs;
    for (const auto& named : ind->outputs()) outs.push_back(named.value);
    g.outputs.push_back(std::move(outs));
  }
  return g;
}

}  // namespace

std::vector<std::string> flat_history_faults(const FlatSubject& subject, const std::vector<Kind>& kinds) {
  std::vector<std::string> faults;
  for (const std::vector<double>& params : subject.parameter_sets) {
    const IndicatorPtr probe = subject.build(params);
    if (!probe) continue;
    const std::size_t from = settled_from(*probe, params, kinds);
    const std::size_t history = std::min<std::size_t>(std::max<std::size_t>(400, from + 100), 4500);
    const std::vector<TickBar> walk = tick_walk(history);
    for (const Stretch kind : kStretches) {
      std::vector<TickBar> bars = walk;
      const std::vector<TickBar> tail = stretch_after(walk.back(), kind, from + 24);
      bars.insert(bars.end(), tail.begin(), tail.end());
      const std::size_t record_from = history + from;
      const Traced exact = run_scaled(subject, params, bars, record_from, 1.0, 1.0);
      const auto compare = [&](bool prices, double factor) {
        const Traced at4 = run_scaled(subject, params, bars, record_from, prices ? 4.0 : 1.0, prices ? 1.0 : 4.0);
        const Traced at = run_scaled(subject, params, bars, record_from, prices ? factor : 1.0, prices ? 1.0 : factor);
        for (std::size_t i = 0; i < at.values.size(); ++i) {
          const std::string what = scaled_fault(exact, at4, at, factor, i).value_or("");
          if (what.empty()) continue;
          faults.push_back(std::string(subject.key) + " " + testing::params_text(params) + " on " +
                           stretch_name(kind) + ", " + (prices ? "prices" : "volumes") + " times " +
                           number(factor) + ", stretch bar " + std::to_string(from + i) + ": " + what);
          return;
        }
      };
      if (kind != Stretch::kZeroVolume) {
        for (const double f : kPriceFactors) compare(true, f);
      }
      for (const double f : kVolumeFactors) compare(false, f);
    }
  }
  return faults;
}

}  // namespace fendro::reference
