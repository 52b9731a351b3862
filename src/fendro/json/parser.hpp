// The recursive-descent JSON reader behind `parse`, `parse_deferring` and
// Cursor: one grammar, building the arena tree directly, or checking values
// without building them.
//
// Error texts and positions follow the established convention of the JSON
// reader whose messages the protocol carries: a failure found while looking
// at a byte ("peeking") is placed just after that byte, a failure found after
// consuming bytes is placed after them, and a position is reported as a
// 1-based line and the number of bytes before it on that line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "fendro/json/members.hpp"
#include "fendro/json/number_text.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/json/value.hpp"
#include "fendro/json/value_stack.hpp"
#include "fendro/util/huge_pages.hpp"
#include "fendro/util/interrupt.hpp"

namespace fendro::json::detail {

enum class Code : std::uint8_t {
  EofWhileParsingList,
  EofWhileParsingObject,
  EofWhileParsingString,
  EofWhileParsingValue,
  ExpectedColon,
  ExpectedListCommaOrEnd,
  ExpectedObjectCommaOrEnd,
  ExpectedSomeIdent,
  ExpectedSomeValue,
  InvalidEscape,
  InvalidNumber,
  NumberOutOfRange,
  InvalidUnicodeCodePoint,
  ControlCharacterWhileParsingString,
  KeyMustBeAString,
  LoneLeadingSurrogateInHexEscape,
  TrailingComma,
  TrailingCharacters,
  UnexpectedEndOfHexEscape,
  RecursionLimitExceeded,
  Stopped,  // the caller's interrupt asked to stop: no fault of the text
};

class Parser {
 public:
  // Without `building`, every value is checked in full but nothing is
  // allocated: containers read as empty ones of their kind and strings
  // with escapes point into a scratch buffer reused by the next one.
  Parser(std::string_view text, Arena& arena, bool building = true);
  // However the parse ended (read whole, failed on its text, stopped), its
  // stacks go as release_stacks lets them go, unless they went already.
  ~Parser();
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  // The root object's member `key` is to be checked but not built; when
  // `reader` is given it reads the value (the parser placed on it, not
  // building) and returns false when that failed.
  void defer_member(std::string_view key, std::function<bool(Parser&)> reader);
  const std::optional<std::string_view>& deferred() const { return deferred_; }

  // From here on, `interrupt` is asked after about every kCheckBytes of
  // text (runs of digits and blanks within it included), and after every
  // kBuiltPerAsk arrays, objects and their elements put in the tree; when
  // it asks to stop, the parse fails with Code::Stopped, and it is not
  // asked again.
  void watch(const Interrupt& interrupt);
  // What the parse asks, for a reader's own long steps: once it says stop,
  // the parse fails as stopped, however it goes on.
  const Interrupt& interrupt() const { return interrupt_; }
  static constexpr std::size_t kCheckBytes = 256 * 1024;
  // Each array and object, and each of its elements, takes fresh memory of
  // the tree that costs about as much as tens of bytes of text to read: a
  // text of little else (deep nests, lists of small objects) is asked after
  // this many of them.
  static constexpr std::size_t kBuiltPerAsk = 32 * 1024;
  // `to` becomes a copy of `from`, a long one made in stretches with the
  // interrupt asked between them; false, failed as a stop, when it says so.
  bool copy_text(std::string_view from, std::string& to);
  // Asks the interrupt now, for a reader whose work on a stretch of text
  // outweighs the reading of it; false, failed as a stop, when it says so.
  bool ask_now() { return !interrupt_.stop_requested() || fail_here(Code::Stopped); }

  // Parses the one value of the text and checks that only whitespace follows.
  bool parse_document(Value& root);
  bool finish();

  enum class Next { More, Closed, Failed };

  // Steps of a Cursor. The next value is an array or an object, or else
  // anything read whole.
  Kind peek_container();
  // Past the opening bracket that peek_container found, one level deeper.
  bool enter();
  // After the closing bracket of an entered container.
  void leave() { ++depth_; }
  bool read(Value& out);
  Next next_element(bool first);
  Next next_member(bool first, std::string_view& key);
  // The next member's key and its value read whole. A key with escapes is
  // kept apart from the scratch buffer that a string value reuses.
  Next next_member_read(bool first, std::string_view& key, Value& value);

