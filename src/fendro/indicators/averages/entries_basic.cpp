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
    {"Sma", Feed::Kline, build<Sma, U>, {14},
     {"period [1, MAX]",
      "The mean of the last `period` closes.",
      "period"}},
    {"Wma", Feed::Kline, build<Wma, U>, {14},
     {"period [1, MAX]",
      "The linearly weighted mean of the last `period` closes, weights 1 to `period`, the newest heaviest.",
      "period"}},
    {"Trima", Feed::Kline, build<Trima, U>, {14},
     {"period [1, MAX]",
      "The triangular average of the last `period` closes: an SMA over floor(`period`/2) + 1 bars "
      "of an SMA of the close over `period` - floor(`period`/2) bars.",
      "period"}},
    {"Ema", Feed::Kline, build<Ema, U>, {14},
     {"period [1, MAX]",
      "The exponential average of the close, alpha = 2 / (`period` + 1), seeded with the mean of the first `period` closes.",
      "period"}},
    {"Dema", Feed::Kline, build<Dema, U>, {14},
     {"period [1, MAX]",
      "The double exponential average: 2 EMA - EMA(EMA) of the close.",
      "2 * period - 1"}},
    {"Tema", Feed::Kline, build<Tema, U>, {14},
     {"period [1, MAX]",
      "The triple exponential average: 3 EMA - 3 EMA(EMA) + EMA(EMA(EMA)) of the close.",
      "3 * period - 2"}},
    {"Smma", Feed::Kline, build<Smma, U>, {14},
     {"period [1, MAX]",
      "Wilder's smoothed average of the close (weight 1 / `period`), seeded with the mean of the first `period` closes.",
      "period"}},
    {"T3", Feed::Kline, build<T3, U, F>, {5, 0.7},
     {"period [1, MAX]; volume_factor [0, 1]",
      "Tillson's T3: six chained EMAs of the close combined with weights set by `volume_factor`.",
      "6 * period - 5"}},
};

}  // namespace

std::span<const Entry> basic_average_entries() { return kEntries; }

}  // namespace fendro::registry
