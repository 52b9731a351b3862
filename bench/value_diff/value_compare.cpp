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

#include <algorithm>
#include <bit>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "dump_format.hpp"

namespace {

namespace vd = fendro::value_dump;

struct Mapped {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
};

Mapped map_file(const char* path) {
  const int fd = open(path, O_RDONLY);
  if (fd < 0) return {};
  struct stat st{};
  Mapped m;
  if (fstat(fd, &st) == 0 && st.st_size > 0) {
    void* p = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (p != MAP_FAILED) m = {static_cast<const unsigned char*>(p), static_cast<std::size_t>(st.st_size)};
  }
  close(fd);
  return m;
}

std::vector<vd::SeriesInfo> read_series(vd::Reader& r) {
  std::vector<vd::SeriesInfo> out(r.u32());
  for (vd::SeriesInfo& s : out) {
    s.name = r.text();
    s.bars = r.u64();
    s.segments.resize(r.u32());
    for (vd::Segment& seg : s.segments) {
      seg.name = r.text();
      seg.first = r.u64();
    }
    if (r.bad) break;
  }
  return out;
}

bool same_series(const std::vector<vd::SeriesInfo>& a, const std::vector<vd::SeriesInfo>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].bars != b[i].bars || a[i].segments.size() != b[i].segments.size()) return false;
    for (std::size_t k = 0; k < a[i].segments.size(); ++k) {
      if (a[i].segments[k].name != b[i].segments[k].name || a[i].segments[k].first != b[i].segments[k].first) {
        return false;
      }
    }
  }
  return true;
}

// A run's head; its records start at `records`.
struct Run {
  std::string key;
  std::vector<double> params;
  std::uint32_t series = 0;
  bool built = false;
  std::uint64_t warmup = 0;
  const unsigned char* records = nullptr;
  std::size_t left = 0;  // bytes from `records` to the file's end
  std::vector<std::string> names;
};

std::string params_text(const std::vector<double>& p) {
  std::string s = "[";
  char buf[32];
  for (std::size_t k = 0; k < p.size(); ++k) {
    std::snprintf(buf, sizeof buf, "%s%.17g", k ? "," : "", p[k]);
    s += buf;
  }
  return s + "]";
}

std::string run_id(const Run& r) { return r.key + " " + params_text(r.params) + " #" + std::to_string(r.series); }

// Every run of one dump, its records skipped over (a series' bar count
// tells where they end).
bool read_runs(const Mapped& m, const std::vector<vd::SeriesInfo>& series, vd::Reader& r, std::vector<Run>& out) {
  while (!r.at_end()) {
    Run run;
    run.key = r.text();
    run.params.resize(r.u32());
    for (double& p : run.params) p = std::bit_cast<double>(r.u64());
    run.series = r.u32();
    run.built = r.u8() != 0;
    run.warmup = r.u64();
    if (r.bad || run.series >= series.size()) return false;
    run.records = m.data + r.offset(m.data);
    run.left = m.size - r.offset(m.data);
    if (run.built) {
      vd::RecordCursor c(r);
      for (std::uint64_t i = 0; i < series[run.series].bars; ++i) c.next();
      if (!c.ended_cleanly()) return false;
    }
    run.names.resize(r.u32());
    for (std::string& n : run.names) n = r.text();
    if (r.bad) return false;
    out.push_back(std::move(run));
  }
  return true;
}

struct Side {
  std::vector<vd::SeriesInfo> series;
  std::vector<Run> runs;
};

bool load(const std::vector<const char*>& files, Side& side) {
  for (const char* path : files) {
    const Mapped m = map_file(path);
    vd::Reader r(m.data, m.size);
    if (!m.data || m.size < 4 || std::memcmp(m.data, vd::kMagic, 4) != 0) {
      std::fprintf(stderr, "value_compare: %s is not a value dump\n", path);
      return false;
    }
    for (int k = 0; k < 4; ++k) r.u8();
    std::vector<vd::SeriesInfo> series = read_series(r);
    if (side.series.empty()) side.series = series;
    if (r.bad || !same_series(series, side.series)) {
      std::fprintf(stderr, "value_compare: %s: its series table differs from the first file's\n", path);
      return false;
    }
    if (!read_runs(m, side.series, r, side.runs)) {
      std::fprintf(stderr, "value_compare: %s is cut short or malformed\n", path);
      return false;
    }
  }
  return true;
}

// "segment +offset" of bar i.
std::string where(const vd::SeriesInfo& s, std::uint64_t i) {
  std::size_t k = 0;
  while (k + 1 < s.segments.size() && s.segments[k + 1].first <= i) ++k;
  if (s.segments.empty()) return "bar " + std::to_string(i);
  return "bar " + std::to_string(i) + " (" + s.segments[k].name + " +" + std::to_string(i - s.segments[k].first) + ")";
}

