// Sets two builds' value dumps (value_dump.cpp) side by side, bar by bar: for
// every run (key, parameters, series) that differs, how many bars were
// compared and how many differ, the first differing bar with both builds'
// differing fields, the last one, and in which stretches of the series the
// differing bars lie. Then one line per key that differs, and the totals.
//
// Usage: value_compare [--all] --old FILE... --new FILE...
// --all prints the runs that do not differ too. Exit status: 0 when nothing
// differs, 1 when something does, 2 when the dumps cannot be read or were not
// written over the same series.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "dump_compare.hpp"

namespace {

namespace vd = fendro::value_dump;

// The files are mapped for the program's life: the runs point into them.
bool load(const std::vector<const char*>& files, vd::Dump& dump) {
  for (const char* path : files) {
    const int fd = open(path, O_RDONLY);
    struct stat st{};
    const void* p = MAP_FAILED;
    if (fd >= 0 && fstat(fd, &st) == 0 && st.st_size > 0) {
      p = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    }
    if (fd >= 0) close(fd);
    const std::string error =
        p == MAP_FAILED ? "cannot be read"
                        : vd::read_dump(static_cast<const unsigned char*>(p), static_cast<std::size_t>(st.st_size), dump);
    if (!error.empty()) {
      std::fprintf(stderr, "value_compare: %s: %s\n", path, error.c_str());
      return false;
    }
  }
  return true;
}

struct KeyTotals {
  std::uint64_t runs = 0, differing_runs = 0, bars = 0, differing_bars = 0;
};

void print_run(const vd::Run& a, const vd::Run& b, const vd::SeriesInfo& s, const vd::RunDiff& d, bool all) {
  const std::string head = b.key + " " + vd::params_text(b.params) + " " + s.name + ": ";
  if (d.head_differs) {
    std::printf("%sbuilt %d -> %d, warm-up %" PRIu64 " -> %" PRIu64 "%s\n", head.c_str(), a.built, b.built, a.warmup,
                b.warmup, a.names != b.names ? ", output names differ" : "");
  }
  if (!a.built || !b.built) return;
  if (d.differing == 0) {
    if (all && !d.head_differs) std::printf("%s%" PRIu64 " bars, none differ\n", head.c_str(), s.bars);
    return;
  }
  std::string stretches;
  for (std::size_t k = 0; k < d.per_segment.size(); ++k) {
    if (d.per_segment[k] == 0) continue;
    if (!stretches.empty()) stretches.append(", ");
    stretches.append(s.segments[k].name).append(" ").append(std::to_string(d.per_segment[k]));
  }
  std::printf("%s%" PRIu64 " bars, %" PRIu64 " differ; first %s: %s; last %s; by stretch: %s\n", head.c_str(), s.bars,
              d.differing, vd::where(s, d.first).c_str(), d.first_fields.c_str(), vd::where(s, d.last).c_str(),
              stretches.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  bool all = false;
  std::vector<const char*> old_files, new_files;
  std::vector<const char*>* into = nullptr;
  for (int a = 1; a < argc; ++a) {
    if (std::strcmp(argv[a], "--all") == 0) {
      all = true;
    } else if (std::strcmp(argv[a], "--old") == 0) {
      into = &old_files;
    } else if (std::strcmp(argv[a], "--new") == 0) {
      into = &new_files;
    } else if (into) {
      into->push_back(argv[a]);
    } else {
      std::fprintf(stderr, "usage: value_compare [--all] --old FILE... --new FILE...\n");
      return 2;
    }
  }
  vd::Dump old_dump, new_dump;
  if (old_files.empty() || new_files.empty() || !load(old_files, old_dump) || !load(new_files, new_dump)) return 2;
  if (old_dump.series != new_dump.series) {
    std::fprintf(stderr, "value_compare: the dumps were written over different series\n");
    return 2;
  }
  std::unordered_map<std::string, const vd::Run*> old_runs;
  for (const vd::Run& r : old_dump.runs) old_runs.emplace(vd::run_id(r), &r);

  std::map<std::string, KeyTotals> totals;
  std::uint64_t runs = 0, differing_runs = 0, unmatched = 0;
  for (const vd::Run& b : new_dump.runs) {
    const vd::SeriesInfo& s = new_dump.series[b.series];
    const auto it = old_runs.find(vd::run_id(b));
    if (it == old_runs.end()) {
      std::printf("%s %s %s: only in the new dump\n", b.key.c_str(), vd::params_text(b.params).c_str(), s.name.c_str());
      ++unmatched;
      continue;
    }
    const vd::RunDiff d = vd::compare_runs(*it->second, b, s);
    print_run(*it->second, b, s, d, all);
    KeyTotals& t = totals[b.key];
    ++runs;
    ++t.runs;
    t.bars += s.bars;
    t.differing_bars += d.differing;
    if (d.differs()) {
      ++differing_runs;
      ++t.differing_runs;
    }
    old_runs.erase(it);
  }
  for (const auto& [id, r] : old_runs) {
    std::printf("%s: only in the old dump\n", id.c_str());
    ++unmatched;
  }

  std::printf("\nkeys that differ (runs differing / runs, bars differing / bars):\n");
  std::size_t keys_differing = 0;
  for (const auto& [key, t] : totals) {
    if (t.differing_runs == 0) continue;
    ++keys_differing;
    std::printf("  %s: %" PRIu64 " / %" PRIu64 " runs, %" PRIu64 " / %" PRIu64 " bars\n", key.c_str(), t.differing_runs,
                t.runs, t.differing_bars, t.bars);
  }
  std::printf("%zu keys, %" PRIu64 " runs compared: %zu keys and %" PRIu64 " runs differ, %" PRIu64
              " runs in one dump only\n",
              totals.size(), runs, keys_differing, differing_runs, unmatched);
  return differing_runs == 0 && unmatched == 0 ? 0 : 1;
}
