#include "fendro/market/candle_fields.hpp"

#include <algorithm>
#include <limits>

#include "fendro/json/describe.hpp"

namespace fendro {
namespace {

using json::Kind;
using json::Value;

// The five required fields in the order they are reported missing, then volume.
constexpr std::string_view kFields[] = {"time", "open", "high", "low", "close", "volume"};
constexpr std::size_t kRequired = 5;
// The fields in key byte order: the order an object's members are checked in.
constexpr std::size_t kByKey[] = {4, 2, 3, 1, 0, 5};
static_assert(std::is_sorted(std::begin(kByKey), std::end(kByKey),
                             [](std::size_t a, std::size_t b) { return kFields[a] < kFields[b]; }));

// Stores `v` as the field; false, with the reason in `failure`, when it
// does not fit (no failure text is built otherwise).
bool read_field(std::size_t field, const Value& v, Candle& c, std::string& failure) {
  if (field == 0) {
    if (v.kind == Kind::NegInt) {
      c.time = v.i;
      return true;
    }
    if (v.kind != Kind::UInt) {
      failure = json::invalid_type(v, "i64");
      return false;
    }
    if (v.u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
      failure = json::invalid_value(v, "i64");
      return false;
    }
    c.time = static_cast<std::int64_t>(v.u);
    return true;
  }
  if (!v.is_number()) {
    failure = json::invalid_type(v, "f64");
    return false;
  }
  double* const slots[] = {&c.open, &c.high, &c.low, &c.close, &c.volume};
  *slots[field - 1] = v.as_f64();
  return true;
}

std::uint8_t bit(std::size_t field) { return static_cast<std::uint8_t>(1u << field); }

}  // namespace

std::string not_a_symbol_map(const Value& v) { return json::invalid_type(v, "a map"); }

std::string not_a_candle_list(const Value& v) { return json::invalid_type(v, "a sequence"); }

std::size_t CandleFields::field_of(std::string_view key) {
  for (std::size_t k = 0; k < std::size(kFields); ++k) {
    if (key == kFields[k]) return k;
  }
  return kNone;
}

void CandleFields::start() {
  candle_ = Candle{};
  seen_ = 0;
  failed_ = 0;
}

void CandleFields::member(std::size_t field, const Value& v) {
  seen_ |= bit(field);
  if (read_field(field, v, candle_, failures_[field])) {
    failed_ &= static_cast<std::uint8_t>(~bit(field));
  } else {
    failed_ |= bit(field);
  }
}

Result<Candle, std::string> CandleFields::finish_object() {
  if (failed_ != 0) {
    for (const std::size_t k : kByKey) {
      if (failed_ & bit(k)) return err(std::move(failures_[k]));
    }
  }
  for (std::size_t k = 0; k < kRequired; ++k) {
    if (!(seen_ & bit(k))) return err(json::missing_field(kFields[k]));
  }
  return candle_;
}

Status<std::string> CandleFields::element(std::size_t index, const Value& v) {
  if (index >= std::size(kFields)) return Unit{};
  if (!read_field(index, v, candle_, failures_[index])) return err(std::move(failures_[index]));
  return Unit{};
}

Result<Candle, std::string> CandleFields::finish_array(std::size_t count) {
  if (count < kRequired) return err(json::invalid_length(count, "struct Candle with 6 elements"));
  if (count > std::size(kFields)) return err(json::invalid_length(count, "fewer elements in array"));
  return candle_;
}

std::string CandleFields::not_a_candle(const Value& v) {
  return json::invalid_type(v, "struct Candle");
}

}  // namespace fendro
