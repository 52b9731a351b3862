// The writers behind the hashed texts: HashSink fed in any mix of pieces,
// and the integer writer over its groups and at the edges of its word splits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "blake3.h"
#include "fendro/proof/canonical.hpp"

namespace fendro {
namespace {

std::string reference_hash(std::string_view text) {
  blake3_hasher h;
  blake3_hasher_init(&h);
  blake3_hasher_update(&h, text.data(), text.size());
  std::uint8_t digest[BLAKE3_OUT_LEN];
  blake3_hasher_finalize(&h, digest, BLAKE3_OUT_LEN);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::uint8_t b : digest) {
    out.push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 15]);
  }
  return out;
}

TEST(HashSink, MixedPiecesEqualOneUpdate) {
  std::string text;
  for (int k = 0; k < 600001; ++k) text.push_back(static_cast<char>('!' + (k * 31 % 89)));
  const std::string expected = reference_hash(text);
  // Piece sizes, used in turn; a size ending in 1 goes through write() even
  // when room() could take it. Sizes around the sink's 64 KiB chunk and its
  // 4 KiB room catch a chunk hashed twice, skipped or cut at the wrong place.
  const std::vector<std::vector<std::size_t>> cycles = {
      {3, 70000},          {65535, 1, 65536},      {5000, 131072, 17}, {4096, 61440, 4095, 1},
      {65536 + 4096},      {1, 196608, 4096, 4096}, {600001},           {2048, 300000, 999},
  };
  for (const auto& cycle : cycles) {
    HashSink sink;
    std::size_t at = 0;
    for (std::size_t step = 0; at < text.size(); ++step) {
      const std::size_t n = std::min(cycle[step % cycle.size()], text.size() - at);
      const std::string_view part = std::string_view(text).substr(at, n);
      if (n <= HashSink::kRoomMax && n % 10 != 1) {
        char* p = sink.room(n);
        sink.advance_to(std::copy(part.begin(), part.end(), p));
      } else {
        sink.write(part);
      }
      at += n;
    }
    EXPECT_EQ(sink.finish(), expected) << "first piece " << cycle[0];
  }
  EXPECT_EQ(hash_text(text), expected);
  const std::string_view two_chunks = std::string_view(text).substr(0, 131072);
  EXPECT_EQ(hash_text(two_chunks), reference_hash(two_chunks));
  EXPECT_EQ(hash_text(""), reference_hash(""));
}

TEST(NumberFormat, EveryGroupAndTheEdgesOfTheEightDigitSplits) {
  char buf[32];
  const auto u64 = [&](std::uint64_t v) { return std::string(buf, put_u64(buf, v)); };
  const auto i64 = [&](std::int64_t v) { return std::string(buf, put_i64(buf, v)); };
  for (std::uint64_t v = 0; v < 2000000; ++v) ASSERT_EQ(u64(v), std::to_string(v));
  std::uint64_t ten = 1;
  for (int digits = 1; digits <= 19; ++digits, ten *= 10) {
    for (const std::uint64_t v : {ten - 1, ten, ten + 1, 2 * ten - 1, 9 * ten + ten - 1}) {
      ASSERT_EQ(u64(v), std::to_string(v)) << v;
      if (v == 0 || v > std::numeric_limits<std::int64_t>::max()) continue;
      ASSERT_EQ(i64(-static_cast<std::int64_t>(v)), '-' + std::to_string(v)) << v;
    }
  }
  std::mt19937_64 rng(7);
  for (int k = 0; k < 200000; ++k) {
    const std::uint64_t v = rng() >> (rng() % 64);
    ASSERT_EQ(u64(v), std::to_string(v));
    const auto s = static_cast<std::int64_t>(rng());
    ASSERT_EQ(i64(s), std::to_string(s));
  }
  for (const std::uint64_t v : {std::numeric_limits<std::uint64_t>::max(), std::uint64_t{10000000000000000000ULL},
                                std::uint64_t{1700000000000}, std::uint64_t{1844674407370955161}}) {
    ASSERT_EQ(u64(v), std::to_string(v)) << v;
  }
  for (const std::int64_t v : {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
    ASSERT_EQ(i64(v), std::to_string(v));
  }
}

}  // namespace
}  // namespace fendro
