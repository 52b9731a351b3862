// The one textual form of a JSON value used for responses and hashing.
#pragma once

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "blake3.h"
#include "fendro/json/value.hpp"
#include "fendro/util/interrupt.hpp"
#include "fendro/util/number_format.hpp"

namespace fendro {

class ResponseWriter;

// Appends the canonical text of `v`: no whitespace, keys in byte order,
// integers as stored, floats by the fixed 8-decimal / shortest-digits rule.
void write_canonical_json(std::string& out, const json::Value& v);
// Appends one JSON string literal with the minimal escaping.
void write_canonical_string(std::string& out, std::string_view s);
// BLAKE3 of the canonical text, as 64 lowercase hex characters.
std::string hash_value(const json::Value& v);
// BLAKE3 of `bytes`, as 64 lowercase hex characters.
std::string hash_text(std::string_view bytes);

// The longest canonical text of one f64: "-" and 309 integer digits.
// Copies a string literal, without its terminating NUL, to `p`; returns the
// end. The fixed pieces of the canonical texts written straight into buffers.
template <std::size_t N>
inline char* put(char* p, const char (&literal)[N]) {
  std::memcpy(p, literal, N - 1);
  return p + (N - 1);
}

inline constexpr std::size_t kFloatTextMax = 320;
// Writes the canonical text of one finite f64 at `p` (kFloatTextMax bytes of
// room); returns the end.
inline char* put_canonical_float(char* p, double x);
// The same text by the direct route (exact 128-bit scaling for every value):
// the reference that put_canonical_float's shortcut is checked against.
char* put_canonical_float_general(char* p, double x);
// Appends the canonical text of one finite f64.
void append_canonical_float(std::string& out, double x);

// Appends to a string through raw pointers, with the interface of HashSink:
// room(n) makes n bytes writable, advance_to() records how far was written.
// The string is cut to the written length when the writer ends; nothing else
// may touch it meanwhile.
class TextWriter {
 public:
  explicit TextWriter(std::string& out);
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  char* room(std::size_t n);
  void advance_to(char* end) { used_ = static_cast<std::size_t>(end - out_.data()); }
  void write(std::string_view bytes);
  // Never: a string is written whole.
  static constexpr bool stopped() { return false; }

 private:
  std::string& out_;
  std::size_t used_;
};

// Hashes a text written piece by piece without ever holding all of it.
// Formatters write straight into room(n) and hand back the end.
class HashSink {
 public:
  // The most one room() call may ask for.
  static constexpr std::size_t kRoomMax = 4096;
  // `interrupt` is asked after about every kAskBytes hashed; once it asks to
  // stop, nothing more is hashed and stopped() tells the writing loops to end.
  static constexpr std::size_t kAskBytes = 256 * 1024;

  explicit HashSink(const Interrupt& interrupt = {});
  HashSink(const HashSink&) = delete;
  HashSink& operator=(const HashSink&) = delete;

  // At least n (<= kRoomMax) writable bytes; valid until the next call.
  char* room(std::size_t n);
  void advance_to(char* end) { used_ = static_cast<std::size_t>(end - buf_.get()); }
  void write(std::string_view bytes);  // any length
  // Hash text of everything written; meaningless once stopped.
  std::string finish();

  bool stopped() const { return stopped_; }
  // From here on `interrupt` is the one asked.
  void watch(const Interrupt& interrupt) { interrupt_ = interrupt; }

 private:
  static constexpr std::size_t kChunk = 64 * 1024;
  void flush();
  void hash(const char* bytes, std::size_t n);

