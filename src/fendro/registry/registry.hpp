// Builds indicator objects by type key from positional numeric parameters.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/registry/feed.hpp"
#include "fendro/registry/strategy_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

using IndicatorPtr = std::unique_ptr<Indicator>;
using BuildResult = Result<IndicatorPtr, StrategyError>;

// Exact match on the key's bytes; "Macd" and "Bollinger" are aliases of
// "MacdIndicator" and "BollingerBands". A state whose storage cannot be had
// fails the build instead of ending the process.
BuildResult build_indicator(std::string_view key, std::span<const double> params);

// The feed the type consumes; Feed::None for any text that is not a type key
// (the two aliases included).
Feed feed_of_indicator(std::string_view key);

// InvalidParameters(key, display text of e).
StrategyError wrap_constructor_error(std::string_view key, const IndicatorError& e);

Result<double, StrategyError> param_f64(std::span<const double> params, std::size_t i,
                                        std::string_view key);
Result<std::uint64_t, StrategyError> param_usize(std::span<const double> params, std::size_t i,
                                                 std::string_view key);
Result<std::int32_t, StrategyError> param_i32(std::span<const double> params, std::size_t i,
                                              std::string_view key);
Result<std::uint32_t, StrategyError> param_u32(std::span<const double> params, std::size_t i,
                                               std::string_view key);

namespace registry {

// The parameters of one build, as an entry sees them.
class Params {
 public:
  Params(std::span<const double> values, std::string_view key) : values_(values), key_(key) {}
  std::string_view key() const { return key_; }
  Result<double, StrategyError> f64(std::size_t i) const { return param_f64(values_, i, key_); }
  Result<std::uint64_t, StrategyError> usize(std::size_t i) const {
    return param_usize(values_, i, key_);
  }
  Result<std::int32_t, StrategyError> i32(std::size_t i) const { return param_i32(values_, i, key_); }
  Result<std::uint32_t, StrategyError> u32(std::size_t i) const { return param_u32(values_, i, key_); }

 private:
  std::span<const double> values_;
  std::string_view key_;
};

using BuildFn = BuildResult (*)(const Params&);

// The parameters a type is usually built with: the example its row gives, and
// what the tests, the benchmarks and the fingerprint build every key with.
class CustomaryParams {
 public:
  static constexpr std::size_t kMax = 9;
  constexpr CustomaryParams() = default;
  constexpr CustomaryParams(std::initializer_list<double> values) : size_(values.size()) {
    std::size_t i = 0;
    for (double v : values) values_[i++] = v;  // more than kMax: not a constant expression
  }
  std::span<const double> values() const { return {values_.data(), size_}; }

 private:
  std::array<double, kMax> values_{};
  std::size_t size_ = 0;
};

// What the indicator reference (docs/indicators.md) says of a type that the
// code cannot tell by itself; the rest of each row (parameter count and
// kinds, named outputs, feed, whether candles alone drive it) is read off the
// type by running it, and every claim here is checked the same way.
struct EntryDoc {
  // Each parameter in index order, separated by "; ": its name, then the
  // accepted values as an interval, then an optional note in braces:
  //   "period [1, MAX]; factor (0, 1]; slow [1, MAX] {above `fast`}"
  // MAX is 16777216, the longest window; inf bounds nothing. A note states
  // a rule between parameters: the generator then tests only that the values
  // outside the interval are refused.
  std::string_view params;
  // What a bar's value is, in one sentence.
  std::string_view value;
  // warmup_period() as an expression of the parameter names: + - * /, floor,
  // ceil, round (half away from zero), sqrt, max, min and parentheses; it
  // must give what the type reports.
  std::string_view warmup;
};

// One type key: what it is fed, how it is built, its customary parameters and
// what its reference says of it.
struct Entry {
  std::string_view key;
  Feed feed;
  BuildFn build;
  CustomaryParams params;
  EntryDoc doc{};
};

// Boxes a constructed state, or wraps its constructor error with the key.
template <class T>
BuildResult box(const Params& p, Result<T, IndicatorError> made) {
  if (!made.ok()) return err(wrap_constructor_error(p.key(), made.error()));
  return IndicatorPtr(std::make_unique<T>(std::move(made).value()));
}

// Every registered entry, family by family (for tests and benchmarks).
std::span<const std::span<const Entry>> families();

}  // namespace registry
}  // namespace fendro
