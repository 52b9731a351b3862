// A parse asked to stop ends at once with a failure marked as a stop, on
// every kind of long text; one never asked to stop is the plain parse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/json/members.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/json/parser.hpp"
#include "fendro/util/paced_copy.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro::json {
namespace {

using fendro::testing::CountingInterrupt;

// Each text is several check intervals long, in one kind of long run.
std::string long_array_of_numbers() {
  std::string text = R"({"x":[)";
  while (text.size() < 4 * detail::Parser::kCheckBytes) text += "123.25,";
  text += "0]}";
  return text;
}

std::string long_string() { return R"({"x":")" + std::string(4 * detail::Parser::kCheckBytes, 's') + R"("})"; }

std::string long_object() {
  std::string text = R"({"x":{)";
  for (int k = 0; text.size() < 4 * detail::Parser::kCheckBytes; ++k) text += "\"k" + std::to_string(k) + "\":[1],";
  text += R"("end":null}})";
  return text;
}

// One key four intervals long: it is scanned asking as any long string is.
std::string long_key() { return "{\"" + std::string(4 * detail::Parser::kCheckBytes, 'k') + "\":1}"; }

struct LongText {
  const char* name;
  std::string text;
};

std::vector<LongText> long_texts() {
  return {{"numbers", long_array_of_numbers()},
          {"string", long_string()},
          {"object", long_object()},
          {"key", long_key()}};
}

TEST(ParseInterrupt, StopAtTheFirstAskFailsAsAStop) {
  for (const LongText& t : long_texts()) {
    CountingInterrupt stop{.stop_at = 1};
    const auto parsed = parse_deferring(t.text, "data", nullptr, stop.interrupt());
    ASSERT_FALSE(parsed.ok()) << t.name;
    EXPECT_TRUE(parsed.error().stopped) << t.name;
    EXPECT_EQ(stop.asked, 1u) << t.name;
  }
}

// How often sorting the members of the object at "x" asks (never for other
// values): a large object is put in order in steps once its text is read.
// Its members come sorted from the tree; with short keys that makes no
// difference to the count.
std::size_t sort_asks(const Value& root) {
  const Value* x = root.find("x");
  if (x == nullptr || !x->is_object()) return 0;
  std::vector<Member> ms(x->as_object().begin(), x->as_object().end());
  CountingInterrupt never;
  EXPECT_TRUE(sort_members_keep_last(ms.data(), ms.size(), never.interrupt()).ok());
  return never.asked;
}

TEST(ParseInterrupt, AskedAboutOncePerIntervalAndOtherwiseThePlainParse) {
  for (const LongText& t : long_texts()) {
    CountingInterrupt never;
    const auto watched = parse_deferring(t.text, "data", nullptr, never.interrupt());
    ASSERT_TRUE(watched.ok()) << t.name;
    const auto plain = parse(t.text);
    ASSERT_TRUE(plain.ok()) << t.name;
    const std::size_t sorting = sort_asks(plain->root);
    // An interval that ends inside a key is asked there, and the next one
    // counted from there: one ask more at most.
    EXPECT_GE(never.asked, 3u + sorting) << t.name;
    EXPECT_LE(never.asked, 6u + sorting) << t.name;
    EXPECT_TRUE(equal(watched->document.root, plain->root)) << t.name;
  }
}

// `asked`: how often a parse of `text` asks. Beyond once per interval of
// the text, it asks twice more while copying a long value into the tree, and
// the last ask, stopped, ends the copy there as a stop.
void expect_asked_within_the_copy(const std::string& text, std::size_t asked) {
  const std::size_t text_asks = text.size() / detail::Parser::kCheckBytes;
  EXPECT_GE(asked, text_asks + 2);
  CountingInterrupt last{.stop_at = asked};
  const auto parsed = parse_deferring(text, "data", nullptr, last.interrupt());
  ASSERT_FALSE(parsed.ok());
  EXPECT_TRUE(parsed.error().stopped);
}

TEST(ParseInterrupt, ALongArrayIsAskedWhileItsValuesAreCopied) {
  // Values of two bytes each: their copy into the tree takes several stretches.
  std::string text = R"({"x":[)";
  while (text.size() < 4 * detail::Parser::kCheckBytes) text += "1,";
  text += "1]}";
  CountingInterrupt never;
  ASSERT_TRUE(parse_deferring(text, "data", nullptr, never.interrupt()).ok());
  expect_asked_within_the_copy(text, never.asked);
}

TEST(ParseInterrupt, ALongEscapedStringIsAskedWhileItsTextIsCopied) {
  // Two bytes of text to one decoded: the decoded text, copied into the
  // tree, is three copy stretches long.
  const std::size_t decoded = 3 * kCopyStretchBytes;
  std::string text = R"({"x":")";
  for (std::size_t k = 0; k < decoded; ++k) text += "\\n";
  text += "\"}";
  CountingInterrupt never;
  const auto watched = parse_deferring(text, "data", nullptr, never.interrupt());
  ASSERT_TRUE(watched.ok());
  const Value* x = watched->document.root.find("x");
  ASSERT_TRUE(x != nullptr && x->is_string());
  EXPECT_EQ(x->as_string(), std::string(decoded, '\n'));
  expect_asked_within_the_copy(text, never.asked);
}

TEST(ParseInterrupt, TextFailuresAreNoStops) {
  CountingInterrupt never;
  const auto parsed = parse_deferring(long_array_of_numbers() + "x", "data", nullptr, never.interrupt());
  ASSERT_FALSE(parsed.ok());
  EXPECT_FALSE(parsed.error().stopped);
  EXPECT_EQ(parsed.error().message, "trailing characters");
}

}  // namespace
}  // namespace fendro::json
