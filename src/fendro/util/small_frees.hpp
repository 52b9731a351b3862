// Freeing millions of small blocks without leaving the allocator a long
// tidying to do at some later, unpaced moment.
#pragma once

#include <cstddef>
#include <cstdlib>

namespace fendro {

// Has the C library tidy the small pieces freed since it last did, now. An
// allocator may keep small freed pieces aside (glibc's fast bins) and sort
// them all out at its next large request or free: after millions of them (a
// map of millions of entries freed, a strategy's rules) that one call takes
// tens of milliseconds, wherever it falls, with nothing asked. A block
// larger than glibc's threshold for that (64 KiB) and below the one from
// which it maps a block apart (128 KiB at the least) has it done; elsewhere
// this is a cheap allocation.
inline void tidy_small_frees() {
  void* volatile block = std::malloc(std::size_t{96} << 10);
  std::free(block);
}

// Counts small blocks freed and has them tidied every few thousand: a
// tidying costs tens of microseconds then.
class SmallFrees {
 public:
  // After `n` more small blocks freed.
  void freed(std::size_t n = 1) {
    unsorted_ += n;
    if (unsorted_ < kPerTidy) return;
    unsorted_ = 0;
    tidy_small_frees();
  }

 private:
  static constexpr std::size_t kPerTidy = 4096;
  std::size_t unsorted_ = 0;
};

}  // namespace fendro
