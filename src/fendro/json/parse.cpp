#include "fendro/json/parse.hpp"

#include <new>
#include <stdexcept>

#include "fendro/json/cursor.hpp"
#include "fendro/json/parser.hpp"
#include "fendro/util/free_later.hpp"
#include "fendro/util/number_format.hpp"

namespace fendro::json {

std::string ParseError::display() const {
  std::string out = message;
  out.append(" at line ");
  append_u64(out, line);
  out.append(" column ");
  append_u64(out, column);
  return out;
}

namespace {

using detail::Parser;

bool parse_root(Parser& parser, Value& root) {
  try {
    return parser.parse_document(root);
  } catch (const std::length_error&) {
    // A size beyond what the allocator can express is the same failure as
    // running out: the caller (the binding) reports it as MemoryError.
    throw std::bad_alloc();
  }
}

}  // namespace

Result<Document, ParseError> parse(std::string_view text) {
  Document doc;
  Parser parser(text, doc.arena);
  if (!parse_root(parser, doc.root)) return err(parser.error());
  return doc;
}

Result<DeferredDocument, ParseError> parse_deferring(std::string_view text,
                                                     std::string_view member,
                                                     const DeferredReader& reader,
                                                     const Interrupt& interrupt) {
  DeferredDocument out;
  Parser parser(text, out.document.arena);
  if (interrupt.active()) parser.watch(interrupt);
  std::function<bool(Parser&)> run_reader;
  if (reader) {
    run_reader = [&reader](Parser& at_value) {
      Cursor cursor(at_value);
      reader(cursor);
      cursor.skip_rest();
      return !cursor.failed();
    };
  }
  parser.defer_member(member, std::move(run_reader));
  if (!parse_root(parser, out.document.root)) {
    ParseError error = parser.error();
    if (error.stopped) {  // what was read so far goes off the caller's path
      parser.free_stacks_later();
      free_later(out);
    }
    return err(std::move(error));
  }
  out.deferred = parser.deferred();
  return out;
}

}  // namespace fendro::json
