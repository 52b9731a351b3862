// Asking the system to back a large, not yet touched buffer by huge pages:
// filling it then takes one page fault per 2 MiB instead of one per 4 KiB;
// or to map such a buffer whole before it is filled.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <algorithm>

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

// Maps the pages of a fresh buffer a few MiB ahead of the code that fills
// it front to back, so that the filling takes no page faults and finds the
// zeroed pages still in cache. Each 2 MiB step is tried as a huge page
// first (one cheap mapping instead of 512); where the system is slow to
// give one (a huge page whose memory the host has to bring back first costs
// many times 512 small ones), the rest of the buffer, and any buffer for a
// while after, takes small pages: a slow huge page costs once, not per step.
class PagesAhead {
 public:
  // How much is made ready at a time, as a huge page or as small pages, and
  // how close the filling comes before the next step is made ready: just in
  // time, so that the zeroed pages are still in cache when they are filled.
  static constexpr std::size_t kStep = kHugePageBytes;
  static constexpr std::size_t kSmallStep = 256 * 1024;
  static constexpr std::size_t kAhead = 256 * 1024;

  PagesAhead() = default;
  // [begin, end) is about to be filled from begin on. A buffer smaller than
  // a few steps is left to fault as usual.
  void reset(char* begin, char* end) {
    const bool large = end - begin >= static_cast<std::ptrdiff_t>(3 * kStep);
    ready_ = begin;
    end_ = large ? end : begin;
  }
  // The bytes before `upto` are about to be written.
  void before_writing(const char* upto) {
    if (ready_ < end_ && upto + kAhead > ready_) prepare(upto + 2 * kAhead);
  }

 private:
  void prepare(const char* target);

  char* ready_ = nullptr;  // the pages before it are mapped
  char* end_ = nullptr;
};

namespace detail {
// When the last slow huge page was met, on the steady clock; a process-wide
// memory of the system's state, so that the next large buffers do not pay
// for it again at once.
inline std::atomic<std::int64_t> slow_huge_page_at{std::numeric_limits<std::int64_t>::min() / 2};
inline std::int64_t steady_now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace detail

inline void PagesAhead::prepare(const char* target) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE) && defined(MADV_HUGEPAGE)
  // Small pages take about 0.6 ms per 2 MiB; a huge page ready in time
  // takes a third of that, one the host must bring back first ten times more.
  constexpr std::int64_t kSlowHugeStepNs = 2'000'000;
  constexpr std::int64_t kSmallPagesForNs = 5'000'000'000;  // after a slow one
  constexpr std::uintptr_t kPage = 4096;
  if (target > end_) target = end_;
  const auto end = reinterpret_cast<std::uintptr_t>(end_);
  while (ready_ < target) {
    const auto at = reinterpret_cast<std::uintptr_t>(ready_);
    const std::int64_t now = detail::steady_now_ns();
    if ((at & (kStep - 1)) == 0 && end - at >= kStep &&
        now - detail::slow_huge_page_at.load(std::memory_order_relaxed) > kSmallPagesForNs) {
      madvise(ready_, kStep, MADV_HUGEPAGE);
      madvise(ready_, kStep, MADV_POPULATE_WRITE);
      if (detail::steady_now_ns() - now > kSlowHugeStepNs) {
        detail::slow_huge_page_at.store(now, std::memory_order_relaxed);
      }
      ready_ += kStep;
      continue;
    }
    // Small pages, a shorter step at a time (up to the next huge page's
    // start, so that it may be tried there). Whole pages only: the page the
    // step starts in may be shared with the bytes before the buffer, and is
    // mapped already if so.
    const std::uintptr_t step_end = std::min({(at + kSmallStep) & ~(kSmallStep - 1), (at + kStep) & ~(kStep - 1), end});
    const std::uintptr_t first = at & ~(kPage - 1);
    const std::uintptr_t last = step_end & ~(kPage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
    ready_ = reinterpret_cast<char*>(step_end);
  }
#else
  (void)target;
  end_ = ready_;  // nothing to do: the pages come as they are written
#endif
}

}  // namespace fendro
