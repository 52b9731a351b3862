#include "fendro/strategy/reading.hpp"

#include <limits>

#include "fendro/util/number_format.hpp"
#include "fendro/util/run_scope.hpp"

namespace fendro::reading {

namespace {

std::optional<std::size_t> index_of(std::string_view name, std::span<const std::string_view> names) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return i;
  }
  return std::nullopt;
}

// A name as given may be long: copied in stretches (see append_paced).
void append_quoted(std::string& out, std::string_view name) {
  out += '`';
  append_paced(out, name);
  out += '`';
}

}  // namespace

Read<json::Value> read_any(const json::Value& v) { return v; }

Read<double> read_f64(const json::Value& v) {
  if (!v.is_number()) return err(json::invalid_type(v, "f64"));
  return v.as_f64();
}

Read<std::uint32_t> read_u32(const json::Value& v) {
  switch (v.kind) {
    case json::Kind::UInt:
      if (v.u > std::numeric_limits<std::uint32_t>::max()) return err(json::invalid_value(v, "u32"));
      return static_cast<std::uint32_t>(v.u);
    case json::Kind::NegInt:
      return err(json::invalid_value(v, "u32"));
    default:
      return err(json::invalid_type(v, "u32"));
  }
}

Read<bool> read_bool(const json::Value& v) {
  if (!v.is_bool()) return err(json::invalid_type(v, "a boolean"));
  return v.b;
}

Read<std::string> read_string(const json::Value& v) {
  FENDRO_TRY(in_tree, read_string_in_tree(v));
  return std::string(in_tree.as_string());
}

Read<json::Value> read_string_in_tree(const json::Value& v) {
  if (!v.is_string()) return err(json::invalid_type(v, "a string"));
  return v;
}

Read<std::string> read_text(const json::Value& v) {
  FENDRO_TRY(in_tree, read_string_in_tree(v));
  std::string out;
  if (!append_paced(out, in_tree.as_string())) return err(stopped_reading());
  return out;
}

std::string stopped_reading() { return "stopped"; }

std::string count_elements(std::size_t n) {
  std::string s;
  append_u64(s, n);
  s += n == 1 ? " element" : " elements";
  return s;
}

std::string fewer_elements(std::size_t len) {
  return json::invalid_length(len, "fewer elements in array");
}

std::string tuple_of_size(std::size_t n) {
  std::string s = "a tuple of size ";
  append_u64(s, n);
  return s;
}

std::string unknown_variant(std::string_view given, std::span<const std::string_view> names) {
  std::string s = "unknown variant ";
  append_quoted(s, given);
  if (names.empty()) {
    s += ", there are no variants";
    return s;
  }
  s += ", expected ";
  if (names.size() == 1) {
    append_quoted(s, names[0]);
  } else if (names.size() == 2) {
    append_quoted(s, names[0]);
    s += " or ";
    append_quoted(s, names[1]);
  } else {
    s += "one of ";
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (i != 0) s += ", ";
      append_quoted(s, names[i]);
    }
  }
  return s;
}

std::string unit_variant_needs_payload() {
  return "invalid type: unit variant, expected newtype variant";
}

std::string not_single_key_map() { return "invalid value: map, expected map with a single key"; }

Read<Tagged> read_external_tag(const json::Value& v, std::span<const std::string_view> names) {
  std::string_view key;
  const json::Value* payload = nullptr;
  if (v.is_string()) {
    key = v.as_string();
  } else if (v.is_object()) {
    if (v.size != 1) return err(not_single_key_map());
    key = v.as_object()[0].key;
    payload = &v.as_object()[0].value;
  } else {
    return err(json::invalid_type(v, "string or map"));
  }
  auto index = index_of(key, names);
  if (!index) return err(unknown_variant(key, names));
  return Tagged{*index, payload};
}

Read<std::size_t> read_choice(const json::Value& v, std::span<const std::string_view> names) {
  FENDRO_TRY(tag, read_external_tag(v, names));
  if (tag.payload != nullptr && !tag.payload->is_null()) {
    return err(json::invalid_type(*tag.payload, "unit"));
  }
  return tag.index;
}

Read<InternalTag> read_internal_tag(const json::Value& v, std::string_view enum_name,
                                    std::span<const std::string_view> names) {
  const json::Value* tag = nullptr;
  InternalTag out{0, nullptr, {}};
  if (v.is_object()) {
    tag = v.find("type");
    out.whole = &v;
  } else if (v.is_array()) {
    auto xs = v.as_array();
    if (!xs.empty()) {
      tag = &xs[0];
      out.rest = xs.subspan(1);
    }
  } else {
    std::string expecting = "internally tagged enum ";
    expecting += enum_name;
    return err(json::invalid_type(v, expecting));
  }
  if (tag == nullptr) return err(json::missing_field("type"));
  if (!tag->is_string()) return err(json::invalid_type(*tag, "variant identifier"));
  auto index = index_of(tag->as_string(), names);
  if (!index) return err(unknown_variant(tag->as_string(), names));
  out.index = *index;
  return out;
}

}  // namespace fendro::reading
