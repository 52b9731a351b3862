#include "fendro/json/number_text.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "fendro/json/scan.hpp"

namespace fendro::json::detail {

const char* skip_zeros(const char* p, const char* end) {
  constexpr std::uint64_t kZeros = '0' * kEachByte;
  while (end - p >= 8 && load8(p) == kZeros) p += 8;
  while (p != end && *p == '0') ++p;
  return p;
}

const char* find_nonzero_digit(const char* p, const char* end, CopyPacer& pacer) {
  while (p != end) {
    const std::size_t n = std::min<std::size_t>(kCopyStretchBytes, static_cast<std::size_t>(end - p));
    const char* const q = skip_zeros(p, p + n);
    if (q != p + n) return q;
    p = q;
    if (!pacer.copied(n)) return end;
  }
  return end;
}

bool cut_number(bool positive, const NumberText& t, CopyPacer& pacer, CutNumber& out) {
  char* o = out.text;
  if (!positive) *o++ = '-';
  const auto int_digits = static_cast<std::int64_t>(t.int_end - t.int_start);
  // The first significant digit and the decimal exponent of its place, the
  // written exponent aside. JSON allows no leading zero but a lone one.
  const char* first = t.int_start;
  std::int64_t lead = int_digits - 1;
  out.magnitude = int_digits;
  if (*t.int_start == '0') {
    first = find_nonzero_digit(t.frac_start, t.frac_end, pacer);
    if (pacer.stopped()) return false;
    out.magnitude = -static_cast<std::int64_t>(first - t.frac_start);
    lead = out.magnitude - 1;
  }
  // The leading significant digits, those of the integer part first.
  std::size_t kept = 0;
  const auto keep = [&](const char* from, const char* to) {
    const std::size_t n = std::min(static_cast<std::size_t>(to - from), kCutDigits - kept);
    std::memcpy(o + kept, from, n);
    kept += n;
    return from + n;
  };
  const bool from_int = first < t.int_end;
  const char* const int_rest = from_int ? keep(first, t.int_end) : t.int_end;
  const char* const frac_rest = keep(from_int ? t.frac_start : first, t.frac_end);
  // Whatever non-zero digits are dropped, one digit 1 stands for them.
  const bool dropped = find_nonzero_digit(int_rest, t.int_end, pacer) != t.int_end ||
                       find_nonzero_digit(frac_rest, t.frac_end, pacer) != t.frac_end;
  if (pacer.stopped()) return false;
  if (dropped) o[kept++] = '1';
  std::int64_t exp10 = 0;
  if (kept == 0) {
    o[kept++] = '0';  // a zero: its sign is all that is left of it
  } else {
    // The digits as an integer, its last digit's place as the exponent.
    exp10 = lead + t.exp - static_cast<std::int64_t>(kept - 1);
  }
  o += kept;
  *o++ = 'e';
  o = std::to_chars(o, out.text + sizeof out.text, exp10).ptr;
  out.size = static_cast<std::size_t>(o - out.text);
  return true;
}

}  // namespace fendro::json::detail
