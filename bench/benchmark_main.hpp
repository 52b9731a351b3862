// The main of the Google Benchmark programs. The library's own main refuses
// an option it does not know by name but with exit status 1, and answers a
// report format it does not know with its usage and status 0; every program
// in this folder refuses a bad option by name with 2, before anything is
// measured, so a script that runs them can tell a mistyped option from a run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace fendro::bench {

// Why `arg` asks for a report format the library does not write, or empty.
inline std::string format_refusal(std::string_view arg) {
  for (const std::string_view name : {"--benchmark_format", "--benchmark_out_format"}) {
    if (!arg.starts_with(name) || arg.size() == name.size() || arg[name.size()] != '=') continue;
    const std::string_view value = arg.substr(name.size() + 1);
    if (value == "console" || value == "json" || value == "csv") return {};
    return "option '" + std::string(name) + "' takes console, json or csv, not '" + std::string(value) + "'";
  }
  return {};
}

inline int run_benchmarks(int argc, char** argv) {
  for (int a = 1; a < argc; ++a) {
    if (const std::string why = format_refusal(argv[a]); !why.empty()) {
      std::fprintf(stderr, "%s: error: %s\n", argv[0], why.c_str());
      return 2;
    }
  }
  ::benchmark::Initialize(&argc, argv);
  if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  return 0;
}

}  // namespace fendro::bench
