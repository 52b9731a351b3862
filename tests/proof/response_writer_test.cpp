#include "fendro/proof/response_writer.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace fendro {
namespace {

struct Pieces final : ResponseSink {
  std::vector<std::string> pieces;
  void take(std::string_view piece) override { pieces.emplace_back(piece); }
  std::string joined() const {
    std::string all;
    for (const std::string& p : pieces) all += p;
    return all;
  }
};

// True when `s` is whole UTF-8 sequences (lead byte and its continuations).
bool whole_sequences(std::string_view s) {
  std::size_t k = 0;
  while (k < s.size()) {
    const auto b = static_cast<unsigned char>(s[k]);
    const std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (k + n > s.size()) return false;
    for (std::size_t j = 1; j < n; ++j) {
      if ((static_cast<unsigned char>(s[k + j]) & 0xC0) != 0x80) return false;
    }
    k += n;
  }
  return true;
}

// A text of 1- to 4-byte characters, several pieces long.
std::string mixed_text(std::mt19937_64& rng, std::size_t bytes) {
  static const char* const kChars[] = {"a", "{", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9D\x84\x9E"};
  std::string s;
  while (s.size() < bytes) s += kChars[rng() % 5];
  return s;
}

// Writes `text` in slices of random length, through room/advance_to or write,
// so that slices often end inside a character.
void write_sliced(ResponseWriter& out, std::string_view text, std::mt19937_64& rng) {
  while (!text.empty()) {
    const std::size_t n = std::min<std::size_t>(text.size(), 1 + rng() % (rng() % 8 == 0 ? 20000 : 300));
    if (n <= ResponseWriter::kRoomMax && rng() % 2 == 0) {
      char* p = out.room(n);
      std::memcpy(p, text.data(), n);
      out.advance_to(p + n);
    } else {
      out.write(text.substr(0, n));
    }
    text.remove_prefix(n);
  }
}

TEST(ResponseWriter, PiecesHoldWholeCharactersAndTheSealCoversItsStretch) {
  std::mt19937_64 rng(7);
  for (int round = 0; round < 20; ++round) {
    const std::string head = mixed_text(rng, rng() % 70000);
    const std::string sealed = mixed_text(rng, rng() % 900000);
    const std::string tail = mixed_text(rng, rng() % 5000);
    Pieces sink;
    ResponseWriter out(&sink);
    write_sliced(out, head, rng);
    out.seal_begin();
    write_sliced(out, sealed, rng);
    const std::string hash = out.seal_end();
    write_sliced(out, tail, rng);
    out.finish();
    EXPECT_EQ(sink.joined(), head + sealed + tail) << round;
    EXPECT_EQ(hash, hash_text(sealed)) << round;
    for (const std::string& piece : sink.pieces) {
      ASSERT_FALSE(piece.empty()) << round;
      ASSERT_TRUE(whole_sequences(piece)) << round;
    }
    if (sealed.size() > 600000) {
      EXPECT_GE(sink.pieces.size(), 3u) << round;
    }
  }
}

TEST(ResponseWriter, WithoutASinkOnlySeals) {
  std::mt19937_64 rng(11);
  const std::string text = mixed_text(rng, 300000);
  ResponseWriter out(nullptr);
  out.write("ignored");
  out.seal_begin();
  write_sliced(out, text, rng);
  EXPECT_EQ(out.seal_end(), hash_text(text));
  out.finish();
}

// The sealed text is hashed in whole pieces where it lies: stretches of
// exactly a piece or two, a byte either side of them, after heads that leave
// the seal's start anywhere in the buffer; with and without a sink.
TEST(ResponseWriter, SealsAroundWholePieces) {
  constexpr std::size_t kPiece = 64 * 1024;
  std::mt19937_64 rng(13);
  const std::size_t sealed_sizes[] = {0, 1, kPiece - 1, kPiece, kPiece + 1, 2 * kPiece, 3 * kPiece - 1};
  const std::size_t head_sizes[] = {0, 1, 4095, kPiece - 5, kPiece + 3};
  for (const std::size_t sealed_size : sealed_sizes) {
    for (const std::size_t head_size : head_sizes) {
      const std::string head(head_size, 'h');
      std::string sealed = mixed_text(rng, sealed_size);
      sealed.resize(sealed_size, 's');  // cut mid-character at times: only pieces handed on must be whole
      for (const bool with_sink : {true, false}) {
        Pieces sink;
        ResponseWriter out(with_sink ? &sink : nullptr);
        write_sliced(out, head, rng);
        out.seal_begin();
        write_sliced(out, sealed, rng);
        ASSERT_EQ(out.seal_end(), hash_text(sealed)) << sealed_size << " after " << head_size;
        out.write("}");
        out.finish();
        if (with_sink) {
          ASSERT_EQ(sink.joined(), head + sealed + "}") << sealed_size << " after " << head_size;
        }
      }
    }
  }
}

TEST(ResponseWriter, FinishHandsOnAnUnfinishedCharacterToo) {
  Pieces sink;
  ResponseWriter out(&sink);
  out.write("ab\xE2\x82");
  out.finish();
  EXPECT_EQ(sink.joined(), "ab\xE2\x82");
}

}  // namespace
}  // namespace fendro
