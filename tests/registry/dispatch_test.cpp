#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "fendro/registry/run_entry.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

std::string failure(std::string_view key, std::vector<double> params) {
  auto r = build_indicator(key, params);
  return r.ok() ? "" : r.error().display();
}

bool registered(std::string_view key) {
  for (auto family : registry::families()) {
    for (const registry::Entry& e : family) {
      if (e.key == key) return true;
    }
  }
  return false;
}

TEST(BuildIndicator, KeysMatchExactly) {
  for (const char* key : {"sma", "SMA", " Sma", "Sma ", "Sm", "Smaa"}) {
    auto r = build_indicator(key, std::vector<double>{3});
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().kind, StrategyError::Kind::UnknownIndicator);
    EXPECT_EQ(r.error().display(), std::string("unknown indicator type: ") + key);
  }
  EXPECT_EQ(failure("", {}), "unknown indicator type: ");
  EXPECT_EQ(failure(std::string_view("Sma\0", 4), {3}), std::string("unknown indicator type: Sma\0", 28));
  EXPECT_EQ(failure("ThisKeyIsFarLongerThanAnyTypeKeyAtAll", {}),
            "unknown indicator type: ThisKeyIsFarLongerThanAnyTypeKeyAtAll");
}

// However bad its parameters, a registered key reaches its own entry: the
// factory never answers it as unknown and errors name the key itself.
TEST(BuildIndicator, RegisteredKeysDispatchToTheirEntry) {
  for (const registry::Entry& row : registry::key_rows()) {
    for (const std::vector<double>& params : {std::vector<double>{}, std::vector<double>{-1, -1, -1}}) {
      auto r = build_indicator(row.key, params);
      if (r.ok()) continue;
      EXPECT_EQ(r.error().kind, StrategyError::Kind::InvalidParameters) << row.key;
      EXPECT_EQ(r.error().text, row.key);
    }
  }
}

TEST(BuildIndicator, ReadsParametersInOrderAndIgnoresExtras) {
  struct Case {
    const char* key;
    std::vector<double> params;
    std::string want;  // "" when built
  };
  const std::vector<Case> cases = {
      {"Sma", {}, "invalid parameters for indicator Sma: missing parameter #0"},
      {"Sma", {0}, "invalid parameters for indicator Sma: parameter #0 must be a positive integer, got 0"},
      {"Sma", {1e-20}, "invalid parameters for indicator Sma: period must be greater than zero"},
      {"Sma", {14, 99, -1}, ""},
      {"Sma", {14, std::numeric_limits<double>::quiet_NaN()}, ""},
      {"Sma", {16777216}, ""},
      {"T3", {0, 0.5}, "invalid parameters for indicator T3: parameter #0 must be a positive integer, got 0"},
      {"T3", {5}, "invalid parameters for indicator T3: missing parameter #1"},
  };
  for (const Case& k : cases) EXPECT_EQ(failure(k.key, k.params), k.want) << k.key;
  auto built = build_indicator("Sma", std::vector<double>{14, 99, -1});
  ASSERT_TRUE(built.ok());
  EXPECT_EQ((*built)->warmup_period(), 14u);
}

TEST(BuildIndicator, EachCallBuildsAnIndependentObject) {
  auto a = build_indicator("Sma", std::vector<double>{2});
  auto b = build_indicator("Sma", std::vector<double>{2});
  ASSERT_TRUE(a.ok() && b.ok());
  const Candle one = testing::flat(1), three = testing::flat(3);
  testing::step(**a, one);
  EXPECT_EQ(testing::step(**a, three), 2.0);
  EXPECT_FALSE(testing::step(**b, three));
}

TEST(BuildIndicator, AliasesNameAndBuildTheirTargets) {
  EXPECT_EQ(failure("Macd", {12, 26}), "invalid parameters for indicator MacdIndicator: missing parameter #2");
  EXPECT_EQ(failure("Bollinger", {20}), "invalid parameters for indicator BollingerBands: missing parameter #1");
  auto alias = build_indicator("Bollinger", std::vector<double>{20, 2});
  auto target = build_indicator("BollingerBands", std::vector<double>{20, 2});
  ASSERT_TRUE(alias.ok() && target.ok());
  for (const Candle& c : testing::random_walk(60, 4)) {
    EXPECT_EQ(testing::step(**alias, c), testing::step(**target, c));
  }
}

// The aliases restart the dispatch with their targets: the targets are rows
// of the families' tables, the aliases are not.
TEST(BuildIndicator, AliasTargetsAreRowsAndAliasesAreNot) {
  EXPECT_TRUE(registered("MacdIndicator"));
  EXPECT_TRUE(registered("BollingerBands"));
  EXPECT_FALSE(registered("Macd"));
  EXPECT_FALSE(registered("Bollinger"));
}

BuildResult throws_bad_alloc(const registry::Params&) { throw std::bad_alloc(); }
BuildResult throws_length_error(const registry::Params&) { throw std::length_error("vector"); }
BuildResult asks_for_too_much(const registry::Params& p) {
  FENDRO_TRY(n, p.usize(0));
  std::vector<double> state;
  state.reserve(n);  // beyond max_size: length_error
  return err(StrategyError::invalid_spec("unreachable"));
}

TEST(BuildIndicator, StateThatCannotBeAllocatedFailsTheBuild) {
  const std::string want = "invalid parameters for indicator Key: not enough memory for the indicator's state";
  for (registry::BuildFn fn : {&throws_bad_alloc, &throws_length_error, &asks_for_too_much}) {
    auto r = registry::run_entry(fn, "Key", std::vector<double>{1e300});
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().display(), want);
  }
}

}  // namespace
}  // namespace fendro