std::string show(std::uint64_t bits) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.17g", std::bit_cast<double>(bits));
  return buf;
}

// The fields in which two records of one bar differ, each "old -> new";
// "none" for a bar without a value (or an output the other lacks).
// (Appended piece by piece: gcc 12 takes `"text" + std::string` for an
// overlapping copy.)
std::string field_changes(const vd::Record& a, const vd::Record& b, const std::vector<std::string>& names) {
  const auto field = [](const vd::Record& r, std::size_t k) { return k < r.size() ? show(r[k]) : std::string("none"); };
  std::string out;
  const std::size_t n = a.empty() || b.empty() ? 1 : std::max(a.size(), b.size());
  for (std::size_t k = 0; k < n; ++k) {
    if (k < a.size() && k < b.size() && a[k] == b[k]) continue;
    if (!out.empty()) out.append("; ");
    if (k == 0) {
      out.append("value");
    } else if (k - 1 < names.size()) {
      out.append(names[k - 1]);
    } else {
      out.append("output ").append(std::to_string(k - 1));
    }
    out.append(" ").append(field(a, k)).append(" -> ").append(field(b, k));
  }
  return out;
}

struct KeyTotals {
  std::uint64_t runs = 0, differing_runs = 0, bars = 0, differing_bars = 0;
};

// Compares one run's bars; prints its line when it differs (or with `all`).
bool compare_run(const Run& a, const Run& b, const vd::SeriesInfo& s, bool all, KeyTotals& t) {
  const std::string head = b.key + " " + params_text(b.params) + " " + s.name + ": ";
  ++t.runs;
  const bool head_differs = a.built != b.built || a.warmup != b.warmup || a.names != b.names;
  if (head_differs) {
    ++t.differing_runs;
    std::printf("%sbuilt %d -> %d, warm-up %" PRIu64 " -> %" PRIu64 "%s\n", head.c_str(), a.built, b.built, a.warmup,
                b.warmup, a.names != b.names ? ", output names differ" : "");
  }
  if (!a.built || !b.built) return head_differs;
  vd::Reader ra(a.records, a.left), rb(b.records, b.left);
  vd::RecordCursor ca(ra), cb(rb);
  std::uint64_t differing = 0, first = 0, last = 0;
  std::string first_fields;
  std::vector<std::uint64_t> per_segment(s.segments.size());
  std::size_t seg = 0;
  for (std::uint64_t i = 0; i < s.bars; ++i) {
    while (seg + 1 < s.segments.size() && s.segments[seg + 1].first <= i) ++seg;
    const vd::Record& x = ca.next();
    const vd::Record& y = cb.next();
    if (x == y) continue;
    if (differing++ == 0) {
      first = i;
      first_fields = field_changes(x, y, b.names);
    }
    last = i;
    if (!per_segment.empty()) ++per_segment[seg];
  }
  t.bars += s.bars;
  t.differing_bars += differing;
  if (differing == 0) {
    if (all && !head_differs) std::printf("%s%" PRIu64 " bars, none differ\n", head.c_str(), s.bars);
    return head_differs;
  }
  if (!head_differs) ++t.differing_runs;
  std::string segs;
  for (std::size_t k = 0; k < per_segment.size(); ++k) {
    if (per_segment[k] == 0) continue;
    segs += (segs.empty() ? "" : ", ") + s.segments[k].name + " " + std::to_string(per_segment[k]);
  }
  std::printf("%s%" PRIu64 " bars, %" PRIu64 " differ; first %s: %s; last %s; by stretch: %s\n", head.c_str(), s.bars,
              differing, where(s, first).c_str(), first_fields.c_str(), where(s, last).c_str(), segs.c_str());
  return true;
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
  Side old_side, new_side;
  if (old_files.empty() || new_files.empty() || !load(old_files, old_side) || !load(new_files, new_side)) return 2;
  if (!same_series(old_side.series, new_side.series)) {
    std::fprintf(stderr, "value_compare: the dumps were written over different series\n");
    return 2;
  }
  std::unordered_map<std::string, const Run*> old_runs;
  for (const Run& r : old_side.runs) old_runs.emplace(run_id(r), &r);

  std::map<std::string, KeyTotals> totals;
  std::uint64_t runs = 0, differing_runs = 0, unmatched = 0;
  for (const Run& b : new_side.runs) {
    const auto it = old_runs.find(run_id(b));
    if (it == old_runs.end()) {
      std::printf("%s %s %s: only in the new dump\n", b.key.c_str(), params_text(b.params).c_str(),
                  new_side.series[b.series].name.c_str());
      ++unmatched;
      continue;
    }
    ++runs;
    differing_runs += compare_run(*it->second, b, new_side.series[b.series], all, totals[b.key]);
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
