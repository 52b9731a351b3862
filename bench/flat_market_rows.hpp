// What the flat-market benchmarks share: the thread's CPU clock, their
// options (counts and type keys, checked before anything is measured) and
// their table of moving against flat cost per key.
#pragma once

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"

namespace fendro::bench {

// CPU time this thread has used, in ns. Unlike the wall clock, it leaves out
// the time other processes hold the core, so runs on a busy machine agree.
inline double thread_cpu_ns() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

// A count option: its name and where its value goes.
struct CountOption {
  std::string_view name;
  std::size_t* value;
};

// A count of at least 1 written in decimal digits alone.
inline bool parse_count(const char* text, std::size_t& out) {
  if (*text < '0' || *text > '9') return false;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (*end != '\0' || v == 0 || v == std::numeric_limits<unsigned long long>::max()) return false;
  out = static_cast<std::size_t>(v);
  return true;
}

// The counts, and each `--key KEY` into `keys`: a type key that builds at
// its customary parameters. False with `why` empty when the usage was asked
// for (--help, -h), with the refusal otherwise.
inline bool parse_options(int argc, char** argv, const std::vector<CountOption>& counts,
                          std::vector<std::string>& keys, std::string& why) {
  for (int a = 1; a < argc; ++a) {
    const std::string_view name = argv[a];
    if (name == "--help" || name == "-h") return false;
    const auto count = std::find_if(counts.begin(), counts.end(),
                                    [&](const CountOption& c) { return c.name == name; });
    if (count == counts.end() && name != "--key") {
      why = "unknown option '" + std::string(name) + "'";
      return false;
    }
    if (a + 1 == argc) {
      why = "option '" + std::string(name) + "' needs a value";
      return false;
    }
    const char* value = argv[++a];
    if (count != counts.end()) {
      if (!parse_count(value, *count->value)) {
        why = "option '" + std::string(name) + "' takes a count of at least 1, not '" + value + "'";
        return false;
      }
      continue;
    }
    const std::optional<std::size_t> slot = registry::key_slot(value);
    if (!slot) {
      why = "unknown key '" + std::string(value) + "'";
      return false;
    }
    const registry::Entry& row = registry::key_rows()[*slot];
    if (!build_indicator(row.key, row.params.values()).ok()) {
      why = "key '" + std::string(value) + "' cannot be built at its customary parameters";
      return false;
    }
    keys.emplace_back(value);
  }
  return true;
}

// Options parsed, or the exit status: 0 after printing the usage when it was
// asked for, 2 after naming what was refused.
inline std::optional<int> options_or_exit(const char* program, const char* usage, int argc,
                                          char** argv, const std::vector<CountOption>& counts,
                                          std::vector<std::string>& keys) {
  std::string why;
  if (parse_options(argc, argv, counts, keys, why)) return std::nullopt;
  if (why.empty()) {
    std::fputs(usage, stdout);
    return 0;
  }
  std::fprintf(stderr, "%s: %s\n%s", program, why.c_str(), usage);
  return 2;
}

struct FlatRow {
  std::string key;
  double moving_ns;
  double flat_ns;
  double extra() const { return flat_ns - moving_ns; }
  double ratio() const { return flat_ns / moving_ns; }
  // The mark: more than 1.5 times and more than 20 ns a candle more.
  bool over() const { return ratio() > 1.5 && extra() > 20.0; }
};

// One line per key, dearest extra first, "*" on those over the mark; then
// the count of those over it. `what` ends the count's line.
inline void print_flat_rows(std::vector<FlatRow>& rows, const std::string& what) {
  std::sort(rows.begin(), rows.end(), [](const FlatRow& a, const FlatRow& b) { return a.extra() > b.extra(); });
  std::printf("%-28s %10s %10s %7s %9s\n", "key", "moving_ns", "flat_ns", "ratio", "extra_ns");
  std::size_t over = 0, over50 = 0, over100 = 0;
  for (const FlatRow& r : rows) {
    std::printf("%-28s %10.1f %10.1f %7.2f %9.1f%s\n", r.key.c_str(), r.moving_ns, r.flat_ns, r.ratio(),
                r.extra(), r.over() ? " *" : "");
    over += r.over();
    over50 += r.over() && r.extra() > 50.0;
    over100 += r.over() && r.extra() > 100.0;
  }
  std::printf("over 1.5x and 20 ns: %zu of %zu keys (%zu over 50 ns, %zu over 100 ns); %s\n", over,
              rows.size(), over50, over100, what.c_str());
}

}  // namespace fendro::bench
