// What every fuzz target checks of a result: a broken expectation prints both
// sides and aborts, which libFuzzer records as a crash with its input.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fendro/json/parse.hpp"
#include "fendro/json/value.hpp"
#include "fendro/proof/canonical.hpp"

namespace fendro::fuzz {

[[noreturn]] inline void fail(std::string_view what, std::string_view a = {}, std::string_view b = {}) {
  std::fprintf(stderr, "\n=== fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  if (!a.empty()) std::fprintf(stderr, "--- first:\n%.*s\n", static_cast<int>(a.size()), a.data());
  if (!b.empty()) std::fprintf(stderr, "--- second:\n%.*s\n", static_cast<int>(b.size()), b.data());
  std::abort();
}

inline void expect(bool holds, std::string_view what, std::string_view a = {}, std::string_view b = {}) {
  if (!holds) fail(what, a, b);
}

inline void expect_same(std::string_view a, std::string_view b, std::string_view what) {
  if (a != b) fail(what, a, b);
}

// Exact equality of two trees: kinds, integer values, f64 bit patterns (so
// 0.0 and -0.0 differ), string bytes, element and member order.
inline bool identical(const json::Value& a, const json::Value& b) {
  if (a.kind != b.kind || a.size != b.size) return false;
  switch (a.kind) {
    case json::Kind::Null: return true;
    case json::Kind::Bool: return a.b == b.b;
    case json::Kind::UInt: return a.u == b.u;
    case json::Kind::NegInt: return a.i == b.i;
    case json::Kind::Float: return std::bit_cast<std::uint64_t>(a.f) == std::bit_cast<std::uint64_t>(b.f);
    case json::Kind::String: return a.as_string() == b.as_string();
    case json::Kind::Array:
      for (std::size_t k = 0; k < a.size; ++k) {
        if (!identical(a.items[k], b.items[k])) return false;
      }
      return true;
    case json::Kind::Object:
      for (std::size_t k = 0; k < a.size; ++k) {
        if (a.members[k].key != b.members[k].key) return false;
        if (!identical(a.members[k].value, b.members[k].value)) return false;
      }
      return true;
  }
  return false;
}

inline std::string canonical_text(const json::Value& v) {
  std::string out;
  write_canonical_json(out, v);
  return out;
}

// A response of apply_command: JSON text, already in canonical form, an
// object whose "ok" is a boolean, carrying a string "error" when it is false.
// Returns the "ok" flag.
inline bool check_response(const std::string& response) {
  auto parsed = json::parse(response);
  if (!parsed) fail("response does not parse", response, parsed.error().display());
  expect_same(canonical_text(parsed->root), response, "response is not canonical");
  const json::Value* ok = parsed->root.find("ok");
  if (ok == nullptr) {
    // "version" answers without the flag.
    expect(parsed->root.find("engine_version") != nullptr, "response has no ok member", response);
    return true;
  }
  expect(ok->is_bool(), "ok is not a boolean", response);
  if (!ok->b) {
    const json::Value* error = parsed->root.find("error");
    expect(error != nullptr && error->is_string() && parsed->root.size == 2, "error response shape", response);
  }
  return ok->b;
}

// The same command with "cmd" replaced by "verify" and the proof added, both
// as the last members (the last of repeated keys wins). `command` must be an
// object text; nothing when its closing brace cannot be found.
inline std::string verify_command(std::string_view command, std::string_view proof) {
  std::size_t end = command.find_last_not_of(" \t\r\n");
  if (end == std::string_view::npos || command[end] != '}') return {};
  std::string out(command.substr(0, end));
  // An empty object takes no leading comma.
  const std::size_t before = out.find_last_not_of(" \t\r\n");
  if (before != std::string::npos && out[before] != '{') out += ',';
  out += "\"cmd\":\"verify\",\"proof\":";
  out += proof;
  out += '}';
  return out;
}

}  // namespace fendro::fuzz
