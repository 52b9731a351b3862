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
  // A key or reference as given, which may be long: copied in stretches
  // (see append_paced).
  static StrategyError unknown_indicator(std::string_view key) { return {Kind::UnknownIndicator, copied(key), {}}; }
  static StrategyError invalid_parameters(std::string_view key, std::string why) {
    return {Kind::InvalidParameters, copied(key), std::move(why)};
  }
  static StrategyError undeclared_indicator(std::string_view ref) {
    return {Kind::UndeclaredIndicator, copied(ref), {}};
  }
  static StrategyError invalid_input(std::string t) { return {Kind::InvalidInput, std::move(t), {}}; }

  // The message, built in stretches with the thread's scope asked between
  // them; once told to stop, only a part of it.
  std::string display() const;
  bool operator==(const StrategyError&) const = default;

 private:
  static std::string copied(std::string_view text);
};

}  // namespace fendro
