#include "fendro/indicators/statistics/rank_correlation.hpp"

#include <algorithm>
#include <bit>
#include <cmath>

#include "fendro/indicators/common/anchored_moments.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/two_series.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/indicators/windows/total_order.hpp"

namespace fendro::stats {
namespace {

// The value of a total order key: the key's transformation of the bit
// pattern is its own inverse.
double from_total_order_key(std::int64_t key) {
  return std::bit_cast<double>(total_order_key(std::bit_cast<double>(key)));
}

}  // namespace

// ---- SpearmanCorrelation ----

Result<SpearmanCorrelation, IndicatorError> SpearmanCorrelation::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "spearman correlation needs period >= 2"));
  return SpearmanCorrelation(period);
}

void ArrivalSortedList::remove(double v, std::uint64_t seq) {
  const auto at = std::lower_bound(entries_.begin(), entries_.end(), Entry{total_order_key(v), seq});
  entries_.erase(at);
}

void ArrivalSortedList::insert(double v, std::uint64_t seq) {
  const Entry e{total_order_key(v), seq};
  entries_.insert(std::lower_bound(entries_.begin(), entries_.end(), e), e);
}

void ArrivalSortedList::mid_ranks(std::uint64_t first_seq, std::vector<double>& ranks) const {
  auto value = [](const Entry& e) { return from_total_order_key(e.key); };
  const std::size_t n = entries_.size();
  ranks.resize(n);
  std::size_t i = 0;
  while (i < n) {
    const double v = value(entries_[i]);
    std::size_t j = i;
    while (j + 1 < n && value(entries_[j + 1]) == v) ++j;
    const double r = (static_cast<double>(i + 1) + static_cast<double>(j + 1)) * 0.5;
    for (std::size_t k = i; k <= j; ++k) ranks[entries_[k].seq - first_seq] = r;
    i = j + 1;
  }
}

std::optional<double> SpearmanCorrelation::update(const BarSnapshot& bar) {
  const auto in = two_series_input(bar);
  if (!in) return no_value();
  if (pairs_.is_full()) {
    const std::uint64_t oldest = next_seq_ - period_;
    by_a_.remove(pairs_.front().first, oldest);
    by_b_.remove(pairs_.front().second, oldest);
  }
  pairs_.push({in->a, in->b});
  by_a_.insert(in->a, next_seq_);
  by_b_.insert(in->b, next_seq_);
  ++next_seq_;
  if (!pairs_.is_full()) return no_value();
  const std::uint64_t first = next_seq_ - period_;
  by_a_.mid_ranks(first, rank_a_);
  by_b_.mid_ranks(first, rank_b_);
  double sa = 0.0;
  double sb = 0.0;
  double saa = 0.0;
  double sbb = 0.0;
  double sab = 0.0;
  for (std::size_t i = 0; i < rank_a_.size(); ++i) {
    const double ra = rank_a_[i];
    const double rb = rank_b_[i];
    sa = sa + ra;
    sb = sb + rb;
    saa = saa + ra * ra;
    sbb = sbb + rb * rb;
    sab = sab + ra * rb;
  }
  const double n = static_cast<double>(period_);
  const double ma = sa / n;
  const double mb = sb / n;
  PairMoments m;
  m.var_a = clamp_variance(saa / n - ma * ma);
  m.var_b = clamp_variance(sbb / n - mb * mb);
  m.cov = sab / n - ma * mb;
  return value_out(pair_correlation(m));
}

// ---- KendallTau ----

Result<KendallTau, IndicatorError> KendallTau::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "Kendall tau needs period >= 2"));
  return KendallTau(period);
}

void kendall_count(KendallCounts& c, std::pair<double, double> p, std::pair<double, double> q,
                   int sign) {
  // A tie in A counts in TA, a tie in B in TB (both for a tie in both); a
  // pair tied in neither is concordant or discordant. Counted without
  // branches: the comparisons of a random walk are unpredictable.
  const std::uint64_t step = static_cast<std::uint64_t>(static_cast<std::int64_t>(sign));
  const bool tie_a = p.first == q.first;
  const bool tie_b = p.second == q.second;
  const bool untied = !tie_a && !tie_b;
  const bool same_way = (p.first > q.first) == (p.second > q.second);
  c.tied_a += step * tie_a;
  c.tied_b += step * tie_b;
  c.concordant += step * (untied && same_way);
  c.discordant += step * (untied && !same_way);
}

std::optional<double> KendallTau::update(const BarSnapshot& bar) {
  const auto in = two_series_input(bar);
  if (!in) return no_value();
  const std::pair<double, double> now{in->a, in->b};
  // When full, the oldest pair leaves first and its comparisons with the
  // others go; the new pair is then compared with those that stay.
  auto others = [&](auto&& f) {
    const bool full = pairs_.is_full();
    for (const auto& q : pairs_.older().subspan(full ? 1 : 0)) f(q);
    for (const auto& q : pairs_.newer()) f(q);
  };
  if (pairs_.is_full()) {
    const auto old = pairs_.front();
    others([&](const std::pair<double, double>& q) { kendall_count(counts_, old, q, -1); });
  }
  others([&](const std::pair<double, double>& q) { kendall_count(counts_, now, q, +1); });
  pairs_.push(now);
  if (!pairs_.is_full()) return no_value();
  const std::uint64_t n = period_;
  const double np = static_cast<double>(n * (n - 1) / 2);
  const double denom = (np - static_cast<double>(counts_.tied_a)) *
                       (np - static_cast<double>(counts_.tied_b));
  if (denom == 0.0) return value_out(0.0);
  const double diff = static_cast<double>(static_cast<std::int64_t>(counts_.concordant) -
                                          static_cast<std::int64_t>(counts_.discordant));
  const double tau = diff / std::sqrt(denom);
  return value_out(tau < -1.0 ? -1.0 : (tau > 1.0 ? 1.0 : tau));
}

}  // namespace fendro::stats
