// The families' registry tables: every key registered once, the size of the
// library, every row built with its own parameters in the feed it names.
#include <gtest/gtest.h>

#include <map>
#include <string_view>

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

// The one place the size of the library is written down.
TEST(Families, FourHundredNinetyFiveTypeKeys) { EXPECT_EQ(registry::key_rows().size(), 495u); }

// Every row builds with its customary parameters, in the feed it names.
TEST(Families, EveryRowBuildsWithItsCustomaryParameters) {
  for (const registry::Entry& row : registry::key_rows()) {
    const auto built = build_indicator(row.key, row.params.values());
    EXPECT_TRUE(built.ok()) << row.key << ": " << (built.ok() ? "" : built.error().display());
    EXPECT_NE(row.feed, Feed::None) << row.key;
  }
}

}  // namespace
}  // namespace fendro
