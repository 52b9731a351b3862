// Runs one registry entry; a state whose memory cannot be had becomes a build
// error instead of an exception.
#pragma once

#include <span>
#include <string_view>

#include "fendro/registry/registry.hpp"

namespace fendro::registry {

inline constexpr std::string_view kNoMemoryReason = "not enough memory for the indicator's state";

// `key` is the entry's own key (after alias resolution).
BuildResult run_entry(BuildFn build, std::string_view key, std::span<const double> params);

}  // namespace fendro::registry
