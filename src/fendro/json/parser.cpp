#include "fendro/json/parser.hpp"

#include <algorithm>
#include <charconv>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <system_error>

#include "fendro/json/number_text.hpp"
#include "fendro/json/scan.hpp"
#include "fendro/util/free_later.hpp"
#include "fendro/util/paced_copy.hpp"

// The steps of the hot paths (skipping, keys, numbers) are inlined into the
// few entry points that run per value.
#if defined(__GNUC__)
#define FENDRO_HOT_INLINE [[gnu::always_inline]] inline
#define FENDRO_HOT_LAMBDA __attribute__((always_inline))
#define FENDRO_COLD [[gnu::noinline, gnu::cold]]
#else
#define FENDRO_HOT_INLINE inline
#define FENDRO_HOT_LAMBDA
#define FENDRO_COLD
#endif

namespace fendro::json::detail {
namespace {

// Exact powers of ten: products and quotients with them round once.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A container read without being built: its kind only, no elements.
Value unbuilt(Kind kind) {
  Value v;
  v.kind = kind;
  return v;
}

bool is_space(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

void set_integer(bool positive, std::uint64_t sig, Value& out) {
  if (positive) {
    out = Value::uinteger(sig);
  } else if (sig == 0) {
    out = Value::number(-0.0);  // "-0" is a float, as in the established convention
  } else if (sig <= (std::uint64_t{1} << 63)) {
    out.kind = Kind::NegInt;
    out.i = static_cast<std::int64_t>(std::uint64_t{0} - sig);
  } else {
    out = Value::number(-static_cast<double>(sig));
  }
}

}  // namespace

Parser::Parser(std::string_view text, Arena& arena, bool building)
    : begin_(text.data()),
      p_(text.data()),
      end_(text.data() + text.size()),
      arena_(arena),
      building_(building),
      check_at_(end_) {
  values_.reserve(64);
  keys_.reserve(64);
}

Parser::~Parser() { release_stacks(); }

void Parser::watch(const Interrupt& interrupt) {
  caller_ = interrupt;
  interrupt_ = interrupt.active() ? Interrupt([](void* self) { return static_cast<Parser*>(self)->ask_caller(); }, this)
                                  : Interrupt{};
  check_at_ = static_cast<std::size_t>(end_ - p_) > kCheckBytes ? p_ + kCheckBytes : end_;
}

// A stop holds: every later ask (of the text's check points, of a copy or
// a sort) says stop at once, and whatever the parse does next fails as one.
bool Parser::ask_caller() {
  if (!stopped_) stopped_ = caller_.stop_requested();
  return stopped_;
}

// Once the text is read past check_at_ (and not to its end): asks the
// interrupt, then places the next point to ask at.
FENDRO_COLD bool Parser::ask_interrupt() {
  if (interrupt_.stop_requested()) return fail_here(Code::Stopped);
  check_at_ = static_cast<std::size_t>(end_ - p_) > kCheckBytes ? p_ + kCheckBytes : end_;
  return true;
}

// Goes over a run of bytes that may be long (digits, blanks), asking the
// interrupt at each check point the run reaches: `skip(p, limit)` is the
// end of the run within [p, limit). Returns the end of the run, or nullptr,
// failed as a stop, once the interrupt says stop (p_ is then where it
// asked).
template <class Skip>
const char* Parser::skip_paced(const char* p, Skip skip) {
  for (;;) {
    if (p < check_at_) {
      p = skip(p, check_at_);
      if (p != check_at_) return p;
    }
    if (p == end_) return p;
    p_ = p;
    if (!ask_interrupt()) return nullptr;
  }
}

// Blanks that reach the next check point (or the end of the text), and may
// run on past it.
FENDRO_COLD void Parser::skip_long_whitespace() {
  if (p_ == end_ || !is_space(*p_)) return;
  const char* const q = skip_paced(p_, [](const char* p, const char* limit) {
    while (p != limit && is_space(*p)) ++p;
    return p;
  });
  if (q != nullptr) p_ = q;
}

// An array or object of `size` elements is in the tree: once kBuiltPerAsk
// values and members are, the next check point is here.
FENDRO_HOT_INLINE void Parser::built_container(std::size_t size) {
  if (built_left_ > size) {
    built_left_ -= size + 1;
  } else {
    built_enough();
  }
}

FENDRO_COLD void Parser::built_enough() {
  built_left_ = kBuiltPerAsk;
  if (interrupt_.active() && check_at_ > p_) check_at_ = p_;
}

void Parser::free_stacks_later() {
  free_later(values_);
  free_later(keys_);
  free_later(scratch_);
}

void Parser::release_stacks() {
  // Short stacks, as nearly all are, go with the parser: at once, and without
  // moving each out first (a small command's parse is a few hundred
  // nanoseconds).
  if (!long_buffer(values_) && !long_buffer(keys_) && !long_buffer(scratch_)) return;
  release_long(values_);
  release_long(keys_);
  release_long(scratch_);
}

void Parser::defer_member(std::string_view key, std::function<bool(Parser&)> reader) {
  defer_ = true;
  deferred_key_ = key;
  deferred_reader_ = std::move(reader);
}

bool Parser::parse_document(Value& root) {
  if (!parse_value() || !finish()) return false;
  root = values_.back();
  return true;
}

bool Parser::finish() {
  // At the end of the text already (a compact one), there is nothing to skip.
  if (p_ != end_) skip_whitespace();
  // A stop that came in the last stretch of the text leaves no whole parse.
  if (stopped_) return fail_here(Code::Stopped);
  if (p_ != end_) return fail_peek(Code::TrailingCharacters);
  return true;
}

Kind Parser::peek_container() {
  skip_whitespace();
  if (p_ != end_ && *p_ == '[') return Kind::Array;
  if (p_ != end_ && *p_ == '{') return Kind::Object;
  return Kind::Null;
}

bool Parser::enter() {
  if (--depth_ == 0) return fail_peek(Code::RecursionLimitExceeded);
  ++p_;
  return true;
}

bool Parser::read(Value& out) { return read_inline(out); }

FENDRO_HOT_INLINE bool Parser::read_inline(Value& out) {
  // Numbers, the bulk of what readers read, go straight into `out`.
  skip_whitespace();
  if (p_ != end_ && *p_ == '-') {
    ++p_;
    return parse_number(false, out);
  }
  if (p_ != end_ && is_digit(*p_)) return parse_number(true, out);
  if (!parse_value()) return false;
  out = values_.back();
  values_.pop_back();
  return true;
}

Parser::Next Parser::next_element(bool first) {
  return first ? first_element(']', Code::EofWhileParsingList)
               : after_element(']', Code::EofWhileParsingList, Code::ExpectedListCommaOrEnd);
}

Parser::Next Parser::next_member(bool first, std::string_view& key) { return next_member_inline(first, key); }

FENDRO_HOT_INLINE Parser::Next Parser::next_member_inline(bool first, std::string_view& key) {
  const Next next = first ? first_element('}', Code::EofWhileParsingObject)
                          : after_element('}', Code::EofWhileParsingObject, Code::ExpectedObjectCommaOrEnd);
  if (next == Next::More && !parse_key(key)) return Next::Failed;
  return next;
}

Parser::Next Parser::next_member_read(bool first, std::string_view& key, Value& value) {
  const Next next = next_member_inline(first, key);
  if (next != Next::More) return next;
  if (key.data() == scratch_.data()) key = key_scratch_.assign(key);
  return read_inline(value) ? next : Next::Failed;
}

// A failure placed after the bytes consumed so far.
FENDRO_COLD bool Parser::fail_here(Code c) {
  code_ = stopped_ ? Code::Stopped : c;
  error_index_ = static_cast<std::size_t>(p_ - begin_);
  return false;
}

// A failure found while looking at the next byte: placed just after it (or
// at the end of the text).
FENDRO_COLD bool Parser::fail_peek(Code c) {
  code_ = stopped_ ? Code::Stopped : c;
  error_index_ = static_cast<std::size_t>(p_ - begin_) + (p_ != end_ ? 1 : 0);
  return false;
}

FENDRO_HOT_INLINE void Parser::skip_whitespace() {
  const char* p = p_;
  // Compact text has none: one test settles it.
  if (p != end_ && static_cast<unsigned char>(*p) > ' ') return;
  // Text as JSON writers lay it out by default has one space after each
  // comma and colon: one test more.
  if (check_at_ - p > 1 && *p == ' ' && static_cast<unsigned char>(p[1]) > ' ') {
    p_ = p + 1;
    return;
  }
  // Blanks up to the next check point; a run that goes on there is
  // followed asking.
  const char* const limit = p < check_at_ ? check_at_ : p;
  while (p != limit && is_space(*p)) ++p;
  p_ = p;
  if (p == limit) skip_long_whitespace();
}

// Parses one value and pushes it onto values_. Values are built in place on
// that stack (no copy through a local), and a finished array or object moves
// its elements from the stack into the arena in one piece.
bool Parser::parse_value() {
  skip_whitespace();
  if (p_ == end_) return fail_peek(Code::EofWhileParsingValue);
  switch (*p_) {
    case 'n':
      ++p_;
      values_.push_back(Value::null());
      return parse_ident("ull");
    case 't':
      ++p_;
      values_.push_back(Value::boolean(true));
      return parse_ident("rue");
    case 'f':
      ++p_;
      values_.push_back(Value::boolean(false));
      return parse_ident("alse");
    case '-':
      ++p_;
      return parse_number(false, values_.emplace_back());
    case '0': case '1': case '2': case '3': case '4':
    case '5': case '6': case '7': case '8': case '9':
      return parse_number(true, values_.emplace_back());
    case '"': {
      ++p_;
      std::string_view s;
      if (!parse_string(s)) return false;
      values_.push_back(Value::string_ref(s));
      return true;
    }
    case '[': {
      if (--depth_ == 0) return fail_peek(Code::RecursionLimitExceeded);
      ++p_;
      const bool ok = parse_array();
      ++depth_;
      return ok;
    }
    case '{': {
      if (--depth_ == 0) return fail_peek(Code::RecursionLimitExceeded);
      ++p_;
      const bool ok = parse_object();
      ++depth_;
      return ok;
    }
    default:
      return fail_peek(Code::ExpectedSomeValue);
  }
}

bool Parser::parse_ident(const char* rest) {
  for (; *rest != '\0'; ++rest) {
    if (p_ == end_) return fail_here(Code::EofWhileParsingValue);
    if (*p_++ != *rest) return fail_here(Code::ExpectedSomeIdent);
  }
  return true;
}

// After an element of an array or a member of an object: the closing bracket
// ends the container, a comma must lead to one more element.
FENDRO_HOT_INLINE Parser::Next Parser::after_element(char close, Code eof, Code expected_comma) {
  skip_whitespace();
  Code failure;
  if (p_ == end_) {
    failure = eof;
  } else if (*p_ == close) {
    ++p_;
    return Next::Closed;
  } else if (*p_ != ',') {
    failure = expected_comma;
  } else {
    ++p_;
    skip_whitespace();
    if (p_ != end_ && *p_ != close) {
      // Every element of every container passes here: the one place the
      // interrupt needs asking from (a string's own loop aside).
      if (p_ >= check_at_ && !ask_interrupt()) return Next::Failed;
      return Next::More;
    }
    failure = p_ == end_ ? Code::EofWhileParsingValue : Code::TrailingComma;
  }
  fail_peek(failure);
  return Next::Failed;
}

// At the start of a container's contents: the closing bracket may end it at
// once.
FENDRO_HOT_INLINE Parser::Next Parser::first_element(char close, Code eof) {
  skip_whitespace();
  if (p_ == end_) {
    fail_peek(eof);
    return Next::Failed;
  }
  if (*p_ != close) return Next::More;
  ++p_;
  return Next::Closed;
}

bool Parser::parse_array() {
  const std::size_t base = values_.size();
  Next next = first_element(']', Code::EofWhileParsingList);
  while (next == Next::More) {
    if (!parse_value()) return false;
    if (!building_) values_.pop_back();
    next = after_element(']', Code::EofWhileParsingList, Code::ExpectedListCommaOrEnd);
  }
  if (next == Next::Failed) return false;
  if (!building_) {
    values_.push_back(unbuilt(Kind::Array));
    return true;
  }
  Value array;
  if (!build_array(base, array)) return false;
  values_.truncate(base);
  if (array.size >= kLargeContainer && !give_back_stacks()) return false;
  values_.push_back(array);
  built_container(array.size);
  return true;
}

// After a huge array or object is in the tree, the pages of the stacks above
// what they still hold go back to the system in stretches, the interrupt
// asked between them: neither the rest of the work nor the unwinding of a
// stop then frees them in one long go.
bool Parser::give_back_stacks() {
  if (!interrupt_.active()) return true;
  const auto go_on = [this] { return !interrupt_.stop_requested() || fail_here(Code::Stopped); };
  return values_.give_back(go_on) && keys_.give_back(go_on);
}

bool Parser::copy_text(std::string_view from, std::string& to) {
  return copy_paced(from, to, interrupt_) || fail_here(Code::Stopped);
}

// Calls `copy(at, count)` over [0, n) in stretches of kCopyStretchBytes of
// `T`s (into fresh pages of the arena), the interrupt asked between them:
// a stretch holds at most as many values as kCheckBytes of text can (a digit
// and a comma each), so the copy asks less often than the reading of its
// text did. False, failed as a stop, when it says so.
template <class T, class Copy>
bool Parser::copy_in_stretches(std::size_t n, Copy copy) {
  static constexpr std::size_t kStretch = kCopyStretchBytes / sizeof(T);
  static_assert(kStretch <= kCheckBytes / 2);
  for (std::size_t at = 0; at < n; at += kStretch) {
    if (at != 0 && interrupt_.stop_requested()) return fail_here(Code::Stopped);
    copy(at, std::min(kStretch, n - at));
  }
  return true;
}

// The values from `base` on, copied into the arena as one array, a long one
// in stretches.
bool Parser::build_array(std::size_t base, Value& out) {
  const std::span<const Value> items(values_.data() + base, values_.size() - base);
  Value* copy = items.empty() ? nullptr : arena_.allocate_array<Value>(items.size());
  const bool copied = copy_in_stretches<Value>(items.size(), [&](std::size_t at, std::size_t count) {
    std::uninitialized_copy_n(items.data() + at, count, copy + at);
  });
  out = Value::array_ref({copy, items.size()});
  return copied;
}

// A member's key and the colon after it (the next byte is known).
FENDRO_HOT_INLINE bool Parser::parse_key(std::string_view& key) {
  if (*p_ != '"') return fail_peek(Code::KeyMustBeAString);
  ++p_;
  // Most keys are plain bytes up to the closing quote. A key that runs on
  // past the next point to ask at is read as any string is, asking there.
  const char* const limit = p_ < check_at_ ? check_at_ : p_;
  const char* q = skip_plain(p_, limit);
  if (q != limit && *q == '"') {
    key = std::string_view(p_, static_cast<std::size_t>(q - p_));
    p_ = q + 1;
  } else if (!parse_string(key)) {
    return false;
  }
  // The colon usually follows at once.
  if (p_ != end_ && *p_ == ':') {
    ++p_;
    return true;
  }
  skip_whitespace();
  if (p_ == end_) return fail_peek(Code::EofWhileParsingObject);
  if (*p_ != ':') return fail_peek(Code::ExpectedColon);
  ++p_;
  return true;
}

// The value of the deferred member: checked in full but not built. The
// member keeps its place in the tree with a null value.
bool Parser::parse_deferred() {
  skip_whitespace();
  const char* const start = p_;
  building_ = false;
  const bool ok = deferred_reader_ ? deferred_reader_(*this) : parse_value();
  building_ = true;
  if (!ok) return false;
  if (deferred_reader_) values_.emplace_back();
  values_.back() = Value::null();
  deferred_ = std::string_view(start, static_cast<std::size_t>(p_ - start));
  return true;
}

bool Parser::parse_object() {
  const std::size_t key_base = keys_.size();
  const std::size_t value_base = values_.size();
  const bool root = depth_ == kMaxDepth - 1;
  Next next = first_element('}', Code::EofWhileParsingObject);
  while (next == Next::More) {
    if (!parse_key(keys_.emplace_back())) return false;
    if (defer_ && root && keys_.back() == deferred_key_) {
      if (!parse_deferred()) return false;
    } else if (!parse_value()) {
      return false;
    }
    if (!building_) {
      keys_.pop_back();
      values_.pop_back();
    }
    next = after_element('}', Code::EofWhileParsingObject, Code::ExpectedObjectCommaOrEnd);
  }
  if (next == Next::Failed) return false;
  if (!building_) {
    values_.push_back(unbuilt(Kind::Object));
    return true;
  }
  const std::size_t n = keys_.size() - key_base;
  Member* ms = n == 0 ? nullptr : arena_.allocate_array<Member>(n);
  const std::string_view* keys = keys_.data() + key_base;
  const Value* values = values_.data() + value_base;
  // The keys and values stay where they are until the next push.
  keys_.truncate(key_base);
  values_.truncate(value_base);
  std::size_t kept = 0;
  if (n <= kSmallObject && !(interrupt_.active() && long_keys(keys, n))) {
    if (!shape_.same_keys(keys, n)) shape_.learn(keys, n);
    for (; kept < shape_.kept; ++kept) {
      const std::uint8_t i = shape_.order[kept];
      new (ms + kept) Member{keys[i], values[i]};
    }
  } else {
    const bool copied = copy_in_stretches<Member>(n, [&](std::size_t at, std::size_t count) {
      for (std::size_t i = at; i < at + count; ++i) new (ms + i) Member{keys[i], values[i]};
    });
    if (!copied || (n >= kLargeContainer && !give_back_stacks())) return false;
    // A large object is sorted in steps, the interrupt asked between them.
    const auto sorted = sort_members_keep_last(ms, n, interrupt_);
    if (!sorted) return fail_here(Code::Stopped);
    kept = *sorted;
  }
  values_.push_back(Value::object_ref({ms, kept}));
  built_container(n);
  return true;
}

// After the opening quote. Text without escapes is returned in place;
// otherwise the decoded bytes are copied into the arena (when building).
bool Parser::parse_string(std::string_view& out) {
  const char* start = p_;
  bool copied = false;
  bool bad_utf8 = false;
  for (;;) {
    // A long string is scanned in stretches, the interrupt asked between them.
    if (p_ >= check_at_ && p_ != end_ && !ask_interrupt()) return false;
    p_ = skip_plain(p_, check_at_);
    if (p_ == check_at_ && p_ != end_) continue;
    if (p_ == end_) return fail_here(Code::EofWhileParsingString);
    const unsigned char c = static_cast<unsigned char>(*p_);
    if (c == '"') {
      if (copied) scratch_.append(start, static_cast<std::size_t>(p_ - start));
      ++p_;
      // Malformed UTF-8 is reported once the string is complete, so that any
      // other failure inside it is reported first.
      if (bad_utf8) return fail_here(Code::InvalidUnicodeCodePoint);
      if (!copied) {
        out = std::string_view(start, static_cast<std::size_t>(p_ - 1 - start));
        return true;
      }
      out = std::string_view(scratch_.data(), scratch_.size());
      if (!building_) return true;
      // A long decoded text goes into the tree in stretches, asking between.
      CopyPacer pacer(interrupt_);
      out = arena_.copy_string(out, pacer);
      return !pacer.stopped() || fail_here(Code::Stopped);
    }
    if (c == '\\') {
      if (!copied) {
        scratch_.clear();
        copied = true;
      }
      scratch_.append(start, static_cast<std::size_t>(p_ - start));
      ++p_;
      if (!parse_escape()) return false;
      start = p_;
    } else if (c < 0x20) {
      ++p_;
      return fail_here(Code::ControlCharacterWhileParsingString);
    } else {
      const std::size_t n = utf8_sequence(reinterpret_cast<const unsigned char*>(p_),
                                           reinterpret_cast<const unsigned char*>(end_));
      if (n == 0) {
        bad_utf8 = true;
        ++p_;
      } else {
        p_ += n;
      }
    }
  }
}

// At the first digit (after the '-' of a negative number).
FENDRO_HOT_INLINE bool Parser::parse_number(bool positive, Value& out) {
  NumberText t{};
  const Scan scan = scan_number<false>(t);
  if (scan != Scan::Done) return scan == Scan::Long && parse_long_number(positive, out);
  return number_value(positive, t, out);
}

// A number that runs on past the next check point, scanned again from its
// start, paced. (Its own text: the hot one's address goes nowhere, and it
// stays in registers.)
FENDRO_COLD bool Parser::parse_long_number(bool positive, Value& out) {
  NumberText t{};
  return scan_number<true>(t) == Scan::Done && number_value(positive, t, out);
}

FENDRO_HOT_INLINE bool Parser::number_value(bool positive, const NumberText& t, Value& out) {
  p_ = t.end;
  if (t.int_start == nullptr) {  // an exponent beyond 32 bits that makes it zero
    out = Value::number(positive ? 0.0 : -0.0);
    return true;
  }
  return convert_number(positive, t, out);
}

// Finds the extent of the number at p_ and its digits, failing as the
// grammar requires; p_ is left at the failure. An exponent beyond 32 bits
// is settled here: a zero (int_start null) or out of range.
//
// Unpaced, the scan goes no further than the next check point: a number
// that reaches it is Long, to be scanned again, paced, its runs of digits
// followed with the interrupt asked at each check point.
template <bool kPaced>
FENDRO_HOT_INLINE Parser::Scan Parser::scan_number(NumberText& t) {
  const char* p = p_;
  const char* const end = kPaced ? end_ : (p < check_at_ ? check_at_ : p);
  const auto cut_short = [&]() FENDRO_HOT_LAMBDA { return !kPaced && p == end && end != end_; };
  auto fail = [&](Code c, bool peek) FENDRO_HOT_LAMBDA {
    if (cut_short()) return Scan::Long;
    p_ = p;
    if (peek) {
      fail_peek(c);
    } else {
      fail_here(c);
    }
    return Scan::Failed;
  };
  auto done = [&]() FENDRO_HOT_LAMBDA {
    if (cut_short()) return Scan::Long;
    t.end = p;
    return Scan::Done;
  };
  // The end of the run of digits at q (their value appended to `sig`), and
  // of the run of zeros at q.
  const auto digits = [&](const char* q, std::uint64_t& sig) FENDRO_HOT_LAMBDA -> const char* {
    if constexpr (!kPaced) return scan_digits(q, end, sig);
    return skip_paced(q, [&sig](const char* from, const char* limit) { return scan_digits(from, limit, sig); });
  };
  const auto zeros = [&](const char* q) FENDRO_HOT_LAMBDA -> const char* {
    if constexpr (!kPaced) return skip_zeros(q, end);
    return skip_paced(q, skip_zeros);
  };
  if (p == end) return fail(Code::EofWhileParsingValue, false);
  t.int_start = p;
  t.sig = 0;
  t.exp = 0;
  t.is_float = false;
  const char first = *p;
  if (first == '0') {
    ++p;
    if (p != end && is_digit(*p)) return fail(Code::InvalidNumber, true);
  } else if (is_digit(first)) {
    p = digits(p, t.sig);
    if (kPaced && p == nullptr) return Scan::Failed;
  } else {
    ++p;
    return fail(Code::InvalidNumber, false);
  }
  t.int_end = p;
  t.frac_start = p;
  t.frac_end = p;
  if (p != end && *p == '.') {
    t.frac_start = ++p;
    p = digits(p, t.sig);
    if (kPaced && p == nullptr) return Scan::Failed;
    t.frac_end = p;
    if (t.frac_end == t.frac_start) {
      return fail(p == end ? Code::EofWhileParsingValue : Code::InvalidNumber, true);
    }
    t.is_float = true;
  }
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    bool exp_positive = true;
    if (p != end && (*p == '+' || *p == '-')) exp_positive = *p++ == '+';
    if (p == end) return fail(Code::EofWhileParsingValue, false);
    const char c = *p++;
    if (!is_digit(c)) return fail(Code::InvalidNumber, false);
    std::int32_t exp = c - '0';
    // Zeros that lead the exponent leave it 0, however many.
    if (exp == 0) {
      p = zeros(p);
      if (kPaced && p == nullptr) return Scan::Failed;
    }
    while (p != end && is_digit(*p)) {
      const int d = *p++ - '0';
      if (exp > (std::numeric_limits<std::int32_t>::max() - d) / 10) {
        // An exponent beyond 32 bits: a non-zero value with a positive one
        // is out of range (reported at this digit); anything else is zero.
        if (exp_positive) {
          CopyPacer pacer(interrupt_);
          const bool nonzero = find_nonzero_digit(t.int_start, t.int_end, pacer) != t.int_end ||
                               find_nonzero_digit(t.frac_start, t.frac_end, pacer) != t.frac_end;
          if (pacer.stopped()) {
            fail_here(Code::Stopped);
            return Scan::Failed;
          }
          if (nonzero) return fail(Code::NumberOutOfRange, false);
        }
        std::uint64_t ignored = 0;
        p = digits(p, ignored);
        if (kPaced && p == nullptr) return Scan::Failed;
        t.int_start = nullptr;
        return done();
      }
      exp = exp * 10 + d;
    }
    t.exp = exp_positive ? exp : -exp;
    t.is_float = true;
  }
  return done();
}

// The value of a scanned number (p_ is past it).
FENDRO_HOT_INLINE bool Parser::convert_number(bool positive, const NumberText& t, Value& out) {
  const auto int_digits = static_cast<std::size_t>(t.int_end - t.int_start);
  const auto frac_digits = static_cast<std::size_t>(t.frac_end - t.frac_start);
  std::uint64_t sig = t.sig;
  if (int_digits + frac_digits <= 19) {
    // At most 19 digits always fit in 64 bits.
    if (!t.is_float) {
      set_integer(positive, sig, out);
      return true;
    }
    // An exact significand and an exact power of ten: one correctly rounded
    // operation gives the correctly rounded value.
    const std::int64_t e10 = std::int64_t{t.exp} - static_cast<std::int64_t>(frac_digits);
    if (sig <= (std::uint64_t{1} << 53) && e10 >= -22 && e10 <= 22) {
      const double m = static_cast<double>(sig);
      const double v = e10 < 0 ? m / kPow10[-e10] : m * kPow10[e10];
      out = Value::number(positive ? v : -v);
      return true;
    }
  } else if (!t.is_float && int_digits == 20) {
    sig = 0;
    const char* q = t.int_start;
    for (; q != t.int_end; ++q) {
      const unsigned d = static_cast<unsigned>(*q - '0');
      if (sig > (std::numeric_limits<std::uint64_t>::max() - d) / 10) break;
      sig = sig * 10 + d;
    }
    if (q == t.int_end) {
      set_integer(positive, sig, out);
      return true;
    }
  }

  // Long digit strings, integers beyond 64 bits and large exponents.
  const char* const text_start = positive ? t.int_start : t.int_start - 1;
  const auto size = static_cast<std::size_t>(t.end - text_start);
  if (size > kLongNumberBytes) return convert_long_number(positive, t, out);
  // The decimal magnitude of the text, as a cut of it gives it.
  std::int64_t magnitude = static_cast<std::int64_t>(int_digits);
  if (*t.int_start == '0') {
    const char* nz = std::find_if(t.frac_start, t.frac_end, [](char ch) { return ch != '0'; });
    magnitude = -static_cast<std::int64_t>(nz - t.frac_start);
  }
  return set_converted({text_start, size}, positive, magnitude, t.exp, out);
}

// Keys too long to be compared in one go: many comparisons of them would
// keep the interrupt waiting, so the object is sorted in paced steps.
bool Parser::long_keys(const std::string_view* keys, std::size_t n) {
  std::size_t work = 0;
  for (std::size_t i = 0; i < n; ++i) work += sort_work(keys[i]);
  return work > kSortRunWork;
}

bool Parser::Shape::same_keys(const std::string_view* ks, std::size_t count) const {
  if (count != n) return false;
  for (std::size_t i = 0; i < count; ++i) {
    // Short keys: an inline loop beats a call to memcmp.
    const std::string_view a = ks[i];
    const std::string_view b = keys[i];
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
      if (a[k] != b[k]) return false;
    }
  }
  return true;
}

void Parser::Shape::learn(const std::string_view* ks, std::size_t count) {
  n = count;
  std::copy(ks, ks + count, keys);
  kept = order_small_object(count, order, [&](std::size_t i) { return ks[i]; });
}

}  // namespace fendro::json::detail