  blake3_hasher hasher_;
  std::unique_ptr<char[]> buf_;  // kChunk + kRoomMax bytes
  std::size_t used_ = 0;
  Interrupt interrupt_;
  std::size_t unasked_ = 0;  // bytes hashed since the interrupt was last asked
  bool stopped_ = false;
};

// The hash text of everything fed to `hasher`, which is left as it was.
std::string hash_hex(const blake3_hasher& hasher);

// The same texts written into a writer or a sink. A writer that stops (its
// interrupt asked it to) ends the writing early: the text is then unfinished.
void write_canonical_json(TextWriter& out, const json::Value& v);
void write_canonical_json(HashSink& out, const json::Value& v);
void write_canonical_json(ResponseWriter& out, const json::Value& v);
void write_canonical_string(TextWriter& out, std::string_view s);
void write_canonical_string(HashSink& out, std::string_view s);
void write_canonical_string(ResponseWriter& out, std::string_view s);
// The string literal whose content is the canonical text of `v`: the bytes
// write_canonical_string gives for what write_canonical_json gives, without
// that text ever being held whole.
void write_canonical_json_as_string(ResponseWriter& out, const json::Value& v);

namespace canonical_detail {

// Below this (the f64 nearest 2^52 / 10^8) floats have eight decimals.
inline constexpr double kShortestFrom = 45035996.27370496;

// The text of q / 10^8 (q > 0) with the fraction's trailing zeros dropped.
// Prices carry few digits: fractions of at most three digits are written by
// table.
inline char* put_scaled(char* p, bool negative, std::uint64_t q) {
  *p = '-';
  p += negative ? 1 : 0;
  const auto whole = static_cast<std::uint32_t>(q / 100000000u);  // < 45035997
  const auto frac = static_cast<std::uint32_t>(q - std::uint64_t{whole} * 100000000u);
  p = put_below_1e8(p, whole);
  if (frac == 0) return p;
  *p++ = '.';
  if (frac % 100000 == 0) {
    const DigitGroup& g = kDigitGroups.trailing[frac / 100000];
    return put_group(p, g, g.length);
  }
  // Trailing '0' bytes are the high zero bytes of (digits XOR "00000000").
  const std::uint64_t w = digits8_word(frac);
  store_digits8(p, w);
  return p + 8 - std::countl_zero(w ^ 0x3030303030303030ULL) / 8;
}

// |x| * 10^8 within 1/4 of a half: rounded from the exact product.
char* put_canonical_float_near_half(char* p, double x);

}  // namespace canonical_detail

// Inline, so that the floats of one record overlap their work: of the
// values below 45035996.27370496, those whose scaled value is plainly not
// near a half are written here.
inline char* put_canonical_float(char* p, double x) {
  using namespace canonical_detail;
  const double ax = std::fabs(x);
  // |x| * 10^8 in floating point, when below 2^52, is within half a unit in
  // its last place of the exact product: within y * 2^-53, and never more
  // than 1/4. When its fraction is further than that from 1/2, the exact
  // product rounds to the same integer as y does. NaN, the infinities, zero
  // and the shortest-digits range take the direct route.
  const double y = ax * 1e8;
  if (!(ax < kShortestFrom) || !(y < 4503599627370496.0) || x == 0.0) {  // 2^52
    return put_canonical_float_general(p, x);
  }
  // Signed conversions: one instruction each on common targets.
  const auto units = static_cast<std::int64_t>(y);
  const double f = y - static_cast<double>(units);  // exact: y < 2^52
  // Computed values (an equity, a pnl) have a fraction anywhere in [0, 1):
  // the margin is y's own rounding error (twice a bound of it), not a fixed
  // 1/4. From 1/4 to 3/4, f - 0.5 is exact and y >= 1/4 keeps y * 2^-52
  // a normal number.
  const double off_half = std::fabs(f - 0.5);
  if (off_half <= 0.25 && off_half <= y * 0x1p-52) return put_canonical_float_near_half(p, x);
  // Parsed decimals land just above or just below an integer, either way
  // at random: rounding up is added rather than branched on.
  const std::uint64_t q = static_cast<std::uint64_t>(units) + (f > 0.5 ? 1 : 0);
  if (q == 0) {  // below half a unit of the 8th decimal
    *p = '0';
    return p + 1;
  }
  return put_scaled(p, x < 0, q);
}

}  // namespace fendro
