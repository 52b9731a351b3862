// The arguments of the benchmark programs that take plain numbers: each must
// be a number above 0 written in digits (no trailing text, no sign, no
// "inf"), so that a mistyped one, or an option such as --help read as a
// number, is never taken for 0 and measures nothing or the wrong thing.
#pragma once

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench_options.hpp"

namespace fendro::bench {

// `text` as a finite number above 0 written in digits and at most one point.
inline std::optional<double> positive_number(const char* text) {
  const std::optional<double> v = plain_number(text);
  if (!v || !(*v > 0.0)) return std::nullopt;
  return v;
}

// argv[1..] as positive numbers, at most `most` of them, or the exit status:
// 0 after printing the usage for --help or -h, 2 after naming what was
// refused by the name the usage gives it: `names[i]` for the i-th, the last
// name for any after.
inline std::optional<int> numbers_or_exit(const char* program, const char* usage, int argc, char** argv,
                                          std::size_t most, std::vector<double>& out,
                                          const std::vector<std::string_view>& names) {
  for (int a = 1; a < argc; ++a) {
    const std::string_view arg = argv[a];
    if (arg == "--help" || arg == "-h") {
      std::fputs(usage, stdout);
      return 0;
    }
    const std::optional<double> v = positive_number(argv[a]);
    const std::string_view name = names[std::min(out.size(), names.size() - 1)];
    std::string why;
    if (!v) why = std::string(name) + ": not a number above 0: '" + std::string(arg) + "'";
    if (v && out.size() == most) why = "too many arguments from '" + std::string(arg) + "'";
    if (!why.empty()) {
      std::fprintf(stderr, "%s: %s\n%s", program, why.c_str(), usage);
      return 2;
    }
    out.push_back(*v);
  }
  return std::nullopt;
}

}  // namespace fendro::bench
