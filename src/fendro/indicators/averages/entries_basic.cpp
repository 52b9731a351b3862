// Registry entries of the simple, weighted and exponential averages.
#include "fendro/indicators/averages/dema.hpp"
#include "fendro/indicators/averages/ema.hpp"
#include "fendro/indicators/averages/sma.hpp"
#include "fendro/indicators/averages/smma.hpp"
#include "fendro/indicators/averages/t3.hpp"
#include "fendro/indicators/averages/tema.hpp"
#include "fendro/indicators/averages/trima.hpp"
#include "fendro/indicators/averages/wma.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

constexpr Entry kEntries[] = {
    {"Sma", build<Sma, U>},   {"Wma", build<Wma, U>},   {"Trima", build<Trima, U>},
    {"Ema", build<Ema, U>},   {"Dema", build<Dema, U>}, {"Tema", build<Tema, U>},
    {"Smma", build<Smma, U>}, {"T3", build<T3, U, F>},
};

}  // namespace

std::span<const Entry> basic_average_entries() { return kEntries; }

}  // namespace fendro::registry
