// Copying what may be very long (a symbol, a reference of the caller's, a
// strategy's tree) while a caller waits to be able to stop the work.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "fendro/util/interrupt.hpp"

namespace fendro {

// How much one stretch of a copy takes between two asks: a fraction of a
// millisecond even where every page is fresh.
inline constexpr std::size_t kCopyStretchBytes = 2 * 1024 * 1024;

// Counts the bytes a copy has made, in whatever pieces, and asks the
// interrupt after every kCopyStretchBytes of them.
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

}  // namespace fendro
