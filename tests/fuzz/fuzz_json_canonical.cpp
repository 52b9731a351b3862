// The JSON parser and the canonical writer.
//  - parse_deferring fails exactly as parse does, and otherwise gives the
//    same tree with the deferred member nulled and its text kept;
//  - parse agrees with an independent JSON library on accepting the text
//    and on the tree (kinds, f64 bits, keys, last duplicate winning);
//  - canonical(canonical(x)) == canonical(x); the canonical text parses back
//    to the same tree but for numbers, each of which keeps its canonical text,
//    integers their kind and value, and floats their value to the rule's
//    precision;
//  - the hashed and the written canonical text are the same bytes, and the
//    "canonicalize" command answers with that text.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "../json/other_library.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/module/command.hpp"
#include "fendro/proof/canonical.hpp"
#include "fuzz_check.hpp"

namespace {

using namespace fendro;
using json::Kind;
using json::Value;

// Below this magnitude a float is written with eight decimals, from it on
// with its shortest round-trip digits.
constexpr double kShortestFrom = 45035996.27370496;

std::string number_text(const Value& v) {
  std::string out;
  write_canonical_json(out, v);
  return out;
}

// `back` is `orig` after a trip through its canonical text.
void check_round_trip(const Value& orig, const Value& back, const std::string& where) {
  if (orig.is_number()) {
    fuzz::expect(back.is_number(), "a number comes back as another kind", where);
    fuzz::expect_same(number_text(orig), number_text(back), "a number's canonical text changes");
    if (orig.is_integer()) {
      fuzz::expect(fuzz::identical(orig, back), "an integer comes back changed", where);
      return;
    }
    const double x = orig.f;
    const double y = back.as_f64();
    if (std::fabs(x) >= kShortestFrom) {
      // The shortest digits read back to the very same f64.
      fuzz::expect(std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y),
                   "shortest digits do not read back exactly", where, number_text(orig));
    } else {
      // Eight decimals, correctly rounded: at most half a unit of 10^-8 away,
      // plus the rounding of reading the decimal back.
      const double bound = 0.5e-8 + std::ldexp(std::fabs(x) + 1e-8, -50);
      fuzz::expect(std::fabs(x - y) <= bound, "eight-decimal text strays too far", where,
                   number_text(orig));
    }
    return;
  }
  fuzz::expect(orig.kind == back.kind && orig.size == back.size, "a value changes kind or size", where);
  switch (orig.kind) {
    case Kind::Bool:
      fuzz::expect(orig.b == back.b, "a boolean changes", where);
      break;
    case Kind::String:
      fuzz::expect(orig.as_string() == back.as_string(), "a string changes", where);
      break;
    case Kind::Array:
      for (std::size_t k = 0; k < orig.size; ++k) check_round_trip(orig.items[k], back.items[k], where);
      break;
    case Kind::Object:
      for (std::size_t k = 0; k < orig.size; ++k) {
        fuzz::expect(orig.members[k].key == back.members[k].key, "a key changes", where);
        check_round_trip(orig.members[k].value, back.members[k].value, where);
      }
      break;
    default:
      break;
  }
}

// Where the two libraries legitimately part: the other one skips a byte
// order mark, stops at a NUL byte, nests without limit, and reads overlong
// numbers as infinities.
bool other_library_comparable(std::string_view text, const Result<json::Document, json::ParseError>& ours) {
  if (text.rfind("\xef\xbb\xbf", 0) == 0) return false;
  // It ends its input at a NUL byte, which is never valid JSON here.
  if (text.find('\0') != std::string_view::npos) return false;
  if (!ours) {
    const std::string& m = ours.error().message;
    if (m == "recursion limit exceeded" || m == "number out of range") return false;
  }
  return true;
}

void check_deferring(std::string_view text, const Result<json::Document, json::ParseError>& tree) {
  static constexpr std::string_view kMember = "data";
  int readings = 0;
  auto deferred = json::parse_deferring(text, kMember, [&](json::Cursor&) { ++readings; });
  if (!tree) {
    fuzz::expect(!deferred, "parse_deferring accepts what parse rejects", text);
    fuzz::expect_same(deferred.error().display(), tree.error().display(), "parse_deferring fails otherwise");
    return;
  }
  if (!deferred) fuzz::fail("parse_deferring rejects what parse accepts", text, deferred.error().display());
  const Value& root = tree->root;
  const Value* member = root.find(kMember);
  fuzz::expect(deferred->deferred.has_value() == (member != nullptr), "deferred text present iff member is", text);
  if (member == nullptr) {
    fuzz::expect(readings == 0, "reader called without the member", text);
    fuzz::expect(fuzz::identical(root, deferred->document.root), "parse_deferring tree differs", text);
    return;
  }
  fuzz::expect(readings >= 1, "reader never called", text);
  // The kept text is the member's value: it parses to the same subtree.
  auto member_tree = json::parse(*deferred->deferred);
  fuzz::expect(member_tree.ok() && fuzz::identical(member_tree->root, *member), "deferred text is not the member's value",
               text, *deferred->deferred);
  const Value& droot = deferred->document.root;
  fuzz::expect(droot.is_object() && droot.size == root.size, "parse_deferring root differs", text);
  for (std::size_t k = 0; k < root.size; ++k) {
    const json::Member& a = root.members[k];
    const json::Member& b = droot.members[k];
    fuzz::expect(a.key == b.key, "parse_deferring keys differ", text);
    if (a.key == kMember) {
      fuzz::expect(b.value.is_null(), "deferred member is not null in the tree", text);
    } else {
      fuzz::expect(fuzz::identical(a.value, b.value), "parse_deferring member differs", text);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto tree = json::parse(text);
  check_deferring(text, tree);

  if (other_library_comparable(text, tree)) {
    const auto theirs = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    fuzz::expect(tree.ok() == !theirs.is_discarded(), "the libraries disagree on accepting", text,
                 tree ? "accepted here" : tree.error().display());
    if (tree) {
      const std::string diff = json::other_library_differs(tree->root, theirs, "$");
      fuzz::expect(diff.empty(), "the libraries read different trees", text, diff);
    }
  }
  if (!tree) return 0;

  const std::string once = fuzz::canonical_text(tree->root);
  auto back = json::parse(once);
  if (!back) fuzz::fail("canonical text does not parse", once, back.error().display());
  fuzz::expect_same(fuzz::canonical_text(back->root), once, "canonical form is not idempotent");
  check_round_trip(tree->root, back->root, once);
  fuzz::expect_same(hash_value(tree->root), hash_text(once), "hashed canonical text differs from the written one");

  json::Arena arena;
  const Value copy = arena.clone(tree->root);
  fuzz::expect(fuzz::identical(copy, tree->root), "a cloned tree differs", text);

  // One level of nesting more than the text itself.
  std::string command = R"({"cmd":"canonicalize","value":)";
  command.append(text);
  command += '}';
  const std::string response = apply_command(command);
  std::string expected = R"({"canonical":)";
  write_canonical_string(expected, once);
  expected += R"(,"ok":true})";
  const auto wrapped = json::parse(command);
  if (wrapped) fuzz::expect_same(response, expected, "canonicalize answers another text");
  return 0;
}
