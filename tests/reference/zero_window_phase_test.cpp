// Every key, generated, at windows long enough and at two phases of its
// sums' rebuilds: a window of zeros reads its zero case from the bar the
// comparison starts, not only once a rebuild has cleared the residue.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fendro/registry/key_table.hpp"
#include "reference/key_listings.hpp"
#include "reference/zero_window_runs.hpp"

namespace fendro::reference {
namespace {

// FENDRO_ZERO_WINDOWS_KEY=Mfi looks at one key.
TEST(ZeroWindowPhases, EveryKeyReadsItsZeroCaseBeforeItsSumsAreRebuilt) {
  static const std::vector<NamedHistory> histories = residue_histories();
  const bool report = std::getenv("FENDRO_ZERO_WINDOWS_REPORT") != nullptr;
  const char* only_key = std::getenv("FENDRO_ZERO_WINDOWS_KEY");
  std::size_t keys = 0;
  for (const registry::Entry& row : registry::key_rows()) {
    if (only_key != nullptr && row.key != only_key) continue;
    const std::vector<std::string> faults = zero_window_faults(rebuild_phase_subject(row), histories, report);
    const RebuildPhaseListing* listed = listing_named(rebuild_phase_listings(), row.key);
    if (listed == nullptr) {
      for (const std::string& f : faults) ADD_FAILURE() << f;
    } else {
      EXPECT_FALSE(faults.empty()) << row.key << " is listed (" << listed->reason
                                   << ") but reads its zero case at every phase";
    }
    ++keys;
  }
  EXPECT_GT(keys, 0u);
}

TEST(ZeroWindowPhases, EveryListingNamesAKeyOnce) { expect_keys_once(rebuild_phase_listings()); }

}  // namespace
}  // namespace fendro::reference
