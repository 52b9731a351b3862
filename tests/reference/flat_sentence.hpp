// The sentence a row gives of its type's flat case, found by running it on
// one-price candles at prices of every scale (0.00103 to 1e9 + 0.01) and at
// volumes of 0, 1 and fractions: the value it settles on past its first
// warm-up, held bit for bit to three warm-ups. The case is written only
// where one claim (flat_claims.hpp) holds at every price and volume tried,
// or one at every volume above 0 and another at volume 0; and what is
// written is read back and tried at each of them again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fendro::reference {

// The prices and volumes tried.
inline constexpr double kOnePrices[] = {0.00103, 0.3, 4.0, 7.77, 123.456, 30000.17, 1e9 + 0.01};
inline constexpr double kOnePriceVolumes[] = {0.0, 1.0, 0.37, 1.7};

// "On one-price candles it reads the price." where that holds at every
// price and volume, "On one-price candles it reads the price; at volume 0
// it gives no value." where volume 0 has a case of its own; "" where the
// value moves, differs by scale in a way no claim tells, or is refused.
std::string flat_sentence(std::string_view key, const std::vector<double>& params);

// The faults of the flat case `value` (a row's written value) states, tried
// on the type at `params` at every price and volume: none when it holds or
// states none.
std::vector<std::string> flat_sentence_faults(std::string_view value, std::string_view key,
                                              const std::vector<double>& params);

}  // namespace fendro::reference
