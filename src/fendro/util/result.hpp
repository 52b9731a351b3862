// A small value-or-error type: failures travel as values, never as exceptions.
#pragma once

#include <type_traits>
#include <utility>
#include <variant>

namespace fendro {

template <class E>
struct Err {
  E error;
};

template <class E>
Err<std::decay_t<E>> err(E&& e) {
  return Err<std::decay_t<E>>{std::forward<E>(e)};
}

template <class T, class E>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
  template <class F, class = std::enable_if_t<std::is_constructible_v<E, F&&>>>
  Result(Err<F> e) : v_(std::in_place_index<1>, E(std::move(e.error))) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(v_); }
  const T& value() const& { return std::get<0>(v_); }
  T&& value() && { return std::get<0>(std::move(v_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  E& error() & { return std::get<1>(v_); }
  const E& error() const& { return std::get<1>(v_); }
  E&& error() && { return std::get<1>(std::move(v_)); }

 private:
  std::variant<T, E> v_;
};

// Result<void, E>: success carries nothing.
struct Unit {};

template <class E>
using Status = Result<Unit, E>;

}  // namespace fendro

// Evaluates a Result-valued expression; on failure returns its error from the
// enclosing function, otherwise binds the value to `var`.
#define FENDRO_CONCAT_INNER(a, b) a##b
#define FENDRO_CONCAT(a, b) FENDRO_CONCAT_INNER(a, b)
#define FENDRO_TRY_IMPL(tmp, var, expr)                 \
  auto tmp = (expr);                                    \
  if (!tmp.ok()) return ::fendro::err(std::move(tmp).error()); \
  auto var = std::move(tmp).value()
#define FENDRO_TRY(var, expr) FENDRO_TRY_IMPL(FENDRO_CONCAT(fendro_try_, __LINE__), var, expr)
#define FENDRO_CHECK(expr)                                          \
  do {                                                              \
    auto fendro_chk = (expr);                                       \
    if (!fendro_chk.ok()) return ::fendro::err(std::move(fendro_chk).error()); \
  } while (0)
