// The families' registry tables against the key table: every key registered
// once, only type keys registered, and every registered key built by its own
// entry.
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

TEST(Families, NoKeyRegisteredTwice) {
  for (const auto& [key, n] : registrations()) EXPECT_EQ(n, 1) << key;
}

TEST(Families, OnlyTypeKeysAreRegistered) {
  for (const auto& [key, n] : registrations()) {
    EXPECT_TRUE(registry::key_slot(key).has_value()) << key << " is not in the feed table";
    EXPECT_NE(feed_of_indicator(key), Feed::None) << key;
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

// The registry serves every one of the 495 type keys.
TEST(Families, EveryTypeKeyIsRegistered) {
  const auto count = registrations();
  std::vector<std::string_view> missing;
  for (const registry::KeyRow& row : registry::key_rows()) {
    if (!count.contains(row.key)) missing.push_back(row.key);
  }
  EXPECT_TRUE(missing.empty()) << missing.size() << " keys missing, first: "
                               << (missing.empty() ? std::string_view() : missing.front());
}

}  // namespace
}  // namespace fendro
