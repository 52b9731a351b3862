// The inputs document of a proof: what inputs_hash seals. It is streamed
// straight to its canonical text, never built as a tree.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "fendro/market/read_market_data.hpp"
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

// The start of the inputs document hashed while a reading decodes its
// candles: while their text is still at hand, copying the numbers already
// spelled as the document spells them. It stands in for that start in the
// inputs hash of data that holds exactly what was read, when that was one
// symbol's list; other data is hashed from its decoded candles.
class CandleSeal final : public CandleListener {
 public:
  // `interrupt` is asked at bounded intervals of the text hashed.
  explicit CandleSeal(const Interrupt& interrupt = {}) : interrupt_(interrupt) {}

  void symbol(std::string_view name) override;
  void candles(std::span<const Candle> candles, std::span<const CandleSpellings> spellings) override;

  // Whether the candles hashed can stand for those of `data`: one symbol
  // list was read, with that name and as many candles. The caller vouches
  // that `data` is what that reading gave.
  bool covers(const MarketData& data) const;
  // The same, a long symbol compared in stretches with `interrupt` asked
  // between them; Stopped when it asked to stop.
  Result<bool, Stopped> covers(const MarketData& data, const Interrupt& interrupt) const;
  // Whether the interrupt asked the hashing to stop: the reading's command
  // is to end there.
  bool stopped() const;

 private:
  friend Result<std::string, Stopped> inputs_hash(const ProofSpec&, const MarketData&, const Interrupt&,
                                                  CandleSeal*);
  Interrupt interrupt_;
  std::unique_ptr<HashSink> sink_;
  std::string symbol_;
  std::size_t count_ = 0;
  int symbols_ = 0;
  bool copy_stopped_ = false;
};

// Canonical text of {"candles": every symbol's decoded candles, "dataset_ref",
// "engine_version", "strategy": the raw strategy value}.
std::string inputs_document_text(const ProofSpec& spec, const MarketData& data);
// Hash text of that document, computed without holding the whole text.
std::string inputs_hash(const ProofSpec& spec, const MarketData& data);
// The same, asking `interrupt` between stretches of candles; from `seal`
// when it covers `data` (the seal is then used up).
Result<std::string, Stopped> inputs_hash(const ProofSpec& spec, const MarketData& data,
                                         const Interrupt& interrupt, CandleSeal* seal = nullptr);

}  // namespace fendro
