// The response text, written once and handed on in pieces as it grows. A
// hash can seal a stretch of it on the way through, so that a hash inside the
// response covers exactly the bytes that were sent.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "fendro/proof/canonical.hpp"
#include "fendro/util/huge_pages.hpp"
#include "fendro/util/interrupt.hpp"

namespace fendro {

// Receives a response text in pieces, in order. A piece of a well-formed
// UTF-8 text never ends inside a sequence: each can be decoded on its own.
class ResponseSink {
 public:
  virtual void take(std::string_view piece) = 0;
  // About `bytes` more are coming; a sink may make room for them at once.
  virtual void expect(std::size_t /*bytes*/) {}

 protected:
  ~ResponseSink() = default;
};

// Appends every piece to a string.
class StringSink final : public ResponseSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  void take(std::string_view piece) override {
    const std::size_t size = out_.size() + piece.size();
    if (size <= out_.capacity()) {
      pages_.before_writing(out_.data() + size);
    } else {
      pages_ = PagesAhead{};  // the string moves: its new room faults as usual
    }
    out_.append(piece);
  }
  // Reserves the room, whose pages are then mapped ahead of the pieces.
  void expect(std::size_t bytes) override {
    out_.reserve(out_.size() + bytes);
    pages_.reset(out_.data() + out_.size(), out_.data() + out_.capacity());
  }

 private:
  std::string& out_;
  PagesAhead pages_;
};

// Writes into a buffer of its own and hands each full buffer to the sink.
// Formatters write straight into room(n) and hand back the end, as with
// HashSink.
class ResponseWriter {
 public:
  // The most one room() call may ask for.
  static constexpr std::size_t kRoomMax = 4096;

  // `to` null: the text is only sealed, never kept. `interrupt` is asked
  // before each piece is handed on; once it asks to stop, nothing more is
  // sealed or handed on and stopped() tells the writing loops to end.
  explicit ResponseWriter(ResponseSink* to, const Interrupt& interrupt = {});
  ResponseWriter(const ResponseWriter&) = delete;
  ResponseWriter& operator=(const ResponseWriter&) = delete;

  // At least n (<= kRoomMax) writable bytes; valid until the next call.
  char* room(std::size_t n) {
    if (used_ + n > kPiece + kRoomMax) flush(false);
    return buf_.get() + used_;
  }
  void advance_to(char* end) { used_ = static_cast<std::size_t>(end - buf_.get()); }
  void write(std::string_view bytes);  // any length
  void expect(std::size_t bytes);

  // The bytes written between these two calls are hashed; seal_end gives the
  // hash text. One seal per writer.
  void seal_begin();
  std::string seal_end();

  // Hands on what is still buffered.
  void finish() { flush(true); }

  bool stopped() const { return stopped_; }

 private:
  // Large enough that a piece costs the sink little, small enough to stay in cache.
  static constexpr std::size_t kPiece = 64 * 1024;
  // Hands on the buffer; unless `all`, up to the start of a sequence it cuts short.
  void flush(bool all);

  ResponseSink* to_;
  std::unique_ptr<char[]> buf_;  // kPiece + kRoomMax bytes
  std::size_t used_ = 0;
  std::size_t sent_ = 0;  // the bytes at the buffer's start already handed on
  // The sealed text is hashed where it lies in the buffer, in whole pieces
  // counted from its start: every update then begins on a piece boundary of
  // the text and is one whole subtree, hashed at full width.
  blake3_hasher seal_;
  bool sealing_ = false;
  std::size_t seal_from_ = 0;  // where the sealed bytes not yet hashed start in the buffer
  Interrupt interrupt_;
  bool stopped_ = false;
};

}  // namespace fendro
