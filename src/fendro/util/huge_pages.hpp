// Asking the system to back a large, not yet touched buffer by huge pages:
// filling it then takes one page fault per 2 MiB instead of one per 4 KiB;
// or to map such a buffer whole before it is filled.
#pragma once

#include <algorithm>
#include <chrono>
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

// How much give_back_pages gives back at a time: a millisecond or so.
inline constexpr std::size_t kGiveBackStretchBytes = std::size_t{16} << 20;

// Gives the whole pages inside [p, p + bytes) back to the system (read again,
// they hold zeros), a stretch at a time from the end, `go_on()` asked after
// each; false once it says stop. Less than a stretch is left as it is. A
// large buffer freed after that is unmapped at once: unmapping all its pages
// in one go would take a few milliseconds per hundred megabytes with nowhere
// to ask.
template <class GoOn>
bool give_back_pages(const void* p, std::size_t bytes, GoOn go_on) {
#if defined(__linux__) && defined(MADV_DONTNEED)
  const char* const begin = static_cast<const char*>(p);
  while (bytes > kGiveBackStretchBytes) {
    bytes -= kGiveBackStretchBytes;
    detail::advise_whole_pages(begin + bytes, kGiveBackStretchBytes, 4096, MADV_DONTNEED);
    if (!go_on()) return false;
  }
#else
  (void)p;
  (void)bytes;
  (void)go_on;
#endif
  return true;
}

// Maps the pages of a fresh buffer just ahead of the code that fills it
// front to back, so that the filling takes no page faults and finds the
// zeroed pages still in cache. Each 2 MiB step is a huge page (one mapping
// instead of 512, a third of their cost) while they come quickly. Some come
// slowly: in a virtual machine whose host took back the memory behind a free
// huge page, the first mapping of it costs about 20 times the usual (6 ms);
// a process that frees such a page and maps one again soon gets it back
// quickly. So a few slow ones are worth taking once, for the buffers that
// follow; past that budget the rest of the buffer takes small pages, which
// bounds what one buffer can lose.
class PagesAhead {
 public:
  // How much is made ready at a time, as a huge page or as small pages, and
  // how close the filling comes before the next step is made ready: just in
  // time, so that the zeroed pages are still in cache when they are filled.
  static constexpr std::size_t kStep = kHugePageBytes;
  static constexpr std::size_t kSmallStep = 256 * 1024;
  static constexpr std::size_t kAhead = 256 * 1024;

  PagesAhead() = default;
  // [begin, end) is about to be filled from begin on; unless `huge_pages`,
  // only small pages are mapped. A buffer smaller than a few steps is left
  // to fault as usual.
  void reset(char* begin, char* end, bool huge_pages = true) {
    const bool large = end - begin >= static_cast<std::ptrdiff_t>(3 * kStep);
    ready_ = begin;
    end_ = large ? end : begin;
    huge_ = huge_pages;
    excess_ns_ = 0;
  }
  // The bytes before `upto` are about to be written.
  void before_writing(const char* upto) {
    if (ready_ < end_ && upto + kAhead > ready_) prepare(upto + 2 * kAhead);
  }

 private:
  void prepare(const char* target);
  // Maps a huge page at ready_ (aligned, whole inside the buffer) and keeps
  // count of what it cost beyond small pages.
  void map_huge_page();

  char* ready_ = nullptr;  // the pages before it are mapped
  char* end_ = nullptr;
  bool huge_ = true;
  std::int64_t excess_ns_ = 0;  // what the huge pages cost beyond small pages so far
};

#if defined(__linux__) && defined(MADV_POPULATE_WRITE) && defined(MADV_HUGEPAGE)
inline void PagesAhead::map_huge_page() {
  // Small pages take about 0.6 ms per 2 MiB; a huge page that comes quickly
  // 0.25 ms, a slow one 6 ms or more. A head start of fast pages is counted
  // only so far.
  constexpr std::int64_t kSmallPagesNs = 600'000;
  constexpr std::int64_t kExcessMaxNs = 20'000'000;
  constexpr std::int64_t kHeadStartMaxNs = -1'000'000;
  const auto now = [] {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  };
  const std::int64_t start = now();
  madvise(ready_, kStep, MADV_HUGEPAGE);
  madvise(ready_, kStep, MADV_POPULATE_WRITE);
  excess_ns_ = std::max(kHeadStartMaxNs, excess_ns_ + (now() - start) - kSmallPagesNs);
  if (excess_ns_ > kExcessMaxNs) huge_ = false;
}

inline void PagesAhead::prepare(const char* target) {
  constexpr std::uintptr_t kPage = 4096;
  if (target > end_) target = end_;
  const auto end = reinterpret_cast<std::uintptr_t>(end_);
  while (ready_ < target) {
    const auto at = reinterpret_cast<std::uintptr_t>(ready_);
    if (huge_ && (at & (kStep - 1)) == 0 && end - at >= kStep) {
      map_huge_page();
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
}
#else
inline void PagesAhead::map_huge_page() {}
inline void PagesAhead::prepare(const char*) { end_ = ready_; }  // the pages come as they are written
#endif

}  // namespace fendro
