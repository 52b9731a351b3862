// Copying and comparing what may be very long (a symbol, a reference of the
// caller's, a strategy's tree) while a caller waits to be able to stop the
// work.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "fendro/util/interrupt.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// How much one stretch of a copy takes between two asks: a fraction of a
// millisecond even where every page is fresh.
inline constexpr std::size_t kCopyStretchBytes = 2 * 1024 * 1024;

// Counts the bytes a copy (or a comparison) has gone through, in whatever
// pieces, and asks the interrupt after every kCopyStretchBytes of them.
class CopyPacer {
 public:
  explicit CopyPacer(const Interrupt& interrupt) : interrupt_(interrupt) {}

  // After `n` more bytes: false once the interrupt asked to stop.
  bool copied(std::size_t n) {
    unasked_ += n;
    if (unasked_ >= kCopyStretchBytes && !stopped_) {
      unasked_ = 0;
      stopped_ = interrupt_.stop_requested();
    }
    return !stopped_;
  }
  bool stopped() const { return stopped_; }

 private:
  Interrupt interrupt_;
  std::size_t unasked_ = 0;
  bool stopped_ = false;
};

// `to` becomes a copy of `from`, made in stretches with `interrupt` asked
// between them. False, with `to` holding a part, when it asked to stop.
inline bool copy_paced(std::string_view from, std::string& to, const Interrupt& interrupt) {
  if (from.size() <= kCopyStretchBytes || !interrupt.active()) {
    to.assign(from);
    return true;
  }
  to.clear();
  to.reserve(from.size());
  CopyPacer pacer(interrupt);
  for (std::size_t at = 0; at < from.size(); at += kCopyStretchBytes) {
    const std::size_t n = std::min(kCopyStretchBytes, from.size() - at);
    to.append(from.substr(at, n));
    if (!pacer.copied(n)) return false;
  }
  return true;
}

// Whether `a` and `b` hold the same bytes, compared in stretches told to
// `pacer`; once it says stop the answer is of no use.
inline bool equal_paced(std::string_view a, std::string_view b, CopyPacer& pacer) {
  if (a.size() != b.size()) return false;
  for (std::size_t at = 0; at < a.size(); at += kCopyStretchBytes) {
    const std::size_t n = std::min(kCopyStretchBytes, a.size() - at);
    if (a.substr(at, n) != b.substr(at, n) || !pacer.copied(n)) return false;
  }
  return true;
}

// The same, with `interrupt` asked between the stretches; Stopped when it
// asked to stop.
inline Result<bool, Stopped> equal_paced(std::string_view a, std::string_view b, const Interrupt& interrupt) {
  CopyPacer pacer(interrupt);
  const bool same = equal_paced(a, b, pacer);
  if (pacer.stopped()) return err(Stopped{});
  return same;
}

// The entry of `map` (a std::map keyed by strings, looked up by any
// string_view) whose key is `key`, or its end(). A long key is compared in
// stretches, with `interrupt` asked between them and every so many entries
// passed over; Stopped when it asked to stop.
template <class Map>
Result<typename Map::const_iterator, Stopped> find_paced(const Map& map, std::string_view key,
                                                          const Interrupt& interrupt) {
  if (key.size() <= kCopyStretchBytes || !interrupt.active()) return map.find(key);
  // A key of another length is never equal: each entry passed over counts
  // as a few cache lines, only those of the same length are compared.
  constexpr std::size_t kEntryBytes = 256;
  CopyPacer pacer(interrupt);
  for (auto it = map.begin(); it != map.end(); ++it) {
    if (equal_paced(it->first, key, pacer)) return typename Map::const_iterator(it);
    if (!pacer.copied(kEntryBytes)) break;
  }
  if (pacer.stopped()) return err(Stopped{});
  return map.end();
}

}  // namespace fendro
