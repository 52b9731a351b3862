// The largest and smallest values of a window, by a full pass over its
// contents (no running extreme is kept between bars).
#pragma once

#include <cstddef>
#include <limits>
#include <span>

#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro::trend {

// The extreme of `run` and `e` under `better`, kept in four independent
// chains: the order in which a maximum is taken does not change its value,
// and the short chains keep the pass from waiting on each compare.
template <class Better>
double extreme_of(std::span<const double> run, double e, Better better) {
  double e0 = e, e1 = e, e2 = e, e3 = e;
  std::size_t i = 0;
  for (; i + 4 <= run.size(); i += 4) {
    e0 = better(run[i], e0) ? run[i] : e0;
    e1 = better(run[i + 1], e1) ? run[i + 1] : e1;
    e2 = better(run[i + 2], e2) ? run[i + 2] : e2;
    e3 = better(run[i + 3], e3) ? run[i + 3] : e3;
  }
  for (; i < run.size(); ++i) e0 = better(run[i], e0) ? run[i] : e0;
  e0 = better(e1, e0) ? e1 : e0;
  e2 = better(e3, e2) ? e3 : e2;
  return better(e2, e0) ? e2 : e0;
}

template <class Better>
double window_extreme(const BoundedRing<double>& w, double start, Better better) {
  return extreme_of(w.newer(), extreme_of(w.older(), start, better), better);
}

inline double highest(const BoundedRing<double>& w) {
  return window_extreme(w, -std::numeric_limits<double>::infinity(),
                        [](double v, double e) { return v > e; });
}

inline double lowest(const BoundedRing<double>& w) {
  return window_extreme(w, std::numeric_limits<double>::infinity(),
                        [](double v, double e) { return v < e; });
}

}  // namespace fendro::trend
