// The main of the Google Benchmark programs. The library's own main refuses
// an option it does not know by name but with exit status 1, answers a
// report format it does not know with its usage and status 0, aborts on a
// negative repetition count, exits 1 on a report file it cannot open and
// measures for ever at a huge minimum time. Every program in this folder
// refuses a bad option by name with 2, before anything is measured, so a
// script that runs them can tell a mistyped option from a run: the library's
// flags are checked here first, each by what it takes.
#pragma once

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench_options.hpp"

namespace fendro::bench {

// What a flag of the library takes.
enum class FlagTakes { kBool, kCount, kSeconds, kChoice, kOutFile, kAny };

struct LibraryFlag {
  std::string_view name;
  FlagTakes takes;
  std::vector<std::string_view> choices = {};
};

inline const std::vector<LibraryFlag>& library_flags() {
  static const std::vector<LibraryFlag> flags = {
      {"--benchmark_list_tests", FlagTakes::kBool},
      {"--benchmark_filter", FlagTakes::kAny},
      {"--benchmark_min_time", FlagTakes::kSeconds},
      {"--benchmark_min_warmup_time", FlagTakes::kSeconds},
      {"--benchmark_repetitions", FlagTakes::kCount},
      {"--benchmark_enable_random_interleaving", FlagTakes::kBool},
      {"--benchmark_report_aggregates_only", FlagTakes::kBool},
      {"--benchmark_display_aggregates_only", FlagTakes::kBool},
      {"--benchmark_format", FlagTakes::kChoice, {"console", "json", "csv"}},
      {"--benchmark_out", FlagTakes::kOutFile},
      {"--benchmark_out_format", FlagTakes::kChoice, {"console", "json", "csv"}},
      {"--benchmark_color", FlagTakes::kChoice, {"auto", "true", "false", "yes", "no", "on", "off", "1", "0"}},
      {"--benchmark_counters_tabular", FlagTakes::kBool},
      {"--benchmark_perf_counters", FlagTakes::kAny},
      {"--benchmark_context", FlagTakes::kAny},
      {"--benchmark_time_unit", FlagTakes::kChoice, {"ns", "us", "ms", "s"}},
      {"--v", FlagTakes::kCount},
  };
  return flags;
}

// The words the library reads as a truth value; any other it would read as
// true, so a mistyped one is refused instead.
inline bool is_truth_word(std::string_view v) {
  for (const std::string_view w : {"true", "false", "yes", "no", "on", "off", "1", "0", "t", "f", "y", "n"}) {
    if (v.size() == w.size() && std::equal(v.begin(), v.end(), w.begin(), [](char a, char b) {
          return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
        })) {
      return true;
    }
  }
  return false;
}

// Why the library could not write its report to `path`, or empty.
inline std::string out_file_refusal(const std::string& path) {
  if (path.empty()) return "a file name, not ''";
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return "a file name, not the folder '" + path + "'";
    if (access(path.c_str(), W_OK) != 0) return "a file it can write, not '" + path + "'";
    return {};
  }
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || access(folder.c_str(), W_OK | X_OK) != 0) {
    return "a file in a folder it can write, not '" + path + "'";
  }
  return {};
}

// The values the library's flags were given, checked one by one.
struct LibraryFlagValues {
  double min_time = 0.5;  // the library's default
  double min_warmup_time = 0.0;
  std::size_t repetitions = 1;
  bool has_filter = false;
  std::string filter;
};

