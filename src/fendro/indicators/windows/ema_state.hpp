// Exponential average seeded by the plain mean of its first n inputs.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct EmaState {
  std::uint64_t period = 0;
  double alpha = 0.0;
  double one_minus_alpha = 0.0;
  double value = 0.0;      // the current average; 0.0 until seeded
  double seed_sum = -0.0;  // sum of the first inputs
  std::uint64_t seed_count = 0;
  CopyRun seed_copies;  // of the first inputs
  bool seeded = false;
  // Every input so far was a copy of flat_x: the average of copies is
  // flat_x itself, which the mean and the steps only approach by rounding.
  // The value keeps its arithmetic; only what is read changes.
  bool flat = false;
  double flat_x = 0.0;
  // Seeded and not flat: the plain average's one test a step.
  bool plain = false;
  SettledStep settled;  // the step skipped on a value that no longer moves

  // alpha = 2 / (n + 1); unchecked (callers refuse 0 and lengths above MAX_PERIOD).
  static EmaState of_period(std::uint64_t n) {
    return with_alpha(n, 2.0 / (static_cast<double>(n) + 1.0));
  }
  // A fixed smoothing factor, still seeded by the mean of the first n inputs.
  static EmaState with_alpha(std::uint64_t n, double alpha) {
    EmaState s;
    s.period = n;
    s.alpha = alpha;
    s.one_minus_alpha = 1.0 - alpha;
    return s;
  }
};

// Period checks (0, then MAX_PERIOD), then `EmaState::of_period(n)`.
Result<EmaState, IndicatorError> ema_state_new(std::uint64_t n);

// One seeding input: true when it is the n-th, which sets the value to the
// mean of the first n.
[[gnu::cold]] bool ema_seed(EmaState& s, double x);
// What the plain average reads while it has only seen copies: x while it is
// one more copy, else the value (and the average is no longer flat).
[[gnu::cold]] double ema_flat_read(EmaState& s, double x);
// What ema_update's step where the average is not plain reads: no value
// while seeding, else the value. Handed back in two registers, a double and
// a flag, so that neither an optional nor the caller's value is kept in
// memory on the plain path.
struct EmaRead {
  double value;
  bool has;
};
// ema_update's step where the average is not plain: seeding, or flat.
[[gnu::cold]] EmaRead ema_update_unplain(EmaState& s, double x);

// The seeded step: alpha * x + round(one_minus_alpha * value), with a single
// rounding of the sum (fused multiply-add).
inline double ema_step(double alpha, double one_minus_alpha, double value, double x) {
  const double kept = one_minus_alpha * value;
  return fused_mul_add(alpha, x, kept);
}

// x must be finite (callers check). No value until the n-th input, which
// yields the mean of the first n; then ema_step. An average of nothing but
// copies of x reads x. The plain step, for an
// average of prices: on a halted market it stays at the last price, a
// normal number, so it has nothing to settle.
inline std::optional<double> ema_update(EmaState& s, double x) {
  if (s.plain) [[likely]] {
    s.value = ema_step(s.alpha, s.one_minus_alpha, s.value, x);
    return s.value;
  }
  const EmaRead r = ema_update_unplain(s, x);
  if (!r.has) return std::nullopt;
  return r.value;
}

// ema_update with its value handed back in `read` (true when there is one):
// for owners that hold one average's value while they step another, where
// GCC keeps a held optional in memory and reads its flag back through a
// narrower write on every bar.
inline bool ema_update_to(EmaState& s, double x, double& read) {
  if (s.plain) [[likely]] {
    s.value = ema_step(s.alpha, s.one_minus_alpha, s.value, x);
    read = s.value;
    return true;
  }
  const EmaRead r = ema_update_unplain(s, x);
  read = r.value;
  return r.has;
}

// ema_update of a series that falls to 0 on a halted market (moves, ranges,
// volumes, differences of averages): the step is skipped once its value has
// decayed below normal and settled there (settled_step). The test reads the
// stored value, not a copy in a register: one instruction on its memory.
inline std::optional<double> ema_update_settled(EmaState& s, double x) {
  if (s.seeded) [[likely]] {
    s.value = settled_step(s.settled, s.value, x, [&s](double v, double in) {
      return ema_step(s.alpha, s.one_minus_alpha, v, in);
    });
  } else if (!ema_seed(s, x)) {
    return std::nullopt;
  }
  return s.value;
}

// ema_update on an owner's settled path (see settled_path): once seeded, the
// step through its record.
inline std::optional<double> ema_update_kept(EmaState& s, double x) {
  if (s.seeded) [[likely]] {
    const auto ema = [&s](double v, double in) {
      return ema_step(s.alpha, s.one_minus_alpha, v, in);
    };
    s.value = kept_step(s.settled, s.value, x, ema);
  } else if (!ema_seed(s, x)) {
    return std::nullopt;
  }
  return s.value;
}

// ema_update, or ema_update_kept on the owner's settled path (Kept).
template <bool Kept>
inline std::optional<double> ema_update_as(EmaState& s, double x) {
  if constexpr (Kept) {
    return ema_update_kept(s, x);
  } else {
    return ema_update(s, x);
  }
}

// The step of an average its owner knows to be seeded: its value is 0 until
// seeded, so one the owner has found normal has been.
inline double ema_seeded_update(EmaState& s, double x) {
  s.value = ema_step(s.alpha, s.one_minus_alpha, s.value, x);
  return s.value;
}

// N averages of one length, each fed the value of the one before it.
template <std::size_t N>
std::array<EmaState, N> ema_chain(std::uint64_t n) {
  std::array<EmaState, N> stages;
  stages.fill(EmaState::of_period(n));
  return stages;
}

namespace detail {

template <std::size_t N, class Update>
[[gnu::always_inline]] inline bool ema_chain_through(std::array<EmaState, N>& stages, double x,
                                                     std::array<double, N>& out, Update update) {
  double in = x;
  for (std::size_t k = 0; k < N; ++k) {
    double v;
    if (!update(stages[k], in, v)) return false;
    if (k + 1 < N && !std::isfinite(v)) return false;
    out[k] = in = v;
  }
  return true;
}

}  // namespace detail

// Feeds finite x through the chain with the plain step (a chain of averages
// of prices). Every stage but the last passes its value on only when it is
// finite (else no value; the later stages are untouched). True once the last
// stage has a value; `out` then holds every stage's value. Inlined into its
// owner: a call here costs more than the steps.
template <std::size_t N>
[[gnu::always_inline]] inline bool ema_chain_update(std::array<EmaState, N>& stages, double x,
                                                    std::array<double, N>& out) {
  return detail::ema_chain_through(stages, x, out, [](EmaState& s, double in, double& read) {
    return ema_update_to(s, in, read);
  });
}

// ema_chain_update, or on the owner's settled path (Kept) each stage as
// ema_update_kept.
template <bool Kept, std::size_t N>
[[gnu::always_inline]] inline bool ema_chain_update_as(std::array<EmaState, N>& stages, double x,
                                                       std::array<double, N>& out) {
  return detail::ema_chain_through(stages, x, out, [](EmaState& s, double in, double& read) {
    const std::optional<double> v = ema_update_as<Kept>(s, in);
    if (v) read = *v;
    return v.has_value();
  });
}

}  // namespace fendro
