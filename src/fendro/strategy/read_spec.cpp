// Reading a strategy and its indicators from the value tree.
#include <array>
#include <string_view>
#include <utility>

#include "fendro/strategy/reading.hpp"
#include "fendro/strategy/spec.hpp"
#include "fendro/strategy/tree_pacing.hpp"
#include "fendro/util/free_later.hpp"
#include "fendro/util/paced_copy.hpp"
#include "fendro/util/run_scope.hpp"

namespace fendro {

namespace {

using reading::Field;
using reading::into;
using reading::read_optional;
using reading::read_string_in_tree;
using reading::read_text;
using reading::read_u32;

// The JSON names of the feeds, in code order.
const std::array<std::string_view, 6>& feed_names() {
  static const std::array<std::string_view, 6> names = [] {
    std::array<std::string_view, 6> a{};
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = feed_json_name(static_cast<Feed>(i));
    return a;
  }();
  return names;
}

// Numbers of a list read between two notes to the thread's scope.
constexpr std::size_t kNumbersPerNote = 1024;

Result<std::vector<double>, std::string> read_params(const json::Value& v) {
  if (!v.is_array()) return err(json::invalid_type(v, "a sequence"));
  std::vector<double> out;
  out.reserve(v.size);
  // A list may hold millions of numbers: the scope is told of them as they go.
  std::size_t unnoted = 0;
  for (const json::Value& e : v.as_array()) {
    if (++unnoted == kNumbersPerNote) {
      unnoted = 0;
      if (pass_stop_after(kNumbersPerNote * kReadNumberSteps)) return err(reading::stopped_reading());
    }
    FENDRO_TRY(x, reading::read_f64(e));
    out.push_back(x);
  }
  return out;
}

constexpr Field<IndicatorSpec> kIndicatorFields[] = {
    {"type", true, &into<&IndicatorSpec::type, read_text>},
    {"params", false, &into<&IndicatorSpec::params, read_params>},
    {"feed", false, &into<&IndicatorSpec::feed, read_feed>},
};

// Readies an indicator's entry for freeing: its id, type and parameters may
// be long, and take long to free (see erase_paced).
bool give_back_entry(const IndicatorMap::value_type& entry, std::uint64_t& left) {
  const IndicatorSpec& spec = entry.second;
  return give_back_paced(entry.first.data(), entry.first.capacity(), left) &&
         give_back_paced(spec.type.data(), spec.type.capacity(), left) &&
         give_back_paced(spec.params.data(), spec.params.capacity() * sizeof(double), left);
}

// A strategy as read from the tree: its symbol, which may be very long, still
// the tree's string, copied out afterwards.
struct StrategySpecInTree {
  StrategySpec spec;
  json::Value symbol;
};

// A field reader storing F's value into member M of the spec.
template <auto M, auto F>
reading::Step into_spec(const json::Value& v, StrategySpecInTree& r) {
  return into<M, F>(v, r.spec);
}

constexpr Field<StrategySpecInTree> kSpecFields[] = {
    {"spec_version", false, &into_spec<&StrategySpec::spec_version, read_u32>},
    {"symbol", true, &into<&StrategySpecInTree::symbol, read_string_in_tree>},
    {"ref_symbol", false, &into_spec<&StrategySpec::ref_symbol, read_optional<read_text>>},
    {"timeframe", true, &into_spec<&StrategySpec::timeframe, read_text>},
    {"indicators", true, &into_spec<&StrategySpec::indicators, read_indicators>},
    {"entry", true, &into_spec<&StrategySpec::entry, read_condition>},
    {"exit", true, &into_spec<&StrategySpec::exit, read_condition>},
    {"short_entry", false, &into_spec<&StrategySpec::short_entry, read_optional<read_condition>>},
    {"short_exit", false, &into_spec<&StrategySpec::short_exit, read_optional<read_condition>>},
    {"sizing", true, &into_spec<&StrategySpec::sizing, read_sizing>},
    {"costs", false, &into_spec<&StrategySpec::costs, read_costs>},
    {"risk", false, &into_spec<&StrategySpec::risk, read_risk>},
    {"execution", false, &into_spec<&StrategySpec::execution, read_execution>},
    {"warmup", false, &into_spec<&StrategySpec::warmup, read_optional<read_u32>>},
};

}  // namespace

Result<std::optional<Feed>, std::string> read_feed(const json::Value& v) {
  if (v.is_null()) return std::optional<Feed>{};
  FENDRO_TRY(i, reading::read_choice(v, feed_names()));
  return std::optional<Feed>(static_cast<Feed>(i));
}

Result<IndicatorSpec, std::string> read_indicator_spec(const json::Value& v) {
  return reading::read_record<IndicatorSpec>(v, "IndicatorSpec", kIndicatorFields, {}, reading::Pacing::kScope);
}

Result<IndicatorMap, std::string> read_indicators(const json::Value& v) {
  if (!v.is_object()) return err(json::invalid_type(v, "a map"));
  IndicatorMap out;
  // What was read of many entries goes in stretches before a fault is told.
  const auto failed = [&out](std::string text) {
    erase_paced(out, give_back_entry);
    return err(std::move(text));
  };
  // A strategy may declare any number of indicators: the command's scope,
  // if any, is told of each one read, and may stop the reading.
  for (const json::Member& m : v.as_object()) {
    if (pass_stop_after(kReadNodeSteps)) return failed(reading::stopped_reading());
    auto spec = read_indicator_spec(m.value);
    if (!spec) return failed(std::move(spec).error());
    // An id may be very long: copied in stretches, asking between them.
    std::string id;
    if (!append_paced(id, m.key)) return failed(reading::stopped_reading());
    // Members come in key order, so each id goes at the end.
    out.emplace_hint(out.end(), std::move(id), std::move(spec).value());
  }
  return out;
}

Result<StrategySpec, std::string> read_strategy_spec_paced(const json::Value& v, const Interrupt& interrupt,
                                                           bool& stopped) {
  StrategySpecInTree read;
  auto fields = reading::read_record_into<StrategySpecInTree>(v, "StrategySpec", kSpecFields, read,
                                                              reading::Pacing::kScope);
  // Once stopped, what was read (a million indicators, rules of millions of
  // nodes) goes to the freeing thread, not freed on the way out.
  const auto stop = [&] {
    stopped = true;
    free_later(read.spec);
    return err(std::string("stopped"));
  };
  if (pass_stopped()) return stop();
  if (!fields) {
    // Rules of millions of nodes read before the fault go in stretches.
    release_paced(read.spec);
    if (pass_stopped()) return stop();
    return err(std::move(fields).error());
  }
  if (!copy_paced(read.symbol.as_string(), read.spec.symbol, interrupt)) return stop();
  return std::move(read.spec);
}

bool release_paced(StrategySpec& spec) {
  // The rules first, then the indicators' entries; the rest is small but for
  // the texts, which a run reads to its end but for the reference symbol.
  if (spec.ref_symbol && free_and_note(*spec.ref_symbol)) return false;
  if (!release_paced(spec.entry) || !release_paced(spec.exit)) return false;
  if (spec.short_entry && !release_paced(*spec.short_entry)) return false;
  if (spec.short_exit && !release_paced(*spec.short_exit)) return false;
  return erase_paced(spec.indicators, give_back_entry);
}

Result<StrategySpec, std::string> read_strategy_spec(const json::Value& v) {
  bool stopped = false;
  return read_strategy_spec_paced(v, Interrupt{}, stopped);
}

}  // namespace fendro
