#include "fendro/module/command.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace fendro {
namespace {

struct Case {
  const char* name;
  std::string command;
  std::string response;
};

std::string error(std::string_view message) {
  return R"({"error":")" + std::string(message) + R"(","ok":false})";
}

std::string nested_arrays(int depth) {
  return std::string(static_cast<std::size_t>(depth), '[') +
         std::string(static_cast<std::size_t>(depth), ']');
}

constexpr std::string_view kVersion = R"({"engine_version":"0.2.0","version":"0.2.0"})";

// A small valid strategy and the request member that carries it.
constexpr std::string_view kSpec =
    R"({"strategy":{"symbol":"BTC","timeframe":"1h","indicators":{"fast":{"type":"Sma","params":[2]}},)"
    R"("entry":{"gt":[{"price":"close"},"fast"]},"exit":{"lt":[{"price":"close"},"fast"]},)"
    R"("sizing":{"type":"fixed_fraction","fraction":0.5}},"dataset_ref":"unit"})";

class ExactResponse : public testing::TestWithParam<Case> {};

TEST_P(ExactResponse, MatchesByteForByte) {
  EXPECT_EQ(apply_command(GetParam().command), GetParam().response);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ExactResponse,
    testing::Values(
        Case{"version", R"({"cmd":"version"})", std::string(kVersion)},
        Case{"version_extra_member", R"({"cmd":"version","x":1})", std::string(kVersion)},
        Case{"version_surrounding_whitespace", " \t{\"cmd\":\"version\"}\r\n ", std::string(kVersion)},
        Case{"unknown_case", R"({"cmd":"Version"})", error("parse: unknown cmd: Version")},
        Case{"unknown_name", R"({"cmd":"prove "})", error("parse: unknown cmd: prove ")},
        Case{"cmd_not_string", R"({"cmd":5})", error("parse: unknown cmd: ")},
        Case{"cmd_absent", R"({})", error("parse: unknown cmd: ")},
        Case{"not_object", R"([1])", error("parse: unknown cmd: ")},
        Case{"unknown_name_escaped", R"({"cmd":"a\"b"})", error(R"(parse: unknown cmd: a\"b)")},
        Case{"last_repeated_cmd_wins", R"({"cmd":"prove","cmd":"version"})", std::string(kVersion)},
        Case{"empty", "", error("parse: EOF while parsing a value at line 1 column 0")},
        Case{"trailing", R"({"cmd":"version"} x)",
             error("parse: trailing characters at line 1 column 19")},
        Case{"trailing_after_lines", "{\"cmd\":\"version\"}\n\nx",
             error("parse: trailing characters at line 3 column 1")},
        Case{"unterminated", R"({"cmd":"version")",
             error("parse: EOF while parsing an object at line 1 column 16")},
        Case{"depth_127_parses",
             R"({"cmd":"canonicalize","value":)" + nested_arrays(126) + "}",
             R"({"canonical":")" + nested_arrays(126) + R"(","ok":true})"},
        Case{"depth_128_fails", nested_arrays(128),
             error("parse: recursion limit exceeded at line 1 column 128")},
        Case{"absent_value_is_null", R"({"cmd":"canonicalize"})", R"({"canonical":"null","ok":true})"},
        Case{"object_sorted",
             R"({"cmd":"canonicalize","value":{"b":1,"a":[true,null]}})",
             R"({"canonical":"{\"a\":[true,null],\"b\":1}","ok":true})"},
        Case{"string_escapes_twice", R"({"cmd":"canonicalize","value":"a\tb/\u001f"})",
             R"({"canonical":"\"a\\tb/\\u001f\"","ok":true})"},
        // Request reading: members decoded in key order, then absent fields in
        // declaration order, every failure a "parse: " error without position.
        Case{"prove_empty", R"({"cmd":"prove"})", error("parse: missing field `spec`")},
        Case{"verify_empty", R"({"cmd":"verify"})", error("parse: missing field `proof`")},
        Case{"repeated_cmd_prove", R"({"cmd":"version","cmd":"prove"})",
             error("parse: missing field `spec`")},
        Case{"prove_without_data", R"({"cmd":"prove","spec":{"strategy":null,"dataset_ref":"d"}})",
             error("parse: missing field `data`")},
        Case{"prove_without_spec", R"({"cmd":"prove","data":{}})", error("parse: missing field `spec`")},
        Case{"decoding_beats_absence", R"({"cmd":"prove","spec":{"dataset_ref":5}})",
             error("parse: invalid type: integer `5`, expected a string")},
        Case{"data_decoded_before_spec", R"({"cmd":"prove","spec":5,"data":5})",
             error("parse: invalid type: integer `5`, expected a map")},
        Case{"verify_without_proof",
             R"({"cmd":"verify","spec":{"strategy":null,"dataset_ref":"d"},"data":{}})",
             error("parse: missing field `proof`")},
        Case{"verify_proof_string", R"({"cmd":"verify","proof":"abc","spec":5})",
             error(R"(parse: invalid type: string \"abc\", expected struct Proof)")},
        Case{"verify_data_first", R"({"cmd":"verify","proof":5,"data":[]})",
             error("parse: invalid type: sequence, expected a map")},
        // Failures of the engine come back as error responses with their own prefix.
        Case{"strategy_null", R"({"cmd":"prove","spec":[null,"d"],"data":{}})",
             error("bad spec: invalid type: null, expected struct StrategySpec")},
        Case{"engine_mismatch",
             R"({"cmd":"prove","spec":{"strategy":null,"dataset_ref":"d","engine_version":"0.1.0"},"data":{}})",
             error("engine mismatch: expected 0.1.0, linked 0.2.0")},
        Case{"symbol_absent", R"({"cmd":"prove","spec":)" + std::string(kSpec) + R"(,"data":{}})",
             error("data: no candles for symbol BTC")},
        Case{"no_candles", R"({"cmd":"prove","spec":)" + std::string(kSpec) + R"(,"data":{"BTC":[]}})",
             error("backtest: invalid input data: no candles")}),
    [](const auto& info) { return std::string(info.param.name); });

// "prove" answers with the proof object itself, which "verify" takes back as
// its "proof" member: valid as it is, invalid once its report hash changes.
TEST(ProveThenVerify, RoundTrip) {
  const std::string data =
      R"({"BTC":[[0,100,101,99,100,10],[1,100,103,99,102,12],[2,102,106,101,105,9],)"
      R"([3,105,105,98,99,15],[4,99,100,95,96,11]]})";
  const std::string members = R"(,"spec":)" + std::string(kSpec) + R"(,"data":)" + data + "}";
  const std::string proof = apply_command(R"({"cmd":"prove")" + members);
  ASSERT_EQ(proof.rfind(R"({"engine_version":"0.2.0","inputs_hash":")", 0), 0u) << proof;
  EXPECT_EQ(proof.find(R"("ok")"), std::string::npos);

  const auto verify = [&](const std::string& p) {
    return apply_command(R"({"cmd":"verify","proof":)" + p + members);
  };
  EXPECT_EQ(verify(proof), R"({"ok":true,"valid":true})");
  const std::string key = R"("report_hash":")";
  const std::size_t digit = proof.find(key) + key.size();
  std::string tampered = proof;
  tampered[digit] = proof[digit] == '0' ? '1' : '0';
  EXPECT_EQ(verify(tampered), R"({"ok":true,"valid":false})");
}

}  // namespace
}  // namespace fendro
