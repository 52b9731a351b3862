#include "fendro/proof/canonical.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <memory>

#include "blake3.h"
#include "fendro/proof/response_writer.hpp"
#include "fendro/util/number_format.hpp"

namespace fendro {
namespace {

using canonical_detail::kShortestFrom;  // from here on eight fractional
// digits could no longer tell neighbouring values apart: the shortest digits
// are written.

// |x| * 10^8 rounded to an integer, ties to even, exactly: x = m * 2^e with
// |x| < 2^26 means e <= -27, and m * 10^8 < 2^80 fits 128-bit arithmetic.
std::uint64_t scaled_by_1e8(double ax) {
  const auto bits = std::bit_cast<std::uint64_t>(ax);
  const auto biased = static_cast<int>(bits >> 52);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int e = -1074;
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    e = biased - 1075;
  }
  const int k = -e;  // >= 27
  if (k > 80) return 0;  // below half a unit of 10^-8, never a tie
  const unsigned __int128 n = static_cast<unsigned __int128>(m) * 100000000u;
  const unsigned __int128 q = n >> k;
  const unsigned __int128 rem = n - (q << k);
  const unsigned __int128 half = static_cast<unsigned __int128>(1) << (k - 1);
  auto r = static_cast<std::uint64_t>(q);
  if (rem > half || (rem == half && (r & 1) != 0)) ++r;
  return r;
}

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The 8 fraction digits of `frac` (0 < frac < 10^8) without trailing zeros.
char* put_fraction(char* p, std::uint32_t frac) {
  char digits[8];
  for (int k = 3; k >= 0; --k) {
    const std::uint32_t pair = frac % 100;
    frac /= 100;
    digits[2 * k] = kPairs[2 * pair];
    digits[2 * k + 1] = kPairs[2 * pair + 1];
  }
  // Trailing '0' characters are the high zero bytes of (digits XOR "00000000").
  std::uint64_t word = 0;
  std::memcpy(&word, digits, 8);
  word ^= 0x3030303030303030ULL;
  const int len = 8 - std::countl_zero(word) / 8;
  std::memcpy(p, digits, 8);
  return p + len;
}

// Shortest round-trip digits, positionally: |x| >= 4.5e7 puts the point at
// or after the 8th digit, so there is never a leading "0.".
char* put_shortest(char* p, double x) {
  const ShortestDigits d = shortest_digits(x);
  if (d.negative) *p++ = '-';
  if (d.point >= d.count) {
    std::memcpy(p, d.digits, static_cast<std::size_t>(d.count));
    p += d.count;
    std::memset(p, '0', static_cast<std::size_t>(d.point - d.count));
    return p + (d.point - d.count);
  }
  std::memcpy(p, d.digits, static_cast<std::size_t>(d.point));
  p += d.point;
  *p++ = '.';
  std::memcpy(p, d.digits + d.point, static_cast<std::size_t>(d.count - d.point));
  return p + (d.count - d.point);
}

}  // namespace

char* put_canonical_float_general(char* p, double x) {
  if (!std::isfinite(x)) {  // never in a value tree; JSON has no other spelling
    std::memcpy(p, "null", 4);
    return p + 4;
  }
  if (x == 0.0) {  // either sign
    *p = '0';
    return p + 1;
  }
  const double ax = std::fabs(x);
  if (ax >= kShortestFrom) return put_shortest(p, x);
  // Eight decimals, correctly rounded from the exact binary value, then
  // trailing zeros and a bare point dropped; what rounds to zero is "0".
  const std::uint64_t q = scaled_by_1e8(ax);
  if (q == 0) {
    *p = '0';
    return p + 1;
  }
  if (x < 0) *p++ = '-';
  p = std::to_chars(p, p + 24, q / 100000000u).ptr;
  const auto frac = static_cast<std::uint32_t>(q % 100000000u);
  if (frac == 0) return p;
  *p++ = '.';
  return put_fraction(p, frac);
}

char* canonical_detail::put_canonical_float_near_half(char* p, double x) {
  const std::uint64_t q = scaled_by_1e8(std::fabs(x));
  if (q == 0) {  // what rounds to zero is "0", whatever its sign
    *p = '0';
    return p + 1;
  }
  return canonical_detail::put_scaled(p, x < 0, q);
}

