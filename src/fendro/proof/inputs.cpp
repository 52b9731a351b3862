#include "fendro/proof/inputs.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "fendro/proof/canonical.hpp"
#include "fendro/util/number_format.hpp"
#include "fendro/util/paced_copy.hpp"

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

// The canonical text of a candle object, members in key order: the fixed
// pieces here, the numbers by `put_float(p, field, x)` (field 1 open, 2
// high, 3 low, 4 close, 5 volume) and `put_time(p, t)`, each returning the
// end of what it wrote.
template <class PutFloat, class PutTime>
FENDRO_INPUTS_INLINE char* put_candle_members(char* p, const Candle& c, PutFloat&& put_float, PutTime&& put_time) {
  p = put(p, "{\"close\":");
  p = put_float(p, 4, c.close);
  p = put(p, ",\"high\":");
  p = put_float(p, 2, c.high);
  p = put(p, ",\"low\":");
  p = put_float(p, 3, c.low);
  p = put(p, ",\"open\":");
  p = put_float(p, 1, c.open);
  p = put(p, ",\"time\":");
  p = put_time(p, c.time);
  p = put(p, ",\"volume\":");
  p = put_float(p, 5, c.volume);
  *p++ = '}';
  return p;
}

template <bool kRemember>
FENDRO_INPUTS_INLINE char* put_candle_text(char* p, const Candle& c, LastClose& last) {
  const char* close = nullptr;
  std::size_t close_length = 0;
  const auto put_float = [&](char* q, int field, double x) {
    if (kRemember && field == 1 && last.length != 0 && std::bit_cast<std::uint64_t>(x) == last.bits) {
      std::memcpy(q, last.text, LastClose::kRoom);
      return q + last.length;
    }
    char* const end = put_canonical_float(q, x);
    if (field == 4) {
      close = q;
      close_length = static_cast<std::size_t>(end - q);
    }
    return end;
  };
  p = put_candle_members(p, c, put_float, [](char* q, std::int64_t t) { return put_i64(q, t); });
  if (kRemember) {
    std::memcpy(last.text, close, LastClose::kRoom);
    last.bits = std::bit_cast<std::uint64_t>(c.close);
    last.length = close_length <= LastClose::kRoom ? close_length : 0;
  }
  return p;
}

}  // namespace

char* put_candle(char* p, const Candle& c) {
  LastClose none;
  return put_candle_text<false>(p, c, none);
}

namespace {

// As put_candle, copying the numbers spelled at `s` (kSpellingRoom bytes
// readable at each) instead of writing them.
FENDRO_INPUTS_INLINE char* put_spelled_candle(char* p, const Candle& c, const CandleSpellings& s) {
  const auto copied = [&](char* q, int field) {
    std::memcpy(q, s.at[field], kSpellingRoom);
    return q + s.length[field];
  };
  return put_candle_members(
      p, c, [&](char* q, int field, double x) { return s.length[field] == 0 ? put_canonical_float(q, x) : copied(q, field); },
      [&](char* q, std::int64_t t) { return s.length[0] == 0 ? put_i64(q, t) : copied(q, 0); });
}

}  // namespace

