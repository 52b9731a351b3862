#include "reference/flat_sentence.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>

#include "fendro/registry/registry.hpp"
#include "indicators/all_feeds.hpp"

namespace fendro::reference {
namespace {

// The values past the first warm-up, or nothing where the type is refused.
std::optional<std::vector<std::optional<double>>> settled_values(std::string_view key,
                                                                 const std::vector<double>& params, double price) {
  auto made = build_indicator(key, params);
  if (!made) return std::nullopt;
  IndicatorPtr ind = std::move(made).value();
  const std::size_t warmup = static_cast<std::size_t>(std::min<std::uint64_t>(ind->warmup_period(), 1000));
  const std::size_t n = 3 * warmup + 60;
  std::vector<std::optional<double>> out;
  testing::Bar b;
  for (std::size_t i = 0; i < n; ++i) {
    b.candle = Candle{1'700'000'000'000 + static_cast<std::int64_t>(i) * 3'600'000, price, price, price, price, 1.0};
    b.reference = price;
    const std::optional<double> v = ind->update(testing::snapshot_of(b));
    if (i > warmup) out.push_back(v);
  }
  return out;
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// One value on every bar (bit for bit), none on every bar, or nothing.
std::optional<std::optional<double>> steady(const std::vector<std::optional<double>>& v) {
  if (v.empty()) return std::nullopt;
  for (const auto& x : v) {
    if (x.has_value() != v.front().has_value()) return std::nullopt;
    if (x && !same_bits(*x, *v.front())) return std::nullopt;
  }
  return v.front();
}

}  // namespace

std::string flat_sentence(std::string_view key, const std::vector<double>& params) {
  const auto at03 = settled_values(key, params, 0.3);
  const auto at4 = settled_values(key, params, 4.0);
  if (!at03 || !at4) return "";
  const auto s03 = steady(*at03);
  const auto s4 = steady(*at4);
  if (!s03 || !s4) return "";
  if (!*s03 && !*s4) return "On one-price candles it gives no value.";
  if (!*s03 || !*s4) return "";
  const double a = **s03, b = **s4;
  if (same_bits(a, 0.3) && same_bits(b, 4.0)) return "On one-price candles it reads the price.";
  if (!same_bits(a + 0.0, b + 0.0) || !std::isfinite(a)) return "";
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", a + 0.0);
  // A whole number as it is written; else the shortest text that reads back
  // as the value.
  if (std::floor(a) == a && std::abs(a) < 1e15) {
    std::snprintf(text, sizeof text, "%.0f", a + 0.0);
    return std::string("On one-price candles it reads ") + text + ".";
  }
  for (int digits = 1; digits <= 17; ++digits) {
    char shorter[64];
    std::snprintf(shorter, sizeof shorter, "%.*g", digits, a);
    if (std::strtod(shorter, nullptr) == a) {
      std::snprintf(text, sizeof text, "%s", shorter);
      break;
    }
  }
  return std::string("On one-price candles it reads ") + text + ".";
}

}  // namespace fendro::reference
