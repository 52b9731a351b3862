// The inputs document of a proof: what inputs_hash seals. It is streamed
// straight to its canonical text, never built as a tree.
#pragma once

#include <cstddef>
#include <string>

#include "fendro/market/records.hpp"
#include "fendro/proof/canonical.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/util/interrupt.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The room one candle's text may need.
inline constexpr std::size_t kCandleTextMax = 5 * kFloatTextMax + 24 + 64;
// Writes the canonical text of one candle object, members in key order, at p
// (kCandleTextMax bytes of room); returns the end.
char* put_candle(char* p, const Candle& c);

// Canonical text of {"candles": every symbol's decoded candles, "dataset_ref",
// "engine_version", "strategy": the raw strategy value}.
std::string inputs_document_text(const ProofSpec& spec, const MarketData& data);
// Hash text of that document, computed without holding the whole text.
std::string inputs_hash(const ProofSpec& spec, const MarketData& data);
// The same, asking `interrupt` between stretches of candles.
Result<std::string, Stopped> inputs_hash(const ProofSpec& spec, const MarketData& data,
                                         const Interrupt& interrupt);

}  // namespace fendro
