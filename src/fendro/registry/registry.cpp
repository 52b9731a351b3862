#include "fendro/registry/registry.hpp"

#include <array>
#include <new>
#include <stdexcept>

#include "fendro/registry/key_table.hpp"
#include "fendro/registry/run_entry.hpp"

namespace fendro {
namespace {

using registry::BuildFn;

// The build function of every registered key, by its slot in the key table;
// filled once, on first use, from the families' tables.
const std::array<BuildFn, registry::kTypeKeyCount>& builders() {
  static const std::array<BuildFn, registry::kTypeKeyCount> table = [] {
    std::array<BuildFn, registry::kTypeKeyCount> t{};
    for (std::span<const registry::Entry> family : registry::families()) {
      for (const registry::Entry& e : family) {
        if (const auto slot = registry::key_slot(e.key)) t[*slot] = e.build;
      }
    }
    return t;
  }();
  return table;
}

std::string_view resolve_alias(std::string_view key) {
  if (key == "Macd") return "MacdIndicator";
  if (key == "Bollinger") return "BollingerBands";
  return key;
}

}  // namespace

BuildResult build_indicator(std::string_view key, std::span<const double> params) {
  const std::string_view target = resolve_alias(key);
  const std::optional<std::size_t> slot = registry::key_slot(target);
  const BuildFn build = slot ? builders()[*slot] : nullptr;
  if (build == nullptr) return err(StrategyError::unknown_indicator(key));
  return registry::run_entry(build, target, params);
}

BuildResult registry::run_entry(BuildFn build, std::string_view key, std::span<const double> params) {
  try {
    return build(Params(params, key));
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return err(StrategyError::invalid_parameters(key, std::string(kNoMemoryReason)));
}

Feed feed_of_indicator(std::string_view key) {
  const std::optional<std::size_t> slot = registry::key_slot(key);
  return slot ? registry::key_rows()[*slot].feed : Feed::None;
}

StrategyError wrap_constructor_error(std::string_view key, const IndicatorError& e) {
  return StrategyError::invalid_parameters(key, e.display());
}

}  // namespace fendro
