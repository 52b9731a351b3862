#include "reference/entry_doc_text.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fendro::reference {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool is_name_char(char c) { return std::islower(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) || c == '_'; }

// "MAX", "inf", "-inf" or a number.
std::optional<std::optional<double>> read_bound_value(std::string_view s) {
  s = trim(s);
  if (s == "MAX") return std::optional<double>(kMaxPeriod);
  if (s == "inf" || s == "-inf") return std::optional<double>();
  double v = 0.0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return std::optional<double>(v);
}

std::string parse_one(std::string_view item, ParamText& out) {
  std::size_t k = 0;
  while (k < item.size() && is_name_char(item[k])) ++k;
  if (k == 0 || !std::islower(static_cast<unsigned char>(item[0]))) return "a parameter needs a snake_case name";
  out.name = std::string(item.substr(0, k));
  std::string_view rest = trim(item.substr(k));
  if (!rest.empty() && (rest[0] == '[' || rest[0] == '(')) {
    const std::size_t close = rest.find_first_of("])");
    const std::size_t comma = rest.find(',');
    if (close == std::string_view::npos || comma == std::string_view::npos || comma > close) {
      return "the interval of `" + out.name + "` is not [lo, hi]";
    }
    const auto lo = read_bound_value(rest.substr(1, comma - 1));
    const auto hi = read_bound_value(rest.substr(comma + 1, close - comma - 1));
    if (!lo || !hi) return "a bound of `" + out.name + "` is not a number, MAX or inf";
    out.low = Bound{*lo, rest[0] == '[' && lo->has_value()};
    out.high = Bound{*hi, rest[close] == ']' && hi->has_value()};
    rest = trim(rest.substr(close + 1));
  }
  if (!rest.empty()) {
    if (rest.front() != '{' || rest.back() != '}') return "after `" + out.name + "` only an interval and a {note}";
    out.note = std::string(trim(rest.substr(1, rest.size() - 2)));
  }
  return {};
}

// A recursive-descent reader of + - * / over numbers, names and calls.
class Expr {
 public:
  Expr(std::string_view text, const std::map<std::string, double>& names) : s_(text), names_(names) {}

  Evaluated run() {
    Evaluated out;
    out.value = sum();
    skip();
    if (error_.empty() && at_ != s_.size()) error_ = "unexpected text at " + std::string(s_.substr(at_));
    out.error = error_;
    return out;
  }

 private:
  void skip() {
    while (at_ < s_.size() && s_[at_] == ' ') ++at_;
  }
  bool take(char c) {
    skip();
    if (at_ < s_.size() && s_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  double sum() {
    double v = product();
    for (;;) {
      if (take('+')) {
        v += product();
      } else if (take('-')) {
        v -= product();
      } else {
        return v;
      }
    }
  }
  double product() {
    double v = unary();
    for (;;) {
      if (take('*')) {
        v *= unary();
      } else if (take('/')) {
        v /= unary();
      } else {
        return v;
      }
    }
  }
  double unary() { return take('-') ? -unary() : atom(); }
  double atom() {
    skip();
    if (take('(')) {
      const double v = sum();
      if (!take(')')) fail("a ( is not closed");
      return v;
    }
    if (at_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[at_]))) {
      double v = 0.0;
      const auto [end, ec] = std::from_chars(s_.data() + at_, s_.data() + s_.size(), v);
      if (ec != std::errc()) fail("a bad number");
      at_ = static_cast<std::size_t>(end - s_.data());
      return v;
    }
    const std::size_t start = at_;
    while (at_ < s_.size() && is_name_char(s_[at_])) ++at_;
    const std::string name(s_.substr(start, at_ - start));
    if (name.empty()) {
      fail("a value is missing");
      return 0.0;
    }
    if (name == "floor" || name == "ceil" || name == "round" || name == "sqrt" || name == "max" || name == "min") {
      return call(name);
    }
    const auto found = names_.find(name);
    if (found == names_.end()) {
      fail("`" + name + "` is not a parameter");
      return 0.0;
    }
    return found->second;
  }
  double call(const std::string& fn) {
    if (!take('(')) fail(fn + " needs (");
    const double a = sum();
    if (fn == "floor" || fn == "ceil" || fn == "round" || fn == "sqrt") {
      if (!take(')')) fail(fn + " takes one argument");
      if (fn == "floor") return std::floor(a);
      if (fn == "ceil") return std::ceil(a);
      return fn == "round" ? std::round(a) : std::sqrt(a);
    }
    double v = a;
    while (take(',')) v = fn == "max" ? std::max(v, sum()) : std::min(v, sum());
    if (!take(')')) fail(fn + "( is not closed");
    return v;
  }
  void fail(std::string why) {
    if (error_.empty()) error_ = std::move(why);
  }

  std::string_view s_;
  const std::map<std::string, double>& names_;
  std::size_t at_ = 0;
  std::string error_;
};

std::string number(double v) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, ec == std::errc() ? end : buf);
}

}  // namespace

ParsedParams parse_params(std::string_view text) {
  ParsedParams out;
  text = trim(text);
  while (!text.empty()) {
    const std::size_t brace = text.find('{');
    std::size_t semi = text.find(';');
    // A note may hold a ';' of its own.
    if (brace != std::string_view::npos && semi != std::string_view::npos && brace < semi) {
      const std::size_t close = text.find('}', brace);
      semi = close == std::string_view::npos ? close : text.find(';', close);
    }
    ParamText p;
    out.error = parse_one(trim(text.substr(0, semi)), p);
    if (!out.error.empty()) return out;
    out.params.push_back(std::move(p));
    text = semi == std::string_view::npos ? std::string_view() : trim(text.substr(semi + 1));
  }
  return out;
}

Evaluated evaluate(std::string_view expr, const std::map<std::string, double>& names) {
  return Expr(expr, names).run();
}

std::string show_expression(std::string_view expr, const std::map<std::string, double>& names) {
  std::string out;
  for (std::size_t k = 0; k < expr.size();) {
    if (!is_name_char(expr[k]) || std::isdigit(static_cast<unsigned char>(expr[k]))) {
      // Digits run on into a number, never into a name.
      out += expr[k++];
      continue;
    }
    std::size_t end = k;
    while (end < expr.size() && is_name_char(expr[end])) ++end;
    const std::string name(expr.substr(k, end - k));
    out += names.count(name) ? "`" + name + "`" : name;
    k = end;
  }
  return out;
}

std::string show_bound(const Bound& b, bool low) {
  if (!b.at) return low ? "(-inf" : "inf)";
  const std::string v = number(*b.at);
  if (low) return (b.inclusive ? "[" : "(") + v;
  return v + (b.inclusive ? "]" : ")");
}

}  // namespace fendro::reference
