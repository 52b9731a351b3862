// The settled shortcuts give back exactly what the full steps would, bit for
// bit: on averages that decay into the subnormal numbers and settle, on zeros
// of either sign, and on settled states that an input moves again.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "fendro/indicators/averages/smma.hpp"
#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/trend/adx_core.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/indicators/windows/sma_window.hpp"

namespace fendro {
namespace {

using Step = std::function<double(double, double)>;

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// Runs of one input: {input, count}.
struct Run {
  double input;
  int count;
};

std::vector<double> inputs_of(const std::vector<Run>& runs) {
  std::vector<double> out;
  for (const Run& r : runs) out.insert(out.end(), static_cast<std::size_t>(r.count), r.input);
  return out;
}

constexpr double kTiny = std::numeric_limits<double>::denorm_min();

struct StepCase {
  const char* name;
  Step step;
};

// The shared steps at a customary length.
std::vector<StepCase> step_cases() {
  const EmaState ema = EmaState::of_period(14);
  return {
      {"ema", [ema](double v, double x) { return ema_step(ema.alpha, ema.one_minus_alpha, v, x); }},
      {"wilder", [](double v, double x) { return fused_mul_add(v, 13.0, x) * (1.0 / 14.0); }},
      {"wilder_sum", [](double v, double x) { return wilder_sum_step(v, x, 14.0); }},
      {"smma", [](double v, double x) { return smma_step(v, x, 14.0); }},
  };
}

struct Script {
  const char* name;
  double start;
  std::vector<Run> runs;
  bool settles;  // some step must be skipped
};

std::vector<Script> scripts() {
  return {
      {"decays to a subnormal fixed point", 1e-300, {{0.0, 20000}}, true},
      {"negative, decays with -0.0", -1e-300, {{-0.0, 20000}}, true},
      {"zeros of both signs", -0.0, {{-0.0, 3}, {0.0, 3}, {-0.0, 3}, {0.0, 3}}, true},
      {"settled, then moved and settled again",
       1e-310,
       {{0.0, 3000}, {1e-320, 5}, {0.0, 3000}, {kTiny, 3}, {1.0, 3}, {0.0, 20000}, {-1e-318, 4}, {0.0, 3000}},
       true},
      {"settled, then the input's sign flips", -1e-310, {{-0.0, 3000}, {0.0, 10}, {-0.0, 10}}, true},
      {"never below normal", 1.0, {{2.0, 50}, {0.5, 50}}, false},
  };
}

// The full step at every input against settled_step, bit for bit; the
// counted calls of the step show that the shortcut was taken.
TEST(SettledStep, GivesWhatTheFullStepGives) {
  for (const StepCase& sc : step_cases()) {
    for (const Script& script : scripts()) {
      const std::vector<double> xs = inputs_of(script.runs);
      double full = script.start, fast = script.start;
      SettledStep settled;
      std::size_t calls = 0;
      const auto counted = [&](double v, double x) {
        ++calls;
        return sc.step(v, x);
      };
      for (std::size_t i = 0; i < xs.size(); ++i) {
        full = sc.step(full, xs[i]);
        fast = settled_step(settled, fast, xs[i], counted);
        ASSERT_EQ(bits(fast), bits(full)) << sc.name << ", " << script.name << ", step " << i;
      }
      EXPECT_EQ(calls < xs.size(), script.settles) << sc.name << ", " << script.name;
    }
  }
}

// Calls of the functions that settled_apply and kept_pair are given below: they capture
// nothing, so they count in a variable of their own.
std::size_t applied_calls = 0;

// One update of three states as their owners make it: one test for all of
// them, then either the plain steps or, out of line, each step through its
// record.
void step_three(std::array<SettledStep, 3>& settled, const Step& step, std::array<double, 3>& s,
                const std::array<double, 3>& x) {
  if (all_below_normal(s[0], s[1], s[2])) {
    settled_path(
        [](std::array<SettledStep, 3>* r, const Step* f, std::array<double, 3>* st,
           const std::array<double, 3>* in) {
          kept_steps(*r, *f, SettledSlot{(*st)[0], (*in)[0]}, SettledSlot{(*st)[1], (*in)[1]},
                     SettledSlot{(*st)[2], (*in)[2]});
        },
        &settled, &step, &s, &x);
    return;
  }
  for (std::size_t k = 0; k < 3; ++k) s[k] = step(s[k], x[k]);
}

// Three states stepped together, each with its own input: the one test for
// all of them, a state that stays normal while the others settle, one input
// that moves alone, and zeros of both signs.
TEST(SettledStep, StepsTogetherGiveWhatEachFullStepGives) {
  struct Case {
    const char* name;
    std::array<double, 3> start;
    std::vector<std::array<double, 3>> inputs;
  };
  std::vector<std::array<double, 3>> settle(20000, {0.0, 0.0, -0.0});
  std::vector<std::array<double, 3>> moved = settle;
  moved.insert(moved.end(), 5, {1e-320, 0.0, -0.0});
  moved.insert(moved.end(), 3000, {0.0, 0.0, 0.0});
  moved.insert(moved.end(), 5, {0.0, kTiny, -1e-321});
  moved.insert(moved.end(), 3000, {0.0, 0.0, -0.0});
  std::vector<std::array<double, 3>> signs(3000, {-0.0, 0.0, -0.0});
  signs.insert(signs.end(), 4, {0.0, -0.0, 0.0});
  signs.insert(signs.end(), 4, {-0.0, -0.0, -0.0});
  const std::vector<Case> cases = {
      {"all settle", {1e-300, 3e-305, -1e-300}, settle},
      {"one stays normal", {1e-300, 1.0, -1e-300}, settle},
      {"settle, move, settle", {1e-300, 3e-305, -1e-300}, moved},
      {"zeros of both signs", {-0.0, 0.0, -1e-320}, signs},
  };
  for (const StepCase& sc : step_cases()) {
    for (const Case& c : cases) {
      std::array<double, 3> full = c.start, fast = c.start;
      std::array<SettledStep, 3> settled;
      std::size_t calls = 0;
      const Step counted = [&](double v, double x) { return ++calls, sc.step(v, x); };
      for (std::size_t i = 0; i < c.inputs.size(); ++i) {
        const auto& x = c.inputs[i];
        for (std::size_t k = 0; k < 3; ++k) full[k] = sc.step(full[k], x[k]);
        step_three(settled, counted, fast, x);
        for (std::size_t k = 0; k < 3; ++k) {
          ASSERT_EQ(bits(fast[k]), bits(full[k]))
              << sc.name << ", " << c.name << ", step " << i << ", state " << k;
        }
      }
      EXPECT_LT(calls, 3 * c.inputs.size()) << sc.name << ", " << c.name;
    }
  }
}

// A value read off two settled averages (kept_pair) is the value of the
// averages it is read off, when only one of them moves again.
TEST(SettledStep, KeptValueFollowsEitherState) {
  const Step wilder = step_cases()[1].step;
  std::vector<std::array<double, 2>> inputs(6000, {0.0, 0.0});
  inputs.insert(inputs.end(), 3, {1e-320, 0.0});
  inputs.insert(inputs.end(), 3000, {0.0, 0.0});
  inputs.insert(inputs.end(), 3, {0.0, 1e-319});
  inputs.insert(inputs.end(), 3000, {0.0, -0.0});
  double a = 1e-309, b = 2e-309, fa = a, fb = b;
  std::array<SettledStep, 2> settled;
  SettledValue<2> kept;
  applied_calls = 0;
  const auto counted = [](double x, double y) {
    ++applied_calls;
    return x + y == 0.0 ? 50.0 : (x * 100.0) / (x + y);
  };
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    a = wilder(a, inputs[i][0]);
    b = wilder(b, inputs[i][1]);
    const double v = kept_pair(settled, kept, wilder, counted, fa, inputs[i][0], fb, inputs[i][1]);
    const double want = a + b == 0.0 ? 50.0 : (a * 100.0) / (a + b);
    ASSERT_EQ(bits(v), bits(want)) << "step " << i;
    ASSERT_EQ(bits(fa), bits(a)) << "step " << i;
    ASSERT_EQ(bits(fb), bits(b)) << "step " << i;
  }
  EXPECT_LT(applied_calls, inputs.size());
}

// Each of the N states of fn settles, then moves alone and settles again:
// settled_apply gives fn of the states it is given at every step, and skips
// fn once they have all settled.
template <std::size_t N, class Fn>
void expect_applied_follows(const char* name, Fn fn) {
  const Step wilder = step_cases()[1].step;
  for (std::size_t mover = 0; mover < N; ++mover) {
    std::vector<std::array<double, N>> inputs(6000, std::array<double, N>{});
    std::array<double, N> nudge{};
    nudge[mover] = 1e-319;
    inputs.insert(inputs.end(), 3, nudge);
    inputs.insert(inputs.end(), 3000, std::array<double, N>{});
    nudge[mover] = -0.0;
    inputs.insert(inputs.end(), 3000, nudge);
    std::array<double, N> s;
    for (std::size_t k = 0; k < N; ++k) s[k] = 1e-309 * static_cast<double>(k + 1);
    SettledValue<N> memo;
    const auto counted = [](auto... xs) {
      ++applied_calls;
      return Fn{}(xs...);
    };
    applied_calls = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      for (std::size_t k = 0; k < N; ++k) s[k] = wilder(s[k], inputs[i][k]);
      const double got = std::apply(
          [&](auto... xs) { return settled_apply(memo, all_below_normal(xs...), counted, xs...); },
          s);
      ASSERT_EQ(bits(got), bits(std::apply(fn, s)))
          << name << ", moving state " << mover << ", step " << i;
    }
    EXPECT_LT(applied_calls, inputs.size() / 2) << name << ", moving state " << mover;
  }
}

