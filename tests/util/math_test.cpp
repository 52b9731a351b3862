#include "fendro/util/math.hpp"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fendro/util/math_log.hpp"
#include "fendro/util/math_mpfr.hpp"

namespace fendro {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDenormMin = std::numeric_limits<double>::denorm_min();
constexpr double kMin = std::numeric_limits<double>::min();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr std::size_t kInputs = 1000000;  // per function
constexpr unsigned kThreads = 4;

bool same(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

std::string show(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g (%a)", v, v);
  return buf;
}

// The reference: the exact value rounded to odd at 64 bits (truncated, and the
// last bit set when anything was cut off), then rounded once more to double by
// mpfr_get_d, subnormals included. Rounding to odd with two or more extra
// bits makes the second rounding give exactly the correctly rounded double, so
// this is a different route from the module's 53-bit evaluation in a narrowed
// exponent range.
using MpfrUnary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
using MpfrBinary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

struct Reference {
  static constexpr mpfr_prec_t kPrec = 64;
  mpfr_t a, b, r;
  Reference() { mpfr_inits2(kPrec, a, b, r, static_cast<mpfr_ptr>(nullptr)); }
  ~Reference() { mpfr_clears(a, b, r, static_cast<mpfr_ptr>(nullptr)); }
  double to_double(int inexact) {
    if (inexact != 0 && mpfr_regular_p(r) && mpfr_min_prec(r) < kPrec) {
      // The last bit is 0 and the value was truncated: the odd neighbour away
      // from zero lies between it and the exact value's next double boundary.
      if (mpfr_sgn(r) > 0) {
        mpfr_nextabove(r);
      } else {
        mpfr_nextbelow(r);
      }
    }
    return mpfr_get_d(r, MPFR_RNDN);
  }
  double unary(MpfrUnary f, double x) {
    mpfr_set_d(a, x, MPFR_RNDN);
    return to_double(f(r, a, MPFR_RNDZ));
  }
  double binary(MpfrBinary f, double y, double x) {
    mpfr_set_d(a, y, MPFR_RNDN);
    mpfr_set_d(b, x, MPFR_RNDN);
    return to_double(f(r, a, b, MPFR_RNDZ));
  }
};

// Input generators: each draws one argument from a mix of the useful range,
// the whole double range by bit pattern, and the hard regions of the function.
using Rng = std::mt19937_64;

double uniform(Rng& g, double lo, double hi) {
  return std::uniform_real_distribution<double>(lo, hi)(g);
}
double any_bits(Rng& g) { return std::bit_cast<double>(g()); }  // NaN/inf/subnormal too
double positive_bits(Rng& g) { return std::abs(std::bit_cast<double>(g() >> 1)); }
double log_uniform(Rng& g, int lo_exp, int hi_exp) {
  return std::ldexp(uniform(g, 1.0, 2.0), static_cast<int>(uniform(g, lo_exp, hi_exp)));
}
double signed_(Rng& g, double v) { return (g() & 1) ? -v : v; }
double near_one(Rng& g) {
  const std::int64_t k = static_cast<std::int64_t>(g() % 4096) - 2048;
  return (g() & 1) ? 1.0 + std::ldexp(static_cast<double>(k), -52)
                   : 1.0 + uniform(g, -0x1p-8, 0x1p-8);
}

double exp_arg(Rng& g) {
  switch (g() % 4) {
    case 0: return uniform(g, -745.2, 709.8);
    case 1: return uniform(g, -20.0, 20.0);
    case 2: return signed_(g, log_uniform(g, -1074, 0));
    default: return any_bits(g);
  }
}
// Next to a point where the fast log changes table entry (the reduced
// argument crosses 0x1.608p-1 + j 2^-9, j = 0..255, wrapping into [1, 2)),
// at any scale from the subnormals to the largest doubles.
double log_table_edge(Rng& g) {
  const std::uint64_t edge = 0x3fe6080000000000 + ((g() % 257) << 44);
  const double z = std::bit_cast<double>(edge + (g() % 17) - 8);
  const int scale = static_cast<int>(g() % 2100) - 1075;
  return std::ldexp(z, scale);  // exact unless it rounds into the subnormals
}
double log_arg(Rng& g) {
  switch (g() % 7) {
    case 0: return positive_bits(g);
    case 1: return near_one(g);
    case 2: return uniform(g, 0.0, 1000.0);
    case 3: return log_table_edge(g);
    case 4: return log_uniform(g, -1074, -1022);  // subnormals
    case 5: return log_uniform(g, 960, 1024);     // huge, up to the largest double
    default: return any_bits(g);
  }
}
double log1p_arg(Rng& g) {
  switch (g() % 4) {
    case 0: return positive_bits(g);
    case 1: return signed_(g, log_uniform(g, -1074, 0)) * 0.99;
    case 2: return uniform(g, -1.0, 1000.0);
    default: return any_bits(g);
  }
}
double trig_arg(Rng& g) {
  switch (g() % 5) {
    case 0: return uniform(g, -10.0, 10.0);
    case 1: return signed_(g, log_uniform(g, -40, 70));
    case 2: return std::nextafter(static_cast<double>(g() % 200000) * 1.5707963267948966,
                                  (g() & 1) ? kInf : -kInf);  // near multiples of pi/2
    case 3: return uniform(g, -1000.0, 1000.0);
    default: return any_bits(g);  // huge arguments included
  }
}
// Next to a point where the fast atan changes table entry, (k + 1/2) / 1024,
// or the reciprocal of one.
double atan_table_edge(Rng& g) {
  const double edge = std::ldexp(static_cast<double>(2 * (g() % 1024) + 1), -11);
  const double near = edge + std::ldexp(static_cast<double>(static_cast<int>(g() % 9) - 4),
                                        std::ilogb(edge) - 52);
  return (g() & 1) ? near : 1.0 / near;
}
double atan_arg(Rng& g) {
  switch (g() % 5) {
    case 4: return signed_(g, atan_table_edge(g));
    case 0: return uniform(g, -4.0, 4.0);
    case 1: return signed_(g, log_uniform(g, -1074, 1024));
    case 2: return signed_(g, log_uniform(g, -30, 60));
    default: return any_bits(g);
  }
}
double tanh_arg(Rng& g) {
  switch (g() % 4) {
    case 0: return uniform(g, -25.0, 25.0);
    case 1: return signed_(g, log_uniform(g, -1074, 0));
    case 2: return uniform(g, -1.0, 1.0);
    default: return any_bits(g);
  }
}

// IEEE special and boundary values every function also gets.
const std::vector<double>& specials() {
  static const std::vector<double> v = [] {
    std::vector<double> s;
    for (double x : {0.0, kDenormMin, 2 * kDenormMin, kMin, std::nextafter(kMin, 0.0), 0.5,
                     1.0, std::nextafter(1.0, 0.0), std::nextafter(1.0, 2.0), 2.0, 10.0, 1e22,
                     1e300, kMax, kInf, 709.782712893384, 709.7827128933841, -745.1332191019411,
                     -745.1332191019412, -745.0, -746.0, 1.5707963267948966, 3.141592653589793,
                     0x1p-27, 0x1p-26, 19.0, 22.0, 710.0, 0x1p1023,
                     // where atan's fast evaluation starts, ends and changes table point
                     0x1.fffffffffffffp-29, 0x1p54, 0x1.0000000000001p54, 0x1p-11,
                     0x1.0000000000001p-11, 0x1.7ffffffffffffp-10, 0x1.ffcp-1,
                     0x1.ffbffffffffffp-1,
                     // where tanh's fast evaluation starts, ends and changes reduction step
                     0x1p-28, 0x1.5ffffffffffffp4, 21.99, 1.6923e-4, 1.6925e-4, 0.0003385,
                     0.34657359027997264}) {
      s.push_back(x);
      s.push_back(-x);
    }
    s.push_back(kNaN);
    return s;
  }();
  return v;
}

struct UnaryCase {
  const char* name;
  double (*cr)(double);
  double (*slow)(double);  // the module's MPFR path for the same function
  MpfrUnary reference;
  double (*arg)(Rng&);
};

const UnaryCase kUnary[] = {
    {"exp", cr::exp, cr::mpfr_path::exp, mpfr_exp, exp_arg},
    {"expm1", cr::expm1, cr::mpfr_path::expm1, mpfr_expm1, exp_arg},
    {"log", cr::log, cr::mpfr_path::log, mpfr_log, log_arg},
    {"log1p", cr::log1p, cr::mpfr_path::log1p, mpfr_log1p, log1p_arg},
    {"log2", cr::log2, cr::mpfr_path::log2, mpfr_log2, log_arg},
    {"log10", cr::log10, cr::mpfr_path::log10, mpfr_log10, log_arg},
    {"sin", cr::sin, cr::mpfr_path::sin, mpfr_sin, trig_arg},
    {"cos", cr::cos, cr::mpfr_path::cos, mpfr_cos, trig_arg},
    {"atan", cr::atan, cr::mpfr_path::atan, mpfr_atan, atan_arg},
    {"tanh", cr::tanh, cr::mpfr_path::tanh, mpfr_tanh, tanh_arg},
};

// Runs check(index, rng) over kInputs indices on a few threads; returns the
// failure messages (at most a handful per thread).
std::vector<std::string> run_parallel(
    std::uint64_t seed, const std::function<std::string(std::size_t, Rng&, Reference&)>& check) {
  std::vector<std::vector<std::string>> found(kThreads);
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < kThreads; ++t) {
    workers.emplace_back([&, t] {
      {
        Rng g(seed * 1000003u + t);
        Reference ref;
        for (std::size_t i = t; i < kInputs; i += kThreads) {
          std::string m = check(i, g, ref);
          if (!m.empty() && found[t].size() < 5) found[t].push_back(std::move(m));
        }
      }
      mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE);  // the thread's MPFR caches end with it
    });
  }
  for (auto& w : workers) w.join();
  std::vector<std::string> all;
  for (auto& f : found) all.insert(all.end(), f.begin(), f.end());
  return all;
}

