#include "reference/sample_candles.hpp"

#include <algorithm>

namespace fendro::reference {
namespace {

std::uint64_t xorshift64(std::uint64_t state) {
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return state;
}

// Python's `//`: the quotient rounded toward minus infinity (b > 0).
std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

double price_of(std::int64_t cents) { return static_cast<double>(cents) / 100.0; }

}  // namespace

std::vector<Candle> sample_candles(std::size_t count, std::uint64_t seed, std::int64_t start_cents) {
  std::uint64_t state = seed * 0x9E3779B97F4A7C15ULL;
  if (state == 0) state = 1;
  std::int64_t cents = start_cents;
  const std::int64_t floor = cents * 15 / 100;
  const std::int64_t ceiling = cents * 5;
  std::int64_t drift = 0;      // basis points per bar
  std::int64_t direction = 1;  // -1 while the walk runs mirrored
  std::vector<Candle> out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    state = xorshift64(state);
    if (i % 240 == 0) drift = static_cast<std::int64_t>(state % 13) - 6;
    const std::int64_t step_bps = static_cast<std::int64_t>((state >> 8) % 121) - 60 + drift;
    const std::int64_t open_cents = cents;
    cents = open_cents + direction * floor_div(open_cents * step_bps, 10'000);
    if (cents < floor || cents > ceiling) {
      const std::int64_t bound = cents < floor ? floor : ceiling;
      cents = 2 * bound - cents;
      direction = -direction;
    }
    const auto wick_up = static_cast<std::int64_t>((state >> 20) % 40);
    const auto wick_down = static_cast<std::int64_t>((state >> 32) % 40);
    const std::int64_t top = std::max(open_cents, cents);
    const std::int64_t bottom = std::min(open_cents, cents);
    const std::int64_t high = top + top * wick_up / 10'000;
    const std::int64_t low = bottom - bottom * wick_down / 10'000;
    const auto volume = static_cast<std::int64_t>(500 + (state >> 44) % 4500);
    out.push_back(Candle{kSampleStartTimeMs + static_cast<std::int64_t>(i) * kSampleHourMs, price_of(open_cents),
                         price_of(high), price_of(low), price_of(cents), static_cast<double>(volume)});
  }
  return out;
}

}  // namespace fendro::reference
