// The options of the benchmark programs, checked before anything is
// measured: each value is read whole (no trailing text, no sign, no "inf"),
// an unknown option or a missing value is refused by name, and counts whose
// memory the machine cannot hold are refused by name as well, so that no run
// aborts half way or measures something other than what was asked.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fendro::bench {

// What an option takes.
enum class Takes {
  kCount,         // a whole number of at least 1
  kCountOrZero,   // a whole number, 0 allowed (a seed, a warm-up)
  kNumber,        // a finite number above 0
  kNumberOrZero,  // a finite number, 0 allowed
  kText,          // any text, kept in order
  kMaybeText,     // a text when the next argument is not an option
  kNothing,       // a flag
};

struct Option {
  std::string_view name;
  Takes takes;
  std::size_t* count = nullptr;
  double* number = nullptr;
  std::vector<std::string>* texts = nullptr;
  bool* flag = nullptr;
  std::size_t most = std::numeric_limits<std::size_t>::max() - 1;  // a count's largest
};

// A day in seconds: work that would take longer is refused by name.
constexpr double kDaySeconds = 86400.0;

// The most times a measure is repeated for its best: past it, the best of
// more repeats measures nothing new, and the runs would outlast any use.
constexpr std::size_t kMostRepeats = 1000;

inline Option count_option(std::string_view name, std::size_t* v) { return {name, Takes::kCount, v}; }
// A count of at least 1 and at most `most`.
inline Option count_option(std::string_view name, std::size_t* v, std::size_t most) {
  Option o{name, Takes::kCount, v};
  o.most = most;
  return o;
}
inline Option count_or_zero_option(std::string_view name, std::size_t* v) { return {name, Takes::kCountOrZero, v}; }
inline Option count_or_zero_option(std::string_view name, std::size_t* v, std::size_t most) {
  Option o{name, Takes::kCountOrZero, v};
  o.most = most;
  return o;
}
inline Option number_option(std::string_view name, double* v) { return {name, Takes::kNumber, nullptr, v}; }
inline Option number_or_zero_option(std::string_view name, double* v) {
  return {name, Takes::kNumberOrZero, nullptr, v};
}
inline Option text_option(std::string_view name, std::vector<std::string>* v) {
  return {name, Takes::kText, nullptr, nullptr, v};
}
// A flag that may be followed by a text (set when given, the text kept when
// one follows).
inline Option flag_with_text_option(std::string_view name, bool* flag, std::vector<std::string>* v) {
  return {name, Takes::kMaybeText, nullptr, nullptr, v, flag};
}
inline Option flag_option(std::string_view name, bool* v) { return {name, Takes::kNothing, nullptr, nullptr, nullptr, v}; }

// `text` as a whole number written in decimal digits alone, below the largest
// the type holds (which strtoull also returns for any larger one).
inline std::optional<std::size_t> whole_number(const char* text) {
  if (*text < '0' || *text > '9') return std::nullopt;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (*end != '\0' || v == std::numeric_limits<unsigned long long>::max()) return std::nullopt;
  return static_cast<std::size_t>(v);
}

// `text` as a finite number of at least 0 written in digits and at most one
// point (or an exponent).
inline std::optional<double> plain_number(const char* text) {
  if (*text < '0' || *text > '9') return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (*end != '\0' || !std::isfinite(v)) return std::nullopt;
  return v;
}

// The value of `o` from `value` into its target, or why it was refused.
inline std::string take_value(const Option& o, const char* value) {
  const std::string head = "option '" + std::string(o.name) + "' takes ";
  switch (o.takes) {
    case Takes::kCount:
    case Takes::kCountOrZero: {
      const std::optional<std::size_t> v = whole_number(value);
      const bool zero_ok = o.takes == Takes::kCountOrZero;
      if (!v || (*v == 0 && !zero_ok)) {
        return head + (zero_ok ? "a whole number" : "a count of at least 1") + ", not '" + value + "'";
      }
      if (*v > o.most) return head + "at most " + std::to_string(o.most) + ", not '" + value + "'";
      *o.count = *v;
      return {};
    }
    case Takes::kNumber:
    case Takes::kNumberOrZero: {
      const std::optional<double> v = plain_number(value);
      const bool zero_ok = o.takes == Takes::kNumberOrZero;
      if (!v || (*v == 0.0 && !zero_ok)) {
        return head + (zero_ok ? "a number of at least 0" : "a number above 0") + ", not '" + value + "'";
      }
      *o.number = *v;
      return {};
    }
    default:
      o.texts->emplace_back(value);
      return {};
  }
}

