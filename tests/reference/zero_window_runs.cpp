#include "reference/zero_window_runs.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "indicators/series.hpp"
#include "reference/entry_doc_text.hpp"
#include "reference/stated_range_runs.hpp"
#include "reference/stated_ranges.hpp"

namespace fendro::reference {
namespace {

// How far apart, in units of the last place of the largest magnitude a fresh
// instance gives, two instances whose state is only their windows stay on a
// moving market: a relative 1e-9, far above a running sum's rounding.
constexpr std::uint64_t kMemoryUlps = std::uint64_t{1} << 23;
// How far a value may grow on a long halt past the largest it gave before its
// windows held only zeros.
constexpr double kGrowth = 1e6;
constexpr std::size_t kGrowthBars = 1000;

std::string show(std::optional<double> v) {
  if (!v) return "no value";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", *v);
  return buf;
}

std::string parting_text(const Parting& p, std::size_t from) {
  return "stretch bar " + std::to_string(p.bar) + " (comparing from " + std::to_string(from) + ")" +
         (p.output.empty() ? "" : ", output " + p.output) + ": h " + show(p.h) + ", f " + show(p.f);
}

// The largest magnitude of the value and the outputs over bars [from, to).
double largest(const Trace& t, std::size_t from, std::size_t to) {
  double m = 0.0;
  for (std::size_t i = from; i < std::min(to, t.bars.size()); ++i) {
    const BarGave& b = t.bars[i];
    if (b.value) m = std::max(m, std::abs(*b.value));
    for (const double o : b.outputs) m = std::max(m, std::abs(o));
  }
  return m;
}

// The faults of a trace against the ranges the row states and, on a long
// halt, a growth without bound.
void memory_faults(std::string_view value_text, std::string_view key, const Trace& h, std::size_t from,
                   const std::string& at, std::vector<std::string>& faults) {
  const ReadClaims read = read_claims(key, value_text, range_claims(), other_spans());
  for (std::size_t i = from; i < h.bars.size(); ++i) {
    const BarGave& b = h.bars[i];
    if (!b.value) continue;
    for (std::size_t k = 0; k <= b.outputs.size(); ++k) {
      const double v = k == 0 ? *b.value : b.outputs[k - 1];
      // A NaN the row states (a level that does not exist yet) is a value.
      if (!std::isfinite(v) && !(std::isnan(v) && value_text.find("NaN") != std::string_view::npos)) {
        faults.push_back(at + ": stretch bar " + std::to_string(i) + " gives " + show(v));
        return;
      }
    }
    for (const Claimed& c : read.claims) {
      if (c.exact_only || !c.outputs.empty()) continue;
      const std::uint64_t below = std::max(c.ulps_below, kFewUlps), above = std::max(c.ulps_above, kFewUlps);
      // The comparisons keep out the NaN a row states, let through above:
      // ulps_past would count it as past every bound of one side.
      const double v = *b.value;
      if ((v < c.range.low && ulps_past(v, c.range.low, false) > below) ||
          (v > c.range.high && ulps_past(v, c.range.high, true) > above)) {
        faults.push_back(at + ": stretch bar " + std::to_string(i) + " gives " + show(b.value) + ", outside " +
                         c.range.text);
        return;
      }
    }
  }
  if (h.bars.size() >= kLongHalt) {
    const double before = std::max(1.0, largest(h, 0, from));
    const double end = largest(h, h.bars.size() - kGrowthBars, h.bars.size());
    if (end > kGrowth * before) {
      faults.push_back(at + ": grows without bound, " + show(end) + " in the last " + std::to_string(kGrowthBars) +
                       " bars against at most " + show(before) + " before");
    }
  }
}

// The magnitude whose last place a listed residue is counted in.
double residue_scale(ResidueOf of, std::span<const testing::Bar> past, const Trace& h) {
  if (of == ResidueOf::kLargestValue) return h.history_largest;
  double price = 0.0;
  for (const testing::Bar& b : past) price = std::max(price, std::abs(b.candle.high));
  return of == ResidueOf::kLargestPrice ? price : price * 100.0 / past.back().candle.close;
}

// How close a trace must stay to a fresh one on a stretch: to the bit where
// the stretch stops what windows of moves, volume and prints sum (the
// halt, flat prices); where the close moves, a nonzero value may also be
// missed by the rounding its windows of moves keep.
Closeness closeness_on(StretchKind kind) { return Closeness{0, 0.0, kind == StretchKind::kQuietMoves}; }

// The faults of a listed kind on one stretch; `from` as in first_parting.
void listed_faults(const ZeroWindowListing& listing, const std::vector<double>& params,
                   const Trace& h, const Trace& f, std::size_t from, double scale, const std::string& at,
                   std::vector<std::string>& faults) {
  switch (listing.kind) {
    case ZeroCase::kMemory: break;
    case ZeroCase::kFewUlps:
      if (const auto p = first_parting(h, f, from, Closeness{kFewUlpsOfScale, scale, true})) {
        faults.push_back(at + ": past " + std::to_string(kFewUlpsOfScale) + " units of " + show(scale) + ", " +
                         parting_text(*p, from));
      }
      break;
    case ZeroCase::kSign:
      if (const auto p = first_parting(h, f, from, Closeness{0, 0.0, true, true})) {
        faults.push_back(at + ": not a sign of its fresh value, " + parting_text(*p, from));
      }
      break;
    case ZeroCase::kLastValue: {
      // Kept whether or not a fresh instance parts from it: one that read a
      // constant of its own on windows of zeros would read it fresh too.
      const std::size_t zeros_from = std::max<std::size_t>(listing.reach(params), 1);
      if (const auto p = first_change(h, zeros_from - 1, std::max(from, zeros_from))) {
        faults.push_back(at + ": the value of stretch bar " + std::to_string(zeros_from - 1) + " is not kept, " +
                         parting_text(*p, from));
      }
      break;
    }
  }
}

// The faults of one stretch: to the bit (as closeness_on asks) unless the
// probe saw a memory or the key is listed; what is checked then.
void judge_stretch(const ZeroSubject& subject, const std::vector<double>& params, StretchKind kind,
                   std::span<const testing::Bar> past, const Trace& h, const Trace& f, std::size_t from,
                   bool remembers, const std::string& at, bool report, std::vector<std::string>& faults) {
  const ZeroWindowListing* listing = subject.listing;
  const bool listed = listing != nullptr &&
                      (listing->kind != ZeroCase::kLastValue || (listing->zero_on & stretches({kind})) != 0);
  if (!listed && !remembers) {
    if (const auto parts = first_parting(h, f, from, closeness_on(kind))) {
      faults.push_back(at + ": " + parting_text(*parts, from));
    }
    return;
  }
  // A memory the probe sees outweighs a residue listed for the sets whose
  // state is only their windows; a last value is a zero case either way.
  if (!listed || listing->kind == ZeroCase::kMemory || (remembers && listing->kind != ZeroCase::kLastValue)) {
    memory_faults(subject.value_text, subject.key, h, from, at, faults);
    return;
  }
  const double scale = residue_scale(listing->residue_of, past, h);
  listed_faults(*listing, params, h, f, from, scale, at, faults);
  if (report && listing->kind == ZeroCase::kFewUlps) {
    std::uint64_t most = 0;
    for (std::size_t i = from; i < h.bars.size(); ++i) {
      most = std::max(most, ulps_apart(h.bars[i].value, f.bars[i].value, scale));
    }
    std::fprintf(stderr, "residue %s: %llu units of %s\n", at.c_str(), static_cast<unsigned long long>(most),
                 show(scale).c_str());
  }
}

}  // namespace

std::vector<NamedHistory> residue_histories() {
  return {{"a history ending near 20", residue_history(4500, 51, 20.0)},
          {"a history ending near 20000", residue_history(4500, 52, 20000.0)}};
}

ZeroSubject registry_subject(const registry::Entry& row, const std::vector<std::vector<double>>& only) {
  ZeroSubject s;
  s.key = row.key;
  s.value_text = row.doc.value;
  const std::string key(row.key);
  s.build = [key](const std::vector<double>& params) -> IndicatorPtr {
    auto made = build_indicator(key, params);
    return made ? std::move(made).value() : nullptr;
  };
  const ParsedParams parsed = parse_params(row.doc.params);
  for (std::size_t i = 0; i < parsed.params.size(); ++i) s.kinds.push_back(kind_of(row, i));
  s.parameter_sets = only;
  if (only.empty()) {
    // The customary parameters and each whole-number one at 1, 2 and 5.
    for (const ParameterSet& set : parameter_sets(row, s.kinds)) {
      if (!set.wide) s.parameter_sets.push_back(set.values);
    }
  }
  s.listing = listing_of(row.key, zero_window_listings());
  s.memory_reason = memory_reason_of(row.key);
  s.every_set = only.empty();
  for (const DivergingSet& d : diverging_sets()) {
    if (d.key == row.key) s.diverging.emplace_back(d.params.begin(), d.params.end());
  }
  return s;
}

ZeroSubject rebuild_phase_subject(const registry::Entry& row) {
  ZeroSubject s = registry_subject(row, {});
  const std::vector<double> customary = s.parameter_sets.front();
  s.parameter_sets = {customary};
  for (std::size_t i = 0; i < s.kinds.size(); ++i) {
    if (s.kinds[i] != Kind::Integer) continue;
    std::vector<double> p = customary;
    p[i] = kLongWindow;
    if (p != customary && s.build(p)) s.parameter_sets.push_back(p);
  }
  s.every_set = false;
  s.memory_listed = false;
  s.stagger = kHistoryStagger;
  return s;
}

std::vector<std::string> zero_window_faults(const ZeroSubject& subject, const std::vector<NamedHistory>& histories,
                                            bool report) {
  std::vector<std::string> faults;
  std::string first_memory;  // where the probe first saw one
  for (const std::vector<double>& params : subject.parameter_sets) {
    if (std::find(subject.diverging.begin(), subject.diverging.end(), params) != subject.diverging.end()) continue;
    IndicatorPtr probe = subject.build(params);
    if (!probe) continue;
    const std::size_t from = settled_from(*probe, params, subject.kinds);
    const std::size_t n = from + kTail;
    const std::size_t longest = std::min<std::size_t>(std::max<std::size_t>(400, from + 100), 4500);
    for (std::size_t k = 0; k < histories.size(); ++k) {
      const NamedHistory& history = histories[k];
      const std::size_t history_len = longest - k * subject.stagger;
      const std::span<const testing::Bar> past(history.bars.end() - static_cast<std::ptrdiff_t>(history_len),
                                               history.bars.end());
      const testing::Bar& last = past.back();
      const auto where = [&](StretchKind kind) {
        const std::string cut = history_len < longest ? " of " + std::to_string(history_len) + " bars" : "";
        return std::string(subject.key) + " " + testing::params_text(params) + " after " + history.name + cut + ", " +
               std::string(stretch_name(kind));
      };
      // Whether the instance remembers more than its windows hold, counted in
      // the last place of the largest magnitude the fresh instance gives: a
      // value of 0 read as a residue is what the sweep looks for, not a memory.
      const std::vector<testing::Bar> moving = stretch_after(last, StretchKind::kMoving, n, 61);
      const Trace hm = trace_over(*subject.build(params), past, moving);
      const Trace fm = trace_over(*subject.build(params), {}, moving);
      const double magnitude = largest(fm, from, fm.bars.size());
      const std::optional<Parting> remembers = first_parting(hm, fm, from, Closeness{kMemoryUlps, magnitude});
      if (remembers && first_memory.empty()) {
        first_memory = where(StretchKind::kMoving) + ", " + parting_text(*remembers, from);
      }
      if (report && remembers) {
        std::fprintf(stderr, "memory %s: %s\n", where(StretchKind::kMoving).c_str(),
                     parting_text(*remembers, from).c_str());
      }
      for (const StretchKind kind : {StretchKind::kHalt, StretchKind::kFlatVolume, StretchKind::kQuietMoves}) {
        const std::size_t len = kind == StretchKind::kHalt ? std::max(n, kLongHalt) : n;
        const std::vector<testing::Bar> stretch = stretch_after(last, kind, len, 62);
        const Trace h = trace_over(*subject.build(params), past, stretch);
        const Trace f = trace_over(*subject.build(params), {}, stretch);
        const std::string at = where(kind);
        const std::optional<Parting> parts = first_parting(h, f, from, closeness_on(kind));
        if (report && parts) {
          std::fprintf(stderr, "parts %s%s: %s, %llu ulps apart\n", at.c_str(), remembers ? " [memory]" : "",
                       parting_text(*parts, from).c_str(),
                       static_cast<unsigned long long>(ulps_apart(parts->h, parts->f, 0.0)));
        }
        judge_stretch(subject, params, kind, past, h, f, from, remembers.has_value(), at, report, faults);
      }
    }
  }
  if (!first_memory.empty() && subject.memory_reason.empty() && subject.memory_listed) {
    faults.push_back(first_memory + ": remembers more than its windows hold, but is not listed as a memory");
  }
  if (first_memory.empty() && !subject.memory_reason.empty() && subject.every_set) {
    faults.push_back(std::string(subject.key) + ": listed as a memory (" + std::string(subject.memory_reason) +
                     "), but on no parameter set does it remember more than its windows hold");
  }
  return faults;
}

}  // namespace fendro::reference
