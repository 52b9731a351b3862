// The local calendar day of a bar's time under a UTC offset in minutes.
#pragma once

#include <cstdint>

namespace fendro::vol {

// Integer division rounding toward minus infinity (b > 0).
constexpr std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// Days since 1970-01-01 of the local date: floor((floor(time / 1000) +
// offset * 60) / 86400), all in 64 bits, where nothing can overflow. Two
// times share a local (proleptic Gregorian) date exactly when their day
// numbers are equal, the date of a day number being unique.
constexpr std::int64_t local_day(std::int64_t time_ms, std::int32_t offset_minutes) {
  const std::int64_t seconds = floor_div(time_ms, 1000) + std::int64_t{offset_minutes} * 60;
  return floor_div(seconds, 86400);
}

}  // namespace fendro::vol
