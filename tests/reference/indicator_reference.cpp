// Writes docs/indicators.md, the reference of every indicator type key, from
// the registry: what a row's doc says (parameter names and intervals, what a
// value is, the warm-up) and what running the type shows (how many parameters
// it reads and of which kind, its named outputs, whether candles alone give
// it values). Every claim of a row's doc is tried before it is written: each
// interval's ends are built, and the warm-up expression must give what the
// type reports at its customary parameters and at nearby ones. A claim that
// does not hold ends the program with the row's key and the fault. A type
// that still changes long into a halt has the halt bar of its last change
// written, and the written bar is tried again (halt_changes.hpp). What a
// type reads on one-price candles at every scale (flat_sentence.hpp) and
// what it holds on a halt after a walk (halt_holds.hpp) are written where
// one claim holds on every run, and read back and tried again. An end
// written inf (or -inf) is built one past the longest window and at 2^31 (a
// whole number) or 1e300 (any number), each in a child process bounded in
// memory and CPU time (unbounded_ends.hpp).
//
// Every range a value states ("0 to 100") is tried too, on the fingerprint's
// series, on walks at every scale (scaled_series.hpp) and on closes that
// only rise, only fall or step once; a value that steps past its bound must
// say by how many units in the last place, and each bound must be reached
// unless it is listed as only approached (stated_ranges.hpp).
//
// Usage: fendro_reference [--expect FILE] [--ranges] [--seed N]
//   scripts/gen_indicator_docs.sh writes the file; ctest runs --expect
//   docs/indicators.md so that the checked-in text is always the current one.
//   --ranges prints to stderr how far each stated range was reached.
//   --seed N tries the ranges on series drawn from seed N instead of CI's
//   fixed set (far_scale_series.hpp); the text written is the same.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "expect_file.hpp"
#include "fendro/registry/families.hpp"
#include "fendro/registry/feed.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "indicators/all_feeds.hpp"
#include "indicators/series.hpp"
#include "reference/entry_doc_text.hpp"
#include "reference/flat_sentence.hpp"
#include "reference/halt_changes.hpp"
#include "reference/halt_holds.hpp"
#include "reference/stated_range_runs.hpp"
#include "reference/stated_ranges.hpp"
#include "reference/unbounded_ends.hpp"

namespace fendro::reference {
namespace {

using registry::Entry;

struct Built {
  IndicatorPtr indicator;
  std::string reason;  // why it was refused
};

Built build(std::string_view key, const std::vector<double>& params) {
  auto made = build_indicator(key, params);
  if (made) return {std::move(made).value(), {}};
  return {nullptr, made.error().reason.empty() ? made.error().display() : made.error().reason};
}

std::vector<double> customary(const Entry& row) {
  return {row.params.values().begin(), row.params.values().end()};
}

// Collects the faults of one row; the program fails if any row has one.
class Faults {
 public:
  void add(std::string_view key, const std::string& what) {
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(key.size()), key.data(), what.c_str());
    ++count_;
  }
  int count() const { return count_; }

