#include "reference/stated_ranges.hpp"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace fendro::reference {
namespace {

// A number as a value text writes it: an optional minus, digits, and an
// optional fraction; `end` is past it.
bool read_number(std::string_view text, std::size_t at, double& value, std::size_t& end) {
  std::size_t i = at;
  if (i < text.size() && text[i] == '-') ++i;
  const std::size_t digits = i;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  if (i == digits) return false;
  if (i + 1 < text.size() && text[i] == '.' && std::isdigit(static_cast<unsigned char>(text[i + 1]))) {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  }
  value = std::strtod(std::string(text.substr(at, i - at)).c_str(), nullptr);
  end = i;
  return true;
}

// Whether a number may start at `at`: not inside a word or another number.
bool starts_number(std::string_view text, std::size_t at) {
  if (at == 0) return true;
  const char before = text[at - 1];
  return !std::isalnum(static_cast<unsigned char>(before)) && before != '.' && before != '-' && before != '_';
}

// The ordinal of a double: consecutive doubles have consecutive ordinals,
// both zeros have 0.
std::int64_t ordinal(double v) {
  const auto b = std::bit_cast<std::int64_t>(v);
  return b < 0 ? -(b & 0x7fff'ffff'ffff'ffffLL) : b;
}

std::string number_text(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string quoted(std::string_view text) {
  std::string out = "\"";
  out += text;
  out += '"';
  return out;
}

}  // namespace

std::vector<RangePhrase> range_phrases(std::string_view text) {
  std::vector<RangePhrase> out;
  constexpr std::string_view kTo = " to ";
  for (std::size_t at = 0; at < text.size(); ++at) {
    double low = 0.0, high = 0.0;
    std::size_t mid = 0, end = 0;
    if (!starts_number(text, at) || !read_number(text, at, low, mid)) continue;
    if (text.substr(mid, kTo.size()) != kTo || !read_number(text, mid + kTo.size(), high, end)) {
      at = mid - 1;
      continue;
    }
    out.push_back({std::string(text.substr(at, end - at)), low, high, at});
    at = end - 1;
  }
  return out;
}

std::vector<StatedExcursion> stated_excursions(std::string_view text) {
  std::vector<StatedExcursion> out;
  constexpr std::string_view kPassing = "passing ";
  constexpr std::string_view kAnd = " and ";
  constexpr std::string_view kOne = " by a unit in the last place";
  constexpr std::string_view kBy = " by ";
  constexpr std::string_view kUnits = " units in the last place";
  for (std::size_t at = text.find(kPassing); at != std::string_view::npos; at = text.find(kPassing, at + 1)) {
    double bounds[2] = {0.0, 0.0}, count = 0.0;
    std::size_t end = 0, count_end = 0;
    if (!read_number(text, at + kPassing.size(), bounds[0], end)) continue;
    std::size_t n = 1;
    if (text.substr(end, kAnd.size()) == kAnd && read_number(text, end + kAnd.size(), bounds[1], end)) n = 2;
    std::uint64_t ulps = 0;
    if (text.substr(end, kOne.size()) == kOne) {
      ulps = 1;
    } else if (text.substr(end, kBy.size()) == kBy && read_number(text, end + kBy.size(), count, count_end) &&
               text.substr(count_end, kUnits.size()) == kUnits && count >= 2.0) {
      ulps = static_cast<std::uint64_t>(count);
    }
    for (std::size_t k = 0; k < n && ulps > 0; ++k) out.push_back({bounds[k], ulps, at});
  }
  return out;
}

ReadClaims read_claims(std::string_view key, std::string_view text, std::span<const RangeClaim> table,
                       std::span<const OtherSpan> others, std::span<const UnreachedBound> unreached) {
  ReadClaims out;
  const std::vector<RangePhrase> phrases = range_phrases(text);
  std::vector<std::size_t> claim_of;  // index into out.claims for each phrase, or npos
  for (const RangePhrase& p : phrases) {
    const RangeClaim* listed = nullptr;
    for (const RangeClaim& c : table) {
      if (c.key == key && c.phrase == p.text) listed = &c;
    }
    bool other = false;
    for (const OtherSpan& o : others) other = other || (o.key == key && o.phrase == p.text);
    if (listed) {
      const bool exact = text.substr(p.at + p.text.size()).starts_with(kInExactArithmetic);
      Claimed c{p, listed->outputs, 0, 0, exact};
      for (const UnreachedBound& u : unreached) {
        if (u.key != key || u.phrase != p.text) continue;
        c.low_unreached = c.low_unreached || u.bound == p.low;
        c.high_unreached = c.high_unreached || u.bound == p.high;
      }
      out.claims.push_back(std::move(c));
      claim_of.push_back(out.claims.size() - 1);
    } else {
      if (!other) out.faults.push_back(quoted(p.text) += " is neither a listed range nor set aside as another span");
      claim_of.push_back(std::string::npos);
    }
  }
  for (const StatedExcursion& e : stated_excursions(text)) {
    std::size_t owner = std::string::npos;
    for (std::size_t k = 0; k < phrases.size() && phrases[k].at < e.at; ++k) owner = claim_of[k];
    Claimed* c = owner == std::string::npos ? nullptr : &out.claims[owner];
    if (c && e.bound == c->range.high) {
      c->ulps_above = e.ulps;
    } else if (c && e.bound == c->range.low) {
      c->ulps_below = e.ulps;
    } else {
      std::string f = "passing ";
      f += number_text(e.bound);
      f += " follows no range with that bound";
      out.faults.push_back(std::move(f));
    }
  }
  return out;
}

std::vector<std::string> unheld_listings(std::span<const RangeClaim> table, std::span<const OtherSpan> others,
                                         const std::vector<std::pair<std::string, std::string>>& key_texts,
                                         std::span<const UnreachedBound> unreached) {
  std::set<std::pair<std::string, std::string>> held;
  for (const auto& [key, text] : key_texts) {
    for (const RangePhrase& p : range_phrases(text)) held.emplace(key, p.text);
  }
  std::vector<std::string> out;
  const auto check = [&](std::string_view key, std::string_view phrase) {
    if (held.contains({std::string(key), std::string(phrase)})) return;
    std::string f(key);
    f += ": listed ";
    f += quoted(phrase);
    f += " is not in its value text";
    out.push_back(std::move(f));
  };
  for (const RangeClaim& c : table) check(c.key, c.phrase);
  for (const OtherSpan& o : others) check(o.key, o.phrase);
  for (const UnreachedBound& u : unreached) {
    const auto listed = [&](const RangeClaim& c) { return c.key == u.key && c.phrase == u.phrase; };
    const RangePhrase phrase = range_phrases(u.phrase).at(0);
    if (std::find_if(table.begin(), table.end(), listed) == table.end() ||
        (u.bound != phrase.low && u.bound != phrase.high)) {
      std::string f(u.key);
      f += ": ";
      f += number_text(u.bound);
      f += ", listed as never reached, is no bound of a listed range ";
      f += quoted(u.phrase);
      out.push_back(std::move(f));
    }
  }
  return out;
}

std::uint64_t ulps_past(double v, double bound, bool above) {
  const std::int64_t outer = above ? ordinal(v) : ordinal(bound);
  const std::int64_t inner = above ? ordinal(bound) : ordinal(v);
  if (outer <= inner) return 0;
  // The difference of two ordinals, each of size below 2^63, is below 2^64:
  // taken modulo 2^64 it is exact where the signed one would overflow.
  return static_cast<std::uint64_t>(outer) - static_cast<std::uint64_t>(inner);
}

void Reach::add(double v, std::string_view run, std::size_t bar) {
  if (std::isnan(v)) return;
  const auto where = [&] {
    std::string at(run);
    at += ", bar ";
    at += std::to_string(bar);
    return at;
  };
  if (values == 0 || v < min) {
    min = v;
    min_at = where();
  }
  if (values == 0 || v > max) {
    max = v;
    max_at = where();
  }
  ++values;
}

std::vector<std::string> reach_faults(const Claimed& claim, std::string_view name, const Reach& reach) {
  std::string what = quoted(claim.range.text);
  what += " of ";
  if (name.empty()) {
    what += "the value";
  } else {
    what += '`';
    what += name;
    what += '`';
  }
  if (reach.values == 0) return {what + " was never given a value to try"};
  const std::uint64_t below_by = ulps_past(reach.min, claim.range.low, false);
  const std::uint64_t above_by = ulps_past(reach.max, claim.range.high, true);
  std::vector<std::string> out;
  const auto reached = [&](bool above) {
    const double bound = above ? claim.range.high : claim.range.low;
    const double v = above ? reach.max : reach.min;
    const bool listed = above ? claim.high_unreached : claim.low_unreached;
    const bool got_there = above ? v >= bound : v <= bound;
    if (got_there == !listed) return;
    std::string f = what;
    f += above ? ": greatest " : ": least ";
    f += number_text(v);
    f += " (";
    f += above ? reach.max_at : reach.min_at;
    f += listed ? ") reaches " : ") never reaches ";
    f += number_text(bound);
    f += listed ? ", which is listed as never reached"
                : ": list the bound as approached with the reason, or state what is reached";
    out.push_back(std::move(f));
  };
  reached(false);
  reached(true);
  if (claim.exact_only) {
    if (below_by <= kFewUlps && above_by <= kFewUlps)
      out.push_back(what + " is said to hold in exact arithmetic only, yet no value passes it by more than " +
                    std::to_string(kFewUlps) + " units in the last place: state it plainly");
    return out;
  }
  const auto side = [&](bool above) {
    const double bound = above ? claim.range.high : claim.range.low;
    const double v = above ? reach.max : reach.min;
    const std::uint64_t got = above ? above_by : below_by;
    const std::uint64_t stated = above ? claim.ulps_above : claim.ulps_below;
    if (got == stated) return;
    std::string f = what;
    f += above ? ": greatest " : ": least ";
    f += number_text(v);
    f += " (";
    f += above ? reach.max_at : reach.min_at;
    f += ") passes ";
    f += number_text(bound);
    f += " by ";
    f += std::to_string(got);
    f += " units in the last place, the text states ";
    f += std::to_string(stated);
    out.push_back(std::move(f));
  };
  side(false);
  side(true);
  if (claim.ulps_below > kFewUlps || claim.ulps_above > kFewUlps)
    out.push_back(what + ": a range passed by more than " + std::to_string(kFewUlps) +
                  " units in the last place is not its range: state it in exact arithmetic and say why");
  return out;
}

}  // namespace fendro::reference
