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

// What one instance gave, bar by bar: the value and each named output.
struct FlatRun {
  std::vector<std::optional<double>> values;
  std::vector<std::vector<double>> outputs;
};

FlatRun run_flat(const FlatSubject& s, const std::vector<double>& params, double price, double volume,
                 std::size_t n) {
  FlatRun r;
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

std::string number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// "" when the value at `price` is what the runs at 1.0 and 4.0 make exact.
std::string fault_of(std::optional<double> at1, std::optional<double> at4, std::optional<double> at, double price) {
  if (!at1 && !at4) return at ? "a value where exact prices give none" : "";
  if (!at1 || !at4) return "a value at one of 1.0 and 4.0 only";
  if (!at) return "no value where exact prices give one";
  if (same_bits(*at1, *at4)) {
    return same_bits(*at, *at1) ? "" : number(*at) + " where exact prices give " + number(*at1);
  }
  // A value in the scaled unit is compared where exact arithmetic makes it a
  // whole number of ticks (copies of a price, sums of them): elsewhere its
  // product with the factor rounds on its own.
  if (same_bits(*at4, 4.0 * *at1) && std::floor(*at1) == *at1) {
    return same_bits(*at, price * *at1) ? "" : number(*at) + " for the price times " + number(*at1);
  }
  if (same_bits(*at4, 4.0 * *at1)) return "";
  return "neither one value nor the price times one: " + number(*at1) + " at 1.0, " + number(*at4) + " at 4.0";
}

}  // namespace

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
      const FlatRun at1 = run_flat(subject, params, 1.0, volume, n);
      const FlatRun at4 = run_flat(subject, params, 4.0, volume, n);
      for (const double price : kFlatPrices) {
        const FlatRun at = run_flat(subject, params, price, volume, n);
        for (std::size_t i = 0; i < n; ++i) {
          std::string what = fault_of(at1.values[i], at4.values[i], at.values[i], price);
          for (std::size_t k = 0; what.empty() && k < at.outputs[i].size() && k < at1.outputs[i].size(); ++k) {
            what = fault_of(at1.outputs[i][k], at4.outputs[i][k], at.outputs[i][k], price);
            if (!what.empty()) what = "output " + std::to_string(k) + ": " + what;
          }
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
