// Every type whose bar does long work asks the command's interrupt from inside
// that bar, and once told to stop there the bar gives no value and asks
// nothing more: stepped alone, and through a whole "prove" command, which
// then ends as stopped.
//
// Which (key, setting) rows ask is found by running every key (see
// long_bar_rows.hpp) and must be tests/data/long_bar_rows.txt: a type that no
// longer asks, or a new one that does, fails here until the list is written
// afresh on purpose:
//   FENDRO_REFRESH_LONG_BAR_ROWS=1 build/tests/test_indicators --gtest_filter='LongBarRows.*'
#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "fendro/module/command.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "fendro/util/run_scope.hpp"
#include "indicators/long_bar_rows.hpp"
#include "indicators/one_entry_command.hpp"
#include "indicators/series.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro {
namespace {

using testing::LongBarRow;
using testing::row_text;

const std::string kListPath = std::string(FENDRO_TEST_DATA_DIR) + "/long_bar_rows.txt";

constexpr const char* kListHeader =
    "# Every (key, setting) whose bars ask the command's interrupt from inside,\n"
    "# found by running every key (tests/indicators/long_bar_rows.hpp). Written by\n"
    "#   FENDRO_REFRESH_LONG_BAR_ROWS=1 build/tests/test_indicators --gtest_filter='LongBarRows.*'\n";

std::vector<LongBarRow> listed_rows() {
  std::ifstream in(kListPath, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto rows = testing::read_rows(text);
  return rows ? *rows : std::vector<LongBarRow>{};
}

// ---- The list is what the code does ----

constexpr std::size_t kShards = 4;

class LongBarListing : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LongBarListing, TheRowsThatAskAreTheListedOnes) {
  const std::span<const registry::Entry> keys = registry::key_rows();
  std::set<std::string> shard_keys;
  std::set<LongBarRow> found;
  for (std::size_t i = GetParam(); i < keys.size(); i += kShards) {
    shard_keys.emplace(keys[i].key);
    for (LongBarRow& row : testing::asking_rows(keys[i])) found.insert(std::move(row));
  }
  std::set<LongBarRow> listed;
  for (const LongBarRow& row : listed_rows()) {
    if (shard_keys.count(row.key) != 0) listed.insert(row);
  }
  for (const LongBarRow& row : found) {
    EXPECT_EQ(listed.count(row), 1u) << row_text(row) << " asks inside its bars but is not listed";
  }
  for (const LongBarRow& row : listed) {
    EXPECT_EQ(found.count(row), 1u) << row_text(row) << " is listed but its bars no longer ask";
  }
}

INSTANTIATE_TEST_SUITE_P(Shards, LongBarListing, ::testing::Range(std::size_t{0}, kShards));

TEST(LongBarRows, TheListReadsAndNamesOnlyKeys) {
  const std::vector<LongBarRow> rows = listed_rows();
  ASSERT_FALSE(rows.empty()) << kListPath << " is missing or does not read";
  for (const LongBarRow& row : rows) {
    EXPECT_TRUE(registry::key_slot(row.key).has_value()) << row_text(row);
  }
}

TEST(LongBarRows, RefreshedWhenAsked) {
  if (std::getenv("FENDRO_REFRESH_LONG_BAR_ROWS") == nullptr) GTEST_SKIP() << "not asked";
  std::string text = kListHeader;
  for (const registry::Entry& entry : registry::key_rows()) {
    for (const LongBarRow& row : testing::asking_rows(entry)) text += row_text(row) + "\n";
  }
  std::ofstream(kListPath, std::ios::binary) << text;
}

// ---- Each listed row stops when told ----

// The first bar that both asks and gives a value when nothing stops it, with
// the asks made before it and during it, in a scope that asks after every
// step.
struct ValuedAsk {
  std::size_t bar = 0;
  std::uint64_t asks_before = 0;
  std::uint64_t asks_during = 0;
};

std::optional<ValuedAsk> first_valued_asking_bar(const LongBarRow& row) {
  testing::CountingInterrupt never;
  RunScope scope(never.interrupt(), 1);
  auto built = build_indicator(row.key, row.params);
  if (!built.ok()) return std::nullopt;
  Indicator& ind = **built;
  const auto candles = testing::long_bar_candles().first(testing::bars_for(row, ind.warmup_period()));
  for (std::size_t i = 0; i < candles.size(); ++i) {
    const std::uint64_t before = scope.in_bar_asks();
    const bool valued = testing::step(ind, candles[i]).has_value();
    if (valued && scope.in_bar_asks() != before) return ValuedAsk{i, before, scope.in_bar_asks() - before};
  }
  return std::nullopt;
}

// The first, middle and last of a bar's `asks`, from 1: the places a bar
// asks from are most often one after another.
std::vector<std::uint64_t> ask_points(std::uint64_t asks) {
  std::vector<std::uint64_t> points = {1};
  if ((asks + 1) / 2 > 1) points.push_back((asks + 1) / 2);
  if (asks > points.back()) points.push_back(asks);
  return points;
}

class LongBarStop : public ::testing::TestWithParam<LongBarRow> {};

TEST_P(LongBarStop, TheBarToldToStopGivesNoValueAndAsksNothingMore) {
  const LongBarRow& row = GetParam();
  const auto valued = first_valued_asking_bar(row);
  ASSERT_TRUE(valued.has_value()) << "no bar both asks and gives a value";
  const auto candles = testing::long_bar_candles();
  for (const std::uint64_t k : ask_points(valued->asks_during)) {
    SCOPED_TRACE("bar " + std::to_string(valued->bar) + " told to stop at its ask " + std::to_string(k) + " of " +
                 std::to_string(valued->asks_during));
    testing::CountingInterrupt stop{.stop_at = valued->asks_before + k};
    RunScope scope(stop.interrupt(), 1);
    auto built = build_indicator(row.key, row.params);
    ASSERT_TRUE(built.ok());
    Indicator& ind = **built;
    for (std::size_t i = 0; i < valued->bar; ++i) testing::step(ind, candles[i]);
    ASSERT_EQ(stop.asked, valued->asks_before);
    const std::optional<double> v = testing::step(ind, candles[valued->bar]);
    EXPECT_TRUE(scope.stopped());
    EXPECT_FALSE(v.has_value()) << "gave a value after its stop";
    EXPECT_EQ(stop.asked, stop.stop_at) << "asked again after its stop";
  }
}

// Counts the asks, telling those a scope counts from the others (the
// command's reading and its bar loop ask the interrupt itself; a one-entry
// command's scope asks only from inside its bars); says stop at the first a
// scope counts, and never again.
struct FirstScopeAsk {
  std::uint64_t total = 0;
  std::uint64_t stopped_at = 0;  // the ask that said stop, from 1
  std::uint64_t seen_in_bar = 0;

