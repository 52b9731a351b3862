// The values (and keys) of the arrays and objects a parse is reading, as stacks.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>

#include "fendro/json/value.hpp"
#include "fendro/util/huge_pages.hpp"

namespace fendro::json::detail {

// Grown by realloc, which moves a large block by remapping its pages rather
// than copying them: a vector would copy every value at each doubling, one
// long stretch with nowhere to ask an interrupt in a long array or object.
template <class T>
class ReallocStack {
 public:
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

  ReallocStack() = default;
  ~ReallocStack() { std::free(data_); }
  ReallocStack(const ReallocStack&) = delete;
  ReallocStack& operator=(const ReallocStack&) = delete;

  std::size_t size() const { return size_; }
  T* data() { return data_; }
  T& back() { return data_[size_ - 1]; }

  void push_back(const T& v) {
    const T copy = v;  // `v` may be one of ours, moved by growing
    if (size_ == capacity_) grow(size_ + 1);
    data_[size_++] = copy;
  }
  T& emplace_back() {
    if (size_ == capacity_) grow(size_ + 1);
    return *::new (data_ + size_++) T();
  }
  void pop_back() { --size_; }
  // Drops the values from `n` on (n <= size()).
  void truncate(std::size_t n) { size_ = n; }
  void reserve(std::size_t n) {
    if (n > capacity_) grow(n);
  }

  // Gives the pages above the values held back to the system in stretches,
  // `go_on()` asked after each (see give_back_pages); false once it says stop.
  template <class GoOn>
  bool give_back(GoOn go_on) {
    return give_back_pages(data_ + size_, (capacity_ - size_) * sizeof(T), go_on);
  }

 private:
  // Room for at least `n` values, twice as many as now at the least.
  [[gnu::noinline]] void grow(std::size_t n) {
    std::size_t capacity = capacity_ < 32 ? 32 : 2 * capacity_;
    if (capacity < n) capacity = n;
    if (capacity > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    void* grown = std::realloc(static_cast<void*>(data_), capacity * sizeof(T));
    if (grown == nullptr) throw std::bad_alloc();
    data_ = static_cast<T*>(grown);
    capacity_ = capacity;
  }

  T* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

using ValueStack = ReallocStack<Value>;

}  // namespace fendro::json::detail
