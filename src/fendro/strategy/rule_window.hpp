// The rules' history: the latest bars, oldest first, each with the values the
// rules can read on it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "fendro/market/records.hpp"

namespace fendro {

// One bar of the window: its candle and the values stored on it, indexed by
// value key (absent: nothing was stored under that key on this bar).
struct BarRecord {
  const Candle& candle;
  std::span<const std::optional<double>> values;
};

// A ring of at most `capacity` records. Each record holds its candle and one
// optional value per value key (the keys the rules reference). Storage grows
// with the records actually held (at most twice them, never beyond the
// capacity), so a capacity of 2^40 costs nothing until bars arrive.
class RuleWindow {
 public:
  RuleWindow(std::uint64_t capacity, std::size_t keys)
      : capacity_(std::max<std::uint64_t>(capacity, 1)), keys_(keys), next_(keys, std::nullopt) {}

  std::uint64_t capacity() const { return capacity_; }
  std::uint64_t size() const { return held_; }
  std::size_t keys() const { return keys_; }
  // Records the storage has room for.
  std::size_t reserved() const { return bars_.capacity(); }

  // Record i, 0 = oldest. i < size().
  BarRecord record(std::uint64_t i) const {
    const std::size_t s = slot(i);
    return {bars_[s], {values_.data() + s * keys_, keys_}};
  }

  // The values of record i (i < size()), one per key.
  const std::optional<double>* values_at(std::uint64_t i) const { return values_.data() + slot(i) * keys_; }

  // The value under `key` on record i (i < size()): record(i).values[key].
  const std::optional<double>& value(std::uint64_t i, std::size_t key) const {
    return values_[slot(i) * keys_ + key];
  }

  // Values of the record the next push() appends; all absent after a push.
  std::span<std::optional<double>> next_values() { return next_; }

  // Appends the candle with next_values(); the oldest record leaves first when full.
  void push(const Candle& c) {
    std::optional<double>* to = nullptr;
    if (held_ < capacity_) {
      if (held_ == bars_.capacity()) grow();
      bars_.push_back(c);
      values_.resize(values_.size() + keys_);
      to = values_.data() + (values_.size() - keys_);
      ++held_;
    } else {
      bars_[head_] = c;
      to = values_.data() + head_ * keys_;
      if (++head_ == held_) head_ = 0;
    }
    take_next(to);
  }

 private:
  // Moves next_ into `to` and leaves next_ all absent, field by field: the
  // values were stored a moment ago as a number and a flag, and a copy of the
  // whole optional would read both at once, which waits for both stores to
  // reach the cache rather than taking them as they stand.
  void take_next(std::optional<double>* to) {
    std::optional<double>* from = next_.data();
    for (std::size_t k = 0; k < keys_; ++k) {
      if (from[k].has_value()) {
        to[k] = *from[k];
        from[k].reset();
      } else {
        to[k].reset();
      }
    }
  }

  void grow() {
    const std::uint64_t want = std::min<std::uint64_t>(capacity_, std::max<std::size_t>(16, 2 * held_));
    bars_.reserve(static_cast<std::size_t>(want));
    values_.reserve(static_cast<std::size_t>(want) * keys_);
  }

  std::size_t slot(std::uint64_t i) const {
    std::size_t s = head_ + static_cast<std::size_t>(i);
    if (s >= held_) s -= held_;
    return s;
  }

  std::uint64_t capacity_;
  std::size_t keys_;
  std::size_t head_ = 0;  // ring position of the oldest record once full
  std::size_t held_ = 0;  // records held: bars_.size(), kept apart as it is read on every bar
  std::vector<Candle> bars_;
  std::vector<std::optional<double>> values_;  // keys_ per record
  std::vector<std::optional<double>> next_;
};

}  // namespace fendro