TEST(SettledStep, AppliedValueFollowsEveryState) {
  expect_applied_follows<1>("root", [](double a) { return std::sqrt(a > 0.0 ? a : 0.0); });
  expect_applied_follows<2>("ratio", [](double a, double b) { return b == 0.0 ? 1.0 : a / b; });
  expect_applied_follows<3>("distance over a third", [](double a, double b, double c) {
    return c > 0.0 ? (a - b) / c : -1.0;
  });
}

// A toy two-pole high-pass, its whole state in bits(): fed a constant, it
// decays into the subnormal numbers and settles.
struct ToyHighpass {
  double y1 = 0.0, y2 = 0.0, x1 = 0.0;
  SettledBlock<3> settled;

  double full(double x) {
    const double y = (y1 * 1.5 - y2 * 0.5625) + (x - x1) * 0.75;
    y2 = y1;
    y1 = y;
    x1 = x;
    return y;
  }
  double step(double x) {
    return settled_block(
        settled, all_below_normal(y1, y2),
        [this] { return std::array<std::uint64_t, 3>{bits(y1), bits(y2), bits(x1)}; }, x, y1,
        [this](double in) { return full(in); });
  }
};

TEST(SettledStep, FilterBlockGivesWhatItsFullStepGives) {
  const std::vector<double> xs =
      inputs_of({{100.0, 5000}, {100.0 + 1e-13, 3}, {100.0, 5000}, {-0.0, 4000}, {0.0, 4000}, {-0.0, 10}});
  ToyHighpass full, fast;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const double want = full.full(xs[i]);
    ASSERT_EQ(bits(fast.step(xs[i])), bits(want)) << "step " << i;
    ASSERT_EQ(bits(fast.y2), bits(full.y2)) << "step " << i;
  }
  EXPECT_TRUE(fast.settled.held);
}

