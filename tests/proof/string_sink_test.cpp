// A string sink maps the pages of its reserved room ahead of the pieces, as
// huge pages or, after a slow one, as small pages: the text is the same
// either way, whatever the room expected and wherever the string starts.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
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

struct SinkCase {
  const char* name;
  std::size_t head;      // bytes in the string before the sink starts
  std::size_t expected;  // what expect() is told
  std::size_t text;      // what is written
  bool small_pages;      // as after a slow huge page
};

TEST(StringSink, TextIsTheSameHoweverItsPagesCome) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  const SinkCase cases[] = {
      {"huge pages, as expected", 0, 20 * kMiB, 20 * kMiB, false},
      {"small pages, as expected", 0, 20 * kMiB, 20 * kMiB, true},
      {"after a head, odd sizes", 12345, 9 * kMiB + 77, 9 * kMiB + 77, false},
      {"less than expected", 5, 16 * kMiB, 7 * kMiB + 3, false},
      {"more than expected: the string moves", 0, 7 * kMiB, 19 * kMiB + 11, false},
      {"more than expected, small pages", 100, 7 * kMiB, 12 * kMiB, true},
      {"too small to map ahead", 0, 4 * kMiB, 4 * kMiB, false},
  };
  const std::int64_t was = detail::slow_huge_page_at.load();
  for (const SinkCase& c : cases) {
    detail::slow_huge_page_at.store(c.small_pages ? detail::steady_now_ns() : std::numeric_limits<std::int64_t>::min() / 2);
    const std::string head = numbered_text(c.head, 1);
    const std::string text = numbered_text(c.text, 2);
    std::string out = head;
    StringSink sink(out);
    sink.expect(c.expected);
    // Pieces of uneven sizes, as a writer hands them on.
    for (std::size_t at = 0, k = 0; at < text.size(); ++k) {
      const std::size_t n = std::min(text.size() - at, std::size_t{65536} + (k * 7919) % 4096);
      sink.take(std::string_view(text).substr(at, n));
      at += n;
    }
    EXPECT_TRUE(out.size() == head.size() + text.size() && out.compare(0, head.size(), head) == 0 &&
                out.compare(head.size(), text.size(), text) == 0)
        << c.name;
  }
  detail::slow_huge_page_at.store(was);
}

}  // namespace
}  // namespace fendro
