// Handing a bar's result back through the `Indicator` interface cheaply.
//
// An optional<double> comes back in two registers: the value, and the flag
// with its padding. GCC forms the second by writing the one-byte flag to the
// stack and reading the whole eight-byte half back; a read wider than the
// pending write cannot be served from it and waits until the write reaches
// the cache, which costs several times a simple step on every bar. Building
// the sixteen bytes in one vector register and writing them whole lets the
// read be served at once. The bytes are exactly those of the ordinary
// optional (value, flag 1 or 0, zero padding); without SSE2 or off GCC's
// library the ordinary construction is used.
#pragma once

#include <optional>
#include <type_traits>

#if defined(__SSE2__) && defined(__GLIBCXX__)
#include <bit>
#include <emmintrin.h>
#define FENDRO_VECTOR_RETURN 1
#endif

namespace fendro {

static_assert(sizeof(std::optional<double>) == 16);
static_assert(std::is_trivially_copyable_v<std::optional<double>>);

// The optional holding v.
inline std::optional<double> value_out(double v) {
#ifdef FENDRO_VECTOR_RETURN
  return std::bit_cast<std::optional<double>>(
      _mm_unpacklo_pd(_mm_set_sd(v), _mm_castsi128_pd(_mm_cvtsi32_si128(1))));
#else
  return v;
#endif
}

// The empty optional.
inline std::optional<double> no_value() {
#ifdef FENDRO_VECTOR_RETURN
  return std::bit_cast<std::optional<double>>(_mm_setzero_pd());
#else
  return std::nullopt;
#endif
}

// The same optional, formed as above.
inline std::optional<double> returned(std::optional<double> r) {
  return r ? value_out(*r) : no_value();
}

}  // namespace fendro
