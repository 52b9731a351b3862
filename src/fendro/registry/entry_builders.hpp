// Registry entries built from a list of parameter kinds: every parameter is
// read in index order (the first failing read is the answer, before any
// construction check), then all of them go to T::create in that order.
//
//   {"Atr", build<Atr, U>},            // one positive integer
//   {"AtrBands", build<AtrBands, U, F>}, // a period and a finite f64
//   {"TrueRange", build_plain<TrueRange>},
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <tuple>
#include <utility>

#include "fendro/registry/registry.hpp"

namespace fendro::registry {

// Parameter kinds, read by position.
struct U {};    // positive integer (param_usize)
struct F {};    // finite f64 (param_f64)
struct I {};    // i32 (param_i32), UTC offsets in minutes
struct U32 {};  // u32 (param_u32)

inline Result<std::uint64_t, StrategyError> read_param(const Params& p, std::size_t i, U) {
  return p.usize(i);
}
inline Result<double, StrategyError> read_param(const Params& p, std::size_t i, F) {
  return p.f64(i);
}
inline Result<std::int32_t, StrategyError> read_param(const Params& p, std::size_t i, I) {
  return p.i32(i);
}
inline Result<std::uint32_t, StrategyError> read_param(const Params& p, std::size_t i, U32) {
  return p.u32(i);
}

namespace detail {

template <class T, class... Kinds, std::size_t... Is>
BuildResult build_read(const Params& p, std::index_sequence<Is...>) {
  // Every parameter is read (reads have no effect besides their result); the
  // first failure in index order is the answer, before any construction check.
  const StrategyError* failure = nullptr;
  auto values = std::tuple{read_param(p, Is, Kinds{})...};
  ((failure == nullptr && !std::get<Is>(values).ok() ? (failure = &std::get<Is>(values).error())
                                                      : nullptr),
   ...);
  if (failure != nullptr) return err(*failure);
  return box<T>(p, T::create(std::get<Is>(values).value()...));
}

}  // namespace detail

template <class T, class... Kinds>
BuildResult build(const Params& p) {
  return detail::build_read<T, Kinds...>(p, std::index_sequence_for<Kinds...>{});
}

// Types without parameters; any given are ignored.
template <class T>
BuildResult build_plain(const Params&) {
  return IndicatorPtr(std::make_unique<T>());
}

}  // namespace fendro::registry
