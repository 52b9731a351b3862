// An unknown key is quoted whole in its failure, however long: a long one
// is copied in stretches with the command's interrupt asked between them
// through the thread's scope, and a stop there ends the copy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "fendro/util/paced_copy.hpp"
#include "fendro/util/run_scope.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro {
namespace {

TEST(BuildIndicator, ALongUnknownKeyIsQuotedWholeAsking) {
  const std::string key(3 * kCopyStretchBytes + 5, 'K');
  const std::vector<double> params{3};
  const StrategyError want = StrategyError::unknown_indicator(key);
  testing::CountingInterrupt never;
  {
    RunScope scope(never.interrupt());
    const auto built = build_indicator(key, params);
    ASSERT_FALSE(built.ok());
    EXPECT_EQ(built.error(), want);
  }
  // Before each of four stretches, and after the last.
  EXPECT_EQ(never.asked, 5u);
  for (std::size_t k = 1; k <= never.asked; ++k) {
    testing::CountingInterrupt stop{.stop_at = k};
    RunScope scope(stop.interrupt());
    EXPECT_FALSE(build_indicator(key, params).ok());
    EXPECT_TRUE(scope.stopped()) << k;
    EXPECT_EQ(stop.asked, k);
  }
}

}  // namespace
}  // namespace fendro
