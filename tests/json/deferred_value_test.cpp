// A root member left unbuilt (parse_deferring) and a value walked step by
// step (Cursor) must agree with the full parse on every text: the same
// verdict, the same failure at the same place, the same values.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "fendro/json/cursor.hpp"
#include "fendro/json/parse.hpp"

namespace fendro::json {
namespace {

// Shallow documents (the cursor leaves depth to its caller) with the member
// "data" in every position and form, plus texts around it.
const std::vector<std::string> kCorpus = {
    R"({"cmd":"prove","data":{"A":[[1,2.5,3,4,5]]},"spec":{"data":1}})",
    R"({"data":5,"x":[{"data":2}],"data":{"B":[{"time":1,"open":-0}]}})",
    R"(  { "d\u0061ta" : [ "a\"b\\c\u00e9\ud83d\ude00" , true , null ] } )",
    R"({"data":"plain","data":"esc\n\t\/"})",
    R"({"data":{},"z":"data"})",
    R"({"spec":{"data":[1,2]},"cmd":"version"})",
    R"([{"data":[1,2,3]},{"data":{}}])",
    R"({"data":[1e400]})",
    R"({"data":[-0,-0.0,1e-400,18446744073709551616,-9223372036854775809,0.1]})",
    "{\"data\":[\"\xC3\xA9\",\"\xFF\"]}",
    R"({"data":[1,2,]})",
    R"({"data":{"a" 1}})",
    R"({"data":[tru]})",
    R"({"data":[1] x})",
    "{\"data\":\n[1,\n2\n,3]\r\n,\"a\":\"\\uDC00\"}",
    R"("data")",
    R"(12.5e3)",
    R"({})",
};

// Every prefix of every text, and copies with one byte replaced: most of
// them fail, each at its own place.
std::vector<std::string> texts() {
  std::vector<std::string> out;
  for (const std::string& text : kCorpus) {
    for (std::size_t n = 0; n <= text.size(); ++n) out.push_back(text.substr(0, n));
    for (std::size_t i = 0; i < text.size(); ++i) {
      for (const char c : {'x', ']', '}', '"', '\\', '1', ',', ' '}) {
        std::string damaged = text;
        damaged[i] = c;
        out.push_back(damaged);
      }
    }
  }
  return out;
}

void expect_same_members_but_data(const Value& deferred_root, const Value& full_root) {
  ASSERT_EQ(deferred_root.kind, full_root.kind);
  if (!full_root.is_object()) {
    EXPECT_TRUE(equal(deferred_root, full_root));
    return;
  }
  const auto got = deferred_root.as_object();
  const auto want = full_root.as_object();
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].key, want[i].key);
    if (want[i].key == "data") {
      EXPECT_TRUE(got[i].value.is_null());
    } else {
      EXPECT_TRUE(equal(got[i].value, want[i].value)) << "member " << want[i].key;
    }
  }
}

TEST(ParseDeferring, AgreesWithParse) {
  for (const std::string& text : texts()) {
    SCOPED_TRACE(text);
    const auto full = parse(text);
    const auto deferred = parse_deferring(text, "data");
    ASSERT_EQ(deferred.ok(), full.ok());
    if (!full.ok()) {
      EXPECT_EQ(deferred.error().display(), full.error().display());
      continue;
    }
    expect_same_members_but_data(deferred->document.root, full->root);
    const Value* data = full->root.find("data");
    ASSERT_EQ(deferred->deferred.has_value(), data != nullptr);
    if (data == nullptr) continue;
    // The kept text lies within the parsed text and parses to the value the
    // tree holds (the last one, when the key repeats).
    const std::string_view span = *deferred->deferred;
    EXPECT_GE(span.data(), text.data());
    EXPECT_LE(span.data() + span.size(), text.data() + text.size());
    const auto again = parse(span);
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(equal(again->root, *data));
  }
}

Value walk(Cursor& cur, Arena& arena);

