// Freeing what a stopped command still holds, off the caller's path.
//
// A command told to stop should hand control back at once, but what it
// built may be gigabytes (million-long windows, millions of candles or
// symbols): giving that back to the system takes from tens to hundreds of
// milliseconds, more on a busy machine. So a stopped command hands what it
// holds to one thread of the engine's own, which frees it in the order given
// while the caller goes on. Nothing is ever read again once handed over, and
// the thread touches nothing else. The thread ends once it has freed all it
// was given (a process that forks is then single-threaded again), and the
// next hand-over starts another.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "fendro/util/interrupt.hpp"
#include "fendro/util/run_scope.hpp"

namespace fendro {

// Something to be freed on the freeing thread.
class LaterFreed {
 public:
  virtual ~LaterFreed() = default;
};

namespace detail {

template <class T>
class LaterFreedValue final : public LaterFreed {
 public:
  explicit LaterFreedValue(T&& value) : value_(std::move(value)) {}

 private:
  T value_;
};

void hand_over(std::unique_ptr<LaterFreed> item) noexcept;

}  // namespace detail

// Moves `value` out (it is left as a moved-from T, cheap to destroy) and has
// it destroyed on the freeing thread. Where no thread can be started, it is
// destroyed here and now.
template <class T>
void free_later(T& value) noexcept {
  static_assert(!std::is_const_v<T>);
  std::unique_ptr<LaterFreed> item;
  try {
    item = std::make_unique<detail::LaterFreedValue<T>>(std::move(value));
  } catch (const std::bad_alloc&) {
    T gone(std::move(value));  // no room to hand it over: freed here
    return;
  }
  detail::hand_over(std::move(item));
}

// Hands what it was given to the freeing thread when it goes, if `scope` was
// told to stop by then. Declared after what it holds, it goes before them,
// and they are left empty.
template <class... T>
class FreeIfStopped {
 public:
  explicit FreeIfStopped(const RunScope& scope, T&... held) : scope_(scope), held_(held...) {}
  ~FreeIfStopped() {
    if (scope_.stopped()) std::apply([](auto&... h) { (free_later(h), ...); }, held_);
  }
  FreeIfStopped(const FreeIfStopped&) = delete;
  FreeIfStopped& operator=(const FreeIfStopped&) = delete;

 private:
  const RunScope& scope_;
  std::tuple<T&...> held_;
};

namespace detail {

// Buffers shorter than this are freed at once, in far less than a
// millisecond.
inline constexpr std::size_t kLongBufferBytes = std::size_t{4} << 20;

// Gives the pages of a long buffer about to be freed back in stretches, the
// thread's scope asked between them; false when it should go to the freeing
// thread instead (the scope was told to stop).
bool give_back_asking(const void* data, std::size_t bytes);

}  // namespace detail

// Whether release_long frees `buffer` in stretches: a short one (as nearly
// all are, and every command frees a few) goes at once, with no call.
template <class Buffer>
bool long_buffer(const Buffer& buffer) {
  return buffer.capacity() * sizeof(*buffer.data()) >= detail::kLongBufferBytes;
}

// Frees a buffer that may be hundreds of megabytes long (an error quoting a
// long input, a long name, a list of candles replaced) without a long
// stretch of unasked work: its pages go back to the system in stretches with
// the thread's scope asked between them, or, once the scope has been told
// to stop, the buffer goes to the freeing thread. `buffer` (a std::string,
// std::vector or ReallocStack) is left empty.
template <class Buffer>
void release_long(Buffer& buffer) {
  if (long_buffer(buffer) && !detail::give_back_asking(buffer.data(), buffer.capacity() * sizeof(*buffer.data()))) {
    free_later(buffer);
  }
  Buffer gone(std::move(buffer));  // freed here, what is left of it
}

inline void release_long_text(std::string& text) { release_long(text); }

// The name the freeing thread goes by (in /proc/<pid>/task/<tid>/comm, top,
// a debugger).
inline constexpr char kFreeingThreadName[] = "fendro-free";

// How many things were handed to the freeing thread so far.
std::uint64_t handed_over();

// Waits until everything handed over so far has been freed: for tests and
// measurements, which look at what is left.
void wait_until_freed();

// The same, asking `interrupt` every few milliseconds meanwhile; false once
// it says stop. A command starts with this: the memory a stopped command
// left is back before the next one takes more, and the two never compete
// for the allocator (freeing millions of small pieces while another thread
// allocates costs both far more than either alone).
bool wait_until_freed(const Interrupt& interrupt);

}  // namespace fendro
