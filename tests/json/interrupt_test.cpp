// A parse asked to stop ends at once with a failure marked as a stop, on
// every kind of long text; one never asked to stop is the plain parse.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fendro/json/cursor.hpp"
#include "fendro/json/members.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/json/parser.hpp"
#include "fendro/util/free_later.hpp"
#include "fendro/util/paced_copy.hpp"
#include "fendro/util/run_scope.hpp"
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

// One number four intervals long: its digits are scanned asking, and it is
// converted from a short text of the same value.
std::string long_number() { return R"({"x":[1.)" + std::string(4 * detail::Parser::kCheckBytes, '0') + "5]}"; }

// Zeros leading the fraction and the exponent, two intervals each.
std::string long_exponent() {
  const std::string zeros(2 * detail::Parser::kCheckBytes, '0');
  return R"({"x":0.)" + zeros + "25e" + zeros + "9}";
}

// Blanks four intervals long inside an array, and after the document.
std::string long_blanks() { return R"({"x":[1,)" + std::string(4 * detail::Parser::kCheckBytes, ' ') + "2]}"; }
std::string long_trailing_blanks() { return R"({"x":1})" + std::string(4 * detail::Parser::kCheckBytes, '\n'); }
// Blanks between a key and its colon: a stop among them fails the key.
std::string long_blanks_before_colon() { return R"({"x")" + std::string(4 * detail::Parser::kCheckBytes, '\t') + ":1}"; }

struct LongText {
  const char* name;
  std::string text;
};

std::vector<LongText> long_texts() {
  return {{"numbers", long_array_of_numbers()},
          {"string", long_string()},
          {"object", long_object()},
          {"key", long_key()},
          {"number", long_number()},
          {"exponent", long_exponent()},
          {"blanks", long_blanks()},
          {"trailing blanks", long_trailing_blanks()},
          {"blanks before a colon", long_blanks_before_colon()}};
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

// What a stopped parse built (its tree, its stacks) goes to the freeing
// thread, not freed on the caller's path; a parse that failed on its text
// frees its own.
TEST(ParseInterrupt, AStoppedParseHandsWhatItBuiltToTheFreeingThread) {
  for (const LongText& t : long_texts()) {
    CountingInterrupt stop{.stop_at = 2};
    const std::uint64_t before = handed_over();
    ASSERT_FALSE(parse_deferring(t.text, "data", nullptr, stop.interrupt()).ok()) << t.name;
    // The tree and the three stacks.
    EXPECT_EQ(handed_over() - before, 4u) << t.name;
  }
  const std::uint64_t before = handed_over();
  CountingInterrupt never;
  ASSERT_FALSE(parse_deferring("[1,2,", "data", nullptr, never.interrupt()).ok());
  EXPECT_EQ(handed_over(), before);
  wait_until_freed();
}

// However a long text's parse ends (read whole, ending inside a long array,
// failing inside it or after it), its stacks (here 3 million values, tens of
// megabytes) go back to the system in stretches with the command's scope
// asked between them; a stop there keeps what the parse came to (a tree, or
// its failure), ends the command as stopped and hands the rest to the
// freeing thread.
TEST(ParseInterrupt, TheStacksOfALongTextGoBackAskingTheScope) {
  std::string array = "[";
  for (int k = 0; k < 3'000'000; ++k) array += "1,";
  struct Ending {
    const char* name;
    std::string text;
    const char* error;  // nullptr: read whole
  };
  const Ending endings[] = {
      {"whole", array + "1]", nullptr},
      {"ends inside", array + "1", "EOF while parsing a list"},
      {"fails inside", array + "x]", "expected value"},
      {"fails after", array + "1] x", "trailing characters"},
  };
  for (const Ending& e : endings) {
    // The root's length, or the failure's message.
    const auto outcome = [](const auto& r) {
      if (r.ok()) return std::to_string(r.value().root.size);
      return r.error().message;
    };
    const std::vector<std::pair<const char*, std::function<std::string()>>> parses = {
        {"parse", [&] { return outcome(parse(e.text)); }},
        {"parse_deferring", [&] {
           const auto r = parse_deferring(e.text, "data", nullptr, Interrupt());
           return r.ok() ? std::to_string(r.value().document.root.size) : r.error().message;
         }},
    };
    const std::string expected = e.error != nullptr ? e.error : "3000001";
    for (const auto& [name, run] : parses) {
      CountingInterrupt never;
      {
        RunScope scope(never.interrupt());
        ASSERT_EQ(run(), expected) << name << ", " << e.name;
      }
      ASSERT_GE(never.asked, 1u) << name << ", " << e.name << ": the stacks went without an ask";
      CountingInterrupt stop{.stop_at = never.asked};
      const std::uint64_t before = handed_over();
      RunScope scope(stop.interrupt());
      EXPECT_EQ(run(), expected) << name << ", " << e.name;
      EXPECT_TRUE(scope.stopped()) << name << ", " << e.name;
      EXPECT_EQ(stop.asked, never.asked) << name << ", " << e.name;
      EXPECT_EQ(handed_over() - before, 1u) << name << ", " << e.name;
      wait_until_freed();
    }
  }
}

// A stop at any ask ends the parse as a stop, and nothing is asked after
// it: a stop in a run of blanks included, wherever the run ends.
TEST(ParseInterrupt, StopAtAnyAskFailsAsAStopAndAsksNoMore) {
  for (const LongText& t : long_texts()) {
    CountingInterrupt never;
    ASSERT_TRUE(parse_deferring(t.text, "data", nullptr, never.interrupt()).ok()) << t.name;
    for (std::size_t k = 1; k <= never.asked; ++k) {
      CountingInterrupt stop{.stop_at = k};
      const auto parsed = parse_deferring(t.text, "data", nullptr, stop.interrupt());
      ASSERT_FALSE(parsed.ok()) << t.name << " " << k;
      EXPECT_TRUE(parsed.error().stopped) << t.name << " " << k << ": " << parsed.error().display();
      EXPECT_EQ(stop.asked, k) << t.name << ": asked again after the stop at " << k;
    }
  }
}

// A text of little but arrays and objects is asked per so many of them put
// in the tree, however short its text.
TEST(ParseInterrupt, ContainersBuiltAreAskedAsTheyAdd) {
  std::string nest = "[";
  for (int k = 0; k < 100; ++k) nest += "[";
  nest += std::string(100, ']');
  std::string text = R"({"x":[)";
  std::size_t built = 0;
  while (text.size() < detail::Parser::kCheckBytes / 2) {
    text += nest + "],{},";
    built += 2 * 100 + 2 + 1;  // each array and its one element; the empty object
  }
  text += "1]}";
  CountingInterrupt never;
  const auto watched = parse_deferring(text, "data", nullptr, never.interrupt());
  ASSERT_TRUE(watched.ok());
  EXPECT_GE(never.asked, built / detail::Parser::kBuiltPerAsk - 1);
  EXPECT_TRUE(equal(watched->document.root, parse(text)->root));
}

// A long number is converted from a short cut of it; the digits past the
// cut are gone through again for that (is any of them not 0?), asking, as
// any copy of a long text asks.
TEST(ParseInterrupt, ALongNumberIsAskedWhileCut) {
  const std::string zeros(4 * kCopyStretchBytes, '0');
  const std::string text = "[1." + zeros + "1]";
  CountingInterrupt never;
  const auto parsed = parse_deferring(text, "data", nullptr, never.interrupt());
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed->document.root.as_array()[0].f, 1.0);
  const std::size_t reading = text.size() / detail::Parser::kCheckBytes;
  EXPECT_GE(never.asked, reading - 1 + zeros.size() / kCopyStretchBytes);
}

