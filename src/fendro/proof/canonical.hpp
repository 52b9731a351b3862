// The one textual form of a JSON value used for responses and hashing.
#pragma once

#include <string>
#include <string_view>

#include "fendro/json/value.hpp"

namespace fendro {

// Appends the canonical text of `v`: no whitespace, keys in byte order,
// integers as stored, floats by the fixed 8-decimal / shortest-digits rule.
void write_canonical_json(std::string& out, const json::Value& v);
// Appends one JSON string literal with the minimal escaping.
void write_canonical_string(std::string& out, std::string_view s);
// BLAKE3 of the canonical text, as 64 lowercase hex characters.
std::string hash_value(const json::Value& v);

}  // namespace fendro
