// An update that tests its averages once and takes its settled path out of
// line gives, bar for bar, the bits of the plain update that always computes:
// the shared steps and the owners' pairs, over a market that halts and
// settles, moves one field by a hair and settles again, and feeds zeros of
// both signs.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fendro/indicators/averages/smma.hpp"
#include "fendro/indicators/momentum/rsi_state.hpp"
#include "fendro/indicators/trend/adx_core.hpp"
#include "fendro/indicators/trend/atr_state.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/util/math.hpp"

namespace fendro {
namespace {

std::uint64_t bits(std::optional<double> x) {
  return x ? std::bit_cast<std::uint64_t>(*x) : ~std::uint64_t{0};
}

// Candles of a market: moving, then halted at the last close (every price
// the close), then one field moved by an ulp, then halted again; or a market
// whose prices are zeros of both signs.
struct Market {
  const char* name;
  std::vector<Candle> candles;
};

Candle flat(double p) { return Candle{0, p, p, p, p, 0.0}; }

std::vector<Market> markets() {
  std::vector<Candle> moving;
  double p = 100.0;
  for (int i = 0; i < 300; ++i) {
    const double next = p * (1.0 + 0.01 * fendro::cr::sin(i * 0.7));
    moving.push_back(Candle{0, p, std::max(p, next) + 0.25, std::min(p, next) - 0.25, next, 10.0});
    p = next;
  }
  std::vector<Candle> halt = moving;
  halt.insert(halt.end(), 12000, flat(p));
  std::vector<Candle> hair = halt;
  Candle up = flat(p);
  up.high = std::nextafter(p, 1e300);
  hair.push_back(up);
  hair.insert(hair.end(), 12000, flat(p));
  Candle down = flat(std::nextafter(p, 0.0));
  hair.push_back(down);
  hair.insert(hair.end(), 12000, flat(down.close));
  std::vector<Candle> zeros = moving;
  for (int i = 0; i < 6000; ++i) zeros.push_back(flat(i % 7 < 3 ? -0.0 : 0.0));
  return {{"halts", halt}, {"one field moves by an ulp", hair}, {"zeros of both signs", zeros}};
}

using Update = std::function<std::optional<double>(const Candle&)>;

// fn(state, candle) on a state of its own.
template <class State, class Fn>
Update on(State state, Fn fn) {
  return [state, fn](const Candle& c) mutable { return fn(state, c); };
}

// One shared step's pair: the update a moving market takes, and the update
// with its one test and its settled path.
struct Pair {
  const char* name;
  Update plain;
  Update settled;
};

double range(const Candle& c) { return c.high - c.low; }

// The owners' pattern: the one test, then the kept update out of line, else
// the plain one.
std::optional<double> ema_owner(EmaState& s, const Candle& c) {
  if (below_normal(s.value)) {
    return settled_path([](EmaState* e, double x) { return ema_update_kept(*e, x); }, &s, range(c));
  }
  return ema_update(s, range(c));
}

std::optional<double> smma_owner(SmmaState& s, const Candle& c) {
  if (below_normal(s.value)) {
    return settled_path([](SmmaState* e, double x) { return smma_update_kept(*e, x); }, &s,
                        range(c));
  }
  return smma_update(s, range(c));
}

// A window mean of the range, its mean kept on the settled path.
struct KeptSma {
  SmaWindow window = sma_window_new(5).value();
  SettledValue<2> kept;
};

std::optional<double> sma_owner(KeptSma& s, const Candle& c) {
  if (below_normal(s.window.sum)) return sma_update_as<true>(s.window, s.kept, range(c));
  return sma_update_as<false>(s.window, s.kept, range(c));
}

template <bool Kept>
std::optional<double> atr_width(AtrState& s, const Candle& c) {
  const auto a = atr_update_as<Kept>(s, c);
  if (!a) return std::nullopt;
  return atr_times_as<Kept>(s, *a, 2.5);
}

std::optional<double> adx_sum(std::optional<AdxReading> r) {
  if (!r) return std::nullopt;
  return r->plus_di + r->minus_di * 3.0 + r->adx * 7.0;
}

// The RSI as computed before any settled path: both averages and the index
// on every bar, held as it stood once 14 moves in a row were 0.
struct PlainRsi {
  std::optional<double> prev;
  double gain = 0.0, loss = 0.0, gain_sum = 0.0, loss_sum = 0.0;
  int seeds = 0;
  int still = 0;
  double held = 0.0;

