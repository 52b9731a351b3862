// The JSON value tree: every command, request, report and proof passes through
// it. Nodes live in an arena owned by a Document (or by whoever builds them),
// so a tree is released in one go and building it costs no per-node malloc.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fendro/util/paced_copy.hpp"

namespace fendro::json {

enum class Kind : std::uint8_t {
  Null,
  Bool,
  UInt,    // non-negative integer, 0 ..= 2^64-1
  NegInt,  // negative integer, -2^63 ..= -1
  Float,   // finite f64 (integers beyond 64 bits land here too)
  String,
  Array,
  Object,  // members sorted by key bytes, keys unique
};

struct Member;

// 16 bytes: a candle object of six members costs 6 x 32 + 16 bytes of tree.
struct Value {
  std::uint64_t size : 56 = 0;  // string bytes, array elements or object members
  Kind kind : 8 = Kind::Null;
  union {
    bool b;
    std::uint64_t u;
    std::int64_t i;
    double f;
    const char* str;
    const Value* items;
    const Member* members;
  };

  Value() : u(0) {}

  static Value null() { return Value(); }
  static Value boolean(bool v) { Value x; x.kind = Kind::Bool; x.b = v; return x; }
  static Value uinteger(std::uint64_t v) { Value x; x.kind = Kind::UInt; x.u = v; return x; }
  // Any signed integer: non-negative values are stored as UInt, as the parser would.
  static Value integer(std::int64_t v) {
    if (v >= 0) return uinteger(static_cast<std::uint64_t>(v));
    Value x; x.kind = Kind::NegInt; x.i = v; return x;
  }
  // Caller guarantees a finite value: the tree never holds NaN or infinities.
  static Value number(double v) { Value x; x.kind = Kind::Float; x.f = v; return x; }
  // The bytes must outlive the value (arena, or the parsed text).
  static Value string_ref(std::string_view s) {
    Value x; x.kind = Kind::String; x.str = s.data(); x.size = s.size(); return x;
  }
  static Value array_ref(std::span<const Value> xs) {
    Value x; x.kind = Kind::Array; x.items = xs.data(); x.size = xs.size(); return x;
  }
  // `ms` must already be sorted by key bytes with unique keys.
  static Value object_ref(std::span<const Member> ms) {
    Value x; x.kind = Kind::Object; x.members = ms.data(); x.size = ms.size(); return x;
  }

  bool is_null() const { return kind == Kind::Null; }
  bool is_bool() const { return kind == Kind::Bool; }
  bool is_integer() const { return kind == Kind::UInt || kind == Kind::NegInt; }
  bool is_number() const { return is_integer() || kind == Kind::Float; }
  bool is_string() const { return kind == Kind::String; }
  bool is_array() const { return kind == Kind::Array; }
  bool is_object() const { return kind == Kind::Object; }

  std::string_view as_string() const { return {str, size}; }
  std::span<const Value> as_array() const { return {items, size}; }
  std::span<const Member> as_object() const;
  // Nearest f64 of any number kind (u64 and i64 converted, floats unchanged).
  double as_f64() const;

  // Member lookup by exact key bytes (binary search); nullptr when absent or
  // when this is not an object.
  const Value* find(std::string_view key) const;
};

struct Member {
  std::string_view key;
  Value value;
};

inline std::span<const Member> Value::as_object() const { return {members, size}; }

inline double Value::as_f64() const {
  switch (kind) {
    case Kind::UInt: return static_cast<double>(u);
    case Kind::NegInt: return static_cast<double>(i);
    case Kind::Float: return f;
    default: return 0.0;
  }
}

// Bump allocator for tree nodes and strings. Blocks grow geometrically; nothing
// is freed until the arena dies.
class Arena {
 public:
  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  // A moved-from arena is empty: it must not keep handing out space in the
  // block it gave away.
  Arena(Arena&& o) noexcept
      : blocks_(std::move(o.blocks_)),
        cur_(std::exchange(o.cur_, nullptr)),
        left_(std::exchange(o.left_, 0)),
        reserved_(std::exchange(o.reserved_, 0)) {}
  Arena& operator=(Arena&& o) noexcept {
    if (this != &o) {
      blocks_ = std::move(o.blocks_);
      cur_ = std::exchange(o.cur_, nullptr);
      left_ = std::exchange(o.left_, 0);
      reserved_ = std::exchange(o.reserved_, 0);
    }
    return *this;
  }

  // Throws std::bad_alloc when the memory cannot be had.
  void* allocate(std::size_t bytes, std::size_t align);
  template <class T>
  T* allocate_array(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(allocate(n * sizeof(T), alignof(T)));
  }
  std::string_view copy_string(std::string_view s);
  std::string_view copy_string(std::string_view s, CopyPacer& pacer);
  std::span<const Value> copy_array(std::span<const Value> xs);
  // Sorts by key bytes; for equal keys the last one given wins.
  std::span<const Member> copy_object(std::span<const Member> ms);

  Value make_string(std::string_view s) { return Value::string_ref(copy_string(s)); }
  Value make_array(std::span<const Value> xs) { return Value::array_ref(copy_array(xs)); }
  Value make_object(std::span<const Member> ms) { return Value::object_ref(copy_object(ms)); }
  // Deep copy of a value (and everything below it) into this arena.
  Value clone(const Value& v);
  // The same, telling `pacer` of every stretch copied; once it says stop,
  // the copy ends unfinished (its value is then of no use).
  Value clone(const Value& v, CopyPacer& pacer);

  std::size_t bytes_reserved() const { return reserved_; }

 private:
  struct FreeBlock {
    void operator()(std::byte* p) const noexcept;
  };
  struct Block {
    std::unique_ptr<std::byte, FreeBlock> data;
    std::size_t size;
  };
  std::vector<Block> blocks_;
  std::byte* cur_ = nullptr;
  std::size_t left_ = 0;
  std::size_t reserved_ = 0;
};

// A parsed text: the arena holding the tree, and its root.
struct Document {
  Arena arena;
  Value root;
};

// Structural equality (numbers compare by kind and value, so 1 and 1.0 differ).
bool equal(const Value& a, const Value& b);

}  // namespace fendro::json