// argv[first..] into `options`. Empty when they all parsed, "--help" when the
// usage was asked for (--help, -h), the refusal otherwise.
inline std::string parse_options(int argc, char** argv, const std::vector<Option>& options, int first = 1) {
  for (int a = first; a < argc; ++a) {
    const std::string_view name = argv[a];
    if (name == "--help" || name == "-h") return "--help";
    const auto o = std::find_if(options.begin(), options.end(), [&](const Option& c) { return c.name == name; });
    if (o == options.end()) return "unknown option '" + std::string(name) + "'";
    if (o->flag != nullptr) *o->flag = true;
    if (o->takes == Takes::kNothing) continue;
    const bool has_value = a + 1 < argc && argv[a + 1][0] != '-';
    if (o->takes == Takes::kMaybeText) {
      if (has_value) o->texts->emplace_back(argv[++a]);
      continue;
    }
    if (a + 1 == argc) return "option '" + std::string(name) + "' needs a value";
    const std::string why = take_value(*o, argv[++a]);
    if (!why.empty()) return why;
  }
  return {};
}

// The exit status after printing the refusal (2) or the usage (0); none when
// the options parsed.
inline std::optional<int> exit_for(const char* program, const char* usage, const std::string& why) {
  if (why.empty()) return std::nullopt;
  if (why == "--help") {
    std::fputs(usage, stdout);
    return 0;
  }
  std::fprintf(stderr, "%s: %s\n%s", program, why.c_str(), usage);
  return 2;
}

inline std::optional<int> options_or_exit(const char* program, const char* usage, int argc, char** argv,
                                          const std::vector<Option>& options, int first = 1) {
  return exit_for(program, usage, parse_options(argc, argv, options, first));
}

// The memory of the machine in bytes (its physical pages).
inline double machine_bytes() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page <= 0) return std::numeric_limits<double>::infinity();
  return static_cast<double>(pages) * static_cast<double>(page);
}

// The options that together ask for `count` things of at least `bytes_each`
// bytes: a refusal naming them when the machine cannot hold that many (the
// sum is taken in doubles, so that it never wraps), empty otherwise.
inline std::string room_refusal(const std::vector<std::pair<std::string_view, std::size_t>>& counts,
                                std::string_view things, double bytes_each, double machine = machine_bytes()) {
  double count = 0.0;
  std::string named;
  for (const auto& [name, value] : counts) {
    count += static_cast<double>(value);
    if (!named.empty()) named += ' ';
    named.append(name);
    named += ' ';
    named += std::to_string(value);
  }
  const double need = count * bytes_each;
  if (need <= machine) return {};
  char text[160];
  std::snprintf(text, sizeof text, ": cannot allocate %.0f %.*s (at least %.1f GiB; the machine has %.1f GiB)", count,
                static_cast<int>(things.size()), things.data(), need / 0x1p30, machine / 0x1p30);
  return named + text;
}

inline std::optional<int> room_or_exit(const char* program, const std::vector<std::pair<std::string_view, std::size_t>>& counts,
                                       std::string_view things, double bytes_each) {
  const std::string why = room_refusal(counts, things, bytes_each);
  if (why.empty()) return std::nullopt;
  std::fprintf(stderr, "%s: %s\n", program, why.c_str());
  return 2;
}

// `run()`'s status; 2 after naming the refusal when what the options ask for
// could not be allocated all the same (memory the machine has but cannot
// give now, or an address space capped below it).
template <class Run>
int refusing_what_cannot_be_allocated(const char* program, Run&& run) {
  try {
    return run();
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  std::fprintf(stderr, "%s: cannot allocate what the options ask for\n", program);
  return 2;
}

}  // namespace fendro::bench
