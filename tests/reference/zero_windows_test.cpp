// Every key, generated: once its windows hold only zeros, a type reads its
// zero case, as a fresh instance fed the same stretch does. Then the sweep
// itself, on planted types that read a window of zeros as its residue (from
// candles, prints and a cross-section) or keep the state it is told they keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "fendro/registry/key_table.hpp"
#include "reference/zero_window_runs.hpp"

namespace fendro::reference {
namespace {

const std::vector<NamedHistory>& histories() {
  static const std::vector<NamedHistory> made = residue_histories();
  return made;
}

// FENDRO_ZERO_WINDOWS_KEY=Vortex and FENDRO_ZERO_WINDOWS_PARAMS=4 look at one
// key and one parameter set; FENDRO_ZERO_WINDOWS_REPORT prints every parting.
std::vector<std::vector<double>> parameters_asked() {
  std::vector<std::vector<double>> only;
  const char* text = std::getenv("FENDRO_ZERO_WINDOWS_PARAMS");
  if (text == nullptr) return only;
  only.emplace_back();
  for (const char* p = text; *p != '\0';) {
    char* end = nullptr;
    only.back().push_back(std::strtod(p, &end));
    if (end == p) break;
    p = *end == ',' ? end + 1 : end;
  }
  return only;
}

TEST(ZeroWindows, EveryKeyReadsItsZeroCase) {
  const bool report = std::getenv("FENDRO_ZERO_WINDOWS_REPORT") != nullptr;
  const char* only_key = std::getenv("FENDRO_ZERO_WINDOWS_KEY");
  const std::vector<std::vector<double>> only = parameters_asked();
  std::size_t keys = 0;
  for (const registry::Entry& row : registry::key_rows()) {
    if (only_key != nullptr && row.key != only_key) continue;
    for (const std::string& f : zero_window_faults(registry_subject(row, only), histories(), report)) {
      ADD_FAILURE() << f;
    }
    ++keys;
  }
  EXPECT_GT(keys, 0u);
}

// Every listing names a key, once.
TEST(ZeroWindows, EveryListingNamesAKeyOnce) {
  const auto table = zero_window_listings();
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_TRUE(registry::key_slot(table[i].key).has_value()) << table[i].key;
    EXPECT_FALSE(table[i].reason.empty()) << table[i].key;
    EXPECT_EQ(table[i].kind == ZeroCase::kLastValue, table[i].reach != nullptr) << table[i].key;
    EXPECT_EQ(table[i].kind == ZeroCase::kLastValue, table[i].zero_on != 0) << table[i].key;
    for (std::size_t k = 0; k < i; ++k) EXPECT_NE(table[i].key, table[k].key);
  }
}

// Every key listed as a memory names a key, once, under a reason; every
// diverging set is one the sweep builds and would otherwise try.
TEST(ZeroWindows, EveryMemoryAndDivergingListingNamesWhatTheSweepTries) {
  std::vector<std::string_view> seen;
  for (const RememberingKeys& group : remembering_keys()) {
    EXPECT_FALSE(group.reason.empty());
    for (const std::string_view key : group.keys) {
      EXPECT_TRUE(registry::key_slot(key).has_value()) << key;
      EXPECT_EQ(std::count(seen.begin(), seen.end(), key), 0) << key << " is listed twice";
      EXPECT_EQ(memory_reason_of(key), group.reason) << key;
      seen.push_back(key);
    }
  }
  EXPECT_EQ(memory_reason_of("NoSuchKey"), "");
  for (const DivergingSet& d : diverging_sets()) {
    const std::vector<double> params(d.params.begin(), d.params.end());
    SCOPED_TRACE(std::string(d.key) + " " + testing::params_text(params));
    EXPECT_FALSE(d.reason.empty());
    const registry::Entry* row = nullptr;
    for (const registry::Entry& r : registry::key_rows()) row = r.key == d.key ? &r : row;
    ASSERT_NE(row, nullptr);
    const ZeroSubject subject = registry_subject(*row);
    EXPECT_EQ(std::count(subject.parameter_sets.begin(), subject.parameter_sets.end(), params), 1);
    EXPECT_EQ(std::count(subject.diverging.begin(), subject.diverging.end(), params), 1);
    EXPECT_NE(subject.build(params), nullptr);
  }
}

// What a stretch's bars carry, as its name says.
TEST(ZeroWindows, EachStretchHoldsWhatItsNameSays) {
  const testing::Bar& last = histories()[0].bars.back();
  const double p = last.candle.close;
  for (const StretchKind kind : {StretchKind::kHalt, StretchKind::kFlatVolume, StretchKind::kQuietMoves}) {
    SCOPED_TRACE(std::string(stretch_name(kind)));
    const std::vector<testing::Bar> bars = stretch_after(last, kind, 50, 7);
    std::size_t moves = 0, traded = 0;
    double close = p;
    for (const testing::Bar& b : bars) {
      const Candle& c = b.candle;
      EXPECT_TRUE(c.low <= std::min(c.open, c.close) && std::max(c.open, c.close) <= c.high && c.volume >= 0.0);
      moves += c.close != close;
      close = c.close;
      traded += c.volume > 0.0;
      const bool flat = kind != StretchKind::kQuietMoves;
      if (flat) {
        EXPECT_TRUE(c.open == p && c.high == p && c.low == p && c.close == p);
      }
      if (kind != StretchKind::kFlatVolume) {
        EXPECT_EQ(c.volume, 0.0);
        EXPECT_TRUE(b.trades.empty());
        EXPECT_EQ(b.derivatives.taker_buy_volume + b.derivatives.taker_sell_volume, 0.0);
      }
      for (std::size_t k = 0; k < b.book.bids.size(); ++k) EXPECT_EQ(b.book.bids[k].size, b.book.asks[k].size);
      for (const CrossSectionEntry& e : b.cross.entries) {
        if (flat) {
          EXPECT_TRUE(e.change == 0.0 && !e.new_high && !e.new_low);
        }
        if (kind != StretchKind::kFlatVolume) {
          EXPECT_EQ(e.volume, 0.0);
        }
      }
    }
    EXPECT_EQ(moves > 40, kind == StretchKind::kQuietMoves);
    EXPECT_EQ(traded, kind == StretchKind::kFlatVolume ? bars.size() : 0u);
  }
}

// Both levels close to the end of each history (what leaves the residue),
// volumes with places beyond the cent, heavy bars among light ones.
TEST(ZeroWindows, EachHistoryMixesLevelsAndVolumes) {
  for (const NamedHistory& h : histories()) {
    SCOPED_TRACE(h.name);
    std::size_t high = 0, low = 0, heavy = 0, fine = 0;
    for (std::size_t i = h.bars.size() - 40; i < h.bars.size(); ++i) {
      const Candle& c = h.bars[i].candle;
      (c.close > 1000.0 ? high : low) += 1;
      heavy += c.volume > 50.0;
      fine += std::round(c.volume * 100.0) != c.volume * 100.0;
    }
    EXPECT_GT(high, 5u);
    EXPECT_GT(low, 5u);
    EXPECT_GT(heavy, 2u);
    EXPECT_GT(fine, 10u);
  }
}

}  // namespace
}  // namespace fendro::reference
