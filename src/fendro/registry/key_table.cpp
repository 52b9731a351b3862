#include "fendro/registry/key_table.hpp"

#include <algorithm>
#include <vector>

namespace fendro::registry {
namespace {

bool shorter_or_before(std::string_view a, std::string_view b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

const std::vector<Entry>& sorted_rows() {
  static const std::vector<Entry> rows = [] {
    std::vector<Entry> all;
    for (std::span<const Entry> family : families()) all.insert(all.end(), family.begin(), family.end());
    std::sort(all.begin(), all.end(),
              [](const Entry& a, const Entry& b) { return shorter_or_before(a.key, b.key); });
    return all;
  }();
  return rows;
}

}  // namespace

std::span<const Entry> key_rows() { return sorted_rows(); }

std::optional<std::size_t> key_slot(std::string_view key) {
  const std::vector<Entry>& rows = sorted_rows();
  const auto at = std::lower_bound(rows.begin(), rows.end(), key, [](const Entry& r, std::string_view k) {
    return shorter_or_before(r.key, k);
  });
  if (at == rows.end() || at->key != key) return std::nullopt;
  return static_cast<std::size_t>(at - rows.begin());
}

}  // namespace fendro::registry
