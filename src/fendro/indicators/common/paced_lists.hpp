// Long list work inside a bar done in parts, each noted with the command's
// scope before it runs (see stop_before).
//
// Sorting: runs of kSortRun entries are sorted alone, then merged pairwise,
// one merge at a time; a short list is sorted at once. Equal entries may come
// out in another order than std::sort's: only for lists whose equal entries
// are alike (integers), or whose readings do not depend on the order among
// equals.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "fendro/util/run_scope.hpp"

namespace fendro {

inline constexpr std::size_t kSortRun = std::size_t{1} << 15;

// Steps of sorting, per entry and halving of the list; of merging, per entry.
inline constexpr std::uint64_t kSortSteps = 3;
inline constexpr std::uint64_t kMergeSteps = 3;

// Sorts `v` ascending, with `scratch` (reused between bars) for the merges.
// True: told to stop; `v` then holds its entries in some order.
template <class T>
bool stop_after_sort(std::vector<T>& v, std::vector<T>& scratch) {
  const std::size_t n = v.size();
  if (n <= kSortRun) {
    if (stop_before(kSortSteps * n * std::bit_width(n))) return true;
    std::sort(v.begin(), v.end());
    return false;
  }
  const auto at = [&v](std::size_t i) { return v.begin() + static_cast<std::ptrdiff_t>(i); };
  for (std::size_t i = 0; i < n; i += kSortRun) {
    const std::size_t end = std::min(n, i + kSortRun);
    if (stop_before(kSortSteps * kSortRun * std::bit_width(kSortRun))) return true;
    std::sort(at(i), at(end));
  }
  // Appended to rather than filled first: a long list's first merges then
  // touch its fresh memory a part at a time.
  scratch.reserve(n);
  for (std::size_t width = kSortRun; width < n; width *= 2) {
    scratch.clear();
    for (std::size_t i = 0; i < n; i += 2 * width) {
      const std::size_t mid = std::min(n, i + width);
      const std::size_t end = std::min(n, i + 2 * width);
      if (stop_before(kMergeSteps * (end - i))) return true;
      std::merge(at(i), at(mid), at(mid), at(end), std::back_inserter(scratch));
    }
    v.swap(scratch);
  }
  return false;
}

// Makes `v` hold `count` copies of `value` (as assign does), a part at a
// time, `steps_each` steps an entry. Growing a long list first touches fresh
// memory, which costs far more than filling it. True: told to stop; `v` then
// holds fewer entries.
template <class T>
bool stop_after_assign(std::vector<T>& v, std::size_t count, const T& value, std::uint64_t steps_each) {
  if (count * steps_each < kUnnotedSteps) {
    v.assign(count, value);
    return false;
  }
  constexpr std::size_t kBlock = std::size_t{1} << 16;
  v.clear();
  v.reserve(count);
  for (std::size_t i = 0; i < count; i += kBlock) {
    const std::size_t block = std::min(kBlock, count - i);
    if (stop_before(steps_each * block)) return true;
    v.insert(v.end(), block, value);
  }
  return false;
}

}  // namespace fendro
