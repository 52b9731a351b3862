// Every candle-fed key, generated: through a long halt after a walk its
// value moves steadily toward its limit, as in exact arithmetic, without
// turning back and forth; a held ratio keeps its value. The types listed
// keep moving in exact arithmetic too, or still read rounding there: each
// listed key must swing, so a mended one leaves the list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "fendro/registry/key_table.hpp"
#include "reference/halt_swings.hpp"
#include "reference/key_listings.hpp"

namespace fendro::reference {
namespace {

// FENDRO_HALT_KEY=Rsi looks at one key.
TEST(HaltSwings, EveryKeyMovesSteadilyThroughAHalt) {
  const char* only = std::getenv("FENDRO_HALT_KEY");
  std::size_t tried = 0;
  for (const registry::Entry& row : registry::key_rows()) {
    if (row.feed != Feed::Kline) continue;
    if (only != nullptr && row.key != only) continue;
    const HaltSwing s = halt_swing_of(row);
    const HaltSwingListing* listed = listing_named(halt_swing_listings(), row.key);
    if (listed == nullptr) {
      EXPECT_TRUE(s.swing.empty()) << row.key << " " << s.swing;
    } else {
      EXPECT_FALSE(s.swing.empty()) << row.key << " is listed (" << listed->reason << ") but moves steadily";
    }
    ++tried;
  }
  EXPECT_GT(tried, 0u);
}

TEST(HaltSwings, EveryListingNamesACandleFedKeyOnce) { expect_candle_keys_once(halt_swing_listings()); }

}  // namespace
}  // namespace fendro::reference
