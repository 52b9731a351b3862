// Reading a strategy and its indicators from the value tree.
#include <array>
#include <string_view>
#include <utility>

#include "fendro/util/run_scope.hpp"
#include "fendro/strategy/reading.hpp"
#include "fendro/strategy/spec.hpp"
#include "fendro/util/paced_copy.hpp"

namespace fendro {

namespace {

using reading::Field;
using reading::into;
using reading::read_optional;
using reading::read_string;
using reading::read_string_in_tree;
using reading::read_u32;

// About what reading one indicator's entry costs, in the scope's steps.
constexpr std::uint64_t kStepsPerIndicatorRead = 200;

// The JSON names of the feeds, in code order.
const std::array<std::string_view, 6>& feed_names() {
  static const std::array<std::string_view, 6> names = [] {
    std::array<std::string_view, 6> a{};
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = feed_json_name(static_cast<Feed>(i));
    return a;
  }();
  return names;
}

Result<std::vector<double>, std::string> read_params(const json::Value& v) {
  if (!v.is_array()) return err(json::invalid_type(v, "a sequence"));
  std::vector<double> out;
  out.reserve(v.size);
  for (const json::Value& e : v.as_array()) {
    FENDRO_TRY(x, reading::read_f64(e));
    out.push_back(x);
  }
  return out;
}

constexpr Field<IndicatorSpec> kIndicatorFields[] = {
    {"type", true, &into<&IndicatorSpec::type, read_string>},
    {"params", false, &into<&IndicatorSpec::params, read_params>},
    {"feed", false, &into<&IndicatorSpec::feed, read_feed>},
};

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
    {"ref_symbol", false, &into_spec<&StrategySpec::ref_symbol, read_optional<read_string>>},
    {"timeframe", true, &into_spec<&StrategySpec::timeframe, read_string>},
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
  return reading::read_record<IndicatorSpec>(v, "IndicatorSpec", kIndicatorFields);
}

Result<IndicatorMap, std::string> read_indicators(const json::Value& v) {
  if (!v.is_object()) return err(json::invalid_type(v, "a map"));
  IndicatorMap out;
  // A strategy may declare any number of indicators: the command's scope,
  // if any, is told of each one read, and may stop the reading.
  RunScope* const scope = RunScope::current();
  for (const json::Member& m : v.as_object()) {
    if (scope != nullptr && scope->stop_after(kStepsPerIndicatorRead)) return err(std::string("stopped"));
    FENDRO_TRY(spec, read_indicator_spec(m.value));
    // Members come in key order, so each id goes at the end.
    out.emplace_hint(out.end(), std::string(m.key), std::move(spec));
  }
  return out;
}

Result<StrategySpec, std::string> read_strategy_spec_paced(const json::Value& v, const Interrupt& interrupt,
                                                           bool& stopped) {
  auto read = reading::read_record<StrategySpecInTree>(v, "StrategySpec", kSpecFields);
  if (const RunScope* scope = RunScope::current(); scope != nullptr && scope->stopped()) {
    stopped = true;
    return err(std::string("stopped"));
  }
  if (!read) return err(std::move(read).error());
  if (!copy_paced(read->symbol.as_string(), read->spec.symbol, interrupt)) {
    stopped = true;
    return err(std::string("stopped"));
  }
  return std::move(read->spec);
}

Result<StrategySpec, std::string> read_strategy_spec(const json::Value& v) {
  bool stopped = false;
  return read_strategy_spec_paced(v, Interrupt{}, stopped);
}

}  // namespace fendro
