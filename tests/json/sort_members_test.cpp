// A large object's members put in the tree's order (key bytes ascending, the
// last of equal keys kept) in steps, the caller's interrupt asked between
// them: the same order as the sort in one go, and any stop ends it as a stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "fendro/json/members.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/json/parser.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro::json {
namespace {

using fendro::testing::CountingInterrupt;

std::string numbered(std::size_t k) {
  char text[16];
  std::snprintf(text, sizeof text, "k%07zu", k);
  return text;
}

// Keys as an object gives them, duplicates included.
struct KeySet {
  const char* name;
  std::vector<std::string> keys;
};

constexpr std::size_t kMany = 200'000;

// In reverse order, with some keys given again soon after and some given
// again far away (in another run of the sort): the later one must win.
std::vector<std::string> reverse_with_duplicates(std::size_t n) {
  std::vector<std::string> keys;
  for (std::size_t k = n; k-- > 0;) {
    keys.push_back(numbered(k));
    if (k % 7 == 0) keys.push_back(numbered(k + 13));
    if (k % 1000 == 0) keys.push_back(numbered(n - 1 - k));
  }
  return keys;
}

std::vector<KeySet> key_sets() {
  std::vector<KeySet> sets;
  sets.push_back({"reverse", reverse_with_duplicates(kMany)});

  std::vector<std::string> shuffled = reverse_with_duplicates(kMany / 2);
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
  sets.push_back({"shuffled", std::move(shuffled)});

  std::vector<std::string> ascending;
  for (std::size_t k = 0; k < kMany / 2; ++k) ascending.push_back(numbered(k / 2));
  sets.push_back({"ascending, each twice", std::move(ascending)});

  sets.push_back({"one key", std::vector<std::string>(50'000, "same")});

  // Bytes above 0x7F, the empty key, keys that are prefixes of others.
  std::vector<std::string> bytes;
  for (std::size_t k = 60'000; k-- > 0;) {
    std::string key(1, static_cast<char>(0x80 + k % 128));
    key += std::string(k % 5, static_cast<char>('a' + k % 3));
    key += static_cast<char>(k % 251);
    bytes.push_back(key.substr(0, k % 9));
  }
  sets.push_back({"bytes and prefixes", std::move(bytes)});

  // Fewer members than a run holds, but long keys sharing a long prefix:
  // their comparisons count, and the memcmp path compares them.
  std::vector<std::string> long_keys;
  for (std::size_t k = 3'000; k-- > 0;) {
    long_keys.push_back(std::string(290, 'p') + numbered(k));
    if (k % 11 == 0) long_keys.push_back(std::string(290, 'p') + numbered(k / 2));
  }
  sets.push_back({"long keys", std::move(long_keys)});
  return sets;
}

// The members as given: the value of each is its place in the list.
std::vector<Member> members_of(const std::vector<std::string>& keys) {
  std::vector<Member> ms;
  for (std::size_t i = 0; i < keys.size(); ++i) ms.push_back({keys[i], Value::uinteger(i)});
  return ms;
}

// What the tree must hold, worked out apart from the sort: keys in byte
// order, each with the place of its last occurrence.
std::vector<std::pair<std::string, std::uint64_t>> expected_order(const std::vector<std::string>& keys) {
  std::map<std::string, std::uint64_t> last;  // std::string compares bytes as unsigned
  for (std::size_t i = 0; i < keys.size(); ++i) last[keys[i]] = i;
  return {last.begin(), last.end()};
}

std::vector<std::pair<std::string, std::uint64_t>> order_of(const std::vector<Member>& ms, std::size_t kept) {
  std::vector<std::pair<std::string, std::uint64_t>> out;
  for (std::size_t i = 0; i < kept; ++i) out.emplace_back(std::string(ms[i].key), ms[i].value.u);
  return out;
}

// The places in the given list of the members kept, in their order: plain
// numbers, read without touching a key. A member the sort lost or made up
// (a slot of its buffer it never wrote, say) shows here, before its key,
// which may point anywhere, is read.
std::vector<std::uint64_t> places_of(const std::vector<Member>& ms, std::size_t kept) {
  std::vector<std::uint64_t> out;
  for (std::size_t i = 0; i < kept && i < ms.size(); ++i) {
    out.push_back(ms[i].value.kind == Kind::UInt ? ms[i].value.u : ~std::uint64_t{0});
  }
  return out;
}

std::vector<std::uint64_t> places_of(const std::vector<std::pair<std::string, std::uint64_t>>& order) {
  std::vector<std::uint64_t> out;
  for (const auto& [key, place] : order) out.push_back(place);
  return out;
}

// `ms` sorted to `kept` members is the expected order: first how many were
// kept (the duplicates dropped), then which members and in what order, and
// only then their keys.
void expect_order(const std::vector<Member>& ms, std::size_t kept,
                  const std::vector<std::pair<std::string, std::uint64_t>>& expected, const char* name) {
  ASSERT_EQ(kept, expected.size()) << name << ": members kept";
  ASSERT_EQ(places_of(ms, kept), places_of(expected)) << name << ": members in order";
  EXPECT_EQ(order_of(ms, kept), expected) << name;
}

TEST(PacedSort, SameOrderAsInOneGoAndAStopAtAnyAskEndsIt) {
  for (const KeySet& set : key_sets()) {
    const auto expected = expected_order(set.keys);
    const std::vector<Member> given = members_of(set.keys);
    // The paced sort first: its buffer then comes fresh from the system, so
    // that a slot of it the sort never wrote holds zeros (an empty key), not
    // the members another sort left there, and a sort that reads one runs
    // to its end and fails the checks here instead of crashing.
    std::vector<Member> ms = given;
    CountingInterrupt never;
    const auto kept = sort_members_keep_last(ms.data(), ms.size(), never.interrupt());
    ASSERT_TRUE(kept.ok()) << set.name;
    expect_order(ms, *kept, expected, set.name);
    if (::testing::Test::HasFatalFailure()) return;
    ms = given;
    expect_order(ms, sort_members_keep_last(ms.data(), ms.size()), expected, set.name);
    if (::testing::Test::HasFatalFailure()) return;
    ASSERT_GT(never.asked, 2u) << set.name;
    // Asks spread over the runs, the merges and the dropping of duplicates,
    // the first and the last two among them.
    std::vector<std::size_t> stops{never.asked - 1, never.asked};
    for (std::size_t k = 1; k + 1 < never.asked; k += std::max<std::size_t>(1, never.asked / 6)) stops.push_back(k);
    for (const std::size_t k : stops) {
      ms = given;
      CountingInterrupt stop{.stop_at = k};
      EXPECT_FALSE(sort_members_keep_last(ms.data(), ms.size(), stop.interrupt()).ok()) << set.name << " " << k;
      EXPECT_EQ(stop.asked, k) << set.name << ": asked again after the stop at " << k;
    }
  }
}

TEST(PacedSort, AsksGrowWithTheWork) {
  // Short keys: one ask per run at least, and one per step of work over the
  // merge passes; an object of one run is sorted in one go, unasked.
  for (const std::size_t n : {kSortRunWork, std::size_t{20'000}, std::size_t{400'000}}) {
    std::vector<std::string> keys;
    for (std::size_t k = n; k-- > 0;) keys.push_back(numbered(k));
    std::vector<Member> ms = members_of(keys);
    CountingInterrupt never;
    const auto kept = sort_members_keep_last(ms.data(), n, never.interrupt());
    ASSERT_TRUE(kept.ok());
    expect_order(ms, *kept, expected_order(keys), "descending");
    if (::testing::Test::HasFatalFailure()) return;
    const std::size_t runs = (n + kSortRunWork - 1) / kSortRunWork;
    std::size_t passes = 0;
    while ((std::size_t{1} << passes) < runs) ++passes;
    if (runs == 1) {
      EXPECT_EQ(never.asked, 0u);
    } else {
      EXPECT_GE(never.asked, runs + passes * n / kSortStepWork) << n;
    }
  }
  // Long keys count by their bytes: fewer members than one run holds are
  // still sorted in steps.
  std::vector<std::string> keys;
  std::size_t work = 0;
  for (std::size_t k = 2'000; k-- > 0;) {
    keys.push_back(std::string(1'000, 'q') + numbered(k));
    work += sort_work(keys.back());
  }
  std::vector<Member> ms = members_of(keys);
  CountingInterrupt never;
  ASSERT_TRUE(sort_members_keep_last(ms.data(), ms.size(), never.interrupt()).ok());
  EXPECT_GE(never.asked, work / kSortRunWork);
}

// An object's text from its keys, each member's value its place.
std::string object_text(const std::vector<std::string>& keys) {
  std::string text = R"({"cmd":"canonicalize","value":{)";
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (i != 0) text += ',';
    text += '"' + keys[i] + "\":" + std::to_string(i);
  }
  return text + "}}";
}

struct ObjectText {
  const char* name;
  std::string text;
  std::size_t sort_asks_at_least;
};

std::vector<ObjectText> object_texts() {
  std::vector<ObjectText> out;
  out.push_back({"many members", object_text(reverse_with_duplicates(kMany)), kMany / kSortRunWork});
  // Few members, but keys long enough to be compared in steps.
  std::vector<std::string> keys;
  for (std::size_t k = kSmallObject; k-- > 0;) keys.push_back(std::string(64 * 1024, 'r') + numbered(k % 9));
  out.push_back({"few long keys", object_text(keys), kSmallObject * sort_work(keys[0]) / kSortRunWork / 2});
  return out;
}

TEST(PacedSortInTheParser, TheTreeOfTheParseInOneGoUnlessAStopComes) {
  for (const ObjectText& t : object_texts()) {
    CountingInterrupt never;
    const auto watched = parse_deferring(t.text, "data", nullptr, never.interrupt());
    ASSERT_TRUE(watched.ok()) << t.name;
    const auto plain = parse(t.text);
    ASSERT_TRUE(plain.ok()) << t.name;
    EXPECT_TRUE(equal(watched->document.root, plain->root)) << t.name;
    const std::size_t text_asks = t.text.size() / detail::Parser::kCheckBytes;
    EXPECT_GE(never.asked, text_asks + t.sort_asks_at_least) << t.name;
    // A sample of the asks, most of them the sort's (the last ones).
    std::vector<std::size_t> stops;
    for (std::size_t k = 1; k <= never.asked; k += std::max<std::size_t>(1, never.asked / 6)) stops.push_back(k);
    for (std::size_t k = never.asked - std::min<std::size_t>(never.asked - 1, 6); k <= never.asked; ++k) stops.push_back(k);
    for (const std::size_t k : stops) {
      CountingInterrupt stop{.stop_at = k};
      const auto parsed = parse_deferring(t.text, "data", nullptr, stop.interrupt());
      ASSERT_FALSE(parsed.ok()) << t.name << " " << k;
      EXPECT_TRUE(parsed.error().stopped) << t.name << " " << k;
      EXPECT_EQ(stop.asked, k) << t.name << ": asked again after the stop at " << k;
    }
  }
}

}  // namespace
}  // namespace fendro::json
