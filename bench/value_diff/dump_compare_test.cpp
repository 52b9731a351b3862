#include "dump_compare.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace fendro::value_dump {
namespace {

// Six bars in two stretches.
const std::vector<SeriesInfo> kSeries{{"s", 6, {{"first", 0}, {"second", 3}}}};

struct RunRecords {
  bool built = true;
  std::vector<Record> bars;
  std::vector<std::string_view> names;
};

// A dump of one run per entry, each of key "K" over kSeries.
std::vector<unsigned char> dump_of(const std::vector<RunRecords>& runs, const std::vector<SeriesInfo>& series = kSeries) {
  char* buf = nullptr;
  std::size_t size = 0;
  std::FILE* f = open_memstream(&buf, &size);
  Writer w(f);
  w.start(series);
  for (std::size_t k = 0; k < runs.size(); ++k) {
    w.run_head("K", {static_cast<double>(k)}, 0, runs[k].built, 7);
    if (runs[k].built) {
      for (const Record& r : runs[k].bars) w.record(r);
    }
    w.end_run(runs[k].names);
  }
  std::fclose(f);
  std::vector<unsigned char> out(buf, buf + size);
  std::free(buf);
  return out;
}

std::uint64_t b(double x) { return value_bits(x); }

TEST(DumpFormat, RecordsComeBackBarByBarWhateverRepeats) {
  const std::vector<Record> bars{{}, {b(1.0)}, {b(1.0)}, {b(1.0)}, {b(2.0), b(3.0)}, {}};
  const std::vector<Record> other{{b(1.0)}, {b(1.0)}, {b(1.0)}, {b(1.0)}, {b(1.0)}, {b(1.0)}};
  const std::vector<unsigned char> bytes = dump_of({{true, bars, {"upper"}}, {true, other, {}}});
  Dump d;
  ASSERT_EQ(read_dump(bytes.data(), bytes.size(), d), "");
  ASSERT_EQ(d.runs.size(), 2u);
  for (std::size_t k = 0; k < 2; ++k) {
    Reader r(d.runs[k].records, d.runs[k].left);
    RecordCursor c(r);
    for (const Record& want : k == 0 ? bars : other) EXPECT_EQ(c.next(), want) << "run " << k;
    EXPECT_TRUE(c.ended_cleanly());
  }
  EXPECT_EQ(d.runs[0].names, std::vector<std::string>{"upper"});
  EXPECT_EQ(d.runs[1].params, std::vector<double>{1.0});
  // Six equal records take one record and one count.
  EXPECT_EQ(dump_of({{true, other, {}}}).size(), dump_of({{true, {other[0]}, {}}}).size() + 5);
}

TEST(DumpFormat, NanIsOnePatternAndZerosKeepTheirSign) {
  const double quiet = std::numeric_limits<double>::quiet_NaN();
  const double payload = std::bit_cast<double>(std::bit_cast<std::uint64_t>(quiet) | 1);
  EXPECT_EQ(value_bits(payload), value_bits(quiet));
  EXPECT_EQ(value_bits(-quiet), value_bits(quiet));
  EXPECT_NE(value_bits(-0.0), value_bits(0.0));
}

TEST(DumpCompare, CountsTheDifferingBarsAndShowsTheFirst) {
  const Record one{b(1.0), b(10.0), b(20.0)};
  const std::vector<Record> base{one, one, one, one, one, one};
  struct Case {
    const char* what;
    std::size_t bar;
    Record now;
    std::string fields;
  };
  const Case cases[] = {
      {"a value", 1, {b(2.0), b(10.0), b(20.0)}, "value 1 -> 2"},
      {"an output", 4, {b(1.0), b(11.0), b(20.0)}, "upper 10 -> 11"},
      {"the sign of a zero", 2, {b(1.0), b(10.0), b(-0.0)}, "lower 20 -> -0"},
      {"two outputs", 2, {b(1.0), b(9.0), b(21.0)}, "upper 10 -> 9; lower 20 -> 21"},
      {"no value", 3, {}, "value 1 -> none"},
      {"an output gone", 0, {b(1.0), b(10.0)}, "lower 20 -> none"},
  };
  for (const Case& c : cases) {
    std::vector<Record> changed = base;
    changed[c.bar] = c.now;
    changed[5] = {b(1.0), b(12.0), b(20.0)};  // the last bar differs too
    const std::vector<unsigned char> old_bytes = dump_of({{true, base, {"upper", "lower"}}});
    const std::vector<unsigned char> new_bytes = dump_of({{true, changed, {"upper", "lower"}}});
    Dump old_dump, new_dump;
    ASSERT_EQ(read_dump(old_bytes.data(), old_bytes.size(), old_dump), "");
    ASSERT_EQ(read_dump(new_bytes.data(), new_bytes.size(), new_dump), "");
    const RunDiff d = compare_runs(old_dump.runs[0], new_dump.runs[0], kSeries[0]);
    EXPECT_FALSE(d.head_differs) << c.what;
    EXPECT_EQ(d.differing, 2u) << c.what;
    EXPECT_EQ(d.first, c.bar) << c.what;
    EXPECT_EQ(d.last, 5u) << c.what;
    EXPECT_EQ(d.first_fields, c.fields) << c.what;
    const std::uint64_t in_first = c.bar < 3 ? 1 : 0;
    EXPECT_EQ(d.per_segment, (std::vector<std::uint64_t>{in_first, 2 - in_first})) << c.what;
  }
}

TEST(DumpCompare, EqualRunsDoNotDiffer) {
  const std::vector<Record> bars{{}, {b(1.0)}, {b(1.0)}, {b(-0.0)}, {b(2.0)}, {}};
  const std::vector<unsigned char> bytes = dump_of({{true, bars, {}}});
  Dump x, y;
  ASSERT_EQ(read_dump(bytes.data(), bytes.size(), x), "");
  ASSERT_EQ(read_dump(bytes.data(), bytes.size(), y), "");
  EXPECT_FALSE(compare_runs(x.runs[0], y.runs[0], kSeries[0]).differs());
}

TEST(DumpCompare, ARunThatDidNotBuildDiffersByItsHead) {
  const std::vector<unsigned char> built = dump_of({{true, std::vector<Record>(6, {b(1.0)}), {}}});
  const std::vector<unsigned char> refused = dump_of({{false, {}, {}}});
  Dump x, y;
  ASSERT_EQ(read_dump(built.data(), built.size(), x), "");
  ASSERT_EQ(read_dump(refused.data(), refused.size(), y), "");
  const RunDiff d = compare_runs(x.runs[0], y.runs[0], kSeries[0]);
  EXPECT_TRUE(d.head_differs);
  EXPECT_EQ(d.differing, 0u);
}

TEST(DumpCompare, RefusesDumpsCutShortOrOverOtherSeries) {
  const std::vector<unsigned char> bytes = dump_of({{true, std::vector<Record>(6, {b(1.0), b(2.0)}), {"upper"}}});
  const std::size_t no_runs = dump_of({}).size();  // a dump of no runs is whole
  for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
    if (cut == no_runs) continue;
    Dump d;
    EXPECT_NE(read_dump(bytes.data(), cut, d), "") << "cut at " << cut;
  }
  // Seven equal records where the series has six bars: the count of
  // repeats runs past the run's end.
  const std::vector<unsigned char> long_run = dump_of({{true, std::vector<Record>(7, {b(1.0)}), {}}});
  Dump d;
  EXPECT_NE(read_dump(long_run.data(), long_run.size(), d), "");
  // A second dump over other series.
  Dump both;
  ASSERT_EQ(read_dump(bytes.data(), bytes.size(), both), "");
  const std::vector<unsigned char> other = dump_of({}, {{"s", 7, {}}});
  EXPECT_NE(read_dump(other.data(), other.size(), both), "");
}

TEST(DumpCompare, WhereNamesTheStretch) {
  EXPECT_EQ(where(kSeries[0], 4), "bar 4 (second +1)");
  EXPECT_EQ(where(kSeries[0], 0), "bar 0 (first +0)");
  EXPECT_EQ(where(SeriesInfo{"plain", 3, {}}, 2), "bar 2");
}

}  // namespace
}  // namespace fendro::value_dump