// A settled average scaled by a factor: the product of the very bits of both
// operands, whichever of them changes, zeros of either sign included.
TEST(SettledStep, KeptProductFollowsBothOperands) {
  struct Case {
    const char* name;
    std::vector<std::array<double, 2>> operands;  // {x, m} a step
  };
  const double sub = 3 * kTiny;
  const std::vector<Case> cases = {
      {"settled x, one factor", {{sub, 100.0}, {sub, 100.0}, {sub, 100.0}}},
      {"settled x, the factor changes", {{sub, 2.0}, {sub, 2.0}, {sub, 3.0}, {sub, 3.0}, {sub, 2.0}}},
      {"zeros of either sign", {{0.0, 10.0}, {-0.0, 10.0}, {-0.0, 10.0}, {0.0, 10.0}, {0.0, -10.0}}},
      {"below normal, normal, below again",
       {{sub, 0.5}, {sub, 0.5}, {1e-300, 0.5}, {sub, 0.5}, {-sub, 0.5}, {-sub, 0.5}}},
  };
  for (const Case& c : cases) {
    SettledValue<2> kept;
    for (std::size_t i = 0; i < c.operands.size(); ++i) {
      const auto [x, m] = c.operands[i];
      ASSERT_EQ(bits(settled_times(kept, x, m)), bits(x * m)) << c.name << ", step " << i;
    }
  }
}

// The mean of a window of a settled series, against the plain mean, as the
// series decays, settles, moves again, and changes the sign of its zeros.
TEST(SettledStep, KeptMeanFollowsTheWindowSum) {
  struct Case {
    const char* name;
    std::uint64_t period;
    std::vector<fendro::Run> runs;
  };
  const std::vector<Case> cases = {
      {"settles below normal", 4, {{1e-300, 4}, {5 * kTiny, 40}}},
      {"settled, moved, settled", 3, {{-7 * kTiny, 20}, {-6 * kTiny, 2}, {-7 * kTiny, 20}, {2.0, 1}, {kTiny, 20}}},
      {"zeros of both signs", 2, {{-0.0, 6}, {0.0, 6}, {-0.0, 6}}},
      {"one input, slowly changing", 1, {{kTiny, 3}, {2 * kTiny, 3}, {kTiny, 3}}},
  };
  for (const Case& c : cases) {
    SmaWindow plain(c.period), fast(c.period);
    SettledValue<2> kept;
    const std::vector<double> xs = inputs_of(c.runs);
    for (std::size_t i = 0; i < xs.size(); ++i) {
      const std::optional<double> want = sma_update(plain, xs[i]);
      const std::optional<double> got = sma_update_settled(fast, kept, xs[i]);
      ASSERT_EQ(got.has_value(), want.has_value()) << c.name << ", step " << i;
      if (want) {
        ASSERT_EQ(bits(*got), bits(*want)) << c.name << ", step " << i;
      }
    }
  }
}

}  // namespace
}  // namespace fendro
