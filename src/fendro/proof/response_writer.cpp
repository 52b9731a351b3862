#include "fendro/proof/response_writer.hpp"

#include <algorithm>
#include <cstring>

namespace fendro {

ResponseWriter::ResponseWriter(ResponseSink* to, const Interrupt& interrupt)
    : to_(to), buf_(std::make_unique_for_overwrite<char[]>(kPiece + kRoomMax)), interrupt_(interrupt) {}

namespace {

// The length of the longest prefix of `text` that does not end inside a
// UTF-8 sequence (a sequence has at most 4 bytes; its first byte tells how many).
std::size_t whole_sequences(std::string_view text) {
  const std::size_t stop = text.size() < 4 ? 0 : text.size() - 4;
  for (std::size_t k = text.size(); k > stop; --k) {
    const auto b = static_cast<unsigned char>(text[k - 1]);
    if ((b & 0xC0) == 0x80) continue;  // a continuation byte: its sequence starts further back
    const std::size_t length = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    return k - 1 + length > text.size() ? k - 1 : text.size();
  }
  return text.size();
}

}  // namespace

void ResponseWriter::flush(bool all) {
  if (!stopped_) stopped_ = interrupt_.stop_requested();
  if (stopped_) {  // the text is abandoned: its buffer only makes room
    used_ = 0;
    sent_ = 0;
    seal_from_ = 0;
    return;
  }
  char* const buf = buf_.get();
  if (sealing_) {
    const std::size_t whole = (used_ - seal_from_) / kPiece * kPiece;
    if (whole != 0) blake3_hasher_update(&seal_, buf + seal_from_, whole);
    seal_from_ += whole;
  }
  std::size_t handed = used_;
  if (to_ != nullptr) {
    // Unless `all`, up to the start of a sequence cut short: it waits for the rest.
    if (!all) handed = sent_ + whole_sequences({buf + sent_, used_ - sent_});
    if (handed > sent_) to_->take({buf + sent_, handed - sent_});
  }
  // Kept: what is not handed on yet, and what is sealed but not hashed yet.
  const std::size_t keep_from = sealing_ ? std::min(seal_from_, handed) : handed;
  used_ -= keep_from;
  std::memmove(buf, buf + keep_from, used_);
  sent_ = handed - keep_from;
  seal_from_ = sealing_ ? seal_from_ - keep_from : used_;
}

void ResponseWriter::write(std::string_view bytes) {
  // A stopped writer keeps nothing: the rest is not even copied.
  while (!bytes.empty() && !stopped_) {
    const std::size_t n = std::min(bytes.size(), kRoomMax);
    char* p = room(n);
    std::memcpy(p, bytes.data(), n);
    advance_to(p + n);
    bytes.remove_prefix(n);
  }
}

void ResponseWriter::expect(std::size_t bytes) {
  if (to_ != nullptr) to_->expect(bytes);
}

void ResponseWriter::seal_begin() {
  blake3_hasher_init(&seal_);
  sealing_ = true;
  seal_from_ = used_;
}

std::string ResponseWriter::seal_end() {
  blake3_hasher_update(&seal_, buf_.get() + seal_from_, used_ - seal_from_);
  seal_from_ = used_;
  sealing_ = false;
  return hash_hex(seal_);
}

}  // namespace fendro