  // The failure, placed by line and column: a long text is counted
  // through in stretches with the interrupt asked between them (a stop then
  // turns the failure into one).
  ParseError error() const;
  // Hands what the parser holds (its stacks, which a long text makes
  // hundreds of megabytes) to the freeing thread: for a parse told to stop,
  // so that the stop reaches the caller without waiting for them to go.
  void free_stacks_later();
  // Frees the stacks once the parse is over, their pages given back in
  // stretches with the command's scope asked between them: unmapping
  // hundreds of megabytes at once takes milliseconds, tens on a busy
  // machine (a text that ends inside an array of 100 million numbers
  // leaves 1.6 GB of them). Once the scope says stop, what is left goes as
  // above.
  void release_stacks();

  // For a reader that takes plain values itself: the text from the
  // position on, whether one more level of nesting is allowed there, and
  // the step past what it took.
  std::string_view rest() const { return {p_, static_cast<std::size_t>(end_ - p_)}; }
  bool can_nest() const { return depth_ > 1; }
  void advance(std::size_t n) { p_ += n; }

 private:
  bool read_inline(Value& out);
  Next next_member_inline(bool first, std::string_view& key);
  bool ask_interrupt();
  bool ask_caller();
  template <class Skip>
  const char* skip_paced(const char* p, Skip skip);
  bool fail_here(Code c);
  bool fail_peek(Code c);
  void skip_whitespace();
  void skip_long_whitespace();
  void built_container(std::size_t size);
  void built_enough();
  bool parse_value();
  bool parse_ident(const char* rest);
  Next after_element(char close, Code eof, Code expected_comma);
  Next first_element(char close, Code eof);
  bool parse_array();
  bool build_array(std::size_t base, Value& out);
  template <class T, class Copy>
  bool copy_in_stretches(std::size_t n, Copy copy);
  static bool long_keys(const std::string_view* keys, std::size_t n);
  bool give_back_stacks();
  // Arrays and objects of this many elements leave enough of the stacks
  // behind to be worth giving back.
  static constexpr std::size_t kLargeContainer = kGiveBackStretchBytes / sizeof(Value);
  bool parse_key(std::string_view& key);
  bool parse_deferred();
  bool parse_object();
  bool parse_string(std::string_view& out);
  bool parse_escape();
  bool parse_hex4(std::uint32_t& out);
  bool parse_unicode_escape();
  bool parse_number(bool positive, Value& out);
  bool parse_long_number(bool positive, Value& out);
  bool number_value(bool positive, const NumberText& t, Value& out);
  enum class Scan : std::uint8_t { Done, Failed, Long };
  // Inlined where it is used: the unpaced scan into the readers of values,
  // the paced one into parse_long_number. (The attribute is heeded here, not
  // on the definition of a member template.)
  template <bool kPaced>
#if defined(__GNUC__)
  [[gnu::always_inline]]
#endif
  inline Scan scan_number(NumberText& t);
  bool convert_number(bool positive, const NumberText& t, Value& out);
  bool convert_long_number(bool positive, NumberText t, Value& out);
  bool set_converted(std::string_view text, bool positive, std::int64_t magnitude, std::int32_t exp, Value& out);

  // The keys of the last small object read and the order they sort into.
  // Documents repeat the same keys in the same order object after object
  // (every candle of a list, say): checking that is cheaper than sorting.
  struct Shape {
    std::size_t n = static_cast<std::size_t>(-1);
    std::size_t kept = 0;
    std::string_view keys[kSmallObject];
    std::uint8_t order[kSmallObject];

    bool same_keys(const std::string_view* ks, std::size_t count) const;
    void learn(const std::string_view* ks, std::size_t count);
  };

  const char* begin_;
  const char* p_;
  const char* end_;
  Arena& arena_;
  bool building_;
  bool defer_ = false;
  std::string_view deferred_key_;
  std::function<bool(Parser&)> deferred_reader_;
  std::optional<std::string_view> deferred_;  // text of the last deferred value
  int depth_ = kMaxDepth;
  // Asks caller_ (once watching) until it says stop, then says stop
  // without asking again.
  Interrupt interrupt_;
  Interrupt caller_;
  bool stopped_ = false;
  const char* check_at_;  // where the interrupt is next asked; end_ when never
  std::size_t built_left_ = kBuiltPerAsk;  // put in the tree before the next ask
  ValueStack values_;                   // values of the arrays and objects being read
  ReallocStack<std::string_view> keys_;  // keys of the objects being read
  // Decoded text of a string with escapes: one of hundreds of megabytes
  // grows without being copied.
  ReallocStack<char> scratch_;
  std::string key_scratch_;      // a decoded key kept while its value is read
  Shape shape_;
  Code code_ = Code::ExpectedSomeValue;
  std::size_t error_index_ = 0;
};

}  // namespace fendro::json::detail
