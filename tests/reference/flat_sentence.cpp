#include "reference/flat_sentence.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>

#include "fendro/registry/registry.hpp"
#include "indicators/all_feeds.hpp"
#include "reference/flat_claims.hpp"

namespace fendro::reference {
namespace {

constexpr std::string_view kHead = "On one-price candles ";
constexpr std::string_view kEvery = "it ";
constexpr std::string_view kAboveZero = "with a volume above 0 it ";
constexpr std::string_view kAtZero = "at volume 0 it ";
constexpr std::string_view kThenAtZero = "; at volume 0 it ";

// The value a type settles on at one price and volume: one value (or none)
// on every bar past the first warm-up, bit for bit; nothing where it moves.
using Steady = std::optional<std::optional<double>>;

struct Point {
  double price = 0.0, volume = 0.0;
  Steady value;
};

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

Steady steady_at(Indicator& ind, double price, double volume) {
  const std::size_t warmup = static_cast<std::size_t>(std::min<std::uint64_t>(ind.warmup_period(), 1000));
  const std::size_t n = 3 * warmup + 60;
  testing::Bar b;
  std::optional<std::optional<double>> first;
  for (std::size_t i = 0; i < n; ++i) {
    b.candle = Candle{1'700'000'000'000 + static_cast<std::int64_t>(i) * 3'600'000, price, price, price, price, volume};
    b.reference = price;
    const std::optional<double> v = ind.update(testing::snapshot_of(b));
    if (i <= warmup) continue;
    if (!first) {
      first = v;
      continue;
    }
    if (v.has_value() != first->has_value()) return std::nullopt;
    if (v && !same_bits(*v, **first)) return std::nullopt;
  }
  return first;
}

// Every price and volume tried, or nothing where the type is refused.
std::optional<std::vector<Point>> points_of(std::string_view key, const std::vector<double>& params) {
  std::vector<Point> out;
  for (const double volume : kOnePriceVolumes) {
    for (const double price : kOnePrices) {
      auto made = build_indicator(key, params);
      if (!made) return std::nullopt;
      out.push_back({price, volume, steady_at(**made, price, volume)});
    }
  }
  return out;
}

// The volumes a claim is made for.
enum class Volumes { kEvery, kAboveZero, kZero };

bool in(Volumes g, double volume) {
  return g == Volumes::kEvery || (g == Volumes::kZero) == (volume == 0.0);
}

std::string number(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

// Where `claim` fails among `points` of the volumes `g`: "" where it holds
// at every one.
std::string first_miss(const FlatClaim& claim, const std::vector<Point>& points, Volumes g) {
  for (const Point& p : points) {
    if (!in(g, p.volume)) continue;
    if (p.value && claim.holds(p.price, p.volume, *p.value)) continue;
    const std::string got = !p.value ? "moves" : !*p.value ? "gives no value" : "reads " + number(**p.value);
    return "at price " + number(p.price) + " and volume " + number(p.volume) + " it " + got;
  }
  return "";
}

// The first claim, among those the value at 4.0 could be, that holds at
// every price and volume of `g`.
std::optional<FlatClaim> claim_over(const std::vector<Point>& points, Volumes g) {
  const double volume = g == Volumes::kZero ? 0.0 : 1.0;
  for (const Point& p : points) {
    if (p.price != 4.0 || p.volume != volume || !p.value) continue;
    for (const FlatClaim& c : flat_claims_through(p.price, p.volume, *p.value)) {
      if (first_miss(c, points, g).empty()) return c;
    }
  }
  return std::nullopt;
}

// The sentence's claims with their volumes, read back from a row's value:
// nothing where it states no flat case; an empty list where it states one
// that cannot be read.
std::optional<std::vector<std::pair<Volumes, FlatClaim>>> written_claims(std::string_view value) {
  const std::size_t at = value.find(kHead);
  if (at == std::string_view::npos) return std::nullopt;
  std::size_t end = value.find(". ", at);
  if (end == std::string_view::npos) end = value.ends_with('.') ? value.size() - 1 : value.size();
  std::string_view text = value.substr(at + kHead.size(), end - at - kHead.size());
  std::vector<std::pair<Volumes, FlatClaim>> out;
  const auto add = [&out](Volumes g, std::string_view words) {
    const std::optional<FlatClaim> c = read_flat_claim(words);
    if (c) out.emplace_back(g, *c);
    return c.has_value();
  };
  if (text.starts_with(kAboveZero)) {
    if (!add(Volumes::kAboveZero, text.substr(kAboveZero.size()))) return std::vector<std::pair<Volumes, FlatClaim>>{};
  } else if (text.starts_with(kAtZero)) {
    if (!add(Volumes::kZero, text.substr(kAtZero.size()))) return std::vector<std::pair<Volumes, FlatClaim>>{};
  } else if (text.starts_with(kEvery)) {
    text.remove_prefix(kEvery.size());
    const std::size_t split = text.find(kThenAtZero);
    if (split == std::string_view::npos) {
      if (!add(Volumes::kEvery, text)) return std::vector<std::pair<Volumes, FlatClaim>>{};
    } else if (!add(Volumes::kAboveZero, text.substr(0, split)) ||
               !add(Volumes::kZero, text.substr(split + kThenAtZero.size()))) {
      return std::vector<std::pair<Volumes, FlatClaim>>{};
    }
  }
  return out;
}

}  // namespace

std::string flat_sentence(std::string_view key, const std::vector<double>& params) {
  const std::optional<std::vector<Point>> points = points_of(key, params);
  if (!points) return "";
  const std::string head(kHead);
  if (const auto every = claim_over(*points, Volumes::kEvery)) return head + "it " + every->words() + ".";
  const std::optional<FlatClaim> above = claim_over(*points, Volumes::kAboveZero);
  const std::optional<FlatClaim> zero = claim_over(*points, Volumes::kZero);
  if (above && zero) return head + "it " + above->words() + std::string(kThenAtZero) + zero->words() + ".";
  if (above) return head + std::string(kAboveZero) + above->words() + ".";
  if (zero) return head + std::string(kAtZero) + zero->words() + ".";
  return "";
}

std::vector<std::string> flat_sentence_faults(std::string_view value, std::string_view key,
                                              const std::vector<double>& params) {
  const auto written = written_claims(value);
  if (!written) return {};
  if (written->empty()) return {"its flat case cannot be read back"};
  const std::optional<std::vector<Point>> points = points_of(key, params);
  if (!points) return {"states a flat case, but is refused at its parameters"};
  std::vector<std::string> faults;
  for (const auto& [g, claim] : *written) {
    const std::string miss = first_miss(claim, *points, g);
    if (!miss.empty()) faults.push_back("states that on one-price candles it " + claim.words() + ", but " + miss);
  }
  return faults;
}

}  // namespace fendro::reference
