#include "fendro/registry/registry.hpp"

#include <new>
#include <stdexcept>

#include "fendro/registry/key_table.hpp"
#include "fendro/registry/run_entry.hpp"

namespace fendro {
namespace {

std::string_view resolve_alias(std::string_view key) {
  if (key == "Macd") return "MacdIndicator";
  if (key == "Bollinger") return "BollingerBands";
  return key;
}

}  // namespace

BuildResult build_indicator(std::string_view key, std::span<const double> params) {
  const std::string_view target = resolve_alias(key);
  const std::optional<std::size_t> slot = registry::key_slot(target);
  // The text quotes the key, which may be very long: copied in stretches,
  // the thread's scope asked between them (its caller finds it stopped).
  if (!slot) return err(StrategyError::unknown_indicator(key));
  return registry::run_entry(registry::key_rows()[*slot].build, target, params);
}

BuildResult registry::run_entry(registry::BuildFn build, std::string_view key, std::span<const double> params) {
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
