#include "fendro/json/value.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "fendro/json/members.hpp"
#include "fendro/util/huge_pages.hpp"

namespace fendro::json {

namespace {

constexpr std::size_t kFirstBlock = 4096;
// Blocks double up to this size; beyond it a block holds just what one
// request needs or this much, whichever is larger, so that the tail left
// unused by a huge tree stays small.
constexpr std::size_t kLargestBlock = std::size_t{64} << 20;

// Uninitialised memory for a block. Large blocks are aligned to and asked
// to be backed by huge pages where the system offers them: a big tree then
// takes one page fault per 2 MiB instead of one per 4 KiB.
std::byte* new_block(std::size_t size) {
  void* p = nullptr;
  if (size >= kHugePageBytes) {
    p = std::aligned_alloc(kHugePageBytes, size);
    if (p != nullptr) advise_huge_pages(p, size);
  }
  if (p == nullptr) p = std::malloc(size);
  if (p == nullptr) throw std::bad_alloc();
  return static_cast<std::byte*>(p);
}

}  // namespace

void Arena::FreeBlock::operator()(std::byte* p) const noexcept { std::free(p); }

void* Arena::allocate(std::size_t bytes, std::size_t align) {
  auto pad = [&](std::byte* p) {
    return static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(p)) & (align - 1);
  };
  if (cur_ != nullptr) {
    const std::size_t skip = pad(cur_);
    if (skip <= left_ && bytes <= left_ - skip) {
      std::byte* p = cur_ + skip;
      cur_ = p + bytes;
      left_ -= skip + bytes;
      return p;
    }
  }
  if (bytes > static_cast<std::size_t>(-1) - align - kHugePageBytes) throw std::bad_alloc();
  const std::size_t last = blocks_.empty() ? kFirstBlock / 2 : blocks_.back().size;
  const std::size_t grown = last >= kLargestBlock / 2 ? kLargestBlock : last * 2;
  std::size_t size = std::max(grown, bytes + align);
  if (size >= kHugePageBytes) size = (size + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
  blocks_.reserve(blocks_.size() + 1);
  blocks_.push_back(Block{std::unique_ptr<std::byte, FreeBlock>(new_block(size)), size});
  reserved_ += size;
  std::byte* base = blocks_.back().data.get();
  std::byte* p = base + pad(base);
  cur_ = p + bytes;
  left_ = size - static_cast<std::size_t>(cur_ - base);
  return p;
}

std::string_view Arena::copy_string(std::string_view s) {
  if (s.empty()) return {};
  char* p = static_cast<char*>(allocate(s.size(), 1));
  std::memcpy(p, s.data(), s.size());
  return {p, s.size()};
}

std::span<const Value> Arena::copy_array(std::span<const Value> xs) {
  if (xs.empty()) return {};
  Value* p = allocate_array<Value>(xs.size());
  std::uninitialized_copy(xs.begin(), xs.end(), p);
  return {p, xs.size()};
}

std::span<const Member> Arena::copy_object(std::span<const Member> ms) {
  if (ms.empty()) return {};
  Member* p = allocate_array<Member>(ms.size());
  std::uninitialized_copy(ms.begin(), ms.end(), p);
  return {p, sort_members_keep_last(p, ms.size())};
}

std::string_view Arena::copy_string(std::string_view s, CopyPacer& pacer) {
  if (s.empty()) return {};
  char* p = static_cast<char*>(allocate(s.size(), 1));
  for (std::size_t at = 0; at < s.size(); at += kCopyStretchBytes) {
    const std::size_t n = std::min(kCopyStretchBytes, s.size() - at);
    std::memcpy(p + at, s.data() + at, n);
    if (!pacer.copied(n)) break;
  }
  return {p, s.size()};
}

Value Arena::clone(const Value& v) {
  CopyPacer never{Interrupt{}};
  return clone(v, never);
}

namespace {

// What cloning one value or member costs, told to the pacer as that many
// bytes copied: a node's own copy, its place in the arena and the visit of
// its children weigh far more than its 16 or 32 bytes (a million members of
// small objects take tens of milliseconds).
constexpr std::size_t kClonedNodeBytes = 256;

}  // namespace

Value Arena::clone(const Value& v, CopyPacer& pacer) {
  if (pacer.stopped()) return Value::null();
  switch (v.kind) {
    case Kind::String:
      return Value::string_ref(copy_string(v.as_string(), pacer));
    case Kind::Array: {
      if (v.size == 0) return Value::array_ref({});
      Value* items = allocate_array<Value>(v.size);
      // Each value told as it is copied: a list of millions of numbers asks
      // all through, as a long text does. A stopped copy is of no use.
      for (std::size_t i = 0; i < v.size; ++i) {
        new (items + i) Value(clone(v.items[i], pacer));
        if (!pacer.copied(kClonedNodeBytes)) return Value::null();
      }
      return Value::array_ref({items, v.size});
    }
    case Kind::Object: {
      if (v.size == 0) return Value::object_ref({});
      Member* ms = allocate_array<Member>(v.size);
      for (std::size_t i = 0; i < v.size; ++i) {
        new (ms + i) Member{copy_string(v.members[i].key, pacer), clone(v.members[i].value, pacer)};
        if (!pacer.copied(kClonedNodeBytes)) return Value::null();
      }
      return Value::object_ref({ms, v.size});
    }
    default:
      return v;
  }
}

const Value* Value::find(std::string_view key) const {
  if (kind != Kind::Object) return nullptr;
  const Member* first = members;
  const Member* last = members + size;
  const Member* it = std::lower_bound(first, last, key, [](const Member& m, std::string_view k) {
    return key_bytes_less(m.key, k);
  });
  return (it != last && it->key == key) ? &it->value : nullptr;
}

bool equal(const Value& a, const Value& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case Kind::Null: return true;
    case Kind::Bool: return a.b == b.b;
    case Kind::UInt: return a.u == b.u;
    case Kind::NegInt: return a.i == b.i;
    case Kind::Float: return a.f == b.f;
    case Kind::String: return a.as_string() == b.as_string();
    case Kind::Array:
      return a.size == b.size &&
             std::equal(a.items, a.items + a.size, b.items,
                        [](const Value& x, const Value& y) { return equal(x, y); });
    case Kind::Object:
      return a.size == b.size &&
             std::equal(a.members, a.members + a.size, b.members,
                        [](const Member& x, const Member& y) {
                          return x.key == y.key && equal(x.value, y.value);
                        });
  }
  return false;
}

}  // namespace fendro::json
