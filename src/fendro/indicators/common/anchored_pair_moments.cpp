#include "fendro/indicators/common/anchored_pair_moments.hpp"

#include "fendro/indicators/common/variance_values.hpp"

namespace fendro::stats {

void AnchoredPairMoments::push_sums(double a, double b) {
  if (auto evicted = ring_.push({a, b})) {
    const double da = evicted->first - ka_;
    const double db = evicted->second - kb_;
    sa_ = sa_ - da;
    sb_ = sb_ - db;
    saa_ = saa_ - da * da;
    sbb_ = sbb_ - db * db;
    sab_ = sab_ - da * db;
  }
  if (!anchored_) {
    ka_ = a;
    kb_ = b;
    anchored_ = true;
  }
  const double da = a - ka_;
  const double db = b - kb_;
  sa_ = sa_ + da;
  sb_ = sb_ + db;
  saa_ = saa_ + da * da;
  sbb_ = sbb_ + db * db;
  sab_ = sab_ + da * db;
  if (++pushes_ >= period_) reanchor();
}

void AnchoredPairMoments::reanchor() {
  double ta = 0.0;
  double tb = 0.0;
  ring_.for_each([&](const std::pair<double, double>& p) {
    ta = ta + p.first;
    tb = tb + p.second;
  });
  const double len = static_cast<double>(ring_.len());
  ka_ = ta / len;
  kb_ = tb / len;
  double sa = 0.0;
  double sb = 0.0;
  double saa = 0.0;
  double sbb = 0.0;
  double sab = 0.0;
  ring_.for_each([&](const std::pair<double, double>& p) {
    const double da = p.first - ka_;
    const double db = p.second - kb_;
    sa = sa + da;
    sb = sb + db;
    saa = saa + da * da;
    sbb = sbb + db * db;
    sab = sab + da * db;
  });
  sa_ = sa;
  sb_ = sb;
  saa_ = saa;
  sbb_ = sbb;
  sab_ = sab;
  pushes_ = 0;
  copies_a_.forget();
  copies_b_.forget();
}

void AnchoredPairMoments::count_copies() {
  only_a_ = copies_a_.after_repeat(ring_, newest_a_, pushes_, period_,
                                   [](const std::pair<double, double>& p) { return p.first; });
  only_b_ = copies_b_.after_repeat(ring_, newest_b_, pushes_, period_,
                                   [](const std::pair<double, double>& p) { return p.second; });
}

void AnchoredPairMoments::read_copies(PairMoments& m) const {
  if (only_a_) {
    m.mean_a = copy_read(newest_a_);
    m.var_a = 0.0;
    m.cov = 0.0;
  }
  if (only_b_) {
    m.mean_b = copy_read(newest_b_);
    m.var_b = 0.0;
    m.cov = 0.0;
  }
}

PairMoments AnchoredPairMoments::sum_moments() const {
  const double n = static_cast<double>(period_);
  const double ma = sa_ / n;
  const double mb = sb_ / n;
  return {ka_ + ma, kb_ + mb, vol::clamp_variance(saa_ / n - ma * ma),
          vol::clamp_variance(sbb_ / n - mb * mb), sab_ / n - ma * mb};
}

}  // namespace fendro::stats