 private:
  int count_ = 0;
};

// The number of parameters the entry reads: the first length of its
// customary list at which no parameter is missing.
std::optional<std::size_t> parameters_read(const Entry& row, Faults& faults) {
  const std::vector<double> all = customary(row);
  for (std::size_t k = 0; k <= all.size(); ++k) {
    const Built b = build(row.key, std::vector<double>(all.begin(), all.begin() + static_cast<long>(k)));
    if (b.reason != "missing parameter #" + std::to_string(k)) return k;
  }
  faults.add(row.key, "its customary parameters are fewer than it reads");
  return std::nullopt;
}

std::string_view kind_name(Kind k) { return k == Kind::Number ? "number" : "integer"; }

// The value one step outside (outward) or inside a bound.
double step_from(double v, Kind k, bool outward, bool low) {
  const bool down = low == outward;
  if (k == Kind::Integer) return down ? v - 1.0 : v + 1.0;
  return std::nextafter(v, down ? -INFINITY : INFINITY);
}

// Builds the row with parameter i at each end of its interval and one step
// on either side: a value inside must build (unless a note ties it to
// another parameter), one outside must be refused.
void check_interval(const Entry& row, std::size_t i, Kind kind, const ParamText& p, Faults& faults) {
  const auto expect = [&](double v, bool builds) {
    std::vector<double> params = customary(row);
    params[i] = v;
    const Built b = build(row.key, params);
    if (builds == (b.indicator != nullptr)) return;
    if (builds && !p.note.empty()) return;
    char buf[160];
    std::snprintf(buf, sizeof buf, "`%s` = %.17g %s", p.name.c_str(), v,
                  builds ? ("is refused: " + b.reason).c_str() : "builds, outside its interval");
    faults.add(row.key, buf);
  };
  for (const bool low : {true, false}) {
    const Bound& b = low ? *p.low : *p.high;
    if (!b.at) continue;
    if (b.inclusive) {
      expect(*b.at, true);
      expect(step_from(*b.at, kind, true, low), false);
    } else {
      expect(*b.at, false);
      expect(step_from(*b.at, kind, false, low), true);
    }
  }
}

std::map<std::string, double> names_at(const std::vector<ParamText>& params, const std::vector<double>& values) {
  std::map<std::string, double> out;
  for (std::size_t i = 0; i < params.size(); ++i) out[params[i].name] = values[i];
  return out;
}

// The warm-up expression against warmup_period() at the customary parameters
// and with each whole-number parameter one and twice its customary value.
void check_warmup(const Entry& row, const std::vector<ParamText>& params, const std::vector<Kind>& kinds,
                  Faults& faults) {
  const auto try_at = [&](const std::vector<double>& values) {
    const Built b = build(row.key, values);
    if (!b.indicator) return;
    const Evaluated e = evaluate(row.doc.warmup, names_at(params, values));
    if (!e.error.empty()) {
      faults.add(row.key, "warm-up: " + e.error);
      return;
    }
    const double got = static_cast<double>(b.indicator->warmup_period());
    if (e.value != got) {
      std::string at;
      for (double v : values) at += (at.empty() ? "" : ", ") + std::to_string(v);
      char buf[256];
      std::snprintf(buf, sizeof buf, "warm-up gives %.17g, the type %.17g at (%s)", e.value, got, at.c_str());
      faults.add(row.key, buf);
    }
  };
  const std::vector<double> base = customary(row);
  try_at(base);
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (kinds[i] == Kind::Number) continue;
    for (const double v : {base[i] + 1.0, base[i] * 2.0}) {
      std::vector<double> values = base;
      values[i] = v;
      try_at(values);
    }
  }
}

std::string backticked_list(const std::vector<std::string>& names) {
  if (names.empty()) return "none";
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "`" : ", `") + n + "`";
  return out;
}

// The named outputs, read off the bars that give a value, and which of them
// is the bar's value: the first, unless the list says otherwise.
std::string outputs_of(const Entry& row, const std::vector<testing::Bar>& bars, Faults& faults) {
  Built b = build(row.key, customary(row));
  std::vector<std::string> names;
  std::vector<bool> is_value;  // output k has equalled the value on every bar so far
  bool seen = false;
  for (const testing::Bar& bar : bars) {
    const std::optional<double> v = b.indicator->update(testing::snapshot_of(bar));
    if (!v) continue;
    const std::span<const NamedOutput> outs = b.indicator->outputs();
    if (!seen) {
      for (const NamedOutput& o : outs) names.emplace_back(o.name);
      is_value.assign(names.size(), true);
      seen = true;
    }
    if (outs.size() != names.size()) {
      faults.add(row.key, "its list of outputs changes from bar to bar");
      return {};
    }
    for (std::size_t k = 0; k < outs.size(); ++k) {
      if (outs[k].name != names[k]) faults.add(row.key, "its output names change from bar to bar");
      const bool same = testing::bits(outs[k].value) == testing::bits(*v) || (std::isnan(*v) && std::isnan(outs[k].value));
      is_value[k] = is_value[k] && same;
    }
  }
  if (!seen) {
    faults.add(row.key, "gives no value over the whole series: its outputs cannot be read");
    return {};
  }
  std::string list = backticked_list(names);
  if (names.empty() || is_value[0]) return list;
  for (std::size_t k = 1; k < names.size(); ++k) {
    if (is_value[k]) return list + " (the value is `" + names[k] + "`)";
  }
  return list + " (the value is none of them)";
}

