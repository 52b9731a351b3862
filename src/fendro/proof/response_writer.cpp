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
    seal_from_ = 0;
    return;
  }
  if (sealing_) seal_->write({buf_.get() + seal_from_, used_ - seal_from_});
  const std::size_t handed = all ? used_ : whole_sequences({buf_.get(), used_});
  if (to_ != nullptr && handed != 0) to_->take({buf_.get(), handed});
  // The start of a sequence cut short waits for the rest; it is sealed already.
  used_ -= handed;
  std::memmove(buf_.get(), buf_.get() + handed, used_);
  seal_from_ = used_;
}

void ResponseWriter::write(std::string_view bytes) {
  while (!bytes.empty()) {
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
  seal_.emplace();
  sealing_ = true;
  seal_from_ = used_;
}

std::string ResponseWriter::seal_end() {
  seal_->write({buf_.get() + seal_from_, used_ - seal_from_});
  sealing_ = false;
  return seal_->finish();
}

}  // namespace fendro