namespace {

// A stopped sink is looked at after each block of this many candles: a
// small part of the stretch between its asks.
constexpr std::size_t kCandlesPerStopCheck = 512;

constexpr std::string_view kDocumentStart = "{\"candles\":{";

// What comes between the candles of one symbol and the first of the next.
template <class Out>
void put_list_start(Out& out, std::string_view symbol, bool first_symbol) {
  if (!first_symbol) out.write("],");
  write_canonical_string(out, symbol);
  out.write(":[");
}

// What follows the last candle of the last symbol, if any list was written.
template <class Out>
void put_document_end(Out& out, const ProofSpec& spec, bool any_list) {
  out.write(any_list ? "]},\"dataset_ref\":" : "},\"dataset_ref\":");
  write_canonical_string(out, spec.dataset_ref);
  out.write(",\"engine_version\":");
  write_canonical_string(out, ENGINE_VERSION);
  out.write(",\"strategy\":");
  write_canonical_json(out, spec.strategy);
  out.write("}");
}

// {"candles":{symbol:[candle,...],...},"dataset_ref":...,"engine_version":...,"strategy":...}
// written in canonical form (keys in byte order at every level). False when
// `out` stopped part way.
template <class Out>
bool write_inputs(Out& out, const ProofSpec& spec, const MarketData& data) {
  out.write(kDocumentStart);
  bool first_symbol = true;
  for (const auto& [symbol, candles] : data) {  // symbols in byte order
    // Millions of symbols of few candles each: a stop is looked at for each.
    if (out.stopped()) return false;
    LastClose last_close;
    put_list_start(out, symbol, first_symbol);
    first_symbol = false;
    for (std::size_t block = 0; block < candles.size(); block += kCandlesPerStopCheck) {
      if (out.stopped()) return false;
      const std::size_t block_end = std::min(candles.size(), block + kCandlesPerStopCheck);
      for (std::size_t k = block; k < block_end; ++k) {
        char* p = out.room(kCandleTextMax);
        if (k != 0) *p++ = ',';
        out.advance_to(put_candle_text<true>(p, candles[k], last_close));
      }
    }
  }
  put_document_end(out, spec, !first_symbol);
  return !out.stopped();
}

}  // namespace

std::string inputs_document_text(const ProofSpec& spec, const MarketData& data) {
  std::string text;
  {
    TextWriter out(text);
    write_inputs(out, spec, data);
  }
  return text;
}

std::string inputs_hash(const ProofSpec& spec, const MarketData& data) {
  return std::move(inputs_hash(spec, data, Interrupt{})).value();
}

Result<std::string, Stopped> inputs_hash(const ProofSpec& spec, const MarketData& data,
                                         const Interrupt& interrupt, CandleSeal* seal) {
  bool covered = false;
  if (seal != nullptr) {
    auto covers = seal->covers(data, interrupt);
    if (!covers) return err(Stopped{});
    covered = *covers;
  }
  if (covered) {
    const std::unique_ptr<HashSink> sink = std::move(seal->sink_);
    seal->symbols_ = -1;  // used up: a long symbol's copy goes at once
    std::string().swap(seal->symbol_);
    sink->watch(interrupt);
    put_document_end(*sink, spec, true);
    std::string hash = sink->finish();
    if (sink->stopped()) return err(Stopped{});
    return hash;
  }
  HashSink sink(interrupt);
  if (!write_inputs(sink, spec, data)) return err(Stopped{});
  std::string hash = sink.finish();
  if (sink.stopped()) return err(Stopped{});
  return hash;
}

void CandleSeal::symbol(std::string_view name) {
  // Only a lone list is ever used: a second one ends the sealing. The hash
  // is set up at the first: a command without candles costs nothing more.
  if (++symbols_ != 1) {
    sink_.reset();
    return;
  }
  sink_ = std::make_unique<HashSink>(interrupt_);
  sink_->write(kDocumentStart);
  put_list_start(*sink_, name, true);
  if (!sink_->stopped() && !copy_paced(name, symbol_, interrupt_)) copy_stopped_ = true;
}

void CandleSeal::candles(std::span<const Candle> candles, std::span<const CandleSpellings> spellings) {
  if (symbols_ != 1 || stopped()) return;
  for (std::size_t k = 0; k < candles.size(); ++k) {
    char* p = sink_->room(kCandleTextMax);
    if (count_ + k != 0) *p++ = ',';
    sink_->advance_to(spellings.empty() ? put_candle(p, candles[k]) : put_spelled_candle(p, candles[k], spellings[k]));
  }
  count_ += candles.size();
}

bool CandleSeal::stopped() const { return copy_stopped_ || (sink_ != nullptr && sink_->stopped()); }

bool CandleSeal::covers(const MarketData& data) const { return *covers(data, Interrupt{}); }

Result<bool, Stopped> CandleSeal::covers(const MarketData& data, const Interrupt& interrupt) const {
  if (symbols_ != 1 || stopped() || data.size() != 1 || data.begin()->second.size() != count_) return false;
  return equal_paced(data.begin()->first, symbol_, interrupt);
}

}  // namespace fendro