// "yes", or why a "prove" command, which carries candles only, never gets a
// value from the type.
std::string candles_alone(const Entry& row, const std::vector<testing::Bar>& bars) {
  switch (row.feed) {
    case Feed::Kline: break;
    case Feed::Trade: return "no: fed by trades";
    case Feed::Orderbook: return "no: fed by order books";
    case Feed::TradeQuote: return "no: fed by trades with quotes";
    case Feed::Derivatives: return "no: fed by derivatives ticks";
    case Feed::CrossSection: return "no: fed by cross-sections";
    case Feed::None: return "no";
  }
  // Daily bars, months of them, so that calendar types get their dates.
  std::vector<Candle> days = testing::random_walk(2000, 29);
  for (std::size_t i = 0; i < days.size(); ++i) days[i].time = static_cast<std::int64_t>(i) * 86'400'000;
  Built b = build(row.key, customary(row));
  for (const Candle& c : days) {
    if (testing::step(*b.indicator, c)) return "yes";
  }
  const auto gives_with = [&](bool reference, bool derivatives) {
    Built again = build(row.key, customary(row));
    for (const testing::Bar& bar : bars) {
      BarSnapshot snap;
      snap.candle = &bar.candle;
      if (reference) snap.reference = bar.reference;
      if (derivatives) snap.derivatives = &bar.derivatives;
      if (again.indicator->update(snap)) return true;
    }
    return false;
  };
  if (gives_with(true, false)) return "no: needs a second series (the reference value)";
  if (gives_with(false, true)) return "no: needs a derivatives tick beside the candle";
  return "no";
}

// Markdown table cells hold no '|' of their own.
std::string cell(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '|') out += '\\';
    out += c;
  }
  return out;
}


struct Row {
  std::string key, params, outputs, value, warmup, feed, alone;
  std::string line() const {
    return "| `" + key + "` | " + cell(params) + " | " + cell(outputs) + " | " + cell(value) + " | " +
           cell(warmup) + " | " + feed + " | " + alone + " |\n";
  }
};

// The row's value, ending with the halt bar of its last change where that
// is told, and the claim tried on a fresh instance.
std::string value_of(const Entry& row, bool alone, const HaltedSeries& halt, Faults& faults) {
  std::string value(row.doc.value);
  if (alone) {
    const std::string flat = flat_sentence(row.key, customary(row));
    if (!flat.empty()) value += " " + flat;
    const std::string held = halt_hold_sentence(row);
    if (!held.empty()) value += " " + held;
    Built b = build(row.key, customary(row));
    const HaltChange change = last_halt_change(*b.indicator, halt);
    if (halt_change_is_told(change.bar, b.indicator->warmup_period())) {
      value += " " + halt_sentence(change, halt.halted());
    }
  }
  for (const std::string& f : flat_sentence_faults(value, row.key, customary(row))) faults.add(row.key, f);
  for (const std::string& f : halt_hold_faults(value, row)) faults.add(row.key, f);
  Built fresh = build(row.key, customary(row));
  for (const std::string& f : halt_claim_faults(value, *fresh.indicator, halt, alone)) faults.add(row.key, f);
  return value;
}

// What the stated ranges are tried on, and whether each reach is printed.
struct RangeTrials {
  RangeSeries series;
  bool report = false;
};

