#include "fendro/indicators/statistics/anchored_moments.hpp"

namespace fendro::stats {

void AnchoredHigherMoments::push(double x) {
  if (auto evicted = ring_.push(x)) {
    const double d = *evicted - anchor_;
    const double d2 = d * d;
    s1_ = s1_ - d;
    s2_ = s2_ - d2;
    s3_ = s3_ - d * d2;
    s4_ = s4_ - d2 * d2;
  }
  if (!anchored_) {
    anchor_ = x;
    anchored_ = true;
  }
  const double d = x - anchor_;
  const double d2 = d * d;
  s1_ = s1_ + d;
  s2_ = s2_ + d2;
  s3_ = s3_ + d * d2;
  s4_ = s4_ + d2 * d2;
  if (++pushes_ >= period_) resync();
}

void AnchoredHigherMoments::resync() {
  double total = 0.0;
  ring_.for_each([&total](double v) { total = total + v; });
  anchor_ = total / static_cast<double>(ring_.len());
  double t1 = 0.0;
  double t2 = 0.0;
  double t3 = 0.0;
  double t4 = 0.0;
  ring_.for_each([&](double v) {
    const double d = v - anchor_;
    const double d2 = d * d;
    t1 = t1 + d;
    t2 = t2 + d2;
    t3 = t3 + d * d2;
    t4 = t4 + d2 * d2;
  });
  s1_ = t1;
  s2_ = t2;
  s3_ = t3;
  s4_ = t4;
  pushes_ = 0;
}

}  // namespace fendro::stats
