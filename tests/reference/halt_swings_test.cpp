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

namespace fendro::reference {
namespace {

const HaltSwingListing* swing_listing_of(std::string_view key) {
  for (const HaltSwingListing& l : halt_swing_listings()) {
    if (l.key == key) return &l;
  }
  return nullptr;
}

// FENDRO_HALT_KEY=Rsi looks at one key.
TEST(HaltSwings, EveryKeyMovesSteadilyThroughAHalt) {
  const char* only = std::getenv("FENDRO_HALT_KEY");
  std::size_t tried = 0;
  for (const registry::Entry& row : registry::key_rows()) {
    if (row.feed != Feed::Kline) continue;
    if (only != nullptr && row.key != only) continue;
    const HaltSwing s = halt_swing_of(row);
    const HaltSwingListing* listed = swing_listing_of(row.key);
    if (listed == nullptr) {
      EXPECT_TRUE(s.swing.empty()) << row.key << " " << s.swing;
    } else {
      EXPECT_FALSE(s.swing.empty()) << row.key << " is listed (" << listed->reason << ") but moves steadily";
    }
    ++tried;
  }
  EXPECT_GT(tried, 0u);
}

TEST(HaltSwings, EveryListingNamesACandleFedKeyOnce) {
  std::vector<std::string_view> seen;
  for (const HaltSwingListing& l : halt_swing_listings()) {
    const auto slot = registry::key_slot(l.key);
    ASSERT_TRUE(slot.has_value()) << l.key;
    EXPECT_EQ(registry::key_rows()[*slot].feed, Feed::Kline) << l.key;
    EXPECT_FALSE(l.reason.empty());
    EXPECT_EQ(std::count(seen.begin(), seen.end(), l.key), 0) << l.key;
    seen.push_back(l.key);
  }
}

}  // namespace
}  // namespace fendro::reference
