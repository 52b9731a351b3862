// memory_bench --sweep: every type key at the largest parameters its row
// allows, proved over a few candles in a child process whose address space
// is capped (as `run_untrusted` caps its worker's) and whose CPU time is
// bounded. A setting whose command is refused for memory, or throws for it,
// is one whose state was reserved by its parameters alone: the bars of so
// short a command never need it.
#pragma once

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "bench_options.hpp"
#include "key_options.hpp"
#include "bounded_child.hpp"
#include "command_gen.hpp"
#include "fendro/market/records.hpp"
#include "fendro/module/command.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/run_entry.hpp"
#include "largest_params.hpp"

namespace fendro::bench {

struct SweepOptions {
  std::size_t candles = 200;
  std::size_t cap_mb = 1024;
  std::set<std::string, std::less<>> keys;  // all when empty
  bool all = false;
  unsigned cpu_seconds = 120;  // per child
};

constexpr const char* kSweepUsage =
    "usage: memory_bench --sweep [--candles N] [--cap-mb M] [--keys A,B,...] [--all]\n"
    "  (200 candles, 1024 MiB by default)\n";

// The options after --sweep, or the exit status: 0 after the usage, 2 after
// naming what was refused (a cap past what an address space can be, candles
// whose command text the machine cannot hold).
inline std::optional<int> sweep_options_or_exit(int argc, char** argv, SweepOptions& o) {
  std::vector<std::string> keys;
  std::string why = parse_options(argc, argv,
                                  {count_option("--candles", &o.candles), count_option("--cap-mb", &o.cap_mb),
                                   text_option("--keys", &keys), flag_option("--all", &o.all)},
                                  2);
  if (why.empty() && o.cap_mb > (std::numeric_limits<std::size_t>::max() >> 20)) {
    why = "option '--cap-mb' takes at most " + std::to_string(std::numeric_limits<std::size_t>::max() >> 20) +
          ", not " + std::to_string(o.cap_mb);
  }
  // The command's text is built here and read in the child.
  if (why.empty()) why = room_refusal({{"--candles", o.candles}}, "candles", 14.0 + sizeof(Candle));
  if (why.empty()) why = key_list_refusal(keys, "--keys", o.keys);
  return exit_for("memory_bench", kSweepUsage, why);
}

// A field of /proc/self/status in KiB: "VmSize" (the address space now) or
// "VmPeak" (its high-water mark).
inline long status_kb(std::string_view field) {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (f == nullptr) return -1;
  char line[256];
  long kb = -1;
  while (std::fgets(line, sizeof line, f) != nullptr) {
    const std::string_view l = line;
    if (l.starts_with(field) && l.size() > field.size() && l[field.size()] == ':') {
      kb = std::atol(line + field.size() + 1);
      break;
    }
  }
  std::fclose(f);
  return kb;
}

inline long max_resident_kb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// In the child: "proved RSS VM" (the peak resident and address-space growths
// in KiB, from the size before the command: the fork's own peak, a little
// above it, may show as growth), "memory" (refused for it), "threw" (std::bad_alloc out of the
// command), or "error " and the answer's head.
inline std::string prove_in_child(const std::string& command) {
  const long rss0 = max_resident_kb();
  const long vm0 = status_kb("VmSize");
  std::string answer;
  try {
    answer = apply_command(command);
  } catch (const std::bad_alloc&) {
    return "threw";
  }
  if (answer.find("\"report_hash\"") != std::string::npos) {
    return "proved " + std::to_string(max_resident_kb() - rss0) + " " + std::to_string(status_kb("VmPeak") - vm0);
  }
  if (answer.find(registry::kNoMemoryReason) != std::string::npos) return "memory";
  return "error " + answer.substr(0, 160);
}

// A child that did not hand back its text: how it ended.
inline std::string child_end(const testing::ChildOutcome& run) {
  if (run.signal == SIGXCPU || run.signal == SIGKILL) return "cpu time out";
  return "ended by signal " + std::to_string(run.signal) + ", status " + std::to_string(run.status);
}

struct Peak {
  double mb = -1.0;
  std::string what;
  void note(double v, const std::string& w) {
    if (v > mb) {
      mb = v;
      what = w;
    }
  }
};

inline int run_memory_sweep(int argc, char** argv) {
  SweepOptions o;
  if (const auto exit = sweep_options_or_exit(argc, argv, o)) return *exit;
  const std::size_t cap = o.cap_mb << 20;
  const std::size_t in_use = testing::address_space_bytes();
  if (!testing::kAddressSpaceCanBeBounded || in_use >= cap) {
    std::fprintf(stderr, "memory_bench: option '--cap-mb': the address space cannot be capped at %zu MiB here\n", o.cap_mb);
    return 2;
  }
  const std::size_t headroom = cap - in_use;
  std::printf("every key at its largest parameters over %zu candles, address space capped at %zu MiB "
              "(%.1f MiB in use at the fork)\n",
              o.candles, o.cap_mb, static_cast<double>(in_use) / (1 << 20));
  const auto start = std::chrono::steady_clock::now();
  std::size_t keys = 0;
  std::size_t settings = 0;
  std::vector<std::string> refused;  // for memory
  std::vector<std::string> failed;   // otherwise
  Peak rss;
  Peak vm;
  for (const registry::Entry& row : registry::key_rows()) {
    if (!o.keys.empty() && o.keys.find(row.key) == o.keys.end()) continue;
    ++keys;
    const std::string key(row.key);
    // The rules are tried by building, which may reserve: capped too.
    const testing::ChildOutcome found = testing::run_in_bounded_child(headroom, o.cpu_seconds, [&] {
      std::string lines;
      for (const std::vector<double>& p : largest_settings(row)) lines += params_text(p) + "\n";
      return lines;
    });
    if (!found.ok) {
      failed.push_back(key + ": its settings could not be found: " + child_end(found));
      std::printf("%-28s %-36s %s\n", key.c_str(), "-", failed.back().c_str());
      continue;
    }
    for (const std::string& params : parts_of(found.text, '\n')) {
      ++settings;
      const std::string what = key + " [" + params + "]";
      const std::string command = make_prove_command(o.candles, repeated_entries_strategy(row.key, params, 1),
                                                     Blanks::kNone, CandleForm::kArray);
      const testing::ChildOutcome run =
          testing::run_in_bounded_child(headroom, o.cpu_seconds, [&] { return prove_in_child(command); });
      const std::string verdict = run.ok ? run.text : child_end(run);
      long rss_kb = -1;
      long vm_kb = -1;
      const bool proved = std::sscanf(verdict.c_str(), "proved %ld %ld", &rss_kb, &vm_kb) == 2;
      if (proved) {
        rss.note(static_cast<double>(rss_kb) / 1024.0, what);
        vm.note(static_cast<double>(vm_kb) / 1024.0, what);
      } else if (verdict == "memory" || verdict == "threw") {
        refused.push_back(what + ": " + verdict);
      } else {
        failed.push_back(what + ": " + verdict);
      }
      if (!proved || o.all) {
        std::printf("%-28s %-36s %s\n", key.c_str(), params.c_str(), verdict.c_str());
        std::fflush(stdout);
      }
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("\n%zu keys, %zu settings in %.1f s\n", keys, settings, seconds);
  std::printf("refused for memory: %s\n", refused.empty() ? "none" : "");
  for (const std::string& r : refused) std::printf("  %s\n", r.c_str());
  std::printf("failed otherwise: %s\n", failed.empty() ? "none" : "");
  for (const std::string& f : failed) std::printf("  %s\n", f.c_str());
  std::printf("peak resident growth %.1f MB (%s); peak address-space growth %.1f MB (%s)\n", rss.mb,
              rss.what.c_str(), vm.mb, vm.what.c_str());
  return refused.empty() && failed.empty() ? 0 : 1;
}

}  // namespace fendro::bench
