// A walk, then a window of copies of one price: once the window holds only
// copies a key reads its flat case, bit for bit, whatever phase of its sums'
// rebuilds the walk left it at (a rebuild about a rounded mean leaves a
// residue that would otherwise stand until the next one).
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing {

// Closes that move around p for `bars` bars (never p itself, always above 0),
// then `copies` closes at p.
inline std::vector<double> walk_then_copies(double p, std::size_t bars, std::size_t copies) {
  std::vector<double> closes;
  for (std::size_t i = 0; i < bars; ++i) closes.push_back(p * (1.01 + 0.01 * static_cast<double>(i % 5)));
  closes.insert(closes.end(), copies, p);
  return closes;
}

enum class FlatRead { Zero, Price };

struct CopiesCase {
  std::string key;
  std::vector<double> params;
  std::size_t held;  // closes from the first whose copies the flat case needs to the newest
  FlatRead want;
};

// Each case at each uneven price after walks of several lengths (so the
// copies meet the rebuilds at several phases): from the bar whose window
// first holds only copies, for two windows on, the value is the price or
// +0.0.
inline void expect_copies_read_flat(const std::vector<CopiesCase>& cases) {
  for (const CopiesCase& c : cases) {
    for (const double p : kUnevenPrices) {
      for (std::size_t quarter = 0; quarter < 4; ++quarter) {
        const std::size_t walk = 2 * c.held + quarter * c.held / 4 + 1;
        const Values got = run_closes(c.key, c.params, walk_then_copies(p, walk, 3 * c.held));
        const double want = c.want == FlatRead::Price ? p : 0.0;
        for (std::size_t i = walk + c.held - 1; i < got.size(); ++i) {
          const std::string at = c.key + " at " + std::to_string(p) + ", walk " + std::to_string(walk) +
                                 ", bar " + std::to_string(i);
          ASSERT_TRUE(got[i].has_value()) << at;
          EXPECT_EQ(bits(*got[i]), bits(want)) << at << ": " << *got[i];
        }
      }
    }
  }
}

}  // namespace fendro::testing
