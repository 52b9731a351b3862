// JSON text to value tree.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "fendro/json/value.hpp"
#include "fendro/util/interrupt.hpp"
#include "fendro/util/result.hpp"

namespace fendro::json {

// 127 nested arrays/objects parse; the 128th level fails.
inline constexpr int kMaxDepth = 128;

struct ParseError {
  std::string message;  // e.g. "trailing characters", "EOF while parsing a value"
  std::size_t line = 0;    // 1-based
  std::size_t column = 0;  // as the established convention counts it (0 at the start of a line)
  // The caller's interrupt stopped the parse: no fault of the text, and no
  // text of its own to show.
  bool stopped = false;
  // message + " at line L column C"
  std::string display() const;
};

// Parses one JSON value; only space, tab, LF and CR may follow it.
// Strings without escapes may point into `text`, which must outlive the Document.
// Running out of memory throws std::bad_alloc (it is no fault of the text).
Result<Document, ParseError> parse(std::string_view text);

// A parsed text whose root member of a given key was checked but not built.
struct DeferredDocument {
  Document document;  // the member, when present, holds null in its place
  // The text of that member's value (of the last one when the key repeats),
  // pointing into the parsed text; empty when the root is not an object
  // with such a member.
  std::optional<std::string_view> deferred;
};

class Cursor;
// Decodes a deferred member's value from a cursor placed on it, in the same
// pass as the parse; whatever it leaves unread is checked after it, and a
// failure of the text it meets is the parse's failure.
using DeferredReader = std::function<void(Cursor&)>;

// As parse, with exactly its failures, except that when the text is an
// object the value of its member `member` is not built, only its text kept
// (and handed to `reader`, when given, at each occurrence of the member):
// a large member is then decoded into records of its own without ever
// being held as a tree. `interrupt` is asked at bounded intervals of text
// (the reader's included); a stop fails the parse with ParseError::stopped.
Result<DeferredDocument, ParseError> parse_deferring(std::string_view text,
                                                     std::string_view member,
                                                     const DeferredReader& reader = nullptr,
                                                     const Interrupt& interrupt = {});

}  // namespace fendro::json