class CorrectRounding : public ::testing::TestWithParam<UnaryCase> {};

// Every input against the reference; every 32nd also through the MPFR path,
// which is what a CPU without AVX/FMA runs: both must give the same bits.
TEST_P(CorrectRounding, MatchesMpfrOnAMillionInputs) {
  const UnaryCase c = GetParam();
  const auto& sp = specials();
  const auto failures = run_parallel(std::hash<std::string>{}(c.name), [&](std::size_t i, Rng& g,
                                                                          Reference& ref) {
    const double x = i < sp.size() ? sp[i] : c.arg(g);
    const double want = ref.unary(c.reference, x);
    const double got = c.cr(x);
    if (!same(got, want)) return std::string(c.name) + "(" + show(x) + ") = " + show(got) +
                                 ", correctly rounded " + show(want);
    if (i % 32 == 0 || i < sp.size()) {
      const double slow = c.slow(x);
      if (!same(slow, want)) return std::string("MPFR path ") + c.name + "(" + show(x) +
                                    ") = " + show(slow) + ", correctly rounded " + show(want);
    }
    return std::string();
  });
  for (const auto& f : failures) ADD_FAILURE() << f;
}

INSTANTIATE_TEST_SUITE_P(Math, CorrectRounding, ::testing::ValuesIn(kUnary),
                         [](const auto& info) { return std::string(info.param.name); });