  static bool check(void* self) {
    auto& a = *static_cast<FirstScopeAsk*>(self);
    ++a.total;
    const RunScope* scope = RunScope::current();
    if (a.stopped_at != 0 || scope == nullptr || scope->in_bar_asks() == a.seen_in_bar) return false;
    a.seen_in_bar = scope->in_bar_asks();
    a.stopped_at = a.total;
    return true;
  }
  Interrupt interrupt() { return Interrupt(check, this); }
};

// The bar during which the row's work first asks in a scope asking as a
// command's does.
std::optional<std::size_t> first_asking_bar_of_a_command(const LongBarRow& row) {
  testing::CountingInterrupt stop{.stop_at = 1};
  RunScope scope(stop.interrupt());
  auto built = build_indicator(row.key, row.params);
  if (!built.ok()) return std::nullopt;
  Indicator& ind = **built;
  const auto candles = testing::long_bar_candles();
  for (std::size_t i = 0; i < candles.size(); ++i) {
    testing::step(ind, candles[i]);
    if (stop.asked != 0) return i;
  }
  return std::nullopt;
}

// A "prove" command over the first `bars` candles with one entry of the row's
// type.
std::string prove_command(const LongBarRow& row, std::size_t bars) {
  return testing::one_entry_prove_command(row.key, row.params, testing::long_bar_candles().first(bars));
}

TEST_P(LongBarStop, AProveToldToStopInsideTheBarEndsStoppedThere) {
  const LongBarRow& row = GetParam();
  const auto bar = first_asking_bar_of_a_command(row);
  // Work noted now and then (a profile at the end of each block) may never
  // add up to a command's ask over the series: then the command's own walk
  // asks between its bars, by the clock.
  if (!bar) GTEST_SKIP() << "its noted work never adds up to an ask of a command's scope";
  const std::string command = prove_command(row, *bar + 1);
  std::string response;
  StringSink sink(response);
  FirstScopeAsk asks;
  const Status<Stopped> done = apply_command(command, sink, asks.interrupt());
  EXPECT_FALSE(done.ok()) << "the command was not stopped: " << response.substr(0, 300);
  EXPECT_NE(asks.stopped_at, 0u) << "nothing was asked from inside a bar";
  EXPECT_EQ(asks.total, asks.stopped_at) << "asked again after the stop";
}

std::string row_name(const ::testing::TestParamInfo<LongBarRow>& info) {
  std::string name = info.param.key;
  for (const double p : info.param.params) {
    name += '_';
    char buf[32];
    const char* end = std::to_chars(buf, buf + sizeof buf, p).ptr;
    for (const char* c = buf; c != end; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : 'p';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Rows, LongBarStop, ::testing::ValuesIn(listed_rows()), row_name);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(LongBarStop);

}  // namespace
}  // namespace fendro
