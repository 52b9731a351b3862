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
    {"Sma", Feed::Kline, build<Sma, U>, {14}},
    {"Wma", Feed::Kline, build<Wma, U>, {14}},
    {"Trima", Feed::Kline, build<Trima, U>, {14}},
    {"Ema", Feed::Kline, build<Ema, U>, {14}},
    {"Dema", Feed::Kline, build<Dema, U>, {14}},
    {"Tema", Feed::Kline, build<Tema, U>, {14}},
    {"Smma", Feed::Kline, build<Smma, U>, {14}},
    {"T3", Feed::Kline, build<T3, U, F>, {5, 0.7}},
};

}  // namespace

std::span<const Entry> basic_average_entries() { return kEntries; }

}  // namespace fendro::registry
