#include "fendro/json/cursor.hpp"

#include <optional>
#include <utility>
#include <vector>

#include "fendro/json/parser.hpp"

namespace fendro::json {

using detail::Parser;

struct Cursor::Impl {
  Arena arena;               // stays empty: the cursor's parser never builds
  std::optional<Parser> own;  // when walking a text of its own
  Parser* parser = nullptr;
  bool failed = false;
  bool entered = false;  // a container was just entered: its first step is next
  bool started = false;  // the value has been read or entered
  std::vector<Kind> open;  // containers entered and not yet closed

  // A step inside the innermost open container.
  bool step(Parser::Next next) {
    if (next == Parser::Next::Failed) {
      failed = true;
      return false;
    }
    if (next == Parser::Next::Closed) {
      parser->leave();
      open.pop_back();
      return false;
    }
    return true;
  }
};

Cursor::Cursor(std::string_view text) : impl_(std::make_unique<Impl>()) {
  impl_->own.emplace(text, impl_->arena, false);
  impl_->parser = &*impl_->own;
}

Cursor::Cursor(Parser& parser) : impl_(std::make_unique<Impl>()) { impl_->parser = &parser; }

Cursor::~Cursor() = default;

Kind Cursor::peek() { return impl_->failed ? Kind::Null : impl_->parser->peek_container(); }

void Cursor::enter() {
  const Kind kind = peek();
  if (kind == Kind::Null) return;
  impl_->started = true;
  if (!impl_->parser->enter()) {
    impl_->failed = true;
    return;
  }
  impl_->open.push_back(kind);
  impl_->entered = true;
}

void Cursor::read(Value& out) {
  out = Value::null();
  impl_->started = true;
  if (!impl_->failed && !impl_->parser->read(out)) impl_->failed = true;
}

bool Cursor::next_element() {
  if (impl_->failed || impl_->open.empty()) return false;
  return impl_->step(impl_->parser->next_element(std::exchange(impl_->entered, false)));
}

bool Cursor::next_member(std::string_view& key) {
  if (impl_->failed || impl_->open.empty()) return false;
  return impl_->step(impl_->parser->next_member(std::exchange(impl_->entered, false), key));
}

bool Cursor::next_member_read(std::string_view& key, Value& value) {
  value = Value::null();
  if (impl_->failed || impl_->open.empty()) return false;
  return impl_->step(
      impl_->parser->next_member_read(std::exchange(impl_->entered, false), key, value));
}

void Cursor::skip_rest() {
  Value ignored;
  if (!impl_->started) read(ignored);
  std::string_view key;
  while (!impl_->failed && !impl_->open.empty()) {
    const bool more = impl_->open.back() == Kind::Array ? next_element() : next_member(key);
    if (more) read(ignored);
  }
}

std::string_view Cursor::text_ahead() {
  if (impl_->failed || !impl_->parser->can_nest()) return {};
  return impl_->parser->rest();
}

bool Cursor::copy_text(std::string_view from, std::string& to) {
  if (!impl_->failed && !impl_->parser->copy_text(from, to)) impl_->failed = true;
  return !impl_->failed;
}

bool Cursor::ask() {
  if (!impl_->failed && !impl_->parser->ask_now()) impl_->failed = true;
  return !impl_->failed;
}

void Cursor::skip_ahead(std::size_t n) { impl_->parser->advance(n); }

const Interrupt& Cursor::interrupt() const { return impl_->parser->interrupt(); }

void Cursor::finish() {
  if (!impl_->failed && !impl_->parser->finish()) impl_->failed = true;
}

bool Cursor::failed() const { return impl_->failed; }

ParseError Cursor::error() const { return impl_->parser->error(); }

}  // namespace fendro::json
