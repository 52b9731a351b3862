// A small toolkit for reading records from the JSON value tree with the
// system's reading-failure texts.
//
// Records are read from an object (members in key order, unknown members
// skipped, then absent required fields in declaration order) or from an array
// (element k is field k). Enumerations are read externally tagged (a name, or
// an object of one member naming the variant) or internally tagged (a "type"
// member naming the variant beside the variant's fields).
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "fendro/json/describe.hpp"
#include "fendro/json/value.hpp"
#include "fendro/strategy/tree_pacing.hpp"
#include "fendro/util/result.hpp"

namespace fendro::reading {

template <class T>
using Read = Result<T, std::string>;
using Step = Status<std::string>;

// ---- value readers ----------------------------------------------------------

Read<json::Value> read_any(const json::Value& v);  // the value itself, null included
Read<double> read_f64(const json::Value& v);       // any number
Read<std::uint32_t> read_u32(const json::Value& v);
Read<bool> read_bool(const json::Value& v);
Read<std::string> read_string(const json::Value& v);
// A string left in the tree (the value itself), for a reader that copies a
// long one out afterwards in paced stretches.
Read<json::Value> read_string_in_tree(const json::Value& v);
// A string copied out of the tree in stretches, the thread's scope asked
// between them (append_paced); stopped_reading() once told to stop.
Read<std::string> read_text(const json::Value& v);

// The failure of a reading told to stop through the thread's scope: never
// shown, as the reader's caller finds the scope stopped and ends the command
// as stopped.
std::string stopped_reading();

// How a record's members are read. A strategy's records note each member
// with the thread's scope and give up once it says stop (their reader looks
// at the scope afterwards); records read where nothing looks at it read
// every member as it comes.
enum class Pacing : bool { kNone, kScope };

template <class R>
struct result_value;
template <class T, class E>
struct result_value<Result<T, E>> {
  using type = T;
};

// null is absent; anything else goes to F.
template <auto F>
auto read_optional(const json::Value& v)
    -> Read<std::optional<typename result_value<decltype(F(v))>::type>> {
  using T = typename result_value<decltype(F(v))>::type;
  if (v.is_null()) return std::optional<T>{};
  auto r = F(v);
  if (!r.ok()) return err(std::move(r).error());
  return std::optional<T>(std::move(r).value());
}

// ---- texts ------------------------------------------------------------------

// "1 element", "3 elements"
std::string count_elements(std::size_t n);
// "unknown variant `given`, expected `a` or `b`" / "..., expected one of `a`, `b`, `c`"
std::string unknown_variant(std::string_view given, std::span<const std::string_view> names);
// "invalid type: unit variant, expected newtype variant"
std::string unit_variant_needs_payload();
// "invalid value: map, expected map with a single key"
std::string not_single_key_map();

// ---- enumerations -----------------------------------------------------------

// Externally tagged: a string names a variant without payload (payload null);
// an object of exactly one member names the variant by its key, its value
// being the payload.
struct Tagged {
  std::size_t index;
  const json::Value* payload;
};
Read<Tagged> read_external_tag(const json::Value& v, std::span<const std::string_view> names);

// Enumeration without data: a name, or {name: null}.
Read<std::size_t> read_choice(const json::Value& v, std::span<const std::string_view> names);

// Internally tagged, `enum_name` as messages show it ("Sizing"): an object
// with a "type" member, or an array whose first element is the tag.
struct InternalTag {
  std::size_t index;
  const json::Value* whole;          // object form: the object (fields are its other members)
  std::span<const json::Value> rest;  // array form: the elements after the tag
};
Read<InternalTag> read_internal_tag(const json::Value& v, std::string_view enum_name,
                                    std::span<const std::string_view> names);

// ---- tuples -----------------------------------------------------------------

// An array of exactly `n` elements, `each(i, element)` in order; failures
// "invalid type: D, expected a tuple of size n", "invalid length i, expected a
// tuple of size n" when short, and, after all n were read, "invalid length
// len, expected fewer elements in array".
template <class Each>
Step read_tuple(const json::Value& v, std::size_t n, Each&& each);

// ---- records ----------------------------------------------------------------

template <class R>
struct Field {
  std::string_view name;
  bool required;
  Step (*read)(const json::Value&, R&);
};

template <class P>
struct member_of;
template <class R, class T>
struct member_of<T R::*> {
  using record = R;
};

// A field reader storing F's value into member M.
template <auto M, auto F>
Step into(const json::Value& v, typename member_of<decltype(M)>::record& r) {
  auto x = F(v);
  if (!x.ok()) return err(std::move(x).error());
  r.*M = std::move(x).value();
  return Unit{};
}

// Object form over `members` (already in key order).
template <class R>
Step read_members(std::span<const json::Member> members, std::span<const Field<R>> fields, R& out,
                  Pacing pacing = Pacing::kNone);

// Array form: element k is field k; fails with "invalid length k, expected "
// `expecting` " with " count_elements(fields) when the array ends before a
// required field. Extra elements are left to the caller.
template <class R>
Step read_elements(std::span<const json::Value> xs, std::span<const Field<R>> fields, R& out,
                   std::string_view expecting);

// A struct `name` in object or array form, starting from `out`'s defaults.
template <class R>
Read<R> read_record(const json::Value& v, std::string_view name, std::span<const Field<R>> fields,
                    R out = R{}, Pacing pacing = Pacing::kNone);
// The same into `out`, which keeps what was read when a field fails (for a
// reader that frees a large part read in stretches).
template <class R>
Step read_record_into(const json::Value& v, std::string_view name, std::span<const Field<R>> fields, R& out,
                      Pacing pacing);

// The fields of the variant chosen by `tag` (`path` as messages show it,
// "Sizing::VolTarget"), starting from `out`'s defaults.
template <class R>
Read<R> read_variant_fields(const InternalTag& tag, std::string_view path,
                            std::span<const Field<R>> fields, R out = R{}, Pacing pacing = Pacing::kNone);

// ---- implementation of the templates ----------------------------------------

std::string fewer_elements(std::size_t len);
std::string tuple_of_size(std::size_t n);

template <class Each>
Step read_tuple(const json::Value& v, std::size_t n, Each&& each) {
  if (!v.is_array()) return err(json::invalid_type(v, tuple_of_size(n)));
  auto xs = v.as_array();
  for (std::size_t i = 0; i < n; ++i) {
    if (i >= xs.size()) return err(json::invalid_length(i, tuple_of_size(n)));
    FENDRO_CHECK(each(i, xs[i]));
  }
  if (xs.size() > n) return err(fewer_elements(xs.size()));
  return Unit{};
}

template <class R>
Step read_members(std::span<const json::Member> members, std::span<const Field<R>> fields, R& out,
                  Pacing pacing) {
  assert(fields.size() <= 64);
  std::uint64_t seen = 0;
  for (const json::Member& m : members) {
    if (pacing == Pacing::kScope && pass_stop_after(kReadMemberSteps)) return err(stopped_reading());
    for (std::size_t k = 0; k < fields.size(); ++k) {
      if (fields[k].name != m.key) continue;
      FENDRO_CHECK(fields[k].read(m.value, out));
      seen |= std::uint64_t{1} << k;
      break;
    }
  }
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (fields[k].required && !(seen >> k & 1)) return err(json::missing_field(fields[k].name));
  }
  return Unit{};
}

