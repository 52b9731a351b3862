#include "fendro/util/number_format.hpp"

#include <charconv>
#include <cstring>
#include <system_error>

namespace fendro {

ShortestDigits shortest_digits(double v) {
  // Scientific form "[-]d[.ddd]e[+-]xx" carries exactly the shortest digits;
  // the fixed form would print every exact digit of large values instead.
  char buf[40];
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  const char* p = buf;
  const char* end = res.ptr;
  ShortestDigits d;
  if (*p == '-') {
    d.negative = true;
    ++p;
  }
  for (; p != end && *p != 'e'; ++p) {
    if (*p != '.') d.digits[d.count++] = *p;
  }
  int exponent = 0;
  if (p != end) {
    ++p;  // 'e'
    if (*p == '+') ++p;
    std::from_chars(p, end, exponent);
  }
  // Drop trailing zeros ("0e+00" keeps its single digit).
  while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
  d.point = exponent + 1;
  return d;
}

void append_shortest_positional(std::string& out, double v) {
  const ShortestDigits d = shortest_digits(v);
  if (d.negative) out.push_back('-');
  if (d.point <= 0) {
    out.append("0.");
    out.append(static_cast<std::size_t>(-d.point), '0');
    out.append(d.digits, static_cast<std::size_t>(d.count));
  } else if (d.point >= d.count) {
    out.append(d.digits, static_cast<std::size_t>(d.count));
    out.append(static_cast<std::size_t>(d.point - d.count), '0');
  } else {
    out.append(d.digits, static_cast<std::size_t>(d.point));
    out.push_back('.');
    out.append(d.digits + d.point, static_cast<std::size_t>(d.count - d.point));
  }
}

std::string shortest_positional(double v) {
  std::string out;
  append_shortest_positional(out, v);
  return out;
}

void append_u64(std::string& out, std::uint64_t v) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, res.ptr);
}

void append_i64(std::string& out, std::int64_t v) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, res.ptr);
}

}  // namespace fendro
