#include <gtest/gtest.h>

#include <string>

#include "fendro/proof/proof.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

using testing::parse_json;
using testing::read_failure;

auto proof_spec = [](const json::Value& v) { return read_proof_spec(v); };
auto proof = [](const json::Value& v) { return read_proof(v); };

struct Case {
  bool is_proof;  // else ProofSpec
  const char* json;
  const char* message;
};

TEST(ProofRecords, ReadingFailures) {
  const Case cases[] = {
      {false, R"({})", "missing field `strategy`"},
      {false, R"({"dataset_ref": "d"})", "missing field `strategy`"},
      {false, R"({"strategy": null})", "missing field `dataset_ref`"},
      {false, R"({"dataset_ref": 5})", "invalid type: integer `5`, expected a string"},
      {false, R"({"strategy": 1, "dataset_ref": "d", "engine_version": 2})",
       "invalid type: integer `2`, expected a string"},
      {false, R"([{}])", "invalid length 1, expected struct ProofSpec with 3 elements"},
      {false, R"([])", "invalid length 0, expected struct ProofSpec with 3 elements"},
      {false, R"([{}, "d", null, 4])", "invalid length 4, expected fewer elements in array"},
      {false, R"([{}, 5])", "invalid type: integer `5`, expected a string"},
      {false, R"("spec")", "invalid type: string \"spec\", expected struct ProofSpec"},
      {false, R"(null)", "invalid type: null, expected struct ProofSpec"},
      {true, R"("abc")", "invalid type: string \"abc\", expected struct Proof"},
      {true, R"(true)", "invalid type: boolean `true`, expected struct Proof"},
      {true, R"({"report": {}, "report_hash": "h"})", "missing field `inputs_hash`"},
      {true, R"({"inputs_hash": "i", "report_hash": "h", "engine_version": "e"})", "missing field `report`"},
      {true, R"({"report": 1, "inputs_hash": "i", "report_hash": "h"})", "missing field `engine_version`"},
      {true, R"({"report": 1, "inputs_hash": 1, "report_hash": 2.5})",
       "invalid type: integer `1`, expected a string"},
      {true, R"({"report": 1, "engine_version": null})", "invalid type: null, expected a string"},
      {true, R"([{}, "i", "h"])", "invalid length 3, expected struct Proof with 4 elements"},
      {true, R"([{}, "i", "h", "e", 5])", "invalid length 5, expected fewer elements in array"},
  };
  for (const Case& c : cases) {
    const std::string got = c.is_proof ? read_failure(proof, c.json) : read_failure(proof_spec, c.json);
    EXPECT_EQ(got, c.message) << c.json;
  }
}

TEST(ProofRecords, ReadsProofSpecForms) {
  struct Good {
    const char* json;
    json::Kind strategy_kind;
    std::optional<std::string> engine_version;
  };
  const Good cases[] = {
      {R"({"strategy": null, "dataset_ref": "d"})", json::Kind::Null, std::nullopt},
      {R"({"strategy": {"a": 1}, "dataset_ref": "d", "engine_version": null})", json::Kind::Object,
       std::nullopt},
      {R"({"strategy": [], "dataset_ref": "d", "engine_version": "", "x": 1})", json::Kind::Array,
       std::string()},
      {R"([5, "d"])", json::Kind::UInt, std::nullopt},
      {R"([5, "d", "0.1.0"])", json::Kind::UInt, std::string("0.1.0")},
  };
  for (const Good& g : cases) {
    json::Document doc = parse_json(g.json);
    auto r = read_proof_spec(doc.root);
    ASSERT_TRUE(r.ok()) << g.json << ": " << r.error();
    EXPECT_EQ(r->strategy.kind, g.strategy_kind) << g.json;
    EXPECT_EQ(r->dataset_ref, "d") << g.json;
    EXPECT_EQ(r->engine_version, g.engine_version) << g.json;
  }
}

TEST(ProofRecords, ReadsProofAsGivenInEitherForm) {
  json::Document report = parse_json(R"({"b": [1, 2]})");
  for (const char* text : {R"({"ok": true, "report": {"b": [1, 2]}, "report_hash": "ABC", "inputs_hash": "", "engine_version": "x"})",
                           R"([{"b": [1, 2]}, "", "ABC", "x"])"}) {
    json::Document doc = parse_json(text);
    auto r = read_proof(doc.root);
    ASSERT_TRUE(r.ok()) << text << ": " << r.error();
    EXPECT_EQ(r->report_hash, "ABC") << text;
    EXPECT_EQ(r->inputs_hash, "") << text;
    EXPECT_EQ(r->engine_version, "x") << text;
    EXPECT_TRUE(json::equal(r->report, report.root)) << text;
  }
}

}  // namespace
}  // namespace fendro