// Why `value` of `flag` is refused, or empty (then noted in `seen`).
inline std::string library_flag_refusal(const LibraryFlag& flag, const std::optional<std::string>& value,
                                        LibraryFlagValues& seen) {
  const std::string head = "option '" + std::string(flag.name) + "' takes ";
  const std::string shown = value ? "'" + *value + "'" : "nothing";
  switch (flag.takes) {
    case FlagTakes::kBool:
      if (value && !is_truth_word(*value)) return head + "true or false, not " + shown;
      return {};
    case FlagTakes::kCount: {
      const std::optional<std::size_t> v = value ? whole_number(value->c_str()) : std::nullopt;
      if (!v || *v > 2147483647u) return head + "a whole number below 2^31, not " + shown;
      if (flag.name == "--benchmark_repetitions") {
        // The library runs none at 0, and says nothing of it.
        if (*v == 0) return head + "a count of at least 1, not " + shown;
        seen.repetitions = *v;
      }
      return {};
    }
    case FlagTakes::kSeconds: {
      const std::optional<double> v = value ? plain_number(value->c_str()) : std::nullopt;
      if (!v) return head + "a number of seconds of at least 0, not " + shown;
      (flag.name == "--benchmark_min_time" ? seen.min_time : seen.min_warmup_time) = *v;
      return {};
    }
    case FlagTakes::kChoice: {
      std::string listed;
      for (std::size_t i = 0; i < flag.choices.size(); ++i) {
        if (value && *value == flag.choices[i]) return {};
        listed += i == 0 ? "" : i + 1 == flag.choices.size() ? " or " : ", ";
        listed += flag.choices[i];
      }
      return head + listed + ", not " + shown;
    }
    case FlagTakes::kOutFile: {
      const std::string why = value ? out_file_refusal(*value) : "a file name, not nothing";
      return why.empty() ? why : head + why;
    }
    case FlagTakes::kAny:
      // Empty is the library's default (every benchmark, no context): given
      // so, it is a value lost on the way.
      if (!value || value->empty()) return head + "a value after '=', not " + shown;
      if (flag.name == "--benchmark_filter") {
        seen.has_filter = true;
        seen.filter = *value;
      }
      return {};
  }
  return {};
}

// The library's flags among argv[1..] checked, and what they ask for
// together: each repetition's record is kept until the end (so their
// memory must fit), and one benchmark's repetitions must end within a day.
inline std::string library_flags_refusal(int argc, char** argv, LibraryFlagValues& seen) {
  for (int a = 1; a < argc; ++a) {
    const std::string_view arg = argv[a];
    const std::size_t eq = arg.find('=');
    const std::string_view name = arg.substr(0, eq);
    for (const LibraryFlag& flag : library_flags()) {
      if (flag.name != name) continue;
      const std::optional<std::string> value =
          eq == std::string_view::npos ? std::nullopt : std::optional<std::string>(arg.substr(eq + 1));
      if (std::string why = library_flag_refusal(flag, value, seen); !why.empty()) return why;
    }
  }
  const std::string held = room_refusal({{"--benchmark_repetitions", seen.repetitions}}, "repetition records",
                                        sizeof(::benchmark::BenchmarkReporter::Run));
  if (!held.empty()) return held;
  const auto reps = static_cast<double>(seen.repetitions);
  if ((seen.min_time + seen.min_warmup_time) * reps > kDaySeconds) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "--benchmark_min_time %g --benchmark_min_warmup_time %g --benchmark_repetitions %zu: "
                  "a benchmark would not end within a day",
                  seen.min_time, seen.min_warmup_time, seen.repetitions);
    return text;
  }
  return {};
}

// The minimum time of a benchmark that sets its own (`otherwise`), unless
// --benchmark_min_time is given: then that one, so that a short run asked
// for is short for every benchmark (one iteration at 0). Benchmarks register
// before main, so the command line is read from /proc/self/cmdline.
inline double own_min_time(double otherwise) {
  std::FILE* f = std::fopen("/proc/self/cmdline", "rb");
  if (f == nullptr) return otherwise;
  std::string line;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) line.append(chunk, n);
  std::fclose(f);
  constexpr std::string_view kFlag = "--benchmark_min_time=";
  double given = otherwise;
  for (std::size_t at = 0; at < line.size(); at += std::strlen(line.c_str() + at) + 1) {
    const std::string_view arg = line.c_str() + at;
    if (!arg.starts_with(kFlag)) continue;
    // A bad value is refused in main; the library asks for more than 0.
    if (const std::optional<double> v = plain_number(line.c_str() + at + kFlag.size())) {
      given = std::max(*v, std::numeric_limits<double>::min());
    }
  }
  return given;
}

inline int run_benchmarks(int argc, char** argv) {
  LibraryFlagValues seen;
  if (const std::string why = library_flags_refusal(argc, argv, seen); !why.empty()) {
    std::fprintf(stderr, "%s: error: %s\n", argv[0], why.c_str());
    return 2;
  }
  ::benchmark::Initialize(&argc, argv);
  if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  const std::size_t ran = ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  // The library says so on its error stream and carries on with nothing.
  if (ran == 0 && seen.has_filter) {
    std::fprintf(stderr, "%s: error: option '--benchmark_filter' matches no benchmark: '%s'\n", argv[0],
                 seen.filter.c_str());
    return 2;
  }
  return 0;
}

}  // namespace fendro::bench