// One row of the reference, or nothing where a claim does not hold.
std::optional<Row> describe(const Entry& row, const std::vector<testing::Bar>& bars, const HaltedSeries& halt,
                            const RangeTrials& ranges, Faults& faults) {
  const int before = faults.count();
  if (row.doc.value.empty() || row.doc.warmup.empty()) {
    faults.add(row.key, "the row has no reference text");
    return std::nullopt;
  }
  const ParsedParams parsed = parse_params(row.doc.params);
  if (!parsed.error.empty()) {
    faults.add(row.key, "parameters: " + parsed.error);
    return std::nullopt;
  }
  const std::optional<std::size_t> read = parameters_read(row, faults);
  if (!read) return std::nullopt;
  if (*read != parsed.params.size()) {
    faults.add(row.key, "documents " + std::to_string(parsed.params.size()) + " parameters, reads " +
                            std::to_string(*read));
    return std::nullopt;
  }
  std::vector<double> extra = customary(row);
  extra.resize(*read);
  extra.push_back(NAN);
  if (!build(row.key, extra).indicator) faults.add(row.key, "a parameter beyond those it reads is not ignored");

  std::vector<Kind> kinds;
  for (std::size_t i = 0; i < parsed.params.size(); ++i) kinds.push_back(kind_of(row, i));
  std::string params_cell;
  for (std::size_t i = 0; i < parsed.params.size(); ++i) {
    const ParamText& p = parsed.params[i];
    if (!p.low) {
      faults.add(row.key, "`" + p.name + "` has no interval");
      continue;
    }
    check_interval(row, i, kinds[i], p, faults);
    for (const std::string& f : unbounded_end_faults(row, i, parsed.params, kinds)) faults.add(row.key, f);
    params_cell += (i ? ", `" : "`") + p.name + "` (" + std::string(kind_name(kinds[i])) + " in " +
                   show_bound(*p.low, true) + ", " + show_bound(*p.high, false) +
                   (p.note.empty() ? "" : ", " + p.note) + ")";
  }
  if (parsed.params.empty()) params_cell = "none";
  check_warmup(row, parsed.params, kinds, faults);
  if (faults.count() != before) return std::nullopt;

  const std::string outputs = outputs_of(row, bars, faults);
  std::map<std::string, double> names;
  for (const ParamText& p : parsed.params) names[p.name] = 0.0;
  std::string alone = candles_alone(row, bars);
  std::string value = value_of(row, alone == "yes", halt, faults);
  for (const std::string& f : stated_range_faults(row, value, kinds, ranges.series, bars, ranges.report))
    faults.add(row.key, f);
  return Row{std::string(row.key), params_cell, outputs, std::move(value), show_expression(row.doc.warmup, names),
             std::string(feed_json_name(row.feed)), std::move(alone)};
}

constexpr std::string_view kHead = R"(# Indicator types

This file is generated from the registry by `scripts/gen_indicator_docs.sh`;
do not edit it by hand. Every claim in it was tried against the code when it
was written: each parameter interval's ends were built and the values just
outside them refused (an end written `inf` was built at 16777217 and at
2^31 for an integer or 1e300 for a number, where a rule between parameters
asks it with the other parameters at four times that value), each warm-up
formula gave what the type reports, the outputs are those the type
gives, and each halt bar is that of a fresh instance.

A strategy declares an indicator as `"id": {"type": "<Key>", "params": [...]}`.
A rule reads its value as `"id"` and a named output as `"id.<output>"`.

- **Parameters** are positional numbers, in the order listed. An *integer*
  is read by truncation toward zero, and only from a value that lies at
  most 2^-52 beyond a whole number, away from zero: a whole number,
  1.0000000000000002 (read as 1), -1.0000000000000002 (read as -1), or a
  value of size at most 2^-52 (read as 0). Any other fraction is refused:
  `Sma` with 1.9999999999999998 gives `invalid parameters for indicator Sma:
  parameter #0 must be a positive integer, got 1.9999999999999998`. An
  integer whose interval starts above 0 refuses 0 and below before it
  truncates, so 2^-52 reaches the type as 0, which each type refuses
  (`Sma`: `period must be greater than zero`) except `Cointegration`, whose
  `adf_lags` of 2^-52 builds. A *number* must be finite. A value outside
  the interval shown is refused with
  `invalid parameters for indicator <Key>: ...`. Parameters beyond the last
  one listed are ignored without a word. A rule between parameters is given
  after the interval.