template <class R>
Step read_elements(std::span<const json::Value> xs, std::span<const Field<R>> fields, R& out,
                   std::string_view expecting) {
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (k < xs.size()) {
      FENDRO_CHECK(fields[k].read(xs[k], out));
    } else if (fields[k].required) {
      std::string what(expecting);
      what += " with ";
      what += count_elements(fields.size());
      return err(json::invalid_length(k, what));
    }
  }
  return Unit{};
}

template <class R>
Step read_record_into(const json::Value& v, std::string_view name, std::span<const Field<R>> fields, R& out,
                      Pacing pacing) {
  std::string expecting = "struct ";
  expecting += name;
  if (v.is_object()) return read_members(v.as_object(), fields, out, pacing);
  if (v.is_array()) {
    auto xs = v.as_array();
    FENDRO_CHECK(read_elements(xs, fields, out, expecting));
    if (xs.size() > fields.size()) return err(fewer_elements(xs.size()));
    return Unit{};
  }
  return err(json::invalid_type(v, expecting));
}

template <class R>
Read<R> read_record(const json::Value& v, std::string_view name, std::span<const Field<R>> fields,
                    R out, Pacing pacing) {
  FENDRO_CHECK(read_record_into(v, name, fields, out, pacing));
  return out;
}

template <class R>
Read<R> read_variant_fields(const InternalTag& tag, std::string_view path,
                            std::span<const Field<R>> fields, R out, Pacing pacing) {
  if (tag.whole != nullptr) {
    // "type" names no field of any variant, so it is skipped with the others.
    FENDRO_CHECK(read_members(tag.whole->as_object(), fields, out, pacing));
    return out;
  }
  std::string expecting = "struct variant ";
  expecting += path;
  FENDRO_CHECK(read_elements(tag.rest, fields, out, expecting));
  if (tag.rest.size() > fields.size()) {
    return err(json::invalid_length(tag.rest.size(), count_elements(fields.size()) + " in sequence"));
  }
  return out;
}

}  // namespace fendro::reading