  std::optional<double> operator()(double x) {
    const std::optional<double> v = index(x);
    if (!v) return v;
    if (still < 14) return v;
    if (still == 14) held = *v;
    return held;
  }

  std::optional<double> index(double x) {
    const std::optional<double> change = next_change(prev, x);
    if (!change) return std::nullopt;
    still = *change == 0.0 ? still + 1 : 0;
    return averaged(*change);
  }

  std::optional<double> averaged(double change) {
    const Move mv = split_move(change);
    if (seeds < 14) {
      gain_sum = mv.gain + gain_sum;
      loss_sum = mv.loss + loss_sum;
      if (++seeds < 14) return std::nullopt;
      gain = gain_sum / 14.0;
      loss = loss_sum / 14.0;
    } else {
      gain = fused_mul_add(gain, 13.0, mv.gain) * (1.0 / 14.0);
      loss = fused_mul_add(loss, 13.0, mv.loss) * (1.0 / 14.0);
    }
    return up_share_index(gain, loss);
  }
};

std::vector<Pair> pairs() {
  const auto ema = [](EmaState& s, const Candle& c) { return ema_update(s, range(c)); };
  const auto smma = [](SmmaState& s, const Candle& c) { return smma_update(s, range(c)); };
  return {
      {"ema of the range", on(EmaState::of_period(14), ema),
       on(EmaState::of_period(14),
          [](EmaState& s, const Candle& c) { return ema_update_settled(s, range(c)); })},
      {"ema of the range, owner's test", on(EmaState::of_period(9), ema),
       on(EmaState::of_period(9), ema_owner)},
      {"smma of the range, owner's test", on(SmmaState(14), smma), on(SmmaState(14), smma_owner)},
      {"sma of the range, owner's test",
       on(sma_window_new(5).value(),
          [](SmaWindow& w, const Candle& c) { return sma_update(w, range(c)); }),
       on(KeptSma{}, sma_owner)},
      {"atr", on(AtrState(14), atr_update_as<false>),
       on(AtrState(14), [](AtrState& s, const Candle& c) { return atr_update(s, c); })},
      {"atr times 2.5, owner's test", on(AtrState(10), atr_width<false>),
       on(AtrState(10),
          [](AtrState& s, const Candle& c) {
            return atr_settled(s) ? atr_width<true>(s, c) : atr_width<false>(s, c);
          })},
      {"rsi of the close", on(PlainRsi{}, [](PlainRsi& r, const Candle& c) { return r(c.close); }),
       on(RsiState::of_period(14),
          [](RsiState& s, const Candle& c) { return rsi_wilder_update(s, c.close); })},
      {"adx", on(AdxCore(14), [](AdxCore& s, const Candle& c) { return adx_sum(adx_update(s, c)); }),
       on(AdxCore(14),
          [](AdxCore& s, const Candle& c) {
            return adx_sum(s.dm.is_settled() ? adx_update_kept(s, c) : adx_update(s, c));
          })},
  };
}

TEST(SettledPath, GivesThePlainUpdatesBits) {
  for (const Market& m : markets()) {
    for (Pair p : pairs()) {
      Update& plain = p.plain;
      Update& settled = p.settled;
      for (std::size_t i = 0; i < m.candles.size(); ++i) {
        ASSERT_EQ(bits(settled(m.candles[i])), bits(plain(m.candles[i])))
            << p.name << ", " << m.name << ", bar " << i;
      }
    }
  }
}

}  // namespace
}  // namespace fendro
