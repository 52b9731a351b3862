#include "indicators/long_bar_rows.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>

#include "fendro/util/math.hpp"
#include "fendro/util/run_scope.hpp"
#include "indicators/series.hpp"

namespace fendro::testing {
namespace {

// Enough for a window of the ladder's largest size to fill twice over.
constexpr std::size_t kSeriesBars = (std::size_t{1} << 18) + 4096;
// Bars stepped past a setting's warm-up and largest parameter.
constexpr std::size_t kMarginBars = 64;

// The sizes each whole-number parameter is pushed to when the customary
// setting does not ask: a window scan of about a step a value is noted from
// the first; a scan of half the window from the second; a window kept
// sorted, whose push moves four entries a step and is noted only for windows
// of more than 2^16, from the last.
constexpr double kSizes[] = {16384, 32768, 131072};

// The bar whose high stands out, before the one whose low does: a window of
// kSizes[0] bars on either side of its centre sees there the highest high,
// and a bar later the lowest low.
constexpr std::size_t kFractalBar = static_cast<std::size_t>(kSizes[0]);

}  // namespace

std::string row_text(const LongBarRow& row) {
  std::string out = row.key;
  char buf[32];
  for (std::size_t i = 0; i < row.params.size(); ++i) {
    out += i == 0 ? ' ' : ',';
    out.append(buf, std::to_chars(buf, buf + sizeof buf, row.params[i]).ptr);
  }
  return out;
}

void PrintTo(const LongBarRow& row, std::ostream* out) { *out << row_text(row); }

std::optional<std::vector<LongBarRow>> read_rows(std::string_view text) {
  std::vector<LongBarRow> rows;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty() || line.front() == '#') continue;
    const std::size_t space = line.find(' ');
    LongBarRow row{std::string(line.substr(0, space)), {}};
    if (space != std::string_view::npos) {
      const char* at = line.data() + space + 1;
      const char* last = line.data() + line.size();
      while (true) {
        double v = 0.0;
        const auto [ptr, ec] = std::from_chars(at, last, v);
        if (ec != std::errc()) return std::nullopt;
        row.params.push_back(v);
        if (ptr == last) break;
        if (*ptr != ',') return std::nullopt;
        at = ptr + 1;
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::span<const Candle> long_bar_candles() {
  static const std::vector<Candle> candles = [] {
    // A return of 2ci + (a0 + ki) on even bars and 2ci - (a0 + ki) on odd
    // ones: with k below 2c both kinds of return rise from bar to bar, and
    // so does their spread, the volatility. Correctly rounded: the same
    // candles on every platform.
    constexpr double c = 2.5e-9;
    constexpr double a0 = 1e-3;
    constexpr double k = 4e-9;
    SplitMix rng(20240611);
    std::vector<Candle> out;
    out.reserve(kSeriesBars);
    double log_close = cr::log(100.0);
    double prev = 100.0;
    for (std::size_t i = 0; i < kSeriesBars; ++i) {
      const double x = static_cast<double>(i);
      const double swing = a0 + k * x;
      log_close += 2.0 * c * x + (i % 2 == 0 ? swing : -swing);
      const double open = prev;
      const double close = cr::exp(log_close);
      double high = std::max(open, close) * (1.0 + rng.unit() * 0.002);
      double low = std::min(open, close) * (1.0 - rng.unit() * 0.002);
      if (i == kFractalBar) high = high * 1e4;
      if (i == kFractalBar + 1) low = low * 1e-4;
      const double volume = 1000.0 + rng.unit() * 1000.0;
      out.push_back(Candle{static_cast<std::int64_t>(i) * 60000, open, high, low, close, volume});
      prev = close;
    }
    return out;
  }();
  return candles;
}

std::size_t bars_for(const LongBarRow& row, std::uint64_t warmup) {
  double largest = 0.0;
  for (const double p : row.params) largest = std::max(largest, p);
  const std::uint64_t reach = std::max(warmup, static_cast<std::uint64_t>(largest));
  return static_cast<std::size_t>(std::min<std::uint64_t>(kSeriesBars, std::min(reach, kSeriesBars) + kMarginBars));
}

namespace {

// The settings tried for one key past its customary one: for each variant
// (each whole-number parameter alone, then all of them), smallest first.
std::vector<std::vector<LongBarRow>> variant_ladders(const registry::Entry& entry) {
  const std::span<const double> base = entry.params.values();
  std::vector<std::size_t> whole;
  for (std::size_t i = 0; i < base.size(); ++i) {
    if (base[i] >= 1.0 && base[i] == std::floor(base[i])) whole.push_back(i);
  }
  const LongBarRow customary{std::string(entry.key), std::vector<double>(base.begin(), base.end())};
  const auto ladder = [&](std::span<const std::size_t> pushed) {
    std::vector<LongBarRow> settings;
    for (const double size : kSizes) {
      LongBarRow row = customary;
      for (const std::size_t i : pushed) row.params[i] = size;
      settings.push_back(std::move(row));
    }
    return settings;
  };
  std::vector<std::vector<LongBarRow>> out;
  for (const std::size_t& i : whole) out.push_back(ladder(std::span(&i, 1)));
  if (whole.size() > 1) out.push_back(ladder(whole));
  return out;
}

// The first bar (from 0) during which the row's indicator asks, stepped bar
// by bar in a scope that asks after every step and is told to stop at the
// first ask: none when it never asks (or is not built).
std::optional<std::size_t> first_asking_bar(const LongBarRow& row) {
  const Interrupt stop_at_once([](void*) { return true; }, nullptr);
  RunScope scope(stop_at_once, 1);
  auto built = build_indicator(row.key, row.params);
  if (!built.ok()) return std::nullopt;
  Indicator& ind = **built;
  const std::span<const Candle> candles = long_bar_candles().first(bars_for(row, ind.warmup_period()));
  for (std::size_t i = 0; i < candles.size(); ++i) {
    step(ind, candles[i]);
    if (scope.in_bar_asks() != 0) return i;
  }
  return std::nullopt;
}

}  // namespace

std::vector<LongBarRow> asking_rows(const registry::Entry& entry) {
  const std::span<const double> base = entry.params.values();
  const LongBarRow customary{std::string(entry.key), std::vector<double>(base.begin(), base.end())};
  if (first_asking_bar(customary)) return {customary};
  std::vector<LongBarRow> rows;
  for (const std::vector<LongBarRow>& ladder : variant_ladders(entry)) {
    for (const LongBarRow& setting : ladder) {
      if (!first_asking_bar(setting)) continue;
      if (std::find(rows.begin(), rows.end(), setting) == rows.end()) rows.push_back(setting);
      break;
    }
  }
  return rows;
}

}  // namespace fendro::testing
