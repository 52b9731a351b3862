// A bar whose own work is long asks the command's interrupt as it goes: a
// stop said there ends the run as stopped from inside that bar, and an
// interrupt that never stops changes no byte of the proof.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fendro/util/run_scope.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/proof/response_writer.hpp"
#include "fendro/registry/registry.hpp"
#include "indicators/series.hpp"
#include "module/counting_interrupt.hpp"
#include "proof/streamed_text.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

// Counts the asks, telling those made from inside a bar (the scope's own
// count has gone up) from those between stretches of bars. It says stop
// once, at ask `stop_at_in_bar` from inside a bar (from 1; 0: never), and
// never again: only the run's keeping that stop can end it.
struct Asks {
  std::uint64_t stop_at_in_bar = 0;
  std::uint64_t total = 0;
  std::uint64_t in_bar = 0;
  std::uint64_t stopped_at = 0;  // the ask that said stop, from 1

  static bool check(void* self) {
    auto& a = *static_cast<Asks*>(self);
    ++a.total;
    const RunScope* scope = RunScope::current();
    if (scope == nullptr || scope->in_bar_asks() == a.in_bar) return false;
    a.in_bar = scope->in_bar_asks();
    if (a.in_bar != a.stop_at_in_bar) return false;
    a.stopped_at = a.total;
    return true;
  }
  Interrupt interrupt() { return Interrupt(check, this); }
};

// One symbol's candles and a strategy over the indicator entries given. It
// enters on a falling candle when every entry has a value, and leaves on a
// rising one: a value missing on any bar can change the trades.
class Command {
 public:
  Command(const std::vector<std::string>& entries, std::size_t candles) {
    std::string inds;
    std::string present;
    for (std::size_t k = 0; k < entries.size(); ++k) {
      const std::string id = "\"i" + std::to_string(k) + "\"";
      inds += (k > 0 ? "," : "") + id + ":" + entries[k];
      present += R"(, {"ge": [)" + id + ", -1e300]}";
    }
    text_ = R"({"dataset_ref": "ds", "strategy": {"symbol": "BTC", "timeframe": "1m", "indicators": {)" + inds +
            R"(}, "entry": {"all": [{"lt": [{"price": "close"}, {"price": "open"}]})" + present +
            R"(]}, "exit": {"gt": [{"price": "close"}, {"price": "open"}]},)"
            R"( "sizing": {"type": "fixed_fraction", "fraction": 0.5}}})";
    doc_ = testing::parse_json(text_);
    auto spec = read_proof_spec(doc_.root);
    EXPECT_TRUE(spec.ok());
    if (spec.ok()) spec_ = std::move(spec).value();
    data_.emplace("BTC", testing::random_walk(candles, 77));
  }
  Result<ProvenRun, ProofError> prove(const Interrupt& interrupt = {}) const {
    return fendro::prove(spec_, data_, interrupt);
  }

 private:
  std::string text_;
  json::Document doc_;
  ProofSpec spec_;
  MarketData data_;
};

std::string proof_text(const ProvenRun& run) {
  return testing::streamed_text([&](ResponseWriter& out) { write_proof(out, run); });
}

// Each row: one entry whose bars, once its window is full, take several
// asks' worth of work, over just enough candles to reach them.
struct LongBar {
  const char* what;
  std::string entry;
  std::size_t candles;
};

const LongBar kLongBars[] = {
    // The first full window builds the table: the stop comes during the build.
    {"periodogram table", R"({"type": "AutocorrelationPeriodogram", "params": [10, 600]})", 605},
    // Past the command's budget: every bar computes its phasors.
    {"periodogram on the fly", R"({"type": "AutocorrelationPeriodogram", "params": [10, 2100]})", 2105},
    {"sample entropy", R"({"type": "SampleEntropy", "params": [4000, 2, 0.2]})", 4002},
    {"rwi", R"({"type": "Rwi", "params": [4000]})", 4002},
    // Every chunk count walks the whole window.
    {"hurst exponent", R"({"type": "HurstExponent", "params": [4000, 2000]})", 4001},
    // Windows just long enough for their bars to be noted, over enough bars
    // for the notes to reach an ask: a profile (its bars spread a few at a
    // time), a stochastic of a long cycle, the scans of a channel, a
    // histogram and a mean deviation.
    {"value area", R"({"type": "ValueArea", "params": [1400, 24, 0.7]})", 1400 + 300},
    {"schaff cycle", R"({"type": "Stc", "params": [23, 50, 16384, 0.5]})", 16384 + 50 + 300},
    {"chande kroll", R"({"type": "ChandeKrollStop", "params": [16384, 1, 9]})", 16384 + 300},
    {"shannon entropy", R"({"type": "ShannonEntropy", "params": [16384, 10]})", 16384 + 40},
    {"cci", R"({"type": "Cci", "params": [16384]})", 16384 + 300},
};

