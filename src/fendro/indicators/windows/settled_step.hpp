// A smoothing step skipped once it has settled.
//
// An average of a quantity that falls to 0 when a market stops moving (true
// range, gains and losses, directional moves, volume) decays into the
// subnormal numbers, on which x86 processors take a slow path (tens of ns a
// step), and then settles where the step gives back its own state: x * 13/14
// rounds back to x. A step is a pure function of its state and its input, so
// once it has given back its state, the same input onto the same state gives
// it back again, and the arithmetic can be skipped with every bit kept.
//
// States and inputs are compared bit for bit, never with ==, so that -0.0 and
// +0.0 (and NaNs) are never taken for one another. The record is read and
// written only when the state (every state, for states stepped together) is
// below the smallest normal number in magnitude, a subnormal or a zero: a
// moving market pays one test an update (every average the update steps at
// once), a few instructions that branch the same way on every bar, and the
// rest of the settled path sits out of line (settled_path).
//
// Only averages that can reach 0 take the test: an average of prices stays
// at the last price on a halted market, a normal number, and takes the plain
// step.
#pragma once

#include <array>
#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace fendro {

// The upper 32 bits of x as stored: its sign, its exponent and the top of its
// fraction; testing them needs no 64-bit mask in a register.
inline std::uint32_t high_word(const double& x) {
  constexpr std::size_t offset = std::endian::native == std::endian::little ? 4 : 0;
  std::uint32_t w;
  std::memcpy(&w, reinterpret_cast<const unsigned char*>(&x) + offset, sizeof w);
  return w;
}

inline constexpr std::uint32_t kExponentHighBits = 0x7FF0'0000U;

// True for ±0.0 and the subnormal numbers: a zero exponent field.
inline bool below_normal(const double& x) { return (high_word(x) & kExponentHighBits) == 0; }

// True when every one of xs is below normal: one test of their bits together.
template <std::same_as<double>... D>
inline bool all_below_normal(const D&... xs) {
  return ((high_word(xs) | ...) & kExponentHighBits) == 0;
}

// The last state a step gave back unchanged, with the input it was given.
struct SettledStep {
  // A NaN: never below normal, so it matches no state until a step settles.
  std::uint64_t state = ~std::uint64_t{0};
  std::uint64_t input = 0;
};

// One state of a smoothing and the input of its step.
struct SettledSlot {
  double& state;
  double input;
};

// A value computed from states alone, with the bits of the states it was
// computed from (NaNs until the first).
template <std::size_t N>
struct SettledValue {
  std::array<std::uint64_t, N> states = filled(~std::uint64_t{0});
  double value = 0.0;

 private:
  static constexpr std::array<std::uint64_t, N> filled(std::uint64_t bits) {
    std::array<std::uint64_t, N> a{};
    a.fill(bits);
    return a;
  }
};

// The bits of a recursive filter's whole state (its outputs, its inputs, how
// many it has seen) after a step that left them as they were, with the input
// of that step.
template <std::size_t N>
struct SettledBlock {
  std::array<std::uint64_t, N> state{};
  std::uint64_t input = ~std::uint64_t{0};
  bool held = false;
};

// Within a settled path: step(state, x), or `state` itself when this step
// has already given back this state for this input.
template <class Step>
double kept_step(SettledStep& settled, double state, double x, Step& step) {
  const std::uint64_t s = std::bit_cast<std::uint64_t>(state);
  const std::uint64_t in = std::bit_cast<std::uint64_t>(x);
  if (s == settled.state && in == settled.input) return state;
  const double next = step(state, x);
  if (std::bit_cast<std::uint64_t>(next) == s) settled = SettledStep{s, in};
  return next;
}

namespace detail {

// The paths of states below normal, kept out of line so that the moving
// market's path keeps its registers.
template <class Step>
[[gnu::noinline, gnu::cold]] double settled_step_below_normal(SettledStep& settled, double state,
                                                              double x, Step step) {
  return kept_step(settled, state, x, step);
}

// kept_apply for a value whose owner vouches that it reads only `states`.
template <std::size_t N, class Value, class... D>
double kept_value(SettledValue<N>& memo, Value& value, D... states) {
  const std::array<std::uint64_t, N> bits{std::bit_cast<std::uint64_t>(states)...};
  if (bits == memo.states) return memo.value;
  memo.value = value(states...);
  memo.states = bits;
  return memo.value;
}

}  // namespace detail

// An update's settled path, path(), called out of line and placed with the
// cold code. The caller tests its states (below_normal, all_below_normal:
// one test for every average the update steps) and calls this only when they
// are all below normal; the moving market's path is then the plain steps,
// and neither computes the settled path's arguments nor keeps its registers.
// path captures nothing: what it needs comes as args, in registers, set up
// only on the way in.
template <class Path, class... Args>
  requires std::is_empty_v<Path>
[[gnu::noinline, gnu::cold]] auto settled_path(Path path, Args... args) {
  return path(args...);
}

