// What a type reads on one-price candles, as a row of the reference states
// it: a claim about the steady value at a price and a volume ("reads the
// price", "reads 0.98 times the price", "gives no value"), the words it is
// written in, and the words read back. A claim holds at a price and volume
// where the type's steady value is, bit for bit, what the claim computes
// there in floating point.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fendro::reference {

struct FlatClaim {
  enum class Kind {
    kNoValue,           // gives no value
    kConstant,          // reads c
    kPriceTimes,        // reads c times the price (c 1: "the price")
    kPricePlus,         // reads the price plus c (or minus -c)
    kPriceSquared,      // reads the price squared
    kVolumeTimes,       // reads c times the volume (c 1: "the volume")
    kPriceTimesVolume,  // reads the price times the volume
  };
  Kind kind = Kind::kNoValue;
  double c = 0.0;

  // What the claim says a type reads at `price` and `volume`; nothing for
  // no value.
  std::optional<double> value_at(double price, double volume) const;
  // Whether `got`, the steady value there (nothing: none), is that, bit for
  // bit.
  bool holds(double price, double volume, std::optional<double> got) const;
  // The words after "it": "reads 2 times the price", "gives no value".
  std::string words() const;
  bool operator==(const FlatClaim&) const = default;
};

// The claims `got`, the steady value at `price` and `volume`, could be the
// one case of, in the order tried: no value, one value, the multiple of the
// price, the price plus a value, the price squared, the multiple of the
// volume, the price times the volume. Each is true at that point; the
// caller tries it at the others.
std::vector<FlatClaim> flat_claims_through(double price, double volume, std::optional<double> got);

// The claim of `words` (as words() writes it), or nothing where they are
// not such words.
std::optional<FlatClaim> read_flat_claim(std::string_view words);

}  // namespace fendro::reference
