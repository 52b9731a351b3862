#include "dump_compare.hpp"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace fendro::value_dump {
namespace {

std::vector<SeriesInfo> read_series(Reader& r) {
  std::vector<SeriesInfo> out(r.u32());
  for (SeriesInfo& s : out) {
    s.name = r.text();
    s.bars = r.u64();
    s.segments.resize(r.u32());
    for (Segment& seg : s.segments) {
      seg.name = r.text();
      seg.first = r.u64();
    }
    if (r.bad) break;
  }
  return out;
}

std::string show(std::uint64_t bits) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.17g", std::bit_cast<double>(bits));
  return buf;
}

}  // namespace

std::string read_dump(const unsigned char* data, std::size_t size, Dump& into) {
  if (!data || size < sizeof kMagic || std::memcmp(data, kMagic, sizeof kMagic) != 0) return "not a value dump";
  Reader r(data + sizeof kMagic, size - sizeof kMagic);
  std::vector<SeriesInfo> series = read_series(r);
  if (r.bad) return "its series table is cut short";
  if (into.series.empty()) into.series = series;
  if (series != into.series) return "its series differ from the other dumps'";
  // Each run's records are skipped over: its series' bar count tells where
  // they end.
  while (!r.at_end()) {
    Run run;
    run.key = r.text();
    run.params.resize(r.u32());
    for (double& p : run.params) p = std::bit_cast<double>(r.u64());
    run.series = r.u32();
    run.built = r.u8() != 0;
    run.warmup = r.u64();
    if (r.bad || run.series >= series.size()) return "a run's head is cut short or names no series";
    run.left = size - sizeof kMagic - r.offset(data + sizeof kMagic);
    run.records = data + (size - run.left);
    if (run.built) {
      RecordCursor c(r);
      for (std::uint64_t i = 0; i < series[run.series].bars; ++i) c.next();
      if (!c.ended_cleanly()) return "the records of " + run_id(run) + " are cut short or malformed";
    }
    run.names.resize(r.u32());
    for (std::string& n : run.names) n = r.text();
    if (r.bad) return "the output names of " + run_id(run) + " are cut short";
    into.runs.push_back(std::move(run));
  }
  return "";
}

std::string run_id(const Run& r) {
  std::string id = r.key;
  id.append(" ").append(params_text(r.params)).append(" #").append(std::to_string(r.series));
  return id;
}

RunDiff compare_runs(const Run& a, const Run& b, const SeriesInfo& s) {
  RunDiff d;
  d.head_differs = a.built != b.built || a.warmup != b.warmup || a.names != b.names;
  d.per_segment.assign(s.segments.size(), 0);
  if (!a.built || !b.built) return d;
  Reader ra(a.records, a.left), rb(b.records, b.left);
  RecordCursor ca(ra), cb(rb);
  std::size_t seg = 0;
  for (std::uint64_t i = 0; i < s.bars; ++i) {
    while (seg + 1 < s.segments.size() && s.segments[seg + 1].first <= i) ++seg;
    const Record& x = ca.next();
    const Record& y = cb.next();
    if (x == y) continue;
    if (d.differing++ == 0) {
      d.first = i;
      d.first_fields = field_changes(x, y, b.names);
    }
    d.last = i;
    if (!d.per_segment.empty()) ++d.per_segment[seg];
  }
  return d;
}

// Appended piece by piece: gcc 12 takes `"text" + std::string` for an
// overlapping copy.
std::string field_changes(const Record& a, const Record& b, const std::vector<std::string>& names) {
  const auto field = [](const Record& r, std::size_t k) { return k < r.size() ? show(r[k]) : std::string("none"); };
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

std::string where(const SeriesInfo& s, std::uint64_t i) {
  std::string out = "bar ";
  out.append(std::to_string(i));
  if (s.segments.empty()) return out;
  std::size_t k = 0;
  while (k + 1 < s.segments.size() && s.segments[k + 1].first <= i) ++k;
  out.append(" (").append(s.segments[k].name).append(" +").append(std::to_string(i - s.segments[k].first)).append(")");
  return out;
}

}  // namespace fendro::value_dump