// An owner's update after its one test: (owner->*plain)(args...) on a moving
// market, or, when `settled`, (owner->*kept)(args...) on the settled path out
// of line. plain and kept are usually one member template: advance<false>
// and advance<true>.
// The arguments are references, handed to the settled path as addresses.
template <class Owner, class R, class... A>
[[gnu::always_inline]] inline R plain_or_settled(bool settled, Owner* owner,
                                                 R (Owner::*plain)(const A&...),
                                                 R (Owner::*kept)(const A&...),
                                                 const std::type_identity_t<A>&... args) {
  if (settled) [[unlikely]] {
    return settled_path(
        [](Owner* o, R (Owner::*k)(const A&...), const A*... a) { return (o->*k)(*a...); }, owner,
        kept, &args...);
  }
  return (owner->*plain)(args...);
}

// Within a settled path: slot.state = step(slot.state, slot.input) for each
// slot in order, or the state itself where its step has already given it
// back for this input.
template <std::size_t N, class Step, std::same_as<SettledSlot>... Slot>
  requires(sizeof...(Slot) == N)
inline void kept_steps(std::array<SettledStep, N>& settled, Step step, Slot... slots) {
  SettledStep* record = settled.data();
  ((slots.state = kept_step(*record++, slots.state, slots.input, step)), ...);
}

// Within a settled path: fn(states...), or the value last computed from these
// very bits. fn captures nothing, so that what it reads (its arguments, and
// constants) is the key: no state it reads can be left out of the record.
template <std::size_t N, class Fn, std::same_as<double>... D>
  requires(sizeof...(D) == N && std::is_empty_v<Fn>)
inline double kept_apply(SettledValue<N>& memo, Fn fn, D... states) {
  return detail::kept_value(memo, fn, states...);
}

// Within a settled path: the step of a recursive filter block, step(x),
// whose whole state is what bits() gives and whose last output is `last`;
// `last` without the arithmetic when a step has left that very state as it
// was for this input.
template <std::size_t N, class Bits, class Step>
double kept_block(SettledBlock<N>& memo, Bits& bits, double x, double last, Step& step) {
  const std::array<std::uint64_t, N> before = bits();
  const std::uint64_t in = std::bit_cast<std::uint64_t>(x);
  if (memo.held && in == memo.input && before == memo.state) return last;
  const double out = step(x);
  if (bits() == before) memo = SettledBlock<N>{before, in, true};
  return out;
}

// Within a settled path: two averages a and b stepped by step(avg, x) with
// inputs x and y through their records, then fn(a, b), kept for these bits.
template <class Step, class Fn>
double kept_pair(std::array<SettledStep, 2>& settled, SettledValue<2>& kept, Step step, Fn fn,
                 double& a, double x, double& b, double y) {
  kept_steps(settled, step, SettledSlot{a, x}, SettledSlot{b, y});
  return kept_apply(kept, fn, a, b);
}

// step(state, x), or `state` itself when the step has already given back this
// state for this input.
template <class Step>
[[gnu::always_inline]] inline double settled_step(SettledStep& settled, const double& state,
                                                  double x, Step step) {
  if (!below_normal(state)) [[likely]] return step(state, x);
  return detail::settled_step_below_normal(settled, state, x, step);
}

// fn(states...), a pure function of its arguments; after a test has found
// the averages it reads below normal (`below`), the value last computed from
// these very bits without calling it (kept_apply, out of line). Ratios and
// products of subnormal averages are as slow as their steps.
template <std::size_t N, class Fn, std::same_as<double>... D>
  requires(sizeof...(D) == N && std::is_empty_v<Fn>)
[[gnu::always_inline]] inline double settled_apply(SettledValue<N>& memo, bool below, Fn fn,
                                                   D... states) {
  if (!below) [[likely]] return fn(states...);
  return settled_path([](SettledValue<N>* m, D... xs) { return kept_apply(*m, Fn{}, xs...); },
                      &memo, states...);
}

// The bits of a block's state, the record that settled_block compares: its
// doubles as stored and its counts and flags as numbers.
template <class... T>
  requires((std::same_as<T, double> || std::integral<T>) && ...)
std::array<std::uint64_t, sizeof...(T)> bits_of(T... parts) {
  const auto bits = [](auto p) -> std::uint64_t {
    if constexpr (std::is_same_v<decltype(p), double>) {
      return std::bit_cast<std::uint64_t>(p);
    } else {
      return static_cast<std::uint64_t>(p);
    }
  };
  return {bits(parts)...};
}

// x * m; while x is below normal, the product last computed from these very
// bits of x and m: a settled average scaled to a width or a percentage
// multiplies no subnormal.
[[gnu::always_inline]] inline double settled_times(SettledValue<2>& memo, double x, double m) {
  const auto times = [](double a, double b) { return a * b; };
  return settled_apply(memo, below_normal(x), times, x, m);
}

// The step of a recursive filter block, step(x), whose whole state is what
// bits() gives and whose last output is `last`; when `below` (its recent
// outputs are below normal) and a step has left that very state as it was
// for this input, `last` without the arithmetic: the filter of a constant
// input that has decayed into the subnormal numbers and settled there.
template <std::size_t N, class Bits, class Step>
[[gnu::always_inline]] inline double settled_block(SettledBlock<N>& memo, bool below, Bits bits,
                                                   double x, double last, Step step) {
  if (!below) [[likely]] return step(x);
  return settled_path(
      [](SettledBlock<N>* m, Bits b, double in, double l, Step s) {
        return kept_block(*m, b, in, l, s);
      },
      &memo, bits, x, last, step);
}

}  // namespace fendro
