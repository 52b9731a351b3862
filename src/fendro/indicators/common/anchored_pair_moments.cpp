#include "fendro/indicators/common/anchored_pair_moments.hpp"

#include "fendro/indicators/common/variance_values.hpp"

namespace fendro::stats {

template <bool ReadsCopies>
void BasicAnchoredPairMoments<ReadsCopies>::push(double a, double b) {
  // Only a push that repeats a value of the push before can leave a
  // series' window holding only copies. The product of the two changes is 0
  // when either is (or when it underflows, which the count then sees
  // through): one test on a moving market.
  bool repeat = false;
  if constexpr (ReadsCopies) {
    repeat = (a - newest_a_) * (b - newest_b_) == 0.0;
    newest_a_ = a;
    newest_b_ = b;
  }
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
  if constexpr (ReadsCopies) {
    only_copies_ = 0;
    if (repeat) [[unlikely]] count_copies();
  }
}

template <bool ReadsCopies>
void BasicAnchoredPairMoments<ReadsCopies>::reanchor() {
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

template <bool ReadsCopies>
void BasicAnchoredPairMoments<ReadsCopies>::count_copies() {
  const bool a = copies_a_.after_repeat(ring_, newest_a_, pushes_, period_,
                                        [](const std::pair<double, double>& p) { return p.first; });
  const bool b = copies_b_.after_repeat(ring_, newest_b_, pushes_, period_,
                                        [](const std::pair<double, double>& p) { return p.second; });
  only_copies_ = static_cast<unsigned char>((a ? kOnlyA : 0) | (b ? kOnlyB : 0));
}

template <bool ReadsCopies>
void BasicAnchoredPairMoments<ReadsCopies>::read_copies(PairMoments& m) const {
  if (only_copies_ & kOnlyA) {
    m.mean_a = copy_read(newest_a_);
    m.var_a = 0.0;
    m.cov = 0.0;
  }
  if (only_copies_ & kOnlyB) {
    m.mean_b = copy_read(newest_b_);
    m.var_b = 0.0;
    m.cov = 0.0;
  }
}

template <bool ReadsCopies>
PairMoments BasicAnchoredPairMoments<ReadsCopies>::moments() const {
  const double n = static_cast<double>(period_);
  const double ma = sa_ / n;
  const double mb = sb_ / n;
  PairMoments m{ka_ + ma, kb_ + mb, vol::clamp_variance(saa_ / n - ma * ma),
                vol::clamp_variance(sbb_ / n - mb * mb), sab_ / n - ma * mb};
  if constexpr (ReadsCopies) {
    if (only_copies_ != 0) [[unlikely]] read_copies(m);
  }
  return m;
}

template class BasicAnchoredPairMoments<true>;
template class BasicAnchoredPairMoments<false>;

}  // namespace fendro::stats