- **Outputs** are read as `id.<output>`; the bar's value (`id`) is the first
  of them unless the row says which it is. Output names are not checked: a
  misspelt one gives a rule that never holds.
- **Value** is what a bar gives once the type is warm; a bar whose input the
  type refuses (a non-finite or inconsistent candle) gives nothing and
  changes nothing.
- **Ranges** a Value states ("0 to 100") were tried on fresh instances at
  the customary parameters and with each whole-number parameter at 1, 2
  and 5 over the walk, the edge cases, the halted and the settled series
  of the fingerprint; and at those, with each whole-number parameter at
  3, and with all of them at once at 1, 2 and 3, over walks at prices
  near 1e-6, 1, 1e4 and 1e9 on ticks of 2, 4 and 8 decimals (each with
  closes on the high, then on the low, for 300 bars, one-price candles,
  gaps of 5% to 50%, a stretch of zero volume, moves of one tick and of
  one unit in the last place, and candles one unit wide), over closes
  stepping along straight lines of whole cents, over order books, prints
  and cross-sections all on one side, and over closes that only rise,
  only fall, or step once. Each bound was reached or passed, but for a
  few that none of them reaches, each for a reason of its own
  (`RollingPercentileRank` counts the newest close half, so never reads
  0). They were tried too, at those parameters and with each whole-number
  parameter at 150, 200 and 1000 (the others customary, or at 1), over
  volumes alternating 1e12 and 1e-8 in blocks of 50 bars, bursts of volume
  (2% of bars at 1e6 to 1e7, the rest below 1), closes gapping down 12 and
  15 orders of magnitude, straight lines of 5,000 closes one cent apart,
  and closes alternating a cent apart near 100. Where rounding steps past a
  bound, the Value says by how many units in the last place and when
  (`Rsi` reads 100 and a unit when the average loss is 0); a range "in
  exact arithmetic" can be passed further, as the Value says. `eq`
  allows 2^-52, less than a unit of 100, so a rule should compare with a
  threshold, not a bound: `{"gt": ["rsi", 99.99]}`, not
  `{"eq": ["rsi", 100]}`.
- **Running sums across scales.** A running sum never rebuilt (the newest
  entry added, the oldest taken away) rounds each step at the scale of what
  it holds: once entries some 1e16 times smaller than those before them
  follow (volumes falling from 1e12 to 1e-8, closes gapping down by many
  orders of magnitude), they are lost in the larger ones' rounding, and
  after the larger ones have left the window the sum holds that rounding,
  of either sign, in place of the smaller entries. A value computed from
  such a sum then reads anywhere, past the bounds of its range or below 0
  for a sum of positive entries, for as long as the entries stay that
  small; the Values that say so name this paragraph. A sum rebuilt from its
  window every `period` bars holds such a residue until its next rebuild.
  An average of the Wilder or exponential kind rounds the same way, by a
  unit in the last place of the average before it.
- **Unstable filters.** A recursive filter whose coefficients put a pole
  outside the unit circle (`HighpassFilter`, `Decycler` and
  `DecyclerOscillator` at a period of 1, `BandpassFilter` where its Value
  says) grows without bound on closes that move, overflows to -inf or inf
  and is NaN after. The parameters keep their values; the Values say
  where.
- **Warm-up** is the type's `warmup_period`: for most types, the number of
  accepted bars up to and including the one that gives its first value.
  Where values start otherwise (later, earlier, or only on some bars), the
  Value says so. A strategy's rules first run on the bar
  whose index, counted from 0, is the largest warm-up of its indicators, or
  its own `warmup` ([strategy.md](strategy.md)).
