// A tree of this parser against the tree an independent, trusted JSON library
// reads from the same text: kinds, integer values, f64 bits, string bytes,
// element and member order (so the last of repeated keys must have won).
#pragma once

#include <bit>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "fendro/json/value.hpp"
#include "fendro/proof/canonical.hpp"

namespace fendro::json {

// Empty when the trees agree exactly, otherwise the path where they part.
inline std::string other_library_differs(const Value& ours, const nlohmann::json& theirs, const std::string& path) {
  bool same = false;
  switch (ours.kind) {
    case Kind::Null: same = theirs.is_null(); break;
    case Kind::Bool: same = theirs.is_boolean() && theirs.get<bool>() == ours.b; break;
    case Kind::UInt: same = theirs.is_number_unsigned() && theirs.get<std::uint64_t>() == ours.u; break;
    case Kind::NegInt:
      same = theirs.is_number_integer() && !theirs.is_number_unsigned() && theirs.get<std::int64_t>() == ours.i;
      break;
    case Kind::Float:
      same = theirs.is_number_float() &&
             std::bit_cast<std::uint64_t>(theirs.get<double>()) == std::bit_cast<std::uint64_t>(ours.f);
      // "-0" is the float negative zero here, the integer zero there.
      same = same || (std::bit_cast<std::uint64_t>(ours.f) == std::bit_cast<std::uint64_t>(-0.0) &&
                      theirs.is_number_integer() && theirs.get<std::int64_t>() == 0);
      break;
    case Kind::String:
      same = theirs.is_string() && theirs.get_ref<const std::string&>() == ours.as_string();
      break;
    case Kind::Array: {
      if (!theirs.is_array() || theirs.size() != ours.size) break;
      for (std::size_t k = 0; k < ours.size; ++k) {
        std::string d = other_library_differs(ours.items[k], theirs[k], path + "[" + std::to_string(k) + "]");
        if (!d.empty()) return d;
      }
      return {};
    }
    case Kind::Object: {
      if (!theirs.is_object() || theirs.size() != ours.size) break;
      std::size_t k = 0;
      for (auto it = theirs.begin(); it != theirs.end(); ++it, ++k) {
        if (ours.members[k].key != it.key()) return path + ": key order";
        std::string d = other_library_differs(ours.members[k].value, it.value(), path + "." + it.key());
        if (!d.empty()) return d;
      }
      return {};
    }
  }
  if (same) return {};
  std::string ours_text;
  write_canonical_json(ours_text, ours);
  return path + ": " + theirs.dump() + " read here as " + ours_text + " of kind " +
         std::to_string(static_cast<int>(ours.kind));
}

}  // namespace fendro::json
