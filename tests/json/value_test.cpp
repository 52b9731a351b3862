// The value tree: key order, duplicates, lookup, equality, copies, strings.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fendro/json/parse.hpp"
#include "fendro/json/value.hpp"
#include "fendro/util/paced_copy.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro::json {
namespace {

Document must_parse(std::string_view text) {
  auto r = parse(text);
  EXPECT_TRUE(r.ok()) << text << ": " << (r.ok() ? "" : r.error().display());
  return std::move(r).value();
}

std::vector<std::string> keys_of(const Value& v) {
  std::vector<std::string> out;
  for (const Member& m : v.as_object()) out.emplace_back(m.key);
  return out;
}

TEST(ObjectKeys, SortedByBytes) {
  struct Case {
    std::string_view text;
    std::vector<std::string> keys;
  };
  const Case cases[] = {
      {R"({"b":1,"a":2})", {"a", "b"}},
      {R"({"a":1,"B":2})", {"B", "a"}},
      {R"({"ab":1,"a":2,"":3})", {"", "a", "ab"}},
      // Bytes above 0x7F sort after ASCII: é (C3 A9) after z.
      {"{\"\xc3\xa9\":1,\"z\":2}", {"z", "\xc3\xa9"}},
      {R"({"time":1,"open":2,"high":3,"low":4,"close":5,"volume":6})",
       {"close", "high", "low", "open", "time", "volume"}},
      // An escaped key sorts by its decoded bytes.
      {R"({"\u0062":1,"a":2})", {"a", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(keys_of(must_parse(c.text).root), c.keys) << c.text;
}

TEST(ObjectKeys, LastDuplicateWins) {
  const auto doc = must_parse(R"({"cmd":"version","x":1,"cmd":"prove","x":2,"cmd":"verify"})");
  EXPECT_EQ(keys_of(doc.root), (std::vector<std::string>{"cmd", "x"}));
  EXPECT_EQ(doc.root.find("cmd")->as_string(), "verify");
  EXPECT_EQ(doc.root.find("x")->u, 2u);
}

// More members than the small-object path handles, with duplicates spread
// over the text: the sort must stay stable so the last one still wins.
TEST(ObjectKeys, LargeObjectKeepsLastDuplicate) {
  std::string text = "{";
  for (int round = 0; round < 3; ++round) {
    for (int k = 39; k >= 0; --k) {
      if (text.size() > 1) text += ",";
      text += "\"k" + std::to_string(k) + "\":";
      text += std::to_string(round * 100 + k);
    }
  }
  text += "}";
  const auto doc = must_parse(text);
  ASSERT_EQ(doc.root.size, 40u);
  for (int k = 0; k < 40; ++k) {
    const Value* v = doc.root.find(std::string("k") + std::to_string(k));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->u, static_cast<std::uint64_t>(200 + k));
  }
  const auto ms = doc.root.as_object();
  for (std::size_t i = 1; i < ms.size(); ++i) EXPECT_LT(ms[i - 1].key, ms[i].key);
}

// Consecutive objects with the same keys, the same keys in another order,
// a duplicate, one key more or a key of another length: each is ordered on
// its own merits.
TEST(ObjectKeys, NeighbouringObjectsOfChangingShape) {
  const auto doc = must_parse(
      R"([{"a":1,"b":2},{"a":3,"b":4},{"b":5,"a":6},{"a":7,"a":8},{"a":9,"b":10,"c":11},)"
      R"({"a":12,"bb":13},{"a":14,"b":15}])");
  const std::vector<std::vector<std::pair<std::string, std::uint64_t>>> expected = {
      {{"a", 1}, {"b", 2}},  {{"a", 3}, {"b", 4}},  {{"a", 6}, {"b", 5}},
      {{"a", 8}},            {{"a", 9}, {"b", 10}, {"c", 11}},
      {{"a", 12}, {"bb", 13}}, {{"a", 14}, {"b", 15}},
  };
  const auto objects = doc.root.as_array();
  ASSERT_EQ(objects.size(), expected.size());
  for (std::size_t i = 0; i < objects.size(); ++i) {
    std::vector<std::pair<std::string, std::uint64_t>> got;
    for (const Member& m : objects[i].as_object()) got.emplace_back(m.key, m.value.u);
    EXPECT_EQ(got, expected[i]) << "object " << i;
  }
}

TEST(Find, HitsMissesAndNonObjects) {
  const auto doc = must_parse(R"({"a":1,"b":[2],"c":{"d":null}})");
  EXPECT_EQ(doc.root.find("a")->u, 1u);
  EXPECT_TRUE(doc.root.find("b")->is_array());
  EXPECT_TRUE(doc.root.find("c")->find("d")->is_null());
  for (std::string_view missing : {"", "A", "bb", "d", "z"}) {
    EXPECT_EQ(doc.root.find(missing), nullptr) << missing;
  }
  EXPECT_EQ(doc.root.find("b")->find("a"), nullptr);
  EXPECT_EQ(must_parse("{}").root.find("a"), nullptr);
}

TEST(Strings, WithoutEscapesPointIntoTheText) {
  const std::string text = R"(["abc","a\nc"])";
  const auto doc = must_parse(text);
  const auto xs = doc.root.as_array();
  EXPECT_EQ(xs[0].str, text.data() + 2);
  EXPECT_TRUE(xs[1].str < text.data() || xs[1].str >= text.data() + text.size());
}

TEST(Equal, ByKindAndValue) {
  struct Case {
    std::string_view a, b;
    bool same;
  };
  const Case cases[] = {
      {"1", "1", true},
      {"1", "1.0", false},
      {"1.0", "1e0", true},
      {"0.0", "-0.0", true},
      {"-1", "-1.0", false},
      {R"({"a":1,"b":2})", R"({"b":2,"a":1})", true},
      {R"({"a":1})", R"({"a":1,"b":2})", false},
      {R"({"a":1})", R"({"b":1})", false},
      {"[1,2]", "[2,1]", false},
      {"[1,[2]]", "[1,[2]]", true},
      {R"("a\u0062")", R"("ab")", true},
      {"null", "false", false},
      {"true", "true", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(equal(must_parse(c.a).root, must_parse(c.b).root), c.same) << c.a << " " << c.b;
  }
}

TEST(Arena, CloneIsDeepAndIndependentOfTheText) {
  Arena arena;
  Value copy;
  {
    std::string text = R"({"k":["s",{"n":-5,"f":1.5}],"e":{},"z":[]})";
    const auto doc = must_parse(text);
    copy = arena.clone(doc.root);
    text.assign(text.size(), 'x');  // the copy must not read the text any more
  }
  const auto expected = must_parse(R"({"e":{},"k":["s",{"f":1.5,"n":-5}],"z":[]})");
  EXPECT_TRUE(equal(copy, expected.root));
}

TEST(Arena, MakeObjectSortsAndKeepsLast) {
  Arena arena;
  const Member ms[] = {{"b", Value::integer(1)}, {"a", Value::integer(-2)},
                       {"b", Value::integer(3)}};
  const Value v = arena.make_object(ms);
  ASSERT_EQ(v.size, 2u);
  EXPECT_EQ(v.members[0].key, "a");
  EXPECT_EQ(v.members[0].value.i, -2);
  EXPECT_EQ(v.find("b")->u, 3u);
}

TEST(Arena, AlignedAllocationsAcrossBlocks) {
  Arena arena;
  for (std::size_t n : {1u, 3u, 5000u, 7u, 100000u, 1u}) {
    auto* p = static_cast<std::byte*>(arena.allocate(n, 16));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 16, 0u);
    p[0] = std::byte{1};
    p[n - 1] = std::byte{2};
  }
  EXPECT_GE(arena.bytes_reserved(), 105000u);
}

TEST(Arena, MovedFromArenaStartsOver) {
  Arena a;
  const std::string_view s = a.copy_string("kept");
  Arena b = std::move(a);
  // New allocations from the moved-from arena must not land in b's block.
  const std::string_view t = a.copy_string("XXXX");
  EXPECT_EQ(s, "kept");
  EXPECT_EQ(t, "XXXX");
  EXPECT_EQ(a.bytes_reserved() > 0, true);
}

TEST(Arena, OversizedArrayRequestIsRefused) {
  Arena arena;
  EXPECT_THROW(arena.allocate_array<Value>(static_cast<std::size_t>(-1) / 8), std::bad_alloc);
}

// A clone tells its pacer of every value as it copies it: a list of
// millions of numbers asks all through, and a stop there ends the copy.
TEST(Arena, ACloneOfALongListAsksAllThroughAndEndsAtAStop) {
  std::string text = "{\"params\":[";
  for (int k = 0; k < 1'000'000; ++k) text += k == 0 ? "5" : ",5";
  text += "]}";
  const auto doc = parse(text);
  ASSERT_TRUE(doc.ok());
  testing::CountingInterrupt never;
  {
    Arena arena;
    CopyPacer pacer(never.interrupt());
    const Value copy = arena.clone(doc->root, pacer);
    EXPECT_TRUE(equal(copy, doc->root));
  }
  // Each value counts for far more than its 16 bytes.
  EXPECT_GE(never.asked, 1'000'000 * 128 / kCopyStretchBytes);
  for (std::size_t k = 1; k <= never.asked; k += 7) {
    testing::CountingInterrupt stop{.stop_at = k};
    Arena arena;
    CopyPacer pacer(stop.interrupt());
    (void)arena.clone(doc->root, pacer);
    EXPECT_TRUE(pacer.stopped()) << k;
    EXPECT_EQ(stop.asked, k);
  }
}

}  // namespace
}  // namespace fendro::json
