#include "reference/halt_changes.hpp"

#include <bit>
#include <cctype>
#include <optional>

namespace fendro::reference {
namespace {

constexpr std::size_t kMovingBars = 3000;
constexpr std::size_t kHaltedBars = 90000;
constexpr std::size_t kToldPast = 1000;

constexpr std::string_view kLastChange = "On a halt it last changes at halt bar ";
constexpr std::string_view kStillChanges = "On a halt it still changes at halt bar ";

// 9967 as "9,967".
std::string with_commas(std::size_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t k = 0; k < digits.size(); ++k) {
    if (k > 0 && (digits.size() - k) % 3 == 0) out.push_back(',');
    out.push_back(digits[k]);
  }
  return out;
}

// The halt bar a written sentence names, if the text holds one.
std::optional<std::size_t> told_bar(std::string_view value) {
  for (const std::string_view head : {kLastChange, kStillChanges}) {
    const std::size_t at = value.find(head);
    if (at == std::string_view::npos) continue;
    std::size_t bar = 0;
    bool any = false;
    for (std::size_t k = at + head.size(); k < value.size(); ++k) {
      const char c = value[k];
      if (c == ',') continue;
      if (!std::isdigit(static_cast<unsigned char>(c))) break;
      bar = bar * 10 + static_cast<std::size_t>(c - '0');
      any = true;
    }
    if (any) return bar;
  }
  return std::nullopt;
}

}  // namespace

HaltedSeries fingerprint_halt(const std::vector<testing::Bar>& walk) {
  return {testing::make_halted_bars(walk, kMovingBars, kHaltedBars), kMovingBars};
}

std::size_t last_halt_change(Indicator& ind, const HaltedSeries& series) {
  std::vector<std::uint64_t> last, now;
  std::size_t changed = 0;
  for (std::size_t i = 0; i < series.bars.size(); ++i) {
    const std::optional<double> v = ind.update(testing::snapshot_of(series.bars[i]));
    now.assign(1, v.has_value());
    if (v) {
      now.push_back(std::bit_cast<std::uint64_t>(*v));
      for (const NamedOutput& o : ind.outputs()) now.push_back(std::bit_cast<std::uint64_t>(o.value));
    }
    if (now != last) changed = i;
    last.swap(now);
  }
  return changed < series.moving ? 0 : changed - series.moving + 1;
}

bool halt_change_is_told(std::size_t bar, std::uint64_t warmup) {
  return bar > kToldPast && bar > 10 * warmup;
}

std::string halt_sentence(std::size_t bar, std::size_t halted) {
  std::string out(bar == halted ? kStillChanges : kLastChange);
  return out.append(with_commas(bar)).append(bar == halted ? ", the last tried." : ".");
}

std::vector<std::string> halt_claim_faults(std::string_view value, Indicator& fresh, const HaltedSeries& series,
                                           bool applies) {
  const std::optional<std::size_t> written = told_bar(value);
  if (!applies) {
    if (written) return {"tells a halt bar, but candles alone give it no value"};
    return {};
  }
  const std::size_t bar = last_halt_change(fresh, series);
  const bool told = halt_change_is_told(bar, fresh.warmup_period());
  std::string fault;
  if (!written && told) {
    fault.append("last changes at halt bar ").append(with_commas(bar)).append(", and the row does not say so");
  } else if (written && !told) {
    fault.append("tells halt bar ").append(with_commas(*written)).append(", but its last change, at halt bar ");
    fault.append(with_commas(bar)).append(", is not one to tell");
  } else if (written && value.find(halt_sentence(bar, series.halted())) == std::string_view::npos) {
    fault.append("tells halt bar ").append(with_commas(*written)).append(", the last change is at halt bar ");
    fault.append(with_commas(bar));
  }
  if (fault.empty()) return {};
  return {fault};
}

}  // namespace fendro::reference
