// The error of building and running a strategy.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fendro {

struct StrategyError {
  enum class Kind : std::uint8_t {
    InvalidSpec,          // "invalid strategy spec: " text
    UnknownIndicator,     // "unknown indicator type: " key
    InvalidParameters,    // "invalid parameters for indicator " key ": " reason
    UndeclaredIndicator,  // "rule references undeclared indicator: " reference
    InvalidInput,         // "invalid input data: " text
  };
  Kind kind;
  std::string text;    // the message, key or reference
  std::string reason;  // InvalidParameters only

  static StrategyError invalid_spec(std::string t) { return {Kind::InvalidSpec, std::move(t), {}}; }
  static StrategyError unknown_indicator(std::string_view key) {
    return {Kind::UnknownIndicator, std::string(key), {}};
  }
  static StrategyError invalid_parameters(std::string_view key, std::string why) {
    return {Kind::InvalidParameters, std::string(key), std::move(why)};
  }
  static StrategyError undeclared_indicator(std::string ref) {
    return {Kind::UndeclaredIndicator, std::move(ref), {}};
  }
  static StrategyError invalid_input(std::string t) { return {Kind::InvalidInput, std::move(t), {}}; }

  std::string display() const;
  bool operator==(const StrategyError&) const = default;
};

}  // namespace fendro
