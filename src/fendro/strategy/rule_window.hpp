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
#include "fendro/util/interrupt.hpp"
#include "fendro/util/paced_grow.hpp"

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
//
// The values live in blocks of one optional per key, one block more than the
// records held: the spare block is where the next record's values are
// written, so a push hands it over as it stands rather than copying it, and
// the leaving record's block, emptied, becomes the spare.
class RuleWindow {
 public:
  RuleWindow(std::uint64_t capacity, std::size_t keys)
      : capacity_(std::max<std::uint64_t>(capacity, 1)), keys_(keys), values_(keys, std::nullopt) {}

  std::uint64_t capacity() const { return capacity_; }
  std::uint64_t size() const { return held_; }
  std::size_t keys() const { return keys_; }
  // Records the storage has room for.
  std::size_t reserved() const { return bars_.capacity(); }

  // Record i, 0 = oldest. i < size().
  BarRecord record(std::uint64_t i) const { return {bars_[slot(i)], {values_at(i), keys_}}; }

  // The values of record i (i < size()), one per key.
  const std::optional<double>* values_at(std::uint64_t i) const { return block(value_slot(i)); }

  // The value under `key` on record i (i < size()): record(i).values[key].
  const std::optional<double>& value(std::uint64_t i, std::size_t key) const { return values_at(i)[key]; }

  // Values of the record the next push() appends; all absent after a push.
  // The view lasts until the next push.
  std::span<std::optional<double>> next_values() { return {block(spare_), keys_}; }

  // Grows the storage, where the next `more` pushes would grow it, ahead of
  // them, with `interrupt` asked as the records held are copied. False once
  // it asked to stop (the records then as they were).
  bool make_room(std::uint64_t more, const Interrupt& interrupt) {
    // A short window grows on its own as quickly.
    if (held_ >= capacity_ || more <= bars_.capacity() - held_ || held_ * sizeof(Candle) <= kCopyStretchBytes) {
      return true;
    }
    const std::uint64_t want =
        std::min<std::uint64_t>(capacity_, std::max<std::uint64_t>({16, 2 * held_, held_ + more}));
    return reserve_paced(bars_, static_cast<std::size_t>(want), interrupt) &&
           reserve_paced(values_, (static_cast<std::size_t>(want) + 1) * keys_, interrupt);
  }

  // Appends the candle with next_values(); the oldest record leaves first when full.
  void push(const Candle& c) {
    if (held_ < capacity_) {
      if (held_ == bars_.capacity()) grow();
      bars_.push_back(c);
      ++held_;
      // Blocks 0 .. held_ - 1 are the records, oldest first; a fresh spare follows.
      values_.resize(values_.size() + keys_);
      spare_ = held_;
      blocks_ = held_ + 1;
      return;
    }
    bars_[head_] = c;
    if (++head_ == held_) head_ = 0;
    const std::size_t leaving = first_block_;
    if (++first_block_ == blocks_) first_block_ = 0;
    spare_ = leaving;
    std::optional<double>* to = block(leaving);
    for (std::size_t k = 0; k < keys_; ++k) to[k].reset();
  }

 private:
  void grow() {
    const std::uint64_t want = std::min<std::uint64_t>(capacity_, std::max<std::size_t>(16, 2 * held_));
    bars_.reserve(static_cast<std::size_t>(want));
    values_.reserve((static_cast<std::size_t>(want) + 1) * keys_);
  }

  std::size_t slot(std::uint64_t i) const {
    std::size_t s = head_ + static_cast<std::size_t>(i);
    if (s >= held_) s -= held_;
    return s;
  }
  std::size_t value_slot(std::uint64_t i) const {
    std::size_t s = first_block_ + static_cast<std::size_t>(i);
    if (s >= blocks_) s -= blocks_;
    return s;
  }
  std::optional<double>* block(std::size_t b) { return values_.data() + b * keys_; }
  const std::optional<double>* block(std::size_t b) const { return values_.data() + b * keys_; }

  std::uint64_t capacity_;
  std::size_t keys_;
  std::size_t head_ = 0;  // ring position of the oldest record once full
  std::size_t held_ = 0;  // records held: bars_.size(), kept apart as it is read on every bar
  std::size_t blocks_ = 1;       // value blocks in use: held_ + 1
  std::size_t first_block_ = 0;  // block of the oldest record's values
  std::size_t spare_ = 0;        // block of the next record's values
  std::vector<Candle> bars_;
  std::vector<std::optional<double>> values_;  // keys_ per block
};

}  // namespace fendro
