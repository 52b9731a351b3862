// docs/strategy.md's list of the types a "prove" run can never get a value from
// (it carries candles only) is the registry's: every key fed anything but
// candles, and every candle-fed key that gives nothing over a long run of
// candles alone.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

std::set<std::string> silent_on_candles() {
  // Daily bars: months of them, so that calendar types get their dates.
  std::vector<Candle> bars = testing::random_walk(2000, 29);
  for (std::size_t i = 0; i < bars.size(); ++i) bars[i].time = static_cast<std::int64_t>(i) * 86'400'000;
  std::set<std::string> out;
  for (const registry::Entry& row : registry::key_rows()) {
    if (row.feed != Feed::Kline) {
      out.emplace(row.key);
      continue;
    }
    auto built = build_indicator(row.key, row.params.values());
    EXPECT_TRUE(built.ok()) << row.key;
    if (!built.ok()) continue;
    bool gave = false;
    for (const Candle& c : bars) gave = testing::step(**built, c).has_value() || gave;
    if (!gave) out.emplace(row.key);
  }
  return out;
}

// The names in backticks of the list items of docs/strategy.md's section on
// candles alone, which ends at the next heading of any level.
std::set<std::string> documented_list() {
  std::ifstream in(std::string(FENDRO_TEST_DATA_DIR) + "/../../docs/strategy.md");
  std::stringstream text;
  text << in.rdbuf();
  const std::string all = text.str();
  const std::size_t from = all.find("\n### What candles alone cannot drive\n");
  const std::size_t to = all.find("\n#", from + 1);
  std::set<std::string> out;
  if (from == std::string::npos) return out;
  const std::string section = all.substr(from, to - from);
  for (std::size_t at = section.find("- "); at != std::string::npos; at = section.find("\n- ", at + 1)) {
    const std::size_t end = section.find("\n\n", at);
    const std::string item = section.substr(at, end - at);
    for (std::size_t q = item.find('`'); q != std::string::npos; q = item.find('`', q + 1)) {
      const std::size_t close = item.find('`', q + 1);
      out.insert(item.substr(q + 1, close - q - 1));
      q = close;
    }
  }
  return out;
}

TEST(CandlesAlone, TheStrategyDocListsExactlyTheTypesThatStaySilent) {
  const std::set<std::string> want = silent_on_candles();
  const std::set<std::string> got = documented_list();
  ASSERT_FALSE(got.empty()) << "docs/strategy.md has no section \"What candles alone cannot drive\"";
  for (const std::string& k : want) EXPECT_TRUE(got.count(k)) << k << " is missing from docs/strategy.md";
  for (const std::string& k : got) EXPECT_TRUE(want.count(k)) << k << " gives values on candles";
}

}  // namespace
}  // namespace fendro
