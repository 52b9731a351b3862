// A vector of plain values that grows without copying what it holds once it
// is large. A std::vector copies every value at each doubling, into pages it
// must first fault in: for a window of millions of entries that is one
// stretch of tens of milliseconds with nowhere to ask an interrupt. A large
// block is mapped here and grown by remapping its pages, so what it holds
// stays where it is and the new pages come one at a time as they are first
// written (realloc does that only for blocks above the allocator's
// threshold, which moves up to 32 MiB as blocks are freed, and copies the
// rest); a small one is an ordinary allocation.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "fendro/util/huge_pages.hpp"

namespace fendro {

// Values a ReallocStack can hold: copied and moved as their bytes. A
// std::pair of plain values is one (its copies are trivial, its assignment
// is not).
template <class T>
inline constexpr bool kCopiedAsBytes = std::is_trivially_copy_constructible_v<T> && std::is_trivially_destructible_v<T>;

template <class T>
class ReallocStack {
 public:
  static_assert(kCopiedAsBytes<T>);

  // Blocks from this size on are mapped here.
  static constexpr std::size_t kMappedBytes = std::size_t{1} << 20;

  ReallocStack() = default;
  ~ReallocStack() { release(data_, capacity_ * sizeof(T), mapped_); }
  ReallocStack(const ReallocStack& other) { append(other.data_, other.size_); }
  ReallocStack& operator=(const ReallocStack& other) {
    if (this != &other) {
      size_ = 0;
      append(other.data_, other.size_);
    }
    return *this;
  }
  ReallocStack(ReallocStack&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)),
        mapped_(std::exchange(other.mapped_, false)) {}
  ReallocStack& operator=(ReallocStack&& other) noexcept {
    if (this != &other) {
      release(data_, capacity_ * sizeof(T), mapped_);
      data_ = std::exchange(other.data_, nullptr);
      size_ = std::exchange(other.size_, 0);
      capacity_ = std::exchange(other.capacity_, 0);
      mapped_ = std::exchange(other.mapped_, false);
    }
    return *this;
  }

  std::size_t size() const { return size_; }
  std::size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T& back() { return data_[size_ - 1]; }
  const T& back() const { return data_[size_ - 1]; }

  void push_back(const T& v) {
    const T copy = v;  // `v` may be one of ours, moved by growing
    if (size_ == capacity_) grow(size_ + 1);
    ::new (data_ + size_++) T(copy);
  }
  T& emplace_back() {
    if (size_ == capacity_) grow(size_ + 1);
    return *::new (data_ + size_++) T();
  }
  // Appends `n` values from `from` (not ours).
  void append(const T* from, std::size_t n) {
    if (n > capacity_ - size_) grow(size_ + n);
    if (n > 0) std::memcpy(static_cast<void*>(data_ + size_), from, n * sizeof(T));
    size_ += n;
  }
  void clear() { size_ = 0; }
  void pop_back() { --size_; }
  // Drops the values from `n` on (n <= size()).
  void truncate(std::size_t n) { size_ = n; }
  // Room for exactly `n` values when it has less.
  void reserve(std::size_t n) {
    if (n > capacity_) resize_block(n);
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
    const std::size_t capacity = capacity_ < 32 ? 32 : 2 * capacity_;
    resize_block(capacity < n ? n : capacity);
  }

  void resize_block(std::size_t capacity) {
    if (capacity > (static_cast<std::size_t>(-1) - kPageBytes) / sizeof(T)) throw std::bad_alloc();
    const std::size_t bytes = capacity * sizeof(T);
    void* grown = nullptr;
    bool mapped = false;
#if defined(__linux__)
    if (bytes >= kMappedBytes) {
      mapped = true;
      if (mapped_) {
        grown = mremap(data_, round_to_pages(capacity_ * sizeof(T)), round_to_pages(bytes), MREMAP_MAYMOVE);
      } else {
        grown = mmap(nullptr, round_to_pages(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (grown != MAP_FAILED && size_ > 0) std::memcpy(grown, data_, size_ * sizeof(T));
        if (grown != MAP_FAILED) std::free(data_);
      }
      if (grown == MAP_FAILED) throw std::bad_alloc();
    }
#endif
    if (!mapped) {
      grown = std::realloc(static_cast<void*>(data_), bytes);
      if (grown == nullptr) throw std::bad_alloc();
    }
    data_ = static_cast<T*>(grown);
    capacity_ = capacity;
    mapped_ = mapped;
  }

  static constexpr std::size_t kPageBytes = 4096;
  static std::size_t round_to_pages(std::size_t bytes) { return (bytes + kPageBytes - 1) & ~(kPageBytes - 1); }

  static void release(T* data, std::size_t bytes, bool mapped) {
#if defined(__linux__)
    if (mapped) {
      munmap(data, round_to_pages(bytes));
      return;
    }
#endif
    (void)bytes;
    (void)mapped;
    std::free(data);
  }

  T* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  bool mapped_ = false;  // data_ is a block mapped here: the whole pages of capacity_ values
};

}  // namespace fendro
