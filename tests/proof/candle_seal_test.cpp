// The inputs hash of candles sealed while they are read against the hash
// written afresh from the decoded candles, and the fixed-form spellings the
// sealing copies against the canonical writer.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "fendro/json/cursor.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/json/short_number.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/proof/canonical.hpp"
#include "fendro/proof/inputs.hpp"
#include "fendro/util/paced_copy.hpp"
#include "market/candle_texts.hpp"
#include "market/json_layouts.hpp"
#include "module/counting_interrupt.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

// The number at the start of `text` as the candle reader reads it: its
// value and the length of its fixed-form spelling; nullopt when declined.
std::optional<std::pair<double, unsigned>> read_fixed(std::string_view text) {
  std::string s(text);
  s += ',';
  s.append(json::kShortNumberRoom, ' ');
  double v = 0;
  unsigned fixed = 99;
  if (json::read_short_number(s.data(), v, fixed) != s.data() + text.size()) return std::nullopt;
  return std::pair{v, fixed};
}

std::string canonical(double v) {
  std::string out;
  append_canonical_float(out, v);
  return out;
}

TEST(CandleSeal, FixedSpellingsAreTheirCanonicalText) {
  const struct {
    std::string_view text;
    unsigned fixed;  // 0: written from the value
  } cases[] = {
      {"101.25", 6},           {"101.0", 3},          {"0", 1},           {"0.0", 1},
      {"-0", 0},               {"-0.0", 0},           {"-0.5", 4},        {"7", 1},
      {"1.50", 0},             {"2.00", 0},           {"1e3", 0},         {"1.5E-3", 0},
      {"1234567.12345678", 16}, {"-1234567.1234567", 16}, {"-1234567.12345678", 0},
      {"12345678", 0},         {"12345678.5", 0},     {"0.00000001", 10}, {"0.000000015", 0},
      {"9999999.99999999", 16}, {"-9999999", 8},      {"12345.678", 9},   {"100000.1", 8},
  };
  for (const auto& c : cases) {
    const auto read = read_fixed(c.text);
    ASSERT_TRUE(read.has_value()) << c.text;
    EXPECT_EQ(read->second, c.fixed) << c.text;
    if (read->second != 0) {
      EXPECT_EQ(c.text.substr(0, read->second), canonical(read->first)) << c.text;
    }
  }
}

// Numbers spelled in every way a writer might: any fixed-form prefix the
// reader gives is exactly the canonical text of the value, and most plain
// prices get one.
TEST(CandleSeal, FixedSpellingsMatchTheCanonicalWriter) {
  std::mt19937_64 rng(91);
  const auto below = [&](std::uint64_t n) { return rng() % n; };
  std::size_t read = 0, fixed = 0;
  for (int k = 0; k < 2'000'000; ++k) {
    std::string t = below(4) == 0 ? "-" : "";
    const std::uint64_t int_digits = 1 + below(9);
    t += static_cast<char>(int_digits == 1 ? '0' + below(10) : '1' + below(9));
    for (std::uint64_t d = 1; d < int_digits; ++d) t += static_cast<char>('0' + below(10));
    if (below(4) != 0) {
      t += '.';
      const std::uint64_t frac_digits = 1 + below(10);
      for (std::uint64_t d = 0; d < frac_digits; ++d) t += static_cast<char>(below(3) == 0 ? '0' : '0' + below(10));
    }
    if (below(10) == 0) t += (below(2) ? "e" : "E-") + std::to_string(below(12));
    const auto r = read_fixed(t);
    if (!r) continue;
    ++read;
    if (r->second == 0) continue;
    ++fixed;
    ASSERT_EQ(std::string_view(t).substr(0, r->second), canonical(r->first)) << t;
  }
  EXPECT_GT(read, 1'500'000u);
  EXPECT_GT(fixed, read / 3);
}

constexpr std::string_view kSpec = R"({"strategy":{"symbol":"S","b":[1.50,"x"]},"dataset_ref":"d-1"})";

// Reads `data` as a command's member, sealing its candles; when the reading
// succeeds, the sealed inputs hash is the one written afresh. Returns
// whether the seal covered the data.
bool expect_sealed_hash_is_fresh_hash(const std::string& data) {
  SCOPED_TRACE(data.substr(0, 400));
  const std::string command = R"({"cmd":"prove","data":)" + data + "}";
  std::optional<Result<MarketData, std::string>> read;
  CandleSeal seal;
  const auto doc =
      json::parse_deferring(command, "data", [&](json::Cursor& cur) { read = read_market_data(cur, &seal); });
  if (!doc.ok() || !read.has_value() || !read->ok()) return false;
  const json::Document spec_doc = testing::parse_json(kSpec);
  const auto spec = read_proof_spec(spec_doc.root);
  EXPECT_TRUE(spec.ok());
  const MarketData& market = read->value();
  const bool covered = seal.covers(market);
  const auto sealed = inputs_hash(*spec, market, {}, &seal);
  EXPECT_TRUE(sealed.ok());
  EXPECT_EQ(*sealed, inputs_hash(*spec, market));
  // A seal is used once: asked again, the hash is written afresh.
  EXPECT_FALSE(seal.covers(market));
  EXPECT_EQ(*inputs_hash(*spec, market, {}, &seal), inputs_hash(*spec, market));
  return covered;
}

