#include "reference/zero_windows.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace fendro::reference {
namespace {

constexpr std::uint64_t kApart = std::numeric_limits<std::uint64_t>::max();
// Bars past the longest window before the comparison starts.
constexpr std::size_t kMargin = 8;

bool same_bits(std::optional<double> a, std::optional<double> b) {
  return a.has_value() == b.has_value() && (!a || std::bit_cast<std::uint64_t>(*a) == std::bit_cast<std::uint64_t>(*b));
}

}  // namespace

Trace trace_over(Indicator& ind, std::span<const testing::Bar> history, std::span<const testing::Bar> stretch) {
  Trace t;
  for (const testing::Bar& b : history) {
    const std::optional<double> v = ind.update(testing::snapshot_of(b));
    if (!v) continue;
    if (std::isfinite(*v)) t.history_largest = std::max(t.history_largest, std::abs(*v));
    for (const NamedOutput& o : ind.outputs()) {
      if (std::isfinite(o.value)) t.history_largest = std::max(t.history_largest, std::abs(o.value));
    }
  }
  t.bars.reserve(stretch.size());
  for (const testing::Bar& b : stretch) {
    BarGave gave;
    gave.value = ind.update(testing::snapshot_of(b));
    const std::span<const NamedOutput> outs = ind.outputs();
    if (gave.value) {
      if (t.names.empty()) {
        for (const NamedOutput& o : outs) t.names.push_back(o.name);
      }
      for (const NamedOutput& o : outs) gave.outputs.push_back(o.value);
    }
    t.bars.push_back(std::move(gave));
  }
  return t;
}

std::uint64_t ulps_apart(std::optional<double> a, std::optional<double> b, double scale) {
  if (a.has_value() != b.has_value()) return kApart;
  if (!a) return 0;
  if (std::isnan(*a) || std::isnan(*b)) return std::isnan(*a) && std::isnan(*b) ? 0 : kApart;
  if (*a == *b) return 0;
  if (!std::isfinite(*a) || !std::isfinite(*b)) return kApart;
  const double s = scale > 0.0 ? scale : std::max(std::abs(*a), std::abs(*b));
  const double unit = std::nextafter(s, std::numeric_limits<double>::infinity()) - s;
  const double apart = std::abs(*a - *b) / unit;
  return apart >= 1e18 ? kApart : static_cast<std::uint64_t>(std::ceil(apart));
}

bool close_enough(std::optional<double> h, std::optional<double> f, const Closeness& c) {
  if (same_bits(h, f)) return true;
  if (c.sign_only) return h && f && same_bits(std::abs(*h), std::abs(*f));
  if (c.ulps > 0 && ulps_apart(h, f, c.scale) <= c.ulps) return true;
  if (!c.nonzero_residue || !h || !f || *h == 0.0 || *f == 0.0 || std::signbit(*h) != std::signbit(*f)) return false;
  return ulps_apart(h, f, 0.0) <= kResidueUlps;
}

std::optional<Parting> first_parting(const Trace& h, const Trace& f, std::size_t from, const Closeness& c) {
  const std::size_t n = std::min(h.bars.size(), f.bars.size());
  for (std::size_t i = from; i < n; ++i) {
    const BarGave& a = h.bars[i];
    const BarGave& b = f.bars[i];
    if (!close_enough(a.value, b.value, c)) return Parting{i, "", a.value, b.value};
    if (!a.value || !b.value) continue;
    if (a.outputs.size() != b.outputs.size()) return Parting{i, "(the outputs)", a.value, b.value};
    for (std::size_t k = 0; k < a.outputs.size(); ++k) {
      if (!close_enough(a.outputs[k], b.outputs[k], c)) {
        Parting p{i, std::to_string(k), a.outputs[k], b.outputs[k]};
        if (k < h.names.size()) p.output = h.names[k];
        return p;
      }
    }
  }
  return std::nullopt;
}

std::optional<Parting> first_change(const Trace& h, std::size_t kept, std::size_t from) {
  if (kept >= h.bars.size()) return std::nullopt;
  Trace same;
  same.names = h.names;
  same.bars.assign(h.bars.size(), h.bars[kept]);
  return first_parting(h, same, from, Closeness{});
}

std::size_t settled_from(const Indicator& ind, std::span<const double> params, std::span<const Kind> kinds) {
  double reach = 0.0;
  for (std::size_t i = 0; i < params.size() && i < kinds.size(); ++i) {
    if (kinds[i] == Kind::Integer) reach += std::abs(params[i]);
  }
  const double longest = std::max(static_cast<double>(ind.warmup_period()), reach);
  return static_cast<std::size_t>(std::min(longest, 4000.0)) + kMargin;
}

}  // namespace fendro::reference
