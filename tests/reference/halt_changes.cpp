#include "reference/halt_changes.hpp"

#include <bit>
#include <cctype>
#include <cmath>
#include <optional>

#include "fendro/market/bar_snapshot.hpp"
#include "reference/sample_candles.hpp"

namespace fendro::reference {
namespace {

constexpr std::size_t kMovingCandles = 3000;
constexpr std::size_t kHaltedCandles = 90000;
constexpr std::size_t kToldPast = 1000;

constexpr std::string_view kLastChange = "On a halt it last changes at halt bar ";
constexpr std::string_view kStillChanges = "On a halt it still changes at halt bar ";
constexpr std::string_view kNoValueFrom = "On a halt it gives no value from halt bar ";
constexpr std::string_view kNaNFrom = "On a halt it gives NaN from halt bar ";

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

std::string_view head_of(HaltEnd end) {
  return end == HaltEnd::kNoValue ? kNoValueFrom : end == HaltEnd::kNaN ? kNaNFrom : kLastChange;
}

// The halt bar a written sentence names, and what it says is left there,
// if the text holds such a sentence.
std::optional<HaltChange> told_change(std::string_view value) {
  for (const std::string_view head : {kLastChange, kStillChanges, kNoValueFrom, kNaNFrom}) {
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
    if (!any) continue;
    if (head == kNoValueFrom) return HaltChange{bar, HaltEnd::kNoValue};
    if (head == kNaNFrom) return HaltChange{bar, HaltEnd::kNaN};
    return HaltChange{bar, HaltEnd::kValue};
  }
  return std::nullopt;
}

// "halt bar 1,092", with what is left there when it is an end of values.
std::string bar_named(const HaltChange& change) {
  const std::string bar = "halt bar " + with_commas(change.bar);
  if (change.end == HaltEnd::kNoValue) return bar + ", where its values end";
  if (change.end == HaltEnd::kNaN) return bar + ", where it turns NaN for good";
  return bar;
}

}  // namespace

HaltedSeries halt_after(std::vector<Candle> moving, std::size_t halted) {
  HaltedSeries series{std::move(moving), 0};
  series.moving = series.candles.size();
  const Candle last = series.candles.empty() ? Candle{0, 100.0, 100.0, 100.0, 100.0, 0.0} : series.candles.back();
  series.candles.reserve(series.moving + halted);
  for (std::size_t k = 1; k <= halted; ++k) {
    const std::int64_t time = last.time + static_cast<std::int64_t>(k) * kSampleHourMs;
    series.candles.push_back(Candle{time, last.close, last.close, last.close, last.close, 0.0});
  }
  return series;
}

HaltedSeries sample_halt() { return halt_after(sample_candles(kMovingCandles), kHaltedCandles); }

HaltChange last_halt_change(Indicator& ind, const HaltedSeries& series) {
  std::vector<std::uint64_t> last, now;
  std::size_t changed = 0;
  HaltEnd end = HaltEnd::kValue;
  for (std::size_t i = 0; i < series.candles.size(); ++i) {
    BarSnapshot snap;
    snap.candle = &series.candles[i];
    const std::optional<double> v = ind.update(snap);
    now.assign(1, v.has_value());
    if (v) {
      now.push_back(std::bit_cast<std::uint64_t>(*v));
      for (const NamedOutput& o : ind.outputs()) now.push_back(std::bit_cast<std::uint64_t>(o.value));
    }
    if (now != last) {
      changed = i;
      end = !v ? HaltEnd::kNoValue : std::isnan(*v) ? HaltEnd::kNaN : HaltEnd::kValue;
    }
    last.swap(now);
  }
  if (changed < series.moving) return {};
  return {changed - series.moving + 1, end};
}

bool halt_change_is_told(std::size_t bar, std::uint64_t warmup) {
  return bar > kToldPast && bar > 10 * warmup;
}

std::string halt_sentence(const HaltChange& change, std::size_t halted) {
  if (change.end != HaltEnd::kValue) {
    return std::string(head_of(change.end)).append(with_commas(change.bar)).append(" on.");
  }
  const bool still = change.bar == halted;
  std::string out(still ? kStillChanges : kLastChange);
  return out.append(with_commas(change.bar)).append(still ? ", the last tried." : ".");
}

std::vector<std::string> halt_claim_faults(std::string_view value, Indicator& fresh, const HaltedSeries& series,
                                           bool applies) {
  const std::optional<HaltChange> written = told_change(value);
  if (!applies) {
    if (written) return {"tells a halt bar, but candles alone give it no value"};
    return {};
  }
  const HaltChange change = last_halt_change(fresh, series);
  const bool told = halt_change_is_told(change.bar, fresh.warmup_period());
  std::string fault;
  if (!written && told) {
    fault.append("last changes at ").append(bar_named(change)).append(", and the row does not say so");
  } else if (written && !told) {
    fault.append("tells ").append(bar_named(*written)).append(", but its last change, at ");
    fault.append(bar_named(change)).append(", is not one to tell");
  } else if (written && value.find(halt_sentence(change, series.halted())) == std::string_view::npos) {
    fault.append("tells ").append(bar_named(*written)).append(", the last change is at ").append(bar_named(change));
  }
  if (fault.empty()) return {};
  return {fault};
}

}  // namespace fendro::reference