double atan2_part(Rng& g) {
  switch (g() % 4) {
    case 0: return uniform(g, -10.0, 10.0);
    case 1: return signed_(g, log_uniform(g, -1074, 1024));
    case 2: return signed_(g, log_uniform(g, -20, 20));
    default: return any_bits(g);
  }
}

TEST(CorrectRoundingAtan2, MatchesMpfrOnAMillionInputs) {
  const auto& sp = specials();
  const auto failures = run_parallel(2, [&](std::size_t i, Rng& g, Reference& ref) {
    // Every pair of special values first, then random pairs.
    const std::size_t n = sp.size();
    const double y = i < n * n ? sp[i / n] : atan2_part(g);
    double x = i < n * n ? sp[i % n] : (g() % 8 == 0 ? y * uniform(g, 0.5, 2.0)
                                                     : atan2_part(g));
    if (i >= n * n && g() % 8 == 1) x = y / atan_table_edge(g);  // y / x near an edge
    const double want = ref.binary(mpfr_atan2, y, x);
    const double got = cr::atan2(y, x);
    if (!same(got, want))
      return "atan2(" + show(y) + ", " + show(x) + ") = " + show(got) + ", correctly rounded " +
             show(want);
    return std::string();
  });
  for (const auto& f : failures) ADD_FAILURE() << f;
}