namespace {

template <class Out>
void put_char(Out& out, char c) {
  char* p = out.room(1);
  *p = c;
  out.advance_to(p + 1);
}

// Writes the content of a string literal, escaped minimally, in segments so
// that no room asked for exceeds 6 x 512 bytes (an escape takes at most 6).
// A stopped writer is looked at between segments and ends the text there.
template <class Out>
void put_string_content(Out& out, std::string_view s) {
  static constexpr char kHex[] = "0123456789abcdef";
  static constexpr std::size_t kSegment = 512;
  for (std::size_t at = 0; at < s.size() && !out.stopped(); at += kSegment) {
    const std::size_t n = std::min(kSegment, s.size() - at);
    char* p = out.room(6 * n);
    for (std::size_t k = at; k < at + n; ++k) {
      const auto c = static_cast<unsigned char>(s[k]);
      if (c >= 0x20 && c != '"' && c != '\\') {
        *p++ = static_cast<char>(c);
        continue;
      }
      *p++ = '\\';
      switch (c) {
        case '"': *p++ = '"'; break;
        case '\\': *p++ = '\\'; break;
        case '\b': *p++ = 'b'; break;
        case '\t': *p++ = 't'; break;
        case '\n': *p++ = 'n'; break;
        case '\f': *p++ = 'f'; break;
        case '\r': *p++ = 'r'; break;
        default:
          p = std::copy_n("u00", 3, p);
          *p++ = kHex[c >> 4];
          *p++ = kHex[c & 15];
      }
    }
    out.advance_to(p);
  }
}

// Writes one string literal.
template <class Out>
void put_string(Out& out, std::string_view s) {
  put_char(out, '"');
  put_string_content(out, s);
  put_char(out, '"');
}

template <class Out>
void put_value(Out& out, const json::Value& v) {
  switch (v.kind) {
    case json::Kind::Null: out.write("null"); return;
    case json::Kind::Bool: out.write(v.b ? "true" : "false"); return;
    case json::Kind::UInt: {
      out.advance_to(put_u64(out.room(24), v.u));
      return;
    }
    case json::Kind::NegInt: {
      out.advance_to(put_i64(out.room(24), v.i));
      return;
    }
    case json::Kind::Float: out.advance_to(put_canonical_float(out.room(kFloatTextMax), v.f)); return;
    case json::Kind::String: put_string(out, v.as_string()); return;
    case json::Kind::Array: {
      put_char(out, '[');
      bool first = true;
      for (const json::Value& item : v.as_array()) {
        if (out.stopped()) return;
        if (!first) put_char(out, ',');
        first = false;
        put_value(out, item);
      }
      put_char(out, ']');
      return;
    }
    case json::Kind::Object: {
      // The tree keeps members sorted by key bytes, which is the canonical order.
      put_char(out, '{');
      bool first = true;
      for (const json::Member& m : v.as_object()) {
        if (out.stopped()) return;
        if (!first) put_char(out, ',');
        first = false;
        put_string(out, m.key);
        put_char(out, ':');
        put_value(out, m.value);
      }
      put_char(out, '}');
      return;
    }
  }
}

}  // namespace

TextWriter::TextWriter(std::string& out) : out_(out), used_(out.size()) {}

TextWriter::~TextWriter() { out_.resize(used_); }

char* TextWriter::room(std::size_t n) {
  if (out_.size() < used_ + n) out_.resize(std::max({2 * out_.size(), used_ + n, std::size_t{256}}));
  return out_.data() + used_;
}

void TextWriter::write(std::string_view bytes) {
  char* p = room(bytes.size());
  std::memcpy(p, bytes.data(), bytes.size());
  advance_to(p + bytes.size());
}

void write_canonical_string(std::string& out, std::string_view s) {
  TextWriter w(out);
  put_string(w, s);
}

void write_canonical_json(std::string& out, const json::Value& v) {
  TextWriter w(out);
  put_value(w, v);
}

void write_canonical_json(TextWriter& out, const json::Value& v) { put_value(out, v); }
void write_canonical_json(HashSink& out, const json::Value& v) { put_value(out, v); }
void write_canonical_json(ResponseWriter& out, const json::Value& v) { put_value(out, v); }
void write_canonical_string(TextWriter& out, std::string_view s) { put_string(out, s); }
void write_canonical_string(HashSink& out, std::string_view s) { put_string(out, s); }
void write_canonical_string(ResponseWriter& out, std::string_view s) { put_string(out, s); }

