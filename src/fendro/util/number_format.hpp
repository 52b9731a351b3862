// Number texts shared by messages and writers.
#pragma once

#include <cstdint>
#include <string>

namespace fendro {

// The shortest digits that read back as the same f64, written positionally,
// never with an exponent: 0.5, 3, -2.5, "-0", 1e21 -> "1000000000000000000000",
// 1.5e-7 -> "0.00000015". The value must be finite.
void append_shortest_positional(std::string& out, double v);
std::string shortest_positional(double v);

void append_u64(std::string& out, std::uint64_t v);
void append_i64(std::string& out, std::int64_t v);

}  // namespace fendro
