// Test inputs written as JSON text, read through the parser.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "fendro/json/parse.hpp"

namespace fendro::testing {

// `text` must outlive the document (unescaped strings point into it).
inline json::Document parse_json(std::string_view text) {
  auto doc = json::parse(text);
  if (!doc.ok()) {
    ADD_FAILURE() << "test input does not parse: " << text << ": " << doc.error().display();
    return {};
  }
  return std::move(doc).value();
}

// The failure text of reading `text` with `read`, or "<read>" when it reads.
template <class F>
std::string read_failure(F&& read, std::string_view text) {
  json::Document doc = parse_json(text);
  auto r = read(doc.root);
  if (r.ok()) return "<read>";
  return r.error();
}

// The record read from `text` (a default one, with the test failed, when
// it does not read). Records that refer into the tree are not for this.
template <class F>
auto read_ok(F&& read, std::string_view text) {
  json::Document doc = parse_json(text);
  auto r = read(doc.root);
  using T = std::decay_t<decltype(r.value())>;
  if (!r.ok()) {
    ADD_FAILURE() << text << ": " << r.error();
    return T{};
  }
  return std::move(r).value();
}

}  // namespace fendro::testing
