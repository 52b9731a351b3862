#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"

namespace fendro {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

enum class Reader { F64, Usize, I32, U32 };

// The value read (as a double, for one table of all four kinds) or the
// displayed error.
struct Outcome {
  bool ok;
  double value;
  std::string error;
};

Outcome read(Reader kind, const std::vector<double>& params, std::size_t i) {
  auto pack = [](auto r) -> Outcome {
    if (r.ok()) return {true, static_cast<double>(r.value()), ""};
    return {false, 0.0, r.error().display()};
  };
  switch (kind) {
    case Reader::F64: return pack(param_f64(params, i, "Key"));
    case Reader::Usize: return pack(param_usize(params, i, "Key"));
    case Reader::I32: return pack(param_i32(params, i, "Key"));
    case Reader::U32: return pack(param_u32(params, i, "Key"));
  }
  return {};
}

struct Case {
  Reader kind;
  double v;
  double want;           // when accepted
  const char* rejected;  // the reason, or nullptr when accepted
};

TEST(ParamReaders, AcceptOrRejectEachValue) {
  using R = Reader;
  const std::vector<Case> cases = {
      {R::F64, -0.0, -0.0, nullptr},
      {R::F64, 4.9e-324, 4.9e-324, nullptr},
      {R::F64, -1e300, -1e300, nullptr},
      {R::Usize, 0, 0, "parameter #1 must be a positive integer, got 0"},
      {R::Usize, -0.0, 0, "parameter #1 must be a positive integer, got -0"},
      {R::Usize, 3.5, 0, "parameter #1 must be a positive integer, got 3.5"},
      {R::Usize, -2, 0, "parameter #1 must be a positive integer, got -2"},
      {R::Usize, 1.0000000000000002, 1, nullptr},
      {R::Usize, 2.0000000000000004, 0, "parameter #1 must be a positive integer, got 2.0000000000000004"},
      {R::Usize, 1e-20, 0, nullptr},
      {R::Usize, 16777216, 16777216, nullptr},
      {R::Usize, 1.5e-7, 0, "parameter #1 must be a positive integer, got 0.00000015"},
      {R::I32, -2147483648.0, -2147483648.0, nullptr},
      {R::I32, 2147483647.0, 2147483647.0, nullptr},
      {R::I32, 2147483648.0, 0, "parameter #1 must be an i32, got 2147483648"},
      {R::I32, -2147483649.0, 0, "parameter #1 must be an i32, got -2147483649"},
      {R::I32, -0.0, 0, nullptr},
      {R::I32, -1e-20, 0, nullptr},
      {R::I32, -7.5, 0, "parameter #1 must be an i32, got -7.5"},
      {R::U32, -0.0, 0, nullptr},
      {R::U32, 4294967295.0, 4294967295.0, nullptr},
      {R::U32, 4294967296.0, 0, "parameter #1 must be a u32, got 4294967296"},
      {R::U32, -1e-20, 0, "parameter #1 must be a u32, got -0.00000000000000000001"},
      {R::U32, 0.5, 0, "parameter #1 must be a u32, got 0.5"},
  };
  for (const Case& k : cases) {
    const Outcome o = read(k.kind, {99, k.v}, 1);
    if (k.rejected != nullptr) {
      EXPECT_FALSE(o.ok) << k.v;
      EXPECT_EQ(o.error, std::string("invalid parameters for indicator Key: ") + k.rejected);
    } else {
      ASSERT_TRUE(o.ok) << k.v << " " << o.error;
      EXPECT_EQ(o.value, k.want) << k.v;
      EXPECT_EQ(std::signbit(o.value), std::signbit(k.want)) << k.v;
    }
  }
}

TEST(ParamReaders, UsizeSaturatesAtTheLargestInteger) {
  for (double v : {18446744073709551616.0, 1e21, 1e300, std::numeric_limits<double>::max()}) {
    auto r = param_usize(std::vector<double>{v}, 0, "K");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, ~std::uint64_t{0}) << v;
  }
  auto below = param_usize(std::vector<double>{18446744073709549568.0}, 0, "K");  // 2^64 - 2048
  ASSERT_TRUE(below.ok());
  EXPECT_EQ(*below, 18446744073709549568u);
}

TEST(ParamReaders, MissingAndNonFiniteComeFirstWhateverTheKind) {
  for (Reader kind : {Reader::F64, Reader::Usize, Reader::I32, Reader::U32}) {
    EXPECT_EQ(read(kind, {}, 0).error, "invalid parameters for indicator Key: missing parameter #0");
    EXPECT_EQ(read(kind, {1, 2}, 2).error, "invalid parameters for indicator Key: missing parameter #2");
    for (double bad : {kNaN, kInf, -kInf}) {
      EXPECT_EQ(read(kind, {1, bad}, 1).error,
                "invalid parameters for indicator Key: parameter #1 must be finite");
    }
  }
}

}  // namespace
}  // namespace fendro