// Readers of a deferred member that read all of it, none of it, or part of
// it: the parse checks the rest, and fails exactly where parse fails.
TEST(ParseDeferring, ReaderInTheSamePass) {
  for (const std::string& text : texts()) {
    SCOPED_TRACE(text);
    const auto full = parse(text);
    const Value* data = full.ok() ? full->root.find("data") : nullptr;
    for (int how = 0; how < 3; ++how) {
      Arena arena;
      Value last;
      int calls = 0;
      const auto deferred = parse_deferring(text, "data", [&](Cursor& cur) {
        ++calls;
        if (how == 0) {
          last = walk(cur, arena);
        } else if (const Kind kind = cur.peek(); how == 2 && kind != Kind::Null) {
          cur.enter();
          std::string_view key;
          if (kind == Kind::Array ? cur.next_element() : cur.next_member(key)) cur.read(last);
        }
      });
      ASSERT_EQ(deferred.ok(), full.ok()) << "reader " << how;
      if (!full.ok()) {
        EXPECT_EQ(deferred.error().display(), full.error().display()) << "reader " << how;
        continue;
      }
      expect_same_members_but_data(deferred->document.root, full->root);
      EXPECT_EQ(calls > 0, data != nullptr);
      if (how == 0 && data != nullptr) {
        EXPECT_TRUE(equal(last, *data));
      }
    }
  }
}

TEST(ParseDeferring, NestingLimitCountsTheDeferredValue) {
  const auto nested = [](int depth) {
    return R"({"data":)" + std::string(static_cast<std::size_t>(depth), '[') +
           std::string(static_cast<std::size_t>(depth), ']') + "}";
  };
  EXPECT_FALSE(parse_deferring(nested(127), "data").ok());
  // Kept whole or read by a reader entering every level: the same limit.
  for (const int depth : {126, 127}) {
    const std::string text = nested(depth);
    const auto full = parse(text);
    Arena arena;
    const auto kept = parse_deferring(text, "data");
    const auto read = parse_deferring(text, "data", [&](Cursor& cur) { walk(cur, arena); });
    for (const auto* deferred : {&kept, &read}) {
      ASSERT_EQ(deferred->ok(), full.ok()) << depth;
      if (!full.ok()) {
        EXPECT_EQ(deferred->error().display(), full.error().display());
      }
    }
  }
}

// Rebuilds the tree of the next value by entering every container.
Value walk(Cursor& cur, Arena& arena) {
  switch (cur.peek()) {
    case Kind::Array: {
      cur.enter();
      std::vector<Value> items;
      while (cur.next_element()) items.push_back(walk(cur, arena));
      return arena.make_array(items);
    }
    case Kind::Object: {
      cur.enter();
      std::vector<Member> members;
      std::string_view key;
      while (cur.next_member(key)) {
        const std::string_view kept = arena.copy_string(key);  // lasts only until the next step
        members.push_back({kept, walk(cur, arena)});
      }
      return arena.make_object(members);
    }
    default: {
      Value v;
      cur.read(v);
      return v.is_string() ? arena.make_string(v.as_string()) : v;
    }
  }
}

TEST(Cursor, WalkAgreesWithParse) {
  for (const std::string& text : texts()) {
    SCOPED_TRACE(text);
    const auto full = parse(text);
    for (const bool enter : {true, false}) {
      Cursor cur(text);
      Arena arena;
      Value got;
      if (enter) {
        got = walk(cur, arena);
      } else {
        cur.read(got);  // containers only checked
      }
      cur.finish();
      ASSERT_EQ(cur.failed(), !full.ok()) << "enter " << enter;
      if (!full.ok()) {
        EXPECT_EQ(cur.error().display(), full.error().display()) << "enter " << enter;
      } else if (enter) {
        EXPECT_TRUE(equal(got, full->root));
      } else {
        EXPECT_EQ(got.kind, full->root.kind);
      }
    }
  }
}

TEST(Cursor, StopsAtTheFirstFailure) {
  Cursor cur(R"([1, x, 3])");
  ASSERT_EQ(cur.peek(), Kind::Array);
  cur.enter();
  Value v;
  ASSERT_TRUE(cur.next_element());
  cur.read(v);
  EXPECT_EQ(v.kind, Kind::UInt);
  ASSERT_TRUE(cur.next_element());
  cur.read(v);
  EXPECT_TRUE(cur.failed());
  EXPECT_TRUE(v.is_null());
  EXPECT_FALSE(cur.next_element());
  EXPECT_EQ(cur.peek(), Kind::Null);
  cur.finish();
  EXPECT_EQ(cur.error().display(), "expected value at line 1 column 5");
}

}  // namespace
}  // namespace fendro::json
