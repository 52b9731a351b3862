// The values (and keys) of the arrays and objects a parse is reading, as
// stacks; and the decoded text of a string with escapes.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "fendro/json/value.hpp"
#include "fendro/util/huge_pages.hpp"

namespace fendro::json::detail {

// Grown without copying what it holds once it is large: a vector would copy
// every value at each doubling, one long stretch with nowhere to ask an
// interrupt in a long array or object. A large block is mapped here and
// grown by remapping its pages (realloc does that only for blocks above the
// allocator's threshold, which moves up to 32 MiB as blocks are freed, and
// copies the rest); a small one is an ordinary allocation.
template <class T>
class ReallocStack {
 public:
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

  // Blocks from this size on are mapped here.
  static constexpr std::size_t kMappedBytes = std::size_t{1} << 20;

  ReallocStack() = default;
  ~ReallocStack() { release(data_, capacity_ * sizeof(T), mapped_); }
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

using ValueStack = ReallocStack<Value>;

}  // namespace fendro::json::detail
