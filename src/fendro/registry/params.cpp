#include <cmath>
#include <cstdint>
#include <string>

#include "fendro/registry/registry.hpp"
#include "fendro/util/number_format.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {
namespace {

// A value counts as integral within this distance of an integer.
constexpr double kIntegralTolerance = 0x1p-52;
constexpr double kTwoTo64 = 0x1p64;

bool near_integral(double v) { return std::abs(v - std::trunc(v)) <= kIntegralTolerance; }

StrategyError rejected(std::string_view key, std::size_t i, std::string_view what, double v) {
  std::string why = "parameter #";
  append_u64(why, i);
  why.append(what);
  append_shortest_positional(why, v);
  return StrategyError::invalid_parameters(key, std::move(why));
}

}  // namespace

Result<double, StrategyError> param_f64(std::span<const double> params, std::size_t i,
                                        std::string_view key) {
  if (i >= params.size()) {
    std::string why = "missing parameter #";
    append_u64(why, i);
    return err(StrategyError::invalid_parameters(key, std::move(why)));
  }
  const double v = params[i];
  if (!std::isfinite(v)) {
    std::string why = "parameter #";
    append_u64(why, i);
    why.append(" must be finite");
    return err(StrategyError::invalid_parameters(key, std::move(why)));
  }
  return v;
}

Result<std::uint64_t, StrategyError> param_usize(std::span<const double> params, std::size_t i,
                                                 std::string_view key) {
  FENDRO_TRY(v, param_f64(params, i, key));
  if (!(v > 0.0) || !near_integral(v)) return err(rejected(key, i, " must be a positive integer, got ", v));
  // Converting 2^64 or more to an integer is undefined: saturate first.
  if (v >= kTwoTo64) return kU64Max;
  return static_cast<std::uint64_t>(std::trunc(v));
}

Result<std::int32_t, StrategyError> param_i32(std::span<const double> params, std::size_t i,
                                              std::string_view key) {
  FENDRO_TRY(v, param_f64(params, i, key));
  if (!near_integral(v) || v < -2147483648.0 || v > 2147483647.0) {
    return err(rejected(key, i, " must be an i32, got ", v));
  }
  return static_cast<std::int32_t>(std::trunc(v));
}

Result<std::uint32_t, StrategyError> param_u32(std::span<const double> params, std::size_t i,
                                               std::string_view key) {
  FENDRO_TRY(v, param_f64(params, i, key));
  if (v < 0.0 || v > 4294967295.0 || !near_integral(v)) {
    return err(rejected(key, i, " must be a u32, got ", v));
  }
  return static_cast<std::uint32_t>(std::trunc(v));
}

}  // namespace fendro