// A failure far into a long text is placed by counting its lines in
// stretches, asking between them; a stop there turns it into a stop.
TEST(ParseInterrupt, PlacingAFailureFarInIsAsked) {
  std::string text = "[";
  while (text.size() < 4 * kCopyStretchBytes) text += "1,\n";
  text += "x]";
  CountingInterrupt never;
  const auto parsed = parse_deferring(text, "data", nullptr, never.interrupt());
  ASSERT_FALSE(parsed.ok());
  EXPECT_EQ(parsed.error().display(),
            "expected value at line " + std::to_string((text.size() - 3) / 3 + 1) + " column 1");
  const std::size_t reading = text.size() / detail::Parser::kCheckBytes;
  const std::size_t placing = (text.size() - 2) / kCopyStretchBytes;
  EXPECT_GE(never.asked, reading - 1 + placing);
  CountingInterrupt last{.stop_at = never.asked};
  const auto stopped = parse_deferring(text, "data", nullptr, last.interrupt());
  ASSERT_FALSE(stopped.ok());
  EXPECT_TRUE(stopped.error().stopped);
}

// A reader that asks the parse's interrupt for steps of its own, and goes on
// whatever it is told: a stop it was told fails the parse, even with nothing
// left to read that would ask again.
TEST(ParseInterrupt, AStopToldToAReaderFailsTheParse) {
  const std::string text = R"({"data":[1,2,3],"x":1})";
  CountingInterrupt stop{.stop_at = 1};
  const auto parsed = parse_deferring(
      text, "data",
      [](Cursor& cur) {
        cur.skip_rest();
        (void)cur.interrupt().stop_requested();
      },
      stop.interrupt());
  ASSERT_FALSE(parsed.ok());
  EXPECT_TRUE(parsed.error().stopped);
  EXPECT_EQ(stop.asked, 1u);
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
