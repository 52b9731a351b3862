#include "reference/flat_market.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>

#include "indicators/all_feeds.hpp"
#include "indicators/series.hpp"
#include "reference/unbounded_ends.hpp"

namespace fendro::reference {
namespace {

Traced run_flat(const FlatSubject& s, const std::vector<double>& params, double price, double volume,
                 std::size_t n) {
  Traced r;
  IndicatorPtr ind = s.build(params);
  if (!ind) return r;
  testing::Bar b;
  for (std::size_t i = 0; i < n; ++i) {
    b.candle = Candle{1'700'000'000'000 + static_cast<std::int64_t>(i) * 3'600'000, price, price, price, price,
                      volume};
    b.reference = price;
    r.values.push_back(ind->update(testing::snapshot_of(b)));
    std::vector<double> outs;
    for (const auto& named : ind->outputs()) outs.push_back(named.value);
    r.outputs.push_back(std::move(outs));
  }
  return r;
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }


// "" when the value at `price` is what the runs at 1.0 and 4.0 make exact,
// values absent included.
std::string fault_of(const Traced& at1, const Traced& at4, const Traced& at, double price, std::size_t i) {
  if (!at1.values[i] && !at4.values[i]) return at.values[i] ? "a value where exact prices give none" : "";
  if (!at1.values[i] || !at4.values[i]) return "a value at one of 1.0 and 4.0 only";
  const std::optional<double> v1 = at1.values[i], v4 = at4.values[i];
  if (const auto f = scaled_fault(at1, at4, at, price, i)) return *f;
  return "neither one value nor the price times one: " + number(*v1) + " at 1.0, " + number(*v4) + " at 4.0";
}

}  // namespace

std::string number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::optional<std::string> scaled_fault(const Traced& at1, const Traced& at4, const Traced& at, double factor,
                                        std::size_t i) {
  const auto one = [factor](std::optional<double> a1, std::optional<double> a4,
                            std::optional<double> a) -> std::optional<std::string> {
    if (!a1 || !a4) return std::string();
    if (!a) return std::string("no value where the exact run gives one");
    if (same_bits(*a1, *a4)) {
      return same_bits(*a, *a1) ? "" : number(*a) + " where the exact run gives " + number(*a1);
    }
    // A value in the scaled unit is compared where exact arithmetic makes it
    // a whole number of ticks (copies of a price, sums of them): elsewhere
    // its product with the factor rounds on its own.
    if (same_bits(*a4, 4.0 * *a1)) {
      if (std::floor(*a1) != *a1) return std::string();
      return same_bits(*a, factor * *a1) ? "" : number(*a) + " for the factor times " + number(*a1);
    }
    return std::nullopt;
  };
  const std::optional<std::string> value = one(at1.values[i], at4.values[i], at.values[i]);
  if (!value || !value->empty()) return value;
  for (std::size_t k = 0; k < at.outputs[i].size() && k < at1.outputs[i].size(); ++k) {
    const std::optional<std::string> out = one(at1.outputs[i][k], at4.outputs[i][k], at.outputs[i][k]);
    if (out && !out->empty()) return "output " + std::to_string(k) + ": " + *out;
  }
  return std::string();
}

FlatSubject flat_subject(const registry::Entry& row) {
  FlatSubject s;
  s.key = row.key;
  const std::string key(row.key);
  s.build = [key](const std::vector<double>& params) -> IndicatorPtr {
    auto made = build_indicator(key, params);
    return made ? std::move(made).value() : nullptr;
  };
  const auto customary = row.params.values();
  const std::vector<double> base(customary.begin(), customary.end());
  s.parameter_sets.push_back(base);
  for (std::size_t i = 0; i < base.size(); ++i) {
    if (kind_of(row, i) != Kind::Integer) continue;
    for (const double v : {1.0, 2.0, 3.0, 14.0}) {
      std::vector<double> p = base;
      p[i] = v;
      if (std::find(s.parameter_sets.begin(), s.parameter_sets.end(), p) == s.parameter_sets.end() && s.build(p)) {
        s.parameter_sets.push_back(p);
      }
    }
  }
  return s;
}

std::vector<std::string> flat_market_faults(const FlatSubject& subject) {
  std::vector<std::string> faults;
  for (const std::vector<double>& params : subject.parameter_sets) {
    const IndicatorPtr probe = subject.build(params);
    if (!probe) continue;
    // Three warm-ups and a tail, so a value built on other values is reached.
    const std::size_t n = std::min<std::size_t>(std::max<std::size_t>(200, 3 * probe->warmup_period() + 60), 3000);
    for (const double volume : kFlatVolumes) {
      const Traced at1 = run_flat(subject, params, 1.0, volume, n);
      const Traced at4 = run_flat(subject, params, 4.0, volume, n);
      for (const double price : kFlatPrices) {
        const Traced at = run_flat(subject, params, price, volume, n);
        for (std::size_t i = 0; i < n; ++i) {
          const std::string what = fault_of(at1, at4, at, price, i);
          if (what.empty()) continue;
          faults.push_back(std::string(subject.key) + " " + testing::params_text(params) + " at " + number(price) +
                           ", volume " + number(volume) + ", bar " + std::to_string(i) + ": " + what);
          break;
        }
      }
    }
  }
  return faults;
}

}  // namespace fendro::reference