- **Windows of copies.** Where a window holds only copies of one value (a
  flat market's closes, the prices of a one-price candle), what is read
  from it is what exact arithmetic gives, whatever rounding its running
  sums keep: its average is that value itself (a one-price candle's typical
  price is its price), and every deviation from it, variance, covariance,
  slope and difference of two averages of those copies is exactly 0. An
  exponential average or a filter that has seen nothing but copies of one
  value since its first input reads that value. So on a market that never
  moved `gt [close, sma]` is false and an oscillator reads its flat case,
  at 0.3 as at 4.0. The state keeps its arithmetic: once a window holds
  anything else, the value is what it always was. A row whose type settles
  on one value on one-price candles says so ("On one-price candles it reads
  ..."), at its customary parameters: one value, the price, a multiple of
  it ("reads 0.98 times the price"), the price plus a value, or what it
  reads at volume 0 where that differs. Each was found at prices 0.00103,
  0.3, 4.0, 7.77, 123.456, 30000.17 and 1e9 + 0.01 at volumes 0, 0.37, 1
  and 1.7, and is written only where it holds bit for bit at every one.
- **Ratios held on a halt.** On a bar with no move, Wilder's and
  exponential averages of gains and losses (or of plus and minus
  movement, of volumes up and down) are both multiplied by the same
  factor, so in exact arithmetic their ratio keeps its value for as long
  as the halt lasts; in floating point it would drift and, once both sink
  into the subnormal numbers, swing end to end. Once every input of both
  averages has been 0 for the type's period in a row, the ratio is read as
  it stood on that bar until an input moves again. The averages keep their
  arithmetic, so the bar after the halt reads what it always did. A Value
  saying "held through a halt" follows this rule. One saying "On a halt it
  holds the value it had at halt bar `period`" reads from that bar on what
  the moves before the halt left, not its flat case: a ratio held by this
  rule, or a value flat candles no longer move. One saying "On a halt it
  moves one way, then holds" moves without turning back to a value that
  is not its flat case either; a chain of held averages (an average of an
  average) does so because it follows its arithmetic toward its limit and
  is held where it would turn back. Each sentence of these two kinds was
  tried on three walks of the sample candles' recipe (seeds 2024, 77 and
  5; 3,000 candles), each followed by 20,000 flat candles at volume 0, at
  the customary parameters and with each whole-number parameter at 2 and
  at twice its customary value: from the bar it names, every run read one
  value bit for bit (or moved without turning back and read one value
  through the second half of the halt), and none read its flat case at
  the halt's price.
- **Windows of zeros.** A running sum over a window (the newest entry
  added, the oldest taken away) keeps the rounding of entries that have
  left it. Where every entry a window holds is zero (bodies, moves, ranges
  or volumes of 0, as on a halt), what the type computes from that
  window's sum on that bar uses exactly 0, and where a window holds only
  copies of the close, the close's distance from their average is exactly
  0: the value is then the type's zero case (its fallback, no value, 50 or
  0), not a ratio of residues. A Value saying "a window of zeros counts 0"
  follows this rule. On every other bar the sums keep their arithmetic, so
  a value there carries the rounding of entries that have left.
- **On a halt** (the candles of `candles(3000)` of
  `examples/sample_candles.py`, seed 2024, then 90,000 hourly candles whose
  four prices are its last close, 99.21, at volume 0; customary parameters;
  the candles alone, as a `prove` feeds them), a type that candles alone
  drive stops changing within ten times its warm-up or 1,000 bars,
  whichever is later, unless its Value ends with the halt bar (1 for the
  first flat candle) of the last change of its value or of a named output
  ("the last tried": it has not stopped by the end). A Value that ends
  "gives no value from halt bar N on" or "gives NaN from halt bar N on"
  names where its values end: a rule reading it holds from there only
  under a `not`. On flat candles an average of moves decays by the same
  factor on every bar until it sinks into the subnormal numbers; a ratio
  of two of them is held (see "Ratios held on a halt" above,
  [strategy.md](strategy.md#what-a-long-halt-does-to-values)). The bars
  move with the series: your own candles give other bars (`Atr` stops at
  another bar than the one below), because where the averages stand when
  the halt begins decides when they sink into the subnormal numbers.
- **Feed** is what the type consumes. A `prove` command carries candles
  (`kline`) only; **Candles alone** says whether the type gives values from
  them, and if not, what else it needs.

)";

}  // namespace
}  // namespace fendro::reference

