#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"

namespace fendro {
namespace {

struct Case {
  const char* name;
  std::vector<double> prices;
  std::vector<bool> want;  // whether the window of 3 holds only copies after each push
};

// A ring of (price, volume) asked through the price alone: the volumes,
// all different, never stop a run of one price.
TEST(CopyCheck, ReadsThePriceOutOfAPairRing) {
  const std::vector<Case> cases = {
      {"a run", {1, 2, 2, 2, 2}, {false, false, false, true, true}},
      {"broken by another price", {5, 5, 5, 6, 5, 5, 5}, {false, false, true, false, false, false, true}},
      {"zeros of both signs", {-0.0, 0.0, -0.0}, {false, false, true}},
  };
  for (const Case& c : cases) {
    if (!kReadsCopies) GTEST_SKIP();
    BoundedRing<std::pair<double, double>> ring(3);
    CopyCheck check;
    const auto price = [](const std::pair<double, double>& e) { return e.first; };
    for (std::size_t i = 0; i < c.prices.size(); ++i) {
      const double x = c.prices[i];
      const bool repeat = !ring.empty() && x == ring.back().first;
      ring.push({x, static_cast<double>(i) + 0.5});
      const bool only = repeat && check.after_repeat(ring, x, i + 1, 3, price);
      EXPECT_EQ(only, c.want[i]) << c.name << " push " << i;
    }
  }
}

}  // namespace
}  // namespace fendro
