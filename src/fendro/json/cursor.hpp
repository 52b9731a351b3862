// Walking one JSON value step by step without building its tree, for
// readers that decode a large value straight into their own records.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "fendro/json/parse.hpp"
#include "fendro/json/value.hpp"
#include "fendro/util/interrupt.hpp"

namespace fendro::json {

namespace detail {
class Parser;
}

// Numbers, strings and literals read exactly as `parse` reads them, and the
// text is checked as `parse` checks it. A failure stops the cursor: every
// later step reads null, or ends its array or object. Nesting counts
// towards the same depth limit.
class Cursor {
 public:
  explicit Cursor(std::string_view text);
  // On the value at the parser's position (how parse_deferring hands a
  // member to its reader); the parser goes on after that value.
  explicit Cursor(detail::Parser& parser);
  ~Cursor();
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;

  // Kind::Array or Kind::Object when the next value is one (then either
  // `enter` or `read` it); Kind::Null for any other value.
  Kind peek();
  // Opens the array or object that `peek` found.
  void enter();
  // Reads the next value whole: a null, boolean, number or string into
  // `out` (a string's bytes may only last until the next step), an array or
  // object is checked and skipped, `out` giving only its kind (size 0).
  void read(Value& out);
  // In an entered array: true when another element follows (read or enter
  // it next), false once the array has closed.
  bool next_element();
  // In an entered object: true with the key of the next member (its bytes
  // last until the next step), whose value follows; false once the object
  // has closed.
  bool next_member(std::string_view& key);
  // `to` becomes a copy of `from` (a key, say), a long one made in stretches
  // with the parse's interrupt asked between them; false, the cursor failed
  // as stopped, when it asks to stop.
  bool copy_text(std::string_view from, std::string& to);
  // Asks the parse's interrupt now, for a reader that does much with little
  // text (millions of short members); false, the cursor failed as stopped,
  // when it says stop.
  bool ask();
  // The parse's interrupt, for a reader's own long steps between those of
  // the cursor (one that never stops for a cursor on a text of its own).
  // Once it says stop, the parse fails as stopped.
  const Interrupt& interrupt() const;
  // Reads what is left of the value: the containers still open and, when
  // nothing was read yet, the value itself.
  void skip_rest();
  // next_member, then read of the member's value: one step where every
  // member's value is read whole (the key's bytes last until the next step).
  bool next_member_read(std::string_view& key, Value& value);
  // For a reader that decodes plain elements itself, once next_element has
  // placed the cursor on one: the text from that element on (empty after a
  // failure, or where an array or object there would be nested too deep).
  std::string_view text_ahead();
  // Steps past the first `n` bytes of text_ahead(), which the reader found
  // to be whole elements of the array, numbers or arrays and objects of
  // numbers, with the commas between them: the cursor is then after the
  // last of them, as if it had read them one by one.
  void skip_ahead(std::size_t n);
  // After the value: only whitespace may follow it.
  void finish();

  bool failed() const;
  ParseError error() const;  // meaningful once failed()

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fendro::json
