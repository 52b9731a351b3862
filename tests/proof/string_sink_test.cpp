// A string sink maps the pages of its reserved room ahead of the pieces, as
// huge pages or, after slow ones, as small pages: the text is the same
// either way, whatever the room expected and wherever the string starts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <string>

#include "fendro/proof/response_writer.hpp"
#include "fendro/util/huge_pages.hpp"

namespace fendro {
namespace {

// Bytes that tell every position apart from its neighbours.
std::string numbered_text(std::size_t bytes, std::uint64_t seed) {
  std::string s(bytes, '\0');
  std::uint64_t x = seed;
  for (char& c : s) {
    x = x * 6364136223846793005ULL + 1442695040888963407ULL;
    c = static_cast<char>('a' + (x >> 59));
  }
  return s;
}

// Hands `text` to `take` in pieces of uneven sizes, as a writer does.
template <class Take>
void in_pieces(std::string_view text, Take&& take) {
  for (std::size_t at = 0, k = 0; at < text.size(); ++k) {
    const std::size_t n = std::min(text.size() - at, std::size_t{65536} + (k * 7919) % 4096);
    take(text.substr(at, n));
    at += n;
  }
}

constexpr std::size_t kMiB = std::size_t{1} << 20;

struct SinkCase {
  const char* name;
  std::size_t head;      // bytes in the string before the sink starts
  std::size_t expected;  // what expect() is told
  std::size_t text;      // what is written
};

TEST(StringSink, TextIsTheSameWhateverRoomWasExpected) {
  const SinkCase cases[] = {
      {"as expected", 0, 20 * kMiB, 20 * kMiB},
      {"after a head, odd sizes", 12345, 9 * kMiB + 77, 9 * kMiB + 77},
      {"less than expected", 5, 16 * kMiB, 7 * kMiB + 3},
      {"more than expected: the string moves", 0, 7 * kMiB, 19 * kMiB + 11},
      {"more than expected after a head", 100, 7 * kMiB, 12 * kMiB},
      {"too small to map ahead", 0, 4 * kMiB, 4 * kMiB},
  };
  for (const SinkCase& c : cases) {
    const std::string head = numbered_text(c.head, 1);
    const std::string text = numbered_text(c.text, 2);
    std::string out = head;
    StringSink sink(out);
    sink.expect(c.expected);
    in_pieces(text, [&](std::string_view piece) { sink.take(piece); });
    EXPECT_TRUE(out.size() == head.size() + text.size() && out.compare(0, head.size(), head) == 0 &&
                out.compare(head.size(), text.size(), text) == 0)
        << c.name;
  }
}

// A buffer filled behind the pages mapped ahead, huge pages tried or small
// pages only, from any start within a page.
TEST(PagesAhead, FilledBufferHoldsWhatWasWritten) {
  for (const bool huge : {true, false}) {
    for (const std::size_t offset : {std::size_t{0}, std::size_t{4095}, std::size_t{1} << 20}) {
      const std::size_t size = 13 * kMiB + 333;
      const auto buffer = std::make_unique_for_overwrite<char[]>(size + offset);
      char* const begin = buffer.get() + offset;
      PagesAhead pages;
      pages.reset(begin, begin + size, huge);
      const std::string text = numbered_text(size, 3);
      std::size_t at = 0;
      in_pieces(text, [&](std::string_view piece) {
        pages.before_writing(begin + at + piece.size());
        std::memcpy(begin + at, piece.data(), piece.size());
        at += piece.size();
      });
      EXPECT_EQ(std::string_view(begin, size), text) << huge << " " << offset;
    }
  }
}

}  // namespace
}  // namespace fendro
