// Reading value dumps (dump_format.hpp) and setting two runs of the same key,
// parameters and series side by side, bar by bar.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dump_format.hpp"
#include "indicators/series.hpp"

namespace fendro::value_dump {

// "[14,2.5]": each parameter to 17 digits, as the fingerprint prints them.
using testing::params_text;

// A run's head; its records start at `records`, `left` bytes before the
// dump's end.
struct Run {
  std::string key;
  std::vector<double> params;
  std::uint32_t series = 0;
  bool built = false;
  std::uint64_t warmup = 0;
  const unsigned char* records = nullptr;
  std::size_t left = 0;
  std::vector<std::string> names;
};

// The runs of one or more dumps written over the same series.
struct Dump {
  std::vector<SeriesInfo> series;
  std::vector<Run> runs;
};

// Adds the runs of the dump held in [data, data + size) to `into`, whose
// series it must share when `into` has any. The runs point into `data`. The
// error names the fault.
std::string read_dump(const unsigned char* data, std::size_t size, Dump& into);

// What tells a run from every other in a dump: key, parameters, series.
std::string run_id(const Run& r);

// How two runs of one key, parameters and series differ.
struct RunDiff {
  bool head_differs = false;  // built, warm-up or output names
  std::uint64_t differing = 0;
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  std::string first_fields;                // the first differing bar's fields, "old -> new"
  std::vector<std::uint64_t> per_segment;  // differing bars in each stretch of the series
  bool differs() const { return head_differs || differing > 0; }
};

// The bars of runs `a` (old) and `b` (new) over series `s`. Bars are
// compared only when both built.
RunDiff compare_runs(const Run& a, const Run& b, const SeriesInfo& s);

// The fields in which two records of one bar differ, each "name old -> new";
// "none" for a bar without a value (or an output the other lacks).
std::string field_changes(const Record& a, const Record& b, const std::vector<std::string>& names);

// "bar i (stretch +offset)".
std::string where(const SeriesInfo& s, std::uint64_t i);

}  // namespace fendro::value_dump
