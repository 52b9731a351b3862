// The values of the arrays and objects a parse is reading, as a stack.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>

#include "fendro/json/value.hpp"

namespace fendro::json::detail {

// Grown by realloc, which moves a large block by remapping its pages rather
// than copying them: a vector would copy every value at each doubling, one
// long stretch with nowhere to ask an interrupt in a long array.
class ValueStack {
 public:
  static_assert(std::is_trivially_copyable_v<Value> && std::is_trivially_destructible_v<Value>);

  ValueStack() = default;
  ~ValueStack() { std::free(data_); }
  ValueStack(const ValueStack&) = delete;
  ValueStack& operator=(const ValueStack&) = delete;

  std::size_t size() const { return size_; }
  Value* data() { return data_; }
  Value& back() { return data_[size_ - 1]; }

  void push_back(const Value& v) {
    const Value copy = v;  // `v` may be one of ours, moved by growing
    if (size_ == capacity_) grow(size_ + 1);
    data_[size_++] = copy;
  }
  Value& emplace_back() {
    if (size_ == capacity_) grow(size_ + 1);
    return *::new (data_ + size_++) Value();
  }
  void pop_back() { --size_; }
  // Drops the values from `n` on (n <= size()).
  void truncate(std::size_t n) { size_ = n; }
  void reserve(std::size_t n) {
    if (n > capacity_) grow(n);
  }

 private:
  // Room for at least `n` values, twice as many as now at the least.
  [[gnu::noinline]] void grow(std::size_t n) {
    std::size_t capacity = capacity_ < 32 ? 32 : 2 * capacity_;
    if (capacity < n) capacity = n;
    if (capacity > static_cast<std::size_t>(-1) / sizeof(Value)) throw std::bad_alloc();
    void* grown = std::realloc(static_cast<void*>(data_), capacity * sizeof(Value));
    if (grown == nullptr) throw std::bad_alloc();
    data_ = static_cast<Value*>(grown);
    capacity_ = capacity;
  }

  Value* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace fendro::json::detail
