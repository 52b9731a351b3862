#include "fendro/proof/inputs.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

#include "fendro/proof/canonical.hpp"
#include "fendro/util/number_format.hpp"

namespace fendro {

char* put_candle(char* p, const Candle& c) {
  p = put(p, "{\"close\":");
  p = put_canonical_float(p, c.close);
  p = put(p, ",\"high\":");
  p = put_canonical_float(p, c.high);
  p = put(p, ",\"low\":");
  p = put_canonical_float(p, c.low);
  p = put(p, ",\"open\":");
  p = put_canonical_float(p, c.open);
  p = put(p, ",\"time\":");
  p = put_i64(p, c.time);
  p = put(p, ",\"volume\":");
  p = put_canonical_float(p, c.volume);
  *p++ = '}';
  return p;
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
        out.advance_to(put_candle(p, candles[k]));
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
