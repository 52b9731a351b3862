#include "fendro/json/members.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <type_traits>
#include <vector>

#include "fendro/util/huge_pages.hpp"

namespace fendro::json {

namespace {

static_assert(std::is_trivially_copyable_v<Member> && std::is_trivially_destructible_v<Member>);

bool key_less(const Member& a, const Member& b) { return key_bytes_less(a.key, b.key); }

// Sorted `ms` to the last member of each run of equal keys, moved to the
// front of `to` (which may be `ms` itself); returns how many. `done(m)` is
// told of every member passed, and the pass ends, returning nothing, once it
// says stop.
template <class Done>
std::optional<std::size_t> keep_last(const Member* ms, std::size_t n, Member* to, Done done) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    // Sorted: the next key is equal unless it is greater.
    if (i + 1 == n || key_less(ms[i], ms[i + 1])) to[kept++] = ms[i];
    if (!done(ms[i])) return std::nullopt;
  }
  return kept;
}

// Counts a paced sort's work and asks the interrupt after each step of it.
class SortPacer {
 public:
  explicit SortPacer(const Interrupt& interrupt) : interrupt_(interrupt) {}

  // After `work` more: false once the interrupt asked to stop.
  bool did(std::size_t work) {
    left_ -= static_cast<std::ptrdiff_t>(work);
    return left_ > 0 || ask();
  }
  bool did(const Member& m) { return did(sort_work(m.key)); }
  // Asks now, and starts a new step.
  [[gnu::noinline]] bool ask() {
    left_ = static_cast<std::ptrdiff_t>(kSortStepWork);
    return !interrupt_.stop_requested();
  }

 private:
  Interrupt interrupt_;
  std::ptrdiff_t left_ = static_cast<std::ptrdiff_t>(kSortStepWork);
};

// `count` members from `from` to `to`, in steps.
bool copy_members(const Member* from, std::size_t count, Member* to, SortPacer& pacer) {
  for (std::size_t at = 0; at < count; at += kSortStepWork) {
    const std::size_t step = std::min(kSortStepWork, count - at);
    std::copy_n(from + at, step, to + at);
    if (!pacer.did(step)) return false;
  }
  return true;
}

// The sorted src[a, mid) and src[mid, b) merged into dst[a, b); of equal
// keys those of the first range come first, as a stable sort keeps them.
bool merge_runs(const Member* src, Member* dst, std::size_t a, std::size_t mid, std::size_t b,
                SortPacer& pacer) {
  std::size_t i = a;
  std::size_t j = mid;
  std::size_t k = a;
  while (i < mid && j < b) {
    const Member& m = key_less(src[j], src[i]) ? src[j++] : src[i++];
    dst[k++] = m;
    if (!pacer.did(m)) return false;
  }
  // What is left of one range follows as it is.
  return i < mid ? copy_members(src + i, mid - i, dst + k, pacer) : copy_members(src + j, b - j, dst + k, pacer);
}

// The end of the run that starts at `at`: as many members as kSortRunWork
// takes, one at least.
std::size_t run_end(const Member* ms, std::size_t n, std::size_t at) {
  std::size_t work = 0;
  while (at < n && work < kSortRunWork) work += sort_work(ms[at++].key);
  return at;
}

struct FreeMembers {
  void operator()(Member* p) const noexcept { std::free(p); }
};

}  // namespace

std::size_t sort_members_keep_last(Member* ms, std::size_t n) {
  if (n < 2) return n;
  if (n <= kSmallObject) {
    std::uint8_t order[kSmallObject];
    const std::size_t kept = order_small_object(n, order, [&](std::size_t i) { return ms[i].key; });
    Member sorted[kSmallObject];
    for (std::size_t i = 0; i < kept; ++i) sorted[i] = ms[order[i]];
    std::copy(sorted, sorted + kept, ms);
    return kept;
  }
  std::stable_sort(ms, ms + n, key_less);
  return *keep_last(ms, n, ms, [](const Member&) { return true; });
}

Result<std::size_t, Stopped> sort_members_keep_last(Member* ms, std::size_t n, const Interrupt& interrupt) {
  if (!interrupt.active() || run_end(ms, n, 0) == n) return sort_members_keep_last(ms, n);

  if (n > static_cast<std::size_t>(-1) / sizeof(Member)) throw std::bad_alloc();
  const std::unique_ptr<Member, FreeMembers> buffer(static_cast<Member*>(std::malloc(n * sizeof(Member))));
  if (buffer == nullptr) throw std::bad_alloc();
  SortPacer pacer(interrupt);

  // Runs put in order one at a time; bounds[r] is where run r starts, and
  // the last bound is n.
  std::vector<std::size_t> bounds{0};
  for (std::size_t at = 0; at < n;) {
    const std::size_t end = run_end(ms, n, at);
    std::stable_sort(ms + at, ms + end, key_less);
    bounds.push_back(end);
    at = end;
    if (!pacer.ask()) return err(Stopped{});
  }

  // Pairs of neighbouring runs merged from one array into the other, until
  // one run is left; a last run without a partner is copied across.
  Member* src = ms;
  Member* dst = buffer.get();
  for (std::size_t runs = bounds.size() - 1; runs > 1; runs = (runs + 1) / 2) {
    for (std::size_t r = 0; r < runs; r += 2) {
      const std::size_t a = bounds[r];
      const bool merged = r + 1 == runs ? copy_members(src + a, n - a, dst + a, pacer)
                                        : merge_runs(src, dst, a, bounds[r + 1], bounds[r + 2], pacer);
      if (!merged) return err(Stopped{});
      bounds[r / 2] = a;
    }
    bounds[(runs + 1) / 2] = n;
    std::swap(src, dst);
  }

  // The last of equal keys kept, back into `ms` if the merges left the
  // order in the buffer.
  const auto kept = keep_last(src, n, ms, [&](const Member& m) { return pacer.did(m); });
  if (!kept || !give_back_pages(buffer.get(), n * sizeof(Member), [&] { return pacer.ask(); })) {
    return err(Stopped{});
  }
  return *kept;
}

}  // namespace fendro::json
