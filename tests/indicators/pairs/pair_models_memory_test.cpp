// The regression models' work areas grow with the (lags + 1)^2 of their
// fits, which for the largest lags their rules allow is more memory than any
// machine has. A command whose bars never fill the window never fits, so it
// must prove the same everywhere: here in a child whose address space may
// grow by no more than `run_untrusted` gives its worker.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "bounded_child.hpp"
#include "fendro/module/command.hpp"
#include "indicators/one_entry_command.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

#ifdef FENDRO_UNDER_ASAN
TEST(PairModelsMemory, LongLagsOverFewBarsProveUnderACap) {
  GTEST_SKIP() << "the sanitizer's shadow memory needs more address space than the cap";
}
#else
constexpr std::size_t kHeadroomBytes = std::size_t{1} << 30;
constexpr std::size_t kCandles = 200;

struct Case {
  const char* key;
  std::vector<double> params;
};

// Reserved up front, each would take from 26 GB to 1.1 PB.
const std::vector<Case> kCases = {
    {"Cointegration", {100000, 40000}},
    {"Cointegration", {16777216, 8388606}},
    {"GrangerCausality", {100000, 30000}},
    {"GrangerCausality", {16777216, 5592404}},
};

// In the child: a line for each case that did not prove, with its answer.
std::string unproved_under_cap() {
  const std::vector<Candle> candles = testing::random_walk(kCandles);
  std::string failures;
  for (const Case& c : kCases) {
    std::string answer;
    try {
      answer = apply_command(testing::one_entry_prove_command(c.key, c.params, candles));
    } catch (const std::bad_alloc&) {
      answer = "std::bad_alloc";
    }
    if (answer.find("\"report_hash\"") == std::string::npos) {
      failures += std::string(c.key) + " [" + std::to_string(static_cast<long long>(c.params[0])) + ", " +
                  std::to_string(static_cast<long long>(c.params[1])) + "]: " + answer.substr(0, 200) + "\n";
    }
  }
  return failures;
}

TEST(PairModelsMemory, LongLagsOverFewBarsProveUnderACap) {
  const testing::ChildOutcome run = testing::run_in_bounded_child(kHeadroomBytes, 0, unproved_under_cap);
  ASSERT_EQ(run.signal, 0) << "the child ended by signal " << run.signal;
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.text, "") << "these did not prove under the cap";
}
#endif

}  // namespace
}  // namespace fendro