namespace {

// Takes a canonical text as it is written and passes it on escaped, as the
// content of a string literal, a buffer at a time.
class EscapingWriter {
 public:
  explicit EscapingWriter(ResponseWriter& to) : to_(to), buf_(std::make_unique_for_overwrite<char[]>(kBuffer + kRoomMax)) {}
  EscapingWriter(const EscapingWriter&) = delete;
  EscapingWriter& operator=(const EscapingWriter&) = delete;

  char* room(std::size_t n) {
    if (used_ + n > kBuffer + kRoomMax) drain();
    return buf_.get() + used_;
  }
  void advance_to(char* end) { used_ = static_cast<std::size_t>(end - buf_.get()); }
  void write(std::string_view bytes) {
    char* p = room(bytes.size());  // only the short fixed words
    std::memcpy(p, bytes.data(), bytes.size());
    advance_to(p + bytes.size());
  }
  bool stopped() const { return to_.stopped(); }
  void drain() {
    put_string_content(to_, {buf_.get(), used_});
    used_ = 0;
  }

 private:
  static constexpr std::size_t kBuffer = 16 * 1024;
  static constexpr std::size_t kRoomMax = 4096;  // the most put_value asks for at once
  ResponseWriter& to_;
  std::unique_ptr<char[]> buf_;
  std::size_t used_ = 0;
};

}  // namespace

void write_canonical_json_as_string(ResponseWriter& out, const json::Value& v) {
  put_char(out, '"');
  EscapingWriter escaping(out);
  put_value(escaping, v);
  escaping.drain();
  put_char(out, '"');
}

void append_canonical_float(std::string& out, double x) {
  TextWriter w(out);
  w.advance_to(put_canonical_float(w.room(kFloatTextMax), x));
}

HashSink::HashSink(const Interrupt& interrupt)
    : buf_(std::make_unique<char[]>(kChunk + kRoomMax)), interrupt_(interrupt) {
  blake3_hasher_init(&hasher_);
}

char* HashSink::room(std::size_t n) {
  if (used_ + n > kChunk + kRoomMax) flush();
  return buf_.get() + used_;
}

// Once stopped, the text is abandoned: nothing more is hashed or asked.
void HashSink::hash(const char* bytes, std::size_t n) {
  if (stopped_) return;
  blake3_hasher_update(&hasher_, bytes, n);
  if (!interrupt_.active()) return;
  unasked_ += n;
  if (unasked_ < kAskBytes) return;
  unasked_ = 0;
  stopped_ = interrupt_.stop_requested();
}

// Hashes the first kChunk buffered bytes (used_ > kChunk) and keeps the rest:
// every update then starts on a kChunk boundary of the text and is one
// whole subtree, hashed at full width; uneven updates would each leave a
// chunk to the one-block-at-a-time path.
void HashSink::flush() {
  hash(buf_.get(), kChunk);
  used_ -= kChunk;
  std::memcpy(buf_.get(), buf_.get() + kChunk, used_);
}

void HashSink::write(std::string_view bytes) {
  while (!bytes.empty()) {
    if (stopped_) return;
    if (used_ == 0 && bytes.size() > kChunk) {
      // Whole chunks straight from the caller's bytes, at most kAskBytes at
      // a time; the rest is buffered.
      const std::size_t whole = std::min(bytes.size() - bytes.size() % kChunk, kAskBytes);
      hash(bytes.data(), whole);
      bytes.remove_prefix(whole);
      continue;
    }
    const std::size_t n = std::min(bytes.size(), kChunk + kRoomMax - used_);
    std::memcpy(buf_.get() + used_, bytes.data(), n);
    used_ += n;
    bytes.remove_prefix(n);
    if (used_ == kChunk + kRoomMax) flush();
  }
}

std::string HashSink::finish() {
  hash(buf_.get(), used_);
  used_ = 0;
  return hash_hex(hasher_);
}

std::string hash_hex(const blake3_hasher& hasher) {
  std::uint8_t digest[BLAKE3_OUT_LEN];
  blake3_hasher_finalize(&hasher, digest, BLAKE3_OUT_LEN);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text(2 * BLAKE3_OUT_LEN, '0');
  for (std::size_t k = 0; k < BLAKE3_OUT_LEN; ++k) {
    text[2 * k] = kHex[digest[k] >> 4];
    text[2 * k + 1] = kHex[digest[k] & 15];
  }
  return text;
}

std::string hash_text(std::string_view bytes) {
  HashSink sink;
  sink.write(bytes);
  return sink.finish();
}

std::string hash_value(const json::Value& v) {
  HashSink sink;
  put_value(sink, v);
  return sink.finish();
}

}  // namespace fendro
