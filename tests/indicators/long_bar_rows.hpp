// The settings at which a type does long work inside one bar, found by
// running every type key, and the candles they run over.
//
// Every key is built with each whole-number parameter pushed up a ladder of
// sizes (alone, then all of them together) and stepped over one fixed candle
// series inside a scope that asks after a single step: the first note of work
// past kUnnotedSteps asks at once. For each of those variants the smallest
// setting whose bars ask is one row. Which rows there are is what the code
// does; tests/data/long_bar_rows.txt holds what it did when last looked at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/market/records.hpp"
#include "fendro/registry/registry.hpp"

namespace fendro::testing {

// One type key and the parameters it is built with.
struct LongBarRow {
  std::string key;
  std::vector<double> params;
  bool operator==(const LongBarRow&) const = default;
  auto operator<=>(const LongBarRow&) const = default;
};

// "Key p1,p2,...": one line of the list (each parameter as the shortest text
// that reads back to it).
std::string row_text(const LongBarRow& row);
void PrintTo(const LongBarRow& row, std::ostream* out);
// The rows of a list's text: one per line; blank lines and lines starting
// with '#' are skipped. Nothing for a line that does not read.
std::optional<std::vector<LongBarRow>> read_rows(std::string_view text);

// The candles every row is stepped over, built once: closes that rise ever
// faster, swinging up and down from bar to bar by a step that grows. Each
// close, each one-bar return (of up bars among up bars, of down bars among
// down bars) and each volatility lies above nearly all of theirs more than a
// few bars older, so a window of them kept sorted fills cheaply, and once
// full moves much of its entries on most bars. One bar's high and the next
// one's low stand far out: windows of highs and lows centred there see the
// extremes they look for.
std::span<const Candle> long_bar_candles();

// The bars a setting is stepped over: past its warm-up and past its largest
// parameter (a window that fills with the bars seen, not with the warm-up),
// by a margin; at most all of long_bar_candles().
std::size_t bars_for(const LongBarRow& row, std::uint64_t warmup);

// The rows of one key: its customary setting when that asks; else for each
// variant, its first setting that asks.
std::vector<LongBarRow> asking_rows(const registry::Entry& entry);

}  // namespace fendro::testing
