// Registry entries of the simple, weighted and exponential averages.
#include "fendro/indicators/averages/dema.hpp"
#include "fendro/indicators/averages/ema.hpp"
#include "fendro/indicators/averages/sma.hpp"
#include "fendro/indicators/averages/smma.hpp"
#include "fendro/indicators/averages/t3.hpp"
#include "fendro/indicators/averages/tema.hpp"
#include "fendro/indicators/averages/trima.hpp"
#include "fendro/indicators/averages/wma.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

// The types whose only parameter is the period.
template <class T>
BuildResult build_period(const Params& p) {
  FENDRO_TRY(n, p.usize(0));
  return box<T>(p, T::create(n));
}

BuildResult build_t3(const Params& p) {
  FENDRO_TRY(n, p.usize(0));
  FENDRO_TRY(v, p.f64(1));
  return box<T3>(p, T3::create(n, v));
}

const Entry kEntries[] = {
    {"Sma", &build_period<Sma>},   {"Wma", &build_period<Wma>},   {"Trima", &build_period<Trima>},
    {"Ema", &build_period<Ema>},   {"Dema", &build_period<Dema>}, {"Tema", &build_period<Tema>},
    {"Smma", &build_period<Smma>}, {"T3", &build_t3},
};

}  // namespace

std::span<const Entry> basic_average_entries() { return kEntries; }

}  // namespace fendro::registry
