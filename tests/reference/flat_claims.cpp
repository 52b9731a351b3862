#include "reference/flat_claims.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>

namespace fendro::reference {
namespace {

using Kind = FlatClaim::Kind;

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A whole number as it is written; else the shortest text that reads back
// as the value.
std::string number_words(double a) {
  char text[64];
  if (std::floor(a) == a && std::abs(a) < 1e15) {
    std::snprintf(text, sizeof text, "%.0f", a + 0.0);
    return text;
  }
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, a);
    if (std::strtod(text, nullptr) == a) break;
  }
  return text;
}

// The number `text` starts with and the rest, or nothing.
std::optional<std::pair<double, std::string_view>> leading_number(std::string_view text) {
  const std::string copy(text);
  char* end = nullptr;
  const double v = std::strtod(copy.c_str(), &end);
  if (end == copy.c_str()) return std::nullopt;
  return std::pair{v, text.substr(static_cast<std::size_t>(end - copy.c_str()))};
}

// The claims whose words are a fixed text, with their constant.
struct Worded {
  std::string_view words;
  FlatClaim claim;
};
constexpr Worded kFixedWords[] = {
    {"gives no value", {Kind::kNoValue, 0.0}},
    {"reads the price", {Kind::kPriceTimes, 1.0}},
    {"reads the price squared", {Kind::kPriceSquared, 0.0}},
    {"reads the volume", {Kind::kVolumeTimes, 1.0}},
    {"reads the price times the volume", {Kind::kPriceTimesVolume, 0.0}},
};

}  // namespace

std::optional<double> FlatClaim::value_at(double price, double volume) const {
  switch (kind) {
    case Kind::kNoValue: return std::nullopt;
    case Kind::kConstant: return c;
    case Kind::kPriceTimes: return c * price;
    case Kind::kPricePlus: return price + c;
    case Kind::kPriceSquared: return price * price;
    case Kind::kVolumeTimes: return c * volume;
    case Kind::kPriceTimesVolume: return price * volume;
  }
  return std::nullopt;
}

bool FlatClaim::holds(double price, double volume, std::optional<double> got) const {
  const std::optional<double> want = value_at(price, volume);
  if (want.has_value() != got.has_value()) return false;
  // 0 and -0 read alike in every comparison a rule makes.
  return !want || same_bits(*want + 0.0, *got + 0.0);
}

std::string FlatClaim::words() const {
  for (const Worded& w : kFixedWords) {
    if (w.claim == *this) return std::string(w.words);
  }
  switch (kind) {
    case Kind::kConstant: return "reads " + number_words(c);
    case Kind::kPriceTimes: return "reads " + number_words(c) + " times the price";
    case Kind::kPricePlus:
      return std::string("reads the price ") + (c < 0 ? "minus " : "plus ") + number_words(std::abs(c));
    case Kind::kVolumeTimes: return "reads " + number_words(c) + " times the volume";
    default: return "";
  }
}

std::vector<FlatClaim> flat_claims_through(double price, double volume, std::optional<double> got) {
  if (!got) return {{Kind::kNoValue, 0.0}};
  if (std::isnan(*got)) return {};
  const double v = *got + 0.0;
  // inf (a ratio over a sum of 0) is one value too, and no multiple.
  if (std::isinf(v)) return {{Kind::kConstant, v}};
  std::vector<FlatClaim> out{{Kind::kConstant, v}};
  if (price != 0.0) out.push_back({Kind::kPriceTimes, v / price});
  out.push_back({Kind::kPricePlus, v - price});
  out.push_back({Kind::kPriceSquared, 0.0});
  if (volume != 0.0) out.push_back({Kind::kVolumeTimes, v / volume});
  out.push_back({Kind::kPriceTimesVolume, 0.0});
  // A multiple of 0 is the constant 0, a price plus 0 the price: each case
  // is told in its plainest words.
  std::vector<FlatClaim> kept;
  for (const FlatClaim& c : out) {
    const bool plain_elsewhere = (c.kind == Kind::kPriceTimes || c.kind == Kind::kVolumeTimes) && c.c == 0.0;
    if (plain_elsewhere || (c.kind == Kind::kPricePlus && c.c == 0.0)) continue;
    if (c.holds(price, volume, got)) kept.push_back(c);
  }
  return kept;
}

std::optional<FlatClaim> read_flat_claim(std::string_view words) {
  for (const Worded& w : kFixedWords) {
    if (words == w.words) return w.claim;
  }
  for (const auto& [head, kind, sign] : {std::tuple{std::string_view("reads the price plus "), Kind::kPricePlus, 1.0},
                                         {"reads the price minus ", Kind::kPricePlus, -1.0}}) {
    if (!words.starts_with(head)) continue;
    const auto n = leading_number(words.substr(head.size()));
    if (!n || !n->second.empty()) return std::nullopt;
    return FlatClaim{kind, sign * n->first};
  }
  constexpr std::string_view kReads = "reads ";
  if (!words.starts_with(kReads)) return std::nullopt;
  const auto n = leading_number(words.substr(kReads.size()));
  if (!n) return std::nullopt;
  if (n->second.empty()) return FlatClaim{Kind::kConstant, n->first};
  if (n->second == " times the price") return FlatClaim{Kind::kPriceTimes, n->first};
  if (n->second == " times the volume") return FlatClaim{Kind::kVolumeTimes, n->first};
  return std::nullopt;
}

}  // namespace fendro::reference
