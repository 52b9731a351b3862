// The value dump: every bar's value and named outputs of every run, as bit
// patterns, for two builds' dumps to be compared bar by bar.
//
// A file is "FVD1", the series table, then runs to its end. Integers are
// little-endian as this machine writes them (both dumps are read where they
// were written).
//   series table: u32 count; each: text name, u64 bars, u32 segments, each:
//                 text name, u64 first bar
//   run:          text key, u32 params, f64 each, u32 series index, u8 built,
//                 u64 warm-up, records covering the series' bars, u32 names,
//                 text each (the named outputs, in the type's order)
//   record:       u8 kNone (no value) | kValue, u64 value bits, u8 n, n u64
//                 output bits | kRepeat, u32 count (the previous record again)
//   text:         u32 length, bytes
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace fendro::value_dump {

inline constexpr char kMagic[4] = {'F', 'V', 'D', '1'};
enum Tag : std::uint8_t { kNone = 0, kValue = 1, kRepeat = 2 };

struct Segment {
  std::string name;
  std::uint64_t first = 0;
  bool operator==(const Segment&) const = default;
};

struct SeriesInfo {
  std::string name;
  std::uint64_t bars = 0;
  std::vector<Segment> segments;
  bool operator==(const SeriesInfo&) const = default;
};

// One bar: no value (empty), or the value's bits then each output's.
using Record = std::vector<std::uint64_t>;

// The bits a value is dumped as. Every NaN is one: its payload never reaches
// a proof (the fingerprint counts every NaN as one too). The sign of a zero
// is kept.
inline std::uint64_t value_bits(double x) {
  if (std::isnan(x)) x = std::numeric_limits<double>::quiet_NaN();
  return std::bit_cast<std::uint64_t>(x);
}

class Writer {
 public:
  explicit Writer(std::FILE* f) : f_(f) {}
  void u8(std::uint8_t v) { std::fwrite(&v, 1, 1, f_); }
  void u32(std::uint32_t v) { std::fwrite(&v, sizeof v, 1, f_); }
  void u64(std::uint64_t v) { std::fwrite(&v, sizeof v, 1, f_); }
  void text(std::string_view s) {
    u32(static_cast<std::uint32_t>(s.size()));
    std::fwrite(s.data(), 1, s.size(), f_);
  }

  // The magic and the series table: a dump's start.
  void start(const std::vector<SeriesInfo>& series) {
    std::fwrite(kMagic, 1, sizeof kMagic, f_);
    u32(static_cast<std::uint32_t>(series.size()));
    for (const SeriesInfo& s : series) {
      text(s.name);
      u64(s.bars);
      u32(static_cast<std::uint32_t>(s.segments.size()));
      for (const Segment& seg : s.segments) {
        text(seg.name);
        u64(seg.first);
      }
    }
  }

  // A run's head; a run that built follows it with one record a bar of its
  // series, then end_run().
  void run_head(std::string_view key, const std::vector<double>& params, std::uint32_t series, bool built,
                std::uint64_t warmup) {
    text(key);
    u32(static_cast<std::uint32_t>(params.size()));
    for (double p : params) u64(std::bit_cast<std::uint64_t>(p));
    u32(series);
    u8(built ? 1 : 0);
    u64(warmup);
  }
  void end_run(const std::vector<std::string_view>& names) {
    end_records();
    u32(static_cast<std::uint32_t>(names.size()));
    for (std::string_view n : names) text(n);
  }

  // A bar's record; runs of equal records are written once with a count.
  void record(const Record& r) {
    if (have_last_ && r == last_ && repeats_ < UINT32_MAX) {
      ++repeats_;
      return;
    }
    flush_repeats();
    if (r.empty()) {
      u8(kNone);
    } else {
      u8(kValue);
      u64(r[0]);
      u8(static_cast<std::uint8_t>(r.size() - 1));
      for (std::size_t k = 1; k < r.size(); ++k) u64(r[k]);
    }
    last_ = r;
    have_last_ = true;
  }
 private:
  // Ends a run's records: the next run starts without a previous record.
  void end_records() {
    flush_repeats();
    have_last_ = false;
  }

  void flush_repeats() {
    if (repeats_ == 0) return;
    u8(kRepeat);
    u32(repeats_);
    repeats_ = 0;
  }

  std::FILE* f_;
  Record last_;
  bool have_last_ = false;
  std::uint32_t repeats_ = 0;
};

// Reads a dump held in memory; a short or malformed file sets `bad`.
class Reader {
 public:
  Reader(const unsigned char* p, std::size_t n) : p_(p), end_(p + n) {}
  bool bad = false;
  bool at_end() const { return p_ >= end_; }
  std::size_t offset(const unsigned char* base) const { return static_cast<std::size_t>(p_ - base); }

  std::uint8_t u8() { return take<std::uint8_t>(); }
  std::uint32_t u32() { return take<std::uint32_t>(); }
  std::uint64_t u64() { return take<std::uint64_t>(); }
  std::string text() {
    const std::uint32_t n = u32();
    if (bad || static_cast<std::size_t>(end_ - p_) < n) return fail<std::string>();
    std::string s(reinterpret_cast<const char*>(p_), n);
    p_ += n;
    return s;
  }

 private:
  template <class T>
  T take() {
    T v{};
    if (bad || static_cast<std::size_t>(end_ - p_) < sizeof v) return fail<T>();
    std::memcpy(&v, p_, sizeof v);
    p_ += sizeof v;
    return v;
  }
  template <class T>
  T fail() {
    bad = true;
    p_ = end_;
    return T{};
  }

  const unsigned char* p_;
  const unsigned char* end_;
};

// Expands a run's records bar by bar.
class RecordCursor {
 public:
  explicit RecordCursor(Reader& r) : r_(r) {}
  // The next bar's record.
  const Record& next() {
    if (repeats_ > 0) {
      --repeats_;
      return rec_;
    }
    const std::uint8_t tag = r_.u8();
    if (tag == kRepeat) {
      repeats_ = r_.u32();
      if (repeats_ == 0) r_.bad = true;
      if (repeats_ > 0) --repeats_;
      return rec_;
    }
    rec_.clear();
    if (tag == kValue) {
      rec_.push_back(r_.u64());
      const std::uint8_t n = r_.u8();
      for (std::uint8_t k = 0; k < n; ++k) rec_.push_back(r_.u64());
    } else if (tag != kNone) {
      r_.bad = true;
    }
    return rec_;
  }
  // After the series' last bar: a count that ran past it is a fault.
  bool ended_cleanly() const { return repeats_ == 0 && !r_.bad; }

 private:
  Reader& r_;
  Record rec_;
  std::uint32_t repeats_ = 0;
};

}  // namespace fendro::value_dump
