// The one error of indicator construction and of the market-record checks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fendro {

struct IndicatorError {
  enum class Kind : std::uint8_t {
    ZeroPeriod,
    InvalidPeriod,
    NonFiniteInput,
    InvalidCandle,
    InvalidTick,
    NonPositiveMultiplier,
    InvalidOrderBook,
    InvalidTrade,
    InvalidDerivativesTick,
    InvalidCrossSection,
    InvalidParameter,
  };
  Kind kind;
  std::string_view reason;  // always a static text

  static IndicatorError zero_period() { return {Kind::ZeroPeriod, {}}; }
  static IndicatorError invalid_period(std::string_view why) { return {Kind::InvalidPeriod, why}; }
  static IndicatorError non_positive_multiplier() { return {Kind::NonPositiveMultiplier, {}}; }
  static IndicatorError invalid_parameter(std::string_view why) { return {Kind::InvalidParameter, why}; }
  static IndicatorError invalid_candle(std::string_view why) { return {Kind::InvalidCandle, why}; }
  static IndicatorError invalid_trade(std::string_view why) { return {Kind::InvalidTrade, why}; }

  std::string display() const;
  bool operator==(const IndicatorError&) const = default;
};

inline constexpr std::uint64_t MAX_PERIOD = 16777216;  // 2^24
inline constexpr std::string_view kMaxPeriodReason =
    "period exceeds the maximum supported window length (see MAX_PERIOD)";

}  // namespace fendro