TEST(InBarStop, AStopSaidInsideALongBarEndsTheRunThere) {
  for (const LongBar& row : kLongBars) {
    const Command cmd({row.entry}, row.candles);
    Asks asks{.stop_at_in_bar = 1};
    const auto run = cmd.prove(asks.interrupt());
    ASSERT_FALSE(run.ok()) << row.what;
    EXPECT_EQ(run.error().kind, ProofError::Kind::Stopped) << row.what;
    // The stop was said from inside a bar, and nothing was asked after it.
    EXPECT_NE(asks.stopped_at, 0u) << row.what;
    EXPECT_EQ(asks.total, asks.stopped_at) << row.what;
  }
}

// Told to stop, the bar gives up at once: no value, there and after.
TEST(InBarStop, TheStoppedBarGivesNoValue) {
  struct Row {
    const char* key;
    std::vector<double> params;
    std::uint64_t stop_at;  // the in-bar ask that says stop
    std::size_t past_warmup;  // bars after the first full window
  };
  const Row rows[] = {
      // Stopped while building the table: two asks' worth of work.
      {"AutocorrelationPeriodogram", {10, 601}, 1, 0},
      // Stopped in a later bar's spectrum over the table, whose periods
      // fill the four-period blocks exactly.
      {"AutocorrelationPeriodogram", {10, 601}, 3, 20},
      {"AutocorrelationPeriodogram", {10, 2100}, 1, 0},
      {"SampleEntropy", {4000, 2, 0.2}, 1, 0},
      {"Rwi", {4000}, 1, 0},
      {"HurstExponent", {4000, 2000}, 1, 0},
      // A profile with few bins, and with more bins than twice its bars
      // (runs of bins from sorted edges, and a value area over them).
      {"ValueArea", {1400, 24, 0.7}, 1, 300},
      {"ValueArea", {1400, 4000, 0.7}, 1, 300},
      // Stopped while the first stochastic's window fills, long before the
      // first value: every later bar still gives none.
      {"Stc", {23, 50, 16384, 0.5}, 1, 0},
      // The candle windows' scans, then the stop windows'.
      {"ChandeKrollStop", {16384, 1, 9}, 1, 300},
      {"ChandeKrollStop", {10, 1, 16384}, 1, 300},
      // Counting into bins, and sorting for more bins than values.
      {"ShannonEntropy", {16384, 10}, 1, 40},
      {"ShannonEntropy", {4096, 8192}, 1, 40},
      {"Cci", {16384}, 1, 300},
  };
  for (const Row& row : rows) {
    auto ind = build_indicator(row.key, row.params);
    ASSERT_TRUE(ind.ok()) << row.key;
    const std::vector<Candle> bars = testing::random_walk((*ind)->warmup_period() + 1 + row.past_warmup, 4);
    Asks asks{.stop_at_in_bar = row.stop_at};
    RunScope scope(asks.interrupt());
    std::optional<double> last;
    for (const Candle& c : bars) last = testing::step(**ind, c);
    EXPECT_TRUE(scope.stopped()) << row.key << " " << ::testing::PrintToString(row.params);
    EXPECT_FALSE(last.has_value()) << row.key << " " << ::testing::PrintToString(row.params);
  }
}

// However many indicators a strategy declares, building them asks between
// each: a stop at any ask ends the command there.
TEST(InBarStop, BuildingManyIndicatorsAsksBetweenThem) {
  const std::vector<std::string> entries(300, R"({"type": "KRatio", "params": [16777216]})");
  const Command cmd(entries, 10);
  testing::CountingInterrupt never;
  ASSERT_TRUE(cmd.prove(never.interrupt()).ok());
  ASSERT_GE(never.asked, entries.size());
  // The asks of the walk come with time, so another run may make fewer of
  // them; the building's come with the entries and are always there.
  for (std::size_t k = 1; k <= never.asked; ++k) {
    testing::CountingInterrupt stop{.stop_at = k};
    const auto run = cmd.prove(stop.interrupt());
    if (run.ok() && k > entries.size()) {
      EXPECT_LT(stop.asked, k) << "went on past the stop at " << k;
      continue;
    }
    ASSERT_FALSE(run.ok()) << k;
    EXPECT_EQ(run.error().kind, ProofError::Kind::Stopped) << k;
    EXPECT_EQ(stop.asked, k);
  }
}

TEST(InBarStop, AnInterruptThatNeverStopsChangesNoByte) {
  const Command cmd({R"({"type": "AutocorrelationPeriodogram", "params": [10, 300]})",
                     R"({"type": "SampleEntropy", "params": [300, 2, 0.2]})", R"({"type": "Rwi", "params": [300]})",
                     R"({"type": "AutocorrelationPeriodogram", "params": [10, 300]})",
                     R"({"type": "HurstExponent", "params": [300, 100]})"},
                    1500);
  const auto plain = cmd.prove();
  ASSERT_TRUE(plain.ok());
  Asks asks;
  const auto asked = cmd.prove(asks.interrupt());
  ASSERT_TRUE(asked.ok());
  EXPECT_GT(asks.in_bar, 0u);
  EXPECT_EQ(proof_text(*asked), proof_text(*plain));
}

}  // namespace
}  // namespace fendro