int main(int argc, char** argv) {
  using namespace fendro;
  using namespace fendro::reference;
  const char* expect = nullptr;
  RangeTrials ranges;
  for (int a = 1; a < argc; ++a) {
    if (std::strcmp(argv[a], "--expect") == 0 && a + 1 < argc) expect = argv[++a];
    if (std::strcmp(argv[a], "--ranges") == 0) ranges.report = true;
    if (std::strcmp(argv[a], "--seed") == 0 && a + 1 < argc) {
      char* end = nullptr;
      ranges.series.run = std::strtoull(argv[++a], &end, 10);
      if (*end != '\0' || ranges.series.run == kFixedSeed) {
        std::fprintf(stderr, "fendro_reference: --seed takes a whole number above 0, got %s\n", argv[a]);
        return 2;
      }
    }
  }
  const std::vector<testing::Bar> bars = testing::make_bars(20000);
  const HaltedSeries halt = sample_halt();
  // The ranges are tried on the fingerprint's four series, its halted walk
  // among them (3,000 moving bars, then 90,000 flat ones).
  ranges.series.fingerprint = fingerprint_series(bars, testing::make_halted_bars(bars, 3000, 90000));
  // And on walks at every scale, at more parameters.
  ranges.series.scaled = scaled_walks(bars, ranges.series.run);
  // And on inputs at scales far apart, on long lines, at long periods too.
  ranges.series.far = far_scale_series(bars, ranges.series.run);
  std::vector<std::pair<std::string, std::string>> key_texts;
  Faults faults;
  std::string out(kHead);
  const auto titled = registry::titled_families();
  // A table of contents: GitHub's anchor of a title is its lower case with
  // spaces as hyphens and punctuation dropped.
  out += "Families:\n\n";
  for (std::size_t f = 0; f < titled.size(); ++f) {
    if (f > 0 && titled[f].title == titled[f - 1].title) continue;
    std::string anchor;
    for (char c : titled[f].title) {
      if (c == ' ') anchor += '-';
      else if (std::isalnum(static_cast<unsigned char>(c))) anchor += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    out += "- [" + std::string(titled[f].title) + "](#" + anchor + ")\n";
  }
  out += "\n";
  for (std::size_t f = 0; f < titled.size(); ++f) {
    if (f > 0 && titled[f].title == titled[f - 1].title) continue;
    std::vector<Row> rows;
    for (std::size_t g = f; g < titled.size() && titled[g].title == titled[f].title; ++g) {
      for (const registry::Entry& e : titled[g].entries) {
        std::optional<Row> row = describe(e, bars, halt, ranges, faults);
        if (!row) continue;
        key_texts.emplace_back(row->key, row->value);
        rows.push_back(*row);
        for (const auto& [alias, target] : {std::pair{"Macd", "MacdIndicator"}, {"Bollinger", "BollingerBands"}}) {
          if (e.key != target) continue;
          Row same = *row;
          same.key = alias;
          same.value = "The same type as `" + std::string(target) + "`, under another name.";
          rows.push_back(same);
        }
      }
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.key < b.key; });
    out += "## " + std::string(titled[f].title) + "\n\n";
    out += "| Key | Parameters | Outputs | Value | Warm-up | Feed | Candles alone |\n";
    out += "|---|---|---|---|---|---|---|\n";
    for (const Row& r : rows) out += r.line();
    out += "\n";
  }
  for (const std::string& f : unheld_listings(range_claims(), other_spans(), key_texts, unreached_bounds()))
    faults.add("ranges", f);
  if (faults.count() > 0) {
    // The rows that hold are still shown, to see them while the rest is mended.
    if (!expect) std::fputs(out.c_str(), stdout);
    std::fprintf(stderr, "fendro_reference: %d claims do not hold\n", faults.count());
    return 1;
  }
  if (!expect) {
    std::fputs(out.c_str(), stdout);
    return 0;
  }
  return testing::compare_with_file(out, expect, "indicator reference");
}
