// The one textual form of a JSON value used for responses and hashing.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "blake3.h"
#include "fendro/json/value.hpp"

namespace fendro {

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
inline constexpr std::size_t kFloatTextMax = 320;
// Writes the canonical text of one finite f64 at `p` (kFloatTextMax bytes of
// room); returns the end.
char* put_canonical_float(char* p, double x);
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

  HashSink();
  HashSink(const HashSink&) = delete;
  HashSink& operator=(const HashSink&) = delete;

  // At least n (<= kRoomMax) writable bytes; valid until the next call.
  char* room(std::size_t n);
  void advance_to(char* end) { used_ = static_cast<std::size_t>(end - buf_.get()); }
  void write(std::string_view bytes);  // any length
  // Hash text of everything written.
  std::string finish();

 private:
  static constexpr std::size_t kChunk = 64 * 1024;
  void flush();

  blake3_hasher hasher_;
  std::unique_ptr<char[]> buf_;  // kChunk + kRoomMax bytes
  std::size_t used_ = 0;
};

// Feeds the canonical text of `v` into `sink`.
void write_canonical_json(HashSink& sink, const json::Value& v);

}  // namespace fendro
