// Reading a strategy and its indicators from the value tree.
#include <array>
#include <string_view>

#include "fendro/strategy/reading.hpp"
#include "fendro/strategy/spec.hpp"

namespace fendro {

namespace {

using reading::Field;
using reading::into;
using reading::read_optional;
using reading::read_string;
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

constexpr Field<StrategySpec> kSpecFields[] = {
    {"spec_version", false, &into<&StrategySpec::spec_version, read_u32>},
    {"symbol", true, &into<&StrategySpec::symbol, read_string>},
    {"ref_symbol", false, &into<&StrategySpec::ref_symbol, read_optional<read_string>>},
    {"timeframe", true, &into<&StrategySpec::timeframe, read_string>},
    {"indicators", true, &into<&StrategySpec::indicators, read_indicators>},
    {"entry", true, &into<&StrategySpec::entry, read_condition>},
    {"exit", true, &into<&StrategySpec::exit, read_condition>},
    {"short_entry", false, &into<&StrategySpec::short_entry, read_optional<read_condition>>},
    {"short_exit", false, &into<&StrategySpec::short_exit, read_optional<read_condition>>},
    {"sizing", true, &into<&StrategySpec::sizing, read_sizing>},
    {"costs", false, &into<&StrategySpec::costs, read_costs>},
    {"risk", false, &into<&StrategySpec::risk, read_risk>},
    {"execution", false, &into<&StrategySpec::execution, read_execution>},
    {"warmup", false, &into<&StrategySpec::warmup, read_optional<read_u32>>},
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
  for (const json::Member& m : v.as_object()) {
    FENDRO_TRY(spec, read_indicator_spec(m.value));
    // Members come in key order, so each id goes at the end.
    out.emplace_hint(out.end(), std::string(m.key), std::move(spec));
  }
  return out;
}

Result<StrategySpec, std::string> read_strategy_spec(const json::Value& v) {
  return reading::read_record<StrategySpec>(v, "StrategySpec", kSpecFields);
}

}  // namespace fendro
