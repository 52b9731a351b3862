// What a row says a type holds on a halt: the sentence the generator finds,
// and planted sentences that are named with their fault.
#include "reference/halt_holds.hpp"

#include <gtest/gtest.h>

#include <string>

#include "fendro/registry/key_table.hpp"

namespace fendro::reference {
namespace {

const registry::Entry& row_of(std::string_view key) { return registry::key_rows()[*registry::key_slot(key)]; }

TEST(HaltHolds, FindsWhatEachTypeHolds) {
  struct Case {
    std::string_view key;
    std::string sentence;
  };
  const Case cases[] = {
      // A ratio of two averages, held once the halt has lasted their period.
      {"Vzo", "On a halt it holds the value it had at halt bar `period`."},
      {"PlusDi", "On a halt it holds the value it had at halt bar `period`."},
      {"ChaikinVolatility", "On a halt it holds the value it had at halt bar `ema_period` + `roc_period`."},
      // A chain of averages follows its arithmetic one way, then stays.
      {"Tsi", "On a halt it moves one way, then holds."},
      {"Rsx", "On a halt it moves one way from halt bar `period`, then holds."},
      {"Sma", ""},  // settles on the price: its flat case
      {"Apo", ""},  // settles within a rounding of 0, its flat case
      {"Obv", ""},  // keeps the value the walk left: no bar to name
      {"Rsi", ""},  // its own text says it is held through a halt
  };
  for (const Case& c : cases) EXPECT_EQ(halt_hold_sentence(row_of(c.key)), c.sentence) << c.key;
}

TEST(HaltHolds, APlantedSentenceThatDoesNotHoldIsAFault) {
  struct Case {
    std::string_view key;
    std::string value;
    bool holds;
  };
  const Case cases[] = {
      {"Vzo", "An index. On a halt it holds the value it had at halt bar `period`.", true},
      {"Vzo", "An index. On a halt it holds the value it had at halt bar `period` - 4.", false},  // no bar at 2
      {"Vzo", "An index. On a halt it holds the value it had at halt bar `period` + 40.", false},  // too late
      {"Vzo", "An index. On a halt it holds still.", false},
      {"Vzo", "An index that says nothing of a halt.", true},
      {"Sma", "An average. On a halt it holds the value it had at halt bar `period`.", false},  // its flat case
      {"Tsi", "On a halt it holds the value it had at halt bar `first_smoothing`.", false},
      {"Tsi", "On a halt it moves one way, then holds.", true},
      {"Rsx", "On a halt it moves one way, then holds.", false},  // turns before its period
      {"Rsx", "On a halt it moves one way from halt bar `period`, then holds.", true},
      {"Apo", "On a halt it moves one way from halt bar `fast` + `slow`, then holds.", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(halt_hold_faults(c.value, row_of(c.key)).empty(), c.holds) << c.key << ": " << c.value;
  }
}

}  // namespace
}  // namespace fendro::reference
