// The families' registry tables: every key registered once, no alias
// registered, every row built by its own entry and with its own parameters.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"

namespace fendro {
namespace {

std::map<std::string_view, int> registrations() {
  std::map<std::string_view, int> count;
  for (auto family : registry::families()) {
    for (const registry::Entry& e : family) ++count[e.key];
  }
  return count;
}

TEST(Families, AliasesAreNotRegistered) {
  for (const auto& [key, n] : registrations()) {
    EXPECT_NE(key, "Macd");
    EXPECT_NE(key, "Bollinger");
  }
}

// However bad its parameters, a registered key reaches its own entry: the
// factory never answers it as unknown and errors name the key itself.
TEST(Families, RegisteredKeysDispatchToTheirEntry) {
  for (const auto& [key, n] : registrations()) {
    for (const std::vector<double>& params : {std::vector<double>{}, std::vector<double>{-1, -1, -1}}) {
      auto r = build_indicator(key, params);
      if (r.ok()) continue;
      EXPECT_EQ(r.error().kind, StrategyError::Kind::InvalidParameters) << key;
      EXPECT_EQ(r.error().text, key);
    }
  }
}

}  // namespace
}  // namespace fendro
