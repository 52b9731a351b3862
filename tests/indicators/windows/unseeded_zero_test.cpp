// An average that decays on a halted market is +0.0 until it is seeded, and
// normal when its seed is: owners test it once an update, send a value
// below normal (seeding included) to their settled path, and step a normal
// one with the plain step, without asking whether it has been seeded.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fendro/indicators/averages/smma.hpp"
#include "fendro/indicators/momentum/rsi_state.hpp"
#include "fendro/indicators/trend/adx_core.hpp"
#include "fendro/indicators/trend/atr_state.hpp"
#include "fendro/indicators/volume/wilder_pair.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/settled_step.hpp"

namespace fendro {
namespace {

constexpr std::uint64_t kPeriod = 4;

// Large inputs of both signs: a seed sum kept in the value would show.
double input(std::uint64_t i) { return (i % 2 == 0 ? 1.0e6 : -3.0e5) + static_cast<double>(i); }

Candle candle(std::uint64_t i) {
  const double mid = 100.0 + 7.0 * static_cast<double>(i % 3);
  return Candle{0, mid, mid + 5.0, mid - 5.0, mid + 1.0, 1000.0};
}

// One state: feed(i) takes the i-th input and gives the stored average(s)
// the owner tests, and whether the state reports itself seeded.
struct Probe {
  std::vector<double> tested;
  bool seeded;
};

struct Case {
  std::string name;
  std::uint64_t seeding_inputs;  // inputs before the one that seeds
  std::function<Probe(std::uint64_t)> feed;
};

std::vector<Case> cases() {
  auto ema = std::make_shared<EmaState>(EmaState::of_period(kPeriod));
  auto smma = std::make_shared<SmmaState>(kPeriod);
  auto pair = std::make_shared<volume::WilderPair>(kPeriod);
  auto atr = std::make_shared<AtrState>(kPeriod);
  auto rsi = std::make_shared<RsiState>(RsiState::of_period(kPeriod));
  auto dm = std::make_shared<DmSmoother>(kPeriod);
  return {
      {"ema", kPeriod - 1,
       [ema](std::uint64_t i) {
         ema_update(*ema, input(i));
         return Probe{{ema->value}, ema->seeded};
       }},
      {"smma", kPeriod - 1,
       [smma](std::uint64_t i) {
         smma_update(*smma, input(i));
         return Probe{{smma->value}, smma->seeded};
       }},
      {"wilder pair", kPeriod - 1,
       [pair](std::uint64_t i) {
         if (!pair->seeded) pair->seed(input(i), -input(i));
         return Probe{{pair->first, pair->second}, pair->seeded};
       }},
      {"atr", kPeriod - 1,
       [atr](std::uint64_t i) {
         atr_update_as<false>(*atr, candle(i));
         return Probe{{atr->atr}, atr->seeded};
       }},
      // The first close only primes the changes.
      {"rsi", kPeriod,
       [rsi](std::uint64_t i) {
         rsi_wilder_update(*rsi, input(i));
         return Probe{{rsi->avg_gain, rsi->avg_loss}, rsi->seeded};
       }},
      // The first candle only primes the moves.
      {"directional sums", kPeriod,
       [dm](std::uint64_t i) {
         dm->step(candle(i));
         return Probe{{dm->tr}, dm->smoothed};
       }},
  };
}

TEST(UnseededZero, AveragesArePlusZeroUntilSeededAndNormalOnce) {
  for (const Case& c : cases()) {
    for (std::uint64_t i = 0; i <= c.seeding_inputs; ++i) {
      const Probe p = c.feed(i);
      const bool seeding = i < c.seeding_inputs;
      EXPECT_EQ(p.seeded, !seeding) << c.name << " input " << i;
      for (double v : p.tested) {
        if (seeding) {
          EXPECT_EQ(std::bit_cast<std::uint64_t>(v), 0U) << c.name << " input " << i;
        } else {
          // The seed is a mean of large inputs: normal, so a test that finds
          // it normal may take it for seeded.
          EXPECT_FALSE(below_normal(v)) << c.name << " input " << i;
        }
      }
    }
  }
}

}  // namespace
}  // namespace fendro
