// Peak memory of a short "prove" that declares many indicators with the
// longest window: what the state of a type costs before bars fill it; and of
// many periodograms whose windows do fill, whose phasor tables a command
// shares within one budget. Each case runs in its own child process, whose
// peak resident size is read before and after the command; a growth at or
// above the case's limit fails.
//
//   memory_bench [limit_mb]   (the limit of the short cases, 20 by default)
//
// With --sweep, every type key at the largest parameters its row allows
// (largest_params.hpp) proves over a few candles, each setting in a child
// whose address space is capped as `run_untrusted` caps a worker's: a
// command's memory follows the bars seen, so no setting may be refused for
// memory. Prints the settings refused for memory or failing otherwise (every
// setting with --all), then the peak growths and the time the sweep took;
// fails when any setting was refused or failed.
//
//   memory_bench --sweep [--candles N] [--cap-mb M] [--keys A,B,...] [--all]
//                (200 candles, 1024 MiB by default)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "command_gen.hpp"
#include "fendro/module/command.hpp"
#include "memory_sweep.hpp"
#include "number_args.hpp"

namespace {

constexpr const char* kUsage =
    "usage: memory_bench [limit_mb]   (the limit of the short cases in MB, 20 by default)\n"
    "       memory_bench --sweep [--candles N] [--cap-mb M] [--keys A,B,...] [--all]\n";

struct Case {
  const char* type;
  const char* params;
  int indicators = 28;
  std::size_t candles = 100;
  double limit_mb = 0.0;  // 0: the limit given on the command line
};

constexpr Case kCases[] = {
    // The longest window the types accept.
    {"SineWeightedMa", "16777216"},
    {"Alma", "16777216,0.85,6"},
    {"Sma", "16777216"},
    {"AutocorrelationPeriodogram", "10,16777216"},
    // The largest spectrum with a table, windows full: one table for all.
    {"AutocorrelationPeriodogram", "10,2050", 1, 2100, 150.0},
    {"AutocorrelationPeriodogram", "10,2050", 28, 2100, 150.0},
    {"AutocorrelationPeriodogram", "10,2050", 60, 2100, 150.0},
};

long peak_kb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// In the child: the peak growth in KiB over one command, or -1 when the
// command did not prove.
long growth_kb(const Case& c) {
  const std::string strategy = fendro::bench::repeated_entries_strategy(c.type, c.params, c.indicators);
  const std::string cmd = fendro::bench::make_prove_command(c.candles, strategy);
  const long before = peak_kb();
  const std::string response = fendro::apply_command(cmd);
  const long after = peak_kb();
  if (response.find("\"report_hash\"") == std::string::npos) {
    std::fprintf(stderr, "%s: %.200s\n", c.type, response.c_str());
    return -1;
  }
  return after - before;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "--sweep") {
    return fendro::bench::refusing_what_cannot_be_allocated("memory_bench",
                                                            [&] { return fendro::bench::run_memory_sweep(argc, argv); });
  }
  std::vector<double> args;
  if (const auto exit = fendro::bench::numbers_or_exit("memory_bench", kUsage, argc, argv, 1, args, {"limit_mb"})) return *exit;
  const double limit_mb = args.empty() ? 20.0 : args[0];
  bool all_within = true;
  std::printf("peak resident growth of the command:\n");
  for (const Case& c : kCases) {
    int fds[2];
    if (pipe(fds) != 0) return 2;
    const pid_t pid = fork();
    if (pid == 0) {
      close(fds[0]);
      const long kb = growth_kb(c);
      if (write(fds[1], &kb, sizeof kb) != sizeof kb) _exit(3);
      _exit(0);
    }
    close(fds[1]);
    long kb = -1;
    const bool got = read(fds[0], &kb, sizeof kb) == sizeof kb;
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    const double mb = static_cast<double>(kb) / 1024.0;
    const bool ok = got && kb >= 0 && mb < (c.limit_mb > 0.0 ? c.limit_mb : limit_mb);
    all_within = all_within && ok;
    std::printf("  %2d x %-26s (%s) over %zu candles: %8.2f MB %s\n", c.indicators, c.type, c.params, c.candles, mb,
                ok ? "" : "OVER LIMIT");
  }
  return all_within ? 0 : 1;
}
