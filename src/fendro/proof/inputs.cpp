#include "fendro/proof/inputs.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "fendro/proof/canonical.hpp"
#include "fendro/util/number_format.hpp"

#if defined(__GNUC__)
#define FENDRO_INPUTS_INLINE [[gnu::always_inline]] inline
#else
#define FENDRO_INPUTS_INLINE inline
#endif

namespace fendro {

namespace {

// The text of the last close written: a candle's open is nearly always the
// close before it, and a copy costs less than writing the float again.
struct LastClose {
  static constexpr std::size_t kRoom = 32;
  std::uint64_t bits = 0;
  std::size_t length = 0;  // 0: none kept
  char text[kRoom];
};

template <bool kRemember>
FENDRO_INPUTS_INLINE char* put_candle_text(char* p, const Candle& c, LastClose& last) {
  p = put(p, "{\"close\":");
  char* const close = p;
  p = put_canonical_float(p, c.close);
  const auto close_length = static_cast<std::size_t>(p - close);
  p = put(p, ",\"high\":");
  p = put_canonical_float(p, c.high);
  p = put(p, ",\"low\":");
  p = put_canonical_float(p, c.low);
  p = put(p, ",\"open\":");
  if (kRemember && last.length != 0 && std::bit_cast<std::uint64_t>(c.open) == last.bits) {
    std::memcpy(p, last.text, LastClose::kRoom);
    p += last.length;
  } else {
    p = put_canonical_float(p, c.open);
  }
  if (kRemember) {
    std::memcpy(last.text, close, LastClose::kRoom);
    last.bits = std::bit_cast<std::uint64_t>(c.close);
    last.length = close_length <= LastClose::kRoom ? close_length : 0;
  }
  p = put(p, ",\"time\":");
  p = put_i64(p, c.time);
  p = put(p, ",\"volume\":");
  p = put_canonical_float(p, c.volume);
  *p++ = '}';
  return p;
}

}  // namespace

char* put_candle(char* p, const Candle& c) {
  LastClose none;
  return put_candle_text<false>(p, c, none);
}

namespace {

// The interrupt is asked after each block of this many candles: well under a
// millisecond of writing and hashing.
constexpr std::size_t kCandlesPerAsk = 4096;

// {"candles":{symbol:[candle,...],...},"dataset_ref":...,"engine_version":...,"strategy":...}
// written in canonical form (keys in byte order at every level). False when
// `interrupt` stopped it part way.
template <class Out>
bool write_inputs(Out& out, const ProofSpec& spec, const MarketData& data, const Interrupt& interrupt) {
  std::string text = "{\"candles\":{";
  bool first_symbol = true;
  for (const auto& [symbol, candles] : data) {  // symbols in byte order
    LastClose last_close;
    if (!first_symbol) text.push_back(',');
    first_symbol = false;
    write_canonical_string(text, symbol);
    text.append(":[");
    out.write(text);
    for (std::size_t block = 0; block < candles.size(); block += kCandlesPerAsk) {
      const std::size_t block_end = std::min(candles.size(), block + kCandlesPerAsk);
      for (std::size_t k = block; k < block_end; ++k) {
        char* p = out.room(kCandleTextMax);
        if (k != 0) *p++ = ',';
        out.advance_to(put_candle_text<true>(p, candles[k], last_close));
      }
      if (interrupt.stop_requested()) return false;
    }
    text.clear();
    text.push_back(']');
  }
  text.append("},\"dataset_ref\":");
  write_canonical_string(text, spec.dataset_ref);
  text.append(",\"engine_version\":");
  write_canonical_string(text, ENGINE_VERSION);
  text.append(",\"strategy\":");
  write_canonical_json(text, spec.strategy);
  text.push_back('}');
  out.write(text);
  return true;
}

}  // namespace

std::string inputs_document_text(const ProofSpec& spec, const MarketData& data) {
  std::string text;
  {
    TextWriter out(text);
    write_inputs(out, spec, data, Interrupt{});
  }
  return text;
}

std::string inputs_hash(const ProofSpec& spec, const MarketData& data) {
  return std::move(inputs_hash(spec, data, Interrupt{})).value();
}

Result<std::string, Stopped> inputs_hash(const ProofSpec& spec, const MarketData& data,
                                         const Interrupt& interrupt) {
  HashSink sink;
  if (!write_inputs(sink, spec, data, interrupt)) return err(Stopped{});
  return sink.finish();
}

}  // namespace fendro
