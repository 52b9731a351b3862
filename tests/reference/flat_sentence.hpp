// The sentence a row gives of its type's flat case, found by running it: on
// one-price candles at 0.3 and at 4.0 (where sums of copies are exact), the
// value it settles on past three warm-ups.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fendro::reference {

// "On one-price candles it reads the price." where the value is the price
// at both, "... it reads X." where it is X at both, "... it gives no value."
// where neither gives one past the first warm-up; "" where the value moves,
// or is another multiple of the price.
std::string flat_sentence(std::string_view key, const std::vector<double>& params);

}  // namespace fendro::reference
