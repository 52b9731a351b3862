// What the flat-market benchmarks share: the thread's CPU clock and
// their table of moving against flat cost per key.
#pragma once

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace fendro::bench {

// CPU time this thread has used, in ns. Unlike the wall clock, it leaves out
// the time other processes hold the core, so runs on a busy machine agree.
inline double thread_cpu_ns() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
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
