// Every candle-fed key, generated: on one-price candles it reads what exact
// arithmetic gives. Then the comparison itself, on planted types that average
// copies by a running sum read as it stands.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/registry/key_table.hpp"
#include "reference/flat_market.hpp"
#include "reference/flat_market_history.hpp"
#include "reference/key_listings.hpp"
#include "reference/zero_windows.hpp"

namespace fendro::reference {
namespace {

// FENDRO_FLAT_KEY=Sma looks at one key and prints every fault it finds.
TEST(FlatMarket, EveryKeyReadsWhatExactArithmeticGives) {
  const char* only = std::getenv("FENDRO_FLAT_KEY");
  std::size_t tried = 0;
  for (const registry::Entry& row : registry::key_rows()) {
    if (row.feed != Feed::Kline) continue;
    if (only != nullptr && row.key != only) continue;
    const std::vector<std::string> faults = flat_market_faults(flat_subject(row));
    const FlatListing* listed = listing_named(flat_listings(), row.key);
    if (listed == nullptr || listed->after_history_only) {
      for (const std::string& f : faults) ADD_FAILURE() << f;
    } else {
      EXPECT_FALSE(faults.empty()) << row.key << " is listed (" << listed->reason
                                   << ") but reads exactly at every price";
      if (only != nullptr) {
        for (const std::string& f : faults) std::fprintf(stderr, "listed: %s\n", f.c_str());
      }
    }
    ++tried;
  }
  EXPECT_GT(tried, 0u);
}

// After a moving history: every key whose state lives in its windows reads,
// once they hold only copies or zeros, what the exact run gives.
TEST(FlatMarket, AfterAHistoryEveryWindowedKeyReadsWhatExactArithmeticGives) {
  const char* only = std::getenv("FENDRO_FLAT_KEY");
  std::size_t tried = 0;
  for (const registry::Entry& row : registry::key_rows()) {
    if (row.feed != Feed::Kline || !memory_reason_of(row.key).empty()) continue;
    // A zero case that repeats the last value, or a state the zero-window
    // listing names as outlasting the windows, keeps what the history's own
    // rounding made.
    const ZeroWindowListing* zero = fendro::reference::listing_of(row.key, zero_window_listings());
    if (zero != nullptr && (zero->kind == ZeroCase::kLastValue || zero->kind == ZeroCase::kMemory)) continue;
    if (only != nullptr && row.key != only) continue;
    std::vector<Kind> kinds;
    for (std::size_t i = 0; i < row.params.values().size(); ++i) kinds.push_back(kind_of(row, i));
    FlatSubject subject = flat_subject(row);
    std::erase_if(subject.parameter_sets, [&row](const std::vector<double>& p) {
      for (const DivergingSet& d : diverging_sets()) {
        if (d.key == row.key && std::vector<double>(d.params.begin(), d.params.end()) == p) return true;
      }
      return false;
    });
    const std::vector<std::string> faults = flat_history_faults(subject, kinds);
    const FlatListing* listed = listing_named(flat_listings(), row.key);
    if (listed == nullptr) {
      for (const std::string& f : faults) ADD_FAILURE() << f;
    } else if (listed->after_history_only) {
      EXPECT_FALSE(faults.empty()) << row.key << " is listed (" << listed->reason
                                   << ") but reads exactly after the history";
    }
    ++tried;
  }
  EXPECT_GT(tried, 0u);
}

TEST(FlatMarket, EveryListingNamesACandleFedKeyOnce) { expect_candle_keys_once(flat_listings()); }

// A mean of the last n closes, or the close less it, by a running sum read
// as it stands: what an average that does not know its copies gives.
class PlantedMean final : public Indicator {
 public:
  PlantedMean(std::uint64_t n, bool distance) : ring_(n), n_(n), distance_(distance) {}
  std::optional<double> update(const BarSnapshot& bar) override {
    const double x = bar.candle->close;
    if (const auto old = ring_.push(x)) sum_ = sum_ - *old;
    sum_ = sum_ + x;
    if (!ring_.is_full()) return no_value();
    const double mean = sum_ / static_cast<double>(n_);
    return value_out(distance_ ? x - mean : mean);
  }
  std::uint64_t warmup_period() const override { return n_; }

 private:
  BoundedRing<double> ring_;
  std::uint64_t n_;
  bool distance_;
  double sum_ = 0.0;
};

FlatSubject planted(bool distance) {
  FlatSubject s;
  s.key = distance ? "PlantedDistance" : "PlantedMean";
  s.build = [distance](const std::vector<double>& p) -> IndicatorPtr {
    return std::make_unique<PlantedMean>(static_cast<std::uint64_t>(p[0]), distance);
  };
  s.parameter_sets = {{14}, {3}};
  return s;
}

TEST(FlatMarket, FindsAnAverageOfCopiesReadFromItsSum) {
  // A price-like mean: 14 copies of 0.3 sum to 4.2 less a unit, so the mean
  // reads 0.29999999999999993 where 0.3 is exact; 3 copies of 3.3 likewise.
  const std::vector<std::string> mean = flat_market_faults(planted(false));
  EXPECT_FALSE(mean.empty());
  // A price-free distance: 0 at 1.0 and 4.0, a residue at 0.3.
  const std::vector<std::string> distance = flat_market_faults(planted(true));
  EXPECT_FALSE(distance.empty());
  bool at_03 = false;
  for (const std::string& f : distance) at_03 |= f.find(" at 0.29999999999999999,") != std::string::npos;
  EXPECT_TRUE(at_03);
}

}  // namespace
}  // namespace fendro::reference