// The fast log on its own: whenever it decides, it gives the correctly
// rounded value; it declines for every argument that is not a positive finite
// number, and it does decline on some near-ties (near 1 above all), so that
// cr::log's fallback is exercised by the test above.
TEST(FastLog, DecidesCorrectlyOrDeclines) {
  if (!cr::mpfr_path::fast_path_available()) GTEST_SKIP() << "no AVX/FMA on this CPU";
  ASSERT_TRUE(cr::log_fast::build_tables()) << "the table breaks the error bound's assumptions";
  std::vector<std::size_t> declined(kThreads, 0);
  const auto failures = run_parallel(3, [&](std::size_t i, Rng& g, Reference& ref) {
    const double x = log_arg(g);
    const double got = cr::log_fast::try_log(x);
    const bool positive_finite = x > 0.0 && x < kInf;
    if (std::isnan(got)) {
      if (positive_finite) ++declined[i % kThreads];
      return std::string();
    }
    const double want = ref.unary(mpfr_log, x);
    if (!positive_finite || !same(got, want))
      return "fast log(" + show(x) + ") = " + show(got) + ", correctly rounded " + show(want);
    return std::string();
  });
  for (const auto& f : failures) ADD_FAILURE() << f;
  std::size_t total = 0;
  for (std::size_t d : declined) total += d;
  EXPECT_GT(total, 100u) << "the fallback is never taken";
  EXPECT_LT(total, kInputs / 20) << "the fast path declines too often to be one";
  for (double x : {0.0, -0.0, -1.0, -kDenormMin, kInf, -kInf, kNaN}) {
    EXPECT_TRUE(std::isnan(cr::log_fast::try_log(x))) << show(x);
  }
}

// The module narrows MPFR's exponent range only while it computes: a caller's
// own MPFR settings survive.
TEST(CorrectRoundingMpfr, LeavesTheCallersExponentRange) {
  const mpfr_exp_t emin = mpfr_get_emin();
  const mpfr_exp_t emax = mpfr_get_emax();
  cr::atan(0.5);
  cr::atan2(1.0, 3.0);
  cr::tanh(0.25);
  cr::mpfr_path::exp(1e-300);
  EXPECT_EQ(mpfr_get_emin(), emin);
  EXPECT_EQ(mpfr_get_emax(), emax);
}

}  // namespace
}  // namespace fendro

namespace fendro::cr {
namespace {

// A thread that needed the MPFR path leaves nothing of MPFR's behind (the
// sanitizer build's leak check sees what it would keep).
TEST(MpfrPath, AThreadsCachesEndWithIt) {
  double got = 0.0;
  std::thread([&] { got = mpfr_path::atan(0.5) + mpfr_path::exp(1.0); }).join();
  EXPECT_EQ(got, atan(0.5) + exp(1.0));
}

}  // namespace
}  // namespace fendro::cr
