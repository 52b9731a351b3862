// Asking the system to back a large, not yet touched buffer by huge pages:
// filling it then takes one page fault per 2 MiB instead of one per 4 KiB;
// or to map such a buffer whole before it is filled.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace fendro {

inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

#if defined(__linux__)
namespace detail {
// madvise over the whole pages of `page` bytes inside [p, p + bytes), if any.
inline void advise_whole_pages(const void* p, std::size_t bytes, std::uintptr_t page, int advice) {
  const auto start = reinterpret_cast<std::uintptr_t>(p);
  const std::uintptr_t first = (start + page - 1) & ~(page - 1);
  const std::uintptr_t last = (start + bytes) & ~(page - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, advice);
}
}  // namespace detail
#endif

// Advises the whole huge pages inside [p, p + bytes); a buffer that holds
// none is left as it is. Only advice: nothing changes if it is not taken.
inline void advise_huge_pages(const void* p, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  detail::advise_whole_pages(p, bytes, kHugePageBytes, MADV_HUGEPAGE);
#else
  (void)p;
  (void)bytes;
#endif
}

// Has the system map the whole pages inside [p, p + bytes) at once, rather
// than one page fault at a time as they are first written: for a buffer that
// will be filled whole. Only advice: where it is not known, the pages come as before.
inline void map_in_advance(const void* p, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  detail::advise_whole_pages(p, bytes, 4096, MADV_POPULATE_WRITE);
#else
  (void)p;
  (void)bytes;
#endif
}

}  // namespace fendro
