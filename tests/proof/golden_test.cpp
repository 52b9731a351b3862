// Golden proofs: fixed requests whose full responses are checked in, so any
// change to a report, a number's text or a hash shows in review.
//
// Each tests/data/golden/<name>.request.json is a "prove" command without its
// "data", which all of them take from data.json; its
// expected response is <name>.response.json (the canonical response, laid
// out one container per line for readable diffs). To refresh the responses
// after an intended change, run the test with FENDRO_REFRESH_GOLDEN=1 and
// review the diff:
//   FENDRO_REFRESH_GOLDEN=1 ./test_proof --gtest_filter='Golden*'

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fendro/json/parse.hpp"
#include "fendro/module/command.hpp"
#include "fendro/proof/canonical.hpp"

namespace fendro {
namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool holds_containers(const json::Value& v) {
  if (v.is_array()) {
    for (const json::Value& x : v.as_array()) {
      if ((x.is_array() || x.is_object()) && x.size > 0) return true;
    }
  } else if (v.is_object()) {
    for (const json::Member& m : v.as_object()) {
      if ((m.value.is_array() || m.value.is_object()) && m.value.size > 0) return true;
    }
  }
  return false;
}

// Canonical text with line breaks and indentation around containers that hold
// containers; everything else stays on one line. Parsing it back and writing
// it canonically gives the canonical text again.
void write_laid_out(std::string& out, const json::Value& v, int depth) {
  if (!holds_containers(v)) {
    write_canonical_json(out, v);
    return;
  }
  const std::string pad(2 * (depth + 1), ' ');
  const bool is_array = v.is_array();
  out += is_array ? "[\n" : "{\n";
  for (std::size_t k = 0; k < v.size; ++k) {
    if (k) out += ",\n";
    out += pad;
    if (is_array) {
      write_laid_out(out, v.as_array()[k], depth + 1);
    } else {
      write_canonical_string(out, v.as_object()[k].key);
      out += ": ";
      write_laid_out(out, v.as_object()[k].value, depth + 1);
    }
  }
  out.push_back('\n');
  out.append(2 * static_cast<std::size_t>(depth), ' ');
  out.push_back(is_array ? ']' : '}');
}

std::string canonical_of(const std::string& text) {
  auto doc = json::parse(text);
  if (!doc.ok()) return "<does not parse: " + doc.error().display() + ">";
  std::string out;
  write_canonical_json(out, doc->root);
  return out;
}

// The command: the request with the shared candles as its "data".
std::string command_of(const fs::path& request) {
  std::string text = read_file(request);
  text.erase(text.rfind('}'));
  return text + ",\"data\":" + read_file(request.parent_path() / "data.json") + "}";
}

std::vector<fs::path> requests() {
  std::vector<fs::path> out;
  for (const auto& e : fs::directory_iterator(fs::path(FENDRO_TEST_DATA_DIR) / "golden")) {
    const std::string name = e.path().filename().string();
    if (name.ends_with(".request.json")) out.push_back(e.path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST(Golden, ResponsesMatchTheCheckedInProofs) {
  const bool refresh = std::getenv("FENDRO_REFRESH_GOLDEN") != nullptr;
  const auto cases = requests();
  ASSERT_GE(cases.size(), 5u);
  for (const fs::path& request : cases) {
    std::string stem = request.filename().string();
    stem.resize(stem.size() - std::string(".request.json").size());
    const fs::path expected_path = request.parent_path() / (stem + ".response.json");
    const std::string command = command_of(request);
    const std::string response = apply_command(command);

    auto doc = json::parse(response);
    ASSERT_TRUE(doc.ok()) << stem;
    std::string laid_out;
    write_laid_out(laid_out, doc->root, 0);
    laid_out += "\n";
    ASSERT_EQ(canonical_of(laid_out), response) << stem << ": the layout must not change the value";

    if (refresh) {
      std::ofstream(expected_path, std::ios::binary) << laid_out;
      continue;
    }
    ASSERT_TRUE(fs::exists(expected_path)) << expected_path << " is missing; refresh the golden files";
    EXPECT_EQ(canonical_of(read_file(expected_path)), response) << stem;
    // The same request always gives the same bytes.
    EXPECT_EQ(apply_command(command), response) << stem;
  }
}

}  // namespace
}  // namespace fendro