TEST(CandleSeal, SealedHashIsTheFreshHashOnGeneratedLists) {
  test::CandleTexts gen(17);
  int covered = 0;
  for (int round = 0; round < 1500; ++round) {
    gen.array_share = gen.below(21);
    gen.odd_every = round % 3 == 0 ? 1'000'000 : 40;
    gen.odd_value = test::CandleTexts::kOdd[gen.below(std::size(test::CandleTexts::kOdd))];
    std::string list;
    const std::uint64_t candles = gen.below(4) == 0 ? gen.below(3) : 1 + gen.below(3000);
    for (std::uint64_t k = 0; k < candles; ++k) list.append(k ? "," : "").append(gen.candle());
    const std::uint64_t symbols = gen.below(10);
    std::string data = "{\"S\":[" + list + "]";
    // Now and then a second list, or the same symbol again: not sealed.
    if (symbols == 0) data += ",\"A\":[" + list + "]";
    if (symbols == 1) data += ",\"S\":[" + list + "]";
    data += "}";
    const bool was_covered =
        expect_sealed_hash_is_fresh_hash(test::lay_out(data, test::kLayouts[round % std::size(test::kLayouts)], 3));
    if (symbols <= 1) {
      EXPECT_FALSE(was_covered);
    }
    covered += was_covered;
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(covered, 400);
}

// Long lists cross the reader's stretches and the hash's chunks: candles
// that all read, in the usual order or not, as objects or arrays, numbers
// in every form now and then; symbols that need escaping.
TEST(CandleSeal, SealedHashIsTheFreshHashOnLongLists) {
  std::mt19937_64 rng(5);
  const auto below = [&](std::uint64_t n) { return rng() % n; };
  const auto price = [&]() -> std::string {
    static constexpr std::string_view kOther[] = {"1e3", "-0", "2.50", "12345678.25", "0.000000001", "-3.0", "7"};
    if (below(50) == 0) return std::string(kOther[below(std::size(kOther))]);
    return std::to_string(below(200000)) + "." + std::to_string(below(100));
  };
  for (const std::string_view symbol : {"BTCUSDT", "a\\\"b\\u00e9\\n"}) {
    for (const std::uint64_t arrays : {0, 20, 7}) {
      std::string data = "{\"" + std::string(symbol) + "\":[";
      for (std::int64_t k = 0; k < 60000; ++k) {
        const std::string t = std::to_string(1700000000000 + 60000 * k);
        if (k != 0) data += ',';
        if (below(20) < arrays) {
          data += "[" + t + "," + price() + "," + price() + "," + price() + "," + price();
          data += below(3) == 0 ? "]" : ',' + price() + "]";
        } else if (below(30) == 0) {
          data += "{\"close\":" + price() + ",\"low\":" + price() + ",\"time\":" + t + ",\"high\":" + price() +
                  ",\"open\":" + price() + "}";
        } else {
          data += "{\"time\":" + t + ",\"open\":" + price() + ",\"high\":" + price() + ",\"low\":" + price() +
                  ",\"close\":" + price() + ",\"volume\":" + price() + "}";
        }
      }
      data += "]}";
      EXPECT_TRUE(expect_sealed_hash_is_fresh_hash(data));
      EXPECT_TRUE(expect_sealed_hash_is_fresh_hash(test::lay_out(data, test::Layout::kSpaced)));
    }
  }
}

// A long symbol is compared with the data's in stretches before the seal
// stands for it, the interrupt asked between them: a stop at any of those
// asks stops the inputs hash; never stopped, the sealed hash is the fresh
// one, and a key that differs only in its last byte is not covered.
TEST(CandleSeal, LongSymbolComparedAskingBetweenStretches) {
  const std::string symbol(3 * kCopyStretchBytes + 1, 'S');
  const std::string command = R"({"cmd":"prove","data":{")" + symbol + R"(":[[60,1,2,0.5,1.5,3]]}})";
  const json::Document spec_doc = testing::parse_json(kSpec);
  const auto spec = read_proof_spec(spec_doc.root);
  ASSERT_TRUE(spec.ok());
  const auto sealed = [&](CandleSeal& seal) {
    std::optional<Result<MarketData, std::string>> read;
    EXPECT_TRUE(json::parse_deferring(command, "data", [&](json::Cursor& cur) { read = read_market_data(cur, &seal); })
                    .ok());
    return std::move(read->value());
  };
  CandleSeal seal;
  const MarketData market = sealed(seal);
  fendro::testing::CountingInterrupt never;
  const auto covers = seal.covers(market, never.interrupt());
  ASSERT_TRUE(covers.ok());
  EXPECT_TRUE(*covers);
  EXPECT_EQ(never.asked, 3u);
  for (std::size_t k = 1; k <= 3; ++k) {
    fendro::testing::CountingInterrupt stop{.stop_at = k};
    EXPECT_FALSE(seal.covers(market, stop.interrupt()).ok()) << k;
    CandleSeal used;
    const MarketData same = sealed(used);
    fendro::testing::CountingInterrupt stop_hash{.stop_at = k};
    EXPECT_FALSE(inputs_hash(*spec, same, stop_hash.interrupt(), &used).ok()) << k;
    EXPECT_EQ(stop_hash.asked, k);
  }
  EXPECT_EQ(*inputs_hash(*spec, market, never.interrupt(), &seal), inputs_hash(*spec, market));

  CandleSeal other_seal;
  MarketData other;
  other[symbol.substr(1) + "T"] = sealed(other_seal).begin()->second;
  EXPECT_FALSE(*other_seal.covers(other, Interrupt{}));
}

}  // namespace
}  // namespace fendro
