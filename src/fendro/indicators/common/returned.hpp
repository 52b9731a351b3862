// Handing a bar's result back through the `Indicator` interface cheaply.
//
// An optional<double> comes back in two registers: the value, and the flag
// with its padding. GCC forms the second by writing the one-byte flag to the
// stack and reading the whole eight-byte half back; a read wider than the
// pending write cannot be served from it and waits until the write reaches
// the cache, which costs several times a simple step on every bar. Copying
// the value and a whole eight-byte flag word into the optional's bytes lets
// GCC see both halves as values it already holds, so it sets the flag
// register directly and never reads a half it has not written whole. The
// bytes are exactly those of the ordinary optional (value, flag 1 or 0, zero
// padding); off GCC's library the ordinary construction is used.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>

#if defined(__GLIBCXX__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define FENDRO_WORD_RETURN 1
#endif

namespace fendro {

static_assert(sizeof(std::optional<double>) == 16);
static_assert(std::is_trivially_copyable_v<std::optional<double>>);

#ifdef FENDRO_WORD_RETURN
// The optional whose value bytes are v's and whose flag byte, with its
// padding, is the little-endian word `flag` (1 engaged, 0 empty).
inline std::optional<double> optional_of_words(double v, std::uint64_t flag) {
  struct Words {
    double v;
    std::uint64_t flag;
  };
  static_assert(sizeof(Words) == sizeof(std::optional<double>));
  const Words w{v, flag};
  std::optional<double> r;
  std::memcpy(static_cast<void*>(&r), &w, sizeof w);
  return r;
}
#endif

// The optional holding v.
inline std::optional<double> value_out(double v) {
#ifdef FENDRO_WORD_RETURN
  return optional_of_words(v, 1);
#else
  return v;
#endif
}

// The empty optional.
inline std::optional<double> no_value() {
#ifdef FENDRO_WORD_RETURN
  return optional_of_words(0.0, 0);
#else
  return std::nullopt;
#endif
}

// The same optional, formed as above.
inline std::optional<double> returned(std::optional<double> r) {
  return r ? value_out(*r) : no_value();
}

}  // namespace fendro
