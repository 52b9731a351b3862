// Whole commands whose candles are decoded as the command is parsed: the
// member "data" is read in the same pass, yet answers follow the request's
// reading order, the last "data" counting and syntax errors winning.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/module/command.hpp"

namespace fendro {
namespace {

const std::string kSpec =
    R"({"strategy":{"symbol":"BTC","timeframe":"1h","indicators":{"fast":{"type":"Sma","params":[2]}},)"
    R"("entry":{"gt":[{"price":"close"},"fast"]},"exit":{"lt":[{"price":"close"},"fast"]},)"
    R"("sizing":{"type":"fixed_fraction","fraction":0.5}},"dataset_ref":"unit"})";
const std::string kData =
    R"({"BTC":[[0,100,101,99,100,10],{"time":1,"open":100,"high":103,"low":99,"close":102},)"
    R"([2,102,106,101,105,9],[3,105,105,98,99,15]]})";

std::string error(const std::string& message) {
  return R"({"error":")" + message + R"(","ok":false})";
}

std::string prove(const std::string& members) { return apply_command(R"({"cmd":"prove")" + members + "}"); }

TEST(CommandData, SameProofWhereverAndHoweverDataIsGiven) {
  const std::string reference = prove(R"(,"spec":)" + kSpec + R"(,"data":)" + kData);
  ASSERT_EQ(reference.rfind(R"({"engine_version":")", 0), 0u) << reference;
  const std::vector<std::string> variants = {
      R"(,"data":)" + kData + R"(,"spec":)" + kSpec,
      R"(,"d\u0061ta":)" + kData + R"(,"spec":)" + kSpec,
      R"(,"data":5,"spec":)" + kSpec + R"(,"data":)" + kData,
      R"(,"data":{"BTC":[[1]]},"data":)" + kData + R"(,"spec":)" + kSpec,
      " ,\n\"data\" :\r\n " + kData + "\t,\"spec\":" + kSpec + "\n",
  };
  for (const std::string& members : variants) EXPECT_EQ(prove(members), reference) << members;
}

TEST(CommandData, ReadingOrderAndFailures) {
  struct Case {
    std::string command;
    std::string response;
  };
  const std::vector<Case> cases = {
      // The last "data" counts, even when an earlier one was good.
      {R"({"cmd":"prove","spec":)" + kSpec + R"(,"data":)" + kData + R"(,"data":[]})",
       error("parse: invalid type: sequence, expected a map")},
      // "data" sorts before "proof" and "spec": its failure comes first.
      {R"({"cmd":"verify","spec":5,"proof":5,"data":{"BTC":[{"time":1.5}]}})",
       error("parse: invalid type: floating point `1.5`, expected i64")},
      {R"({"cmd":"prove","spec":5,"data":{"B":[[1,2]],"A":[{"close":"x"}]}})",
       error(R"(parse: invalid type: string \"x\", expected f64)")},
      // Absent members are reported in declaration order, "data" last.
      {R"({"cmd":"verify","data":{}})", error("parse: missing field `proof`")},
      {R"({"cmd":"prove","spec":)" + kSpec + "}", error("parse: missing field `data`")},
      // A syntax error after a bad "data" is still the answer, at its place.
      {R"({"cmd":"prove","data":5,"spec":)" + kSpec + ",}",
       error("parse: trailing comma at line 1 column " + std::to_string(33 + kSpec.size()))},
      {R"({"cmd":"prove","data":{"BTC":[[1,2,3,4,5],]}})",
       error("parse: trailing comma at line 1 column 43")},
      // Other commands ignore the root "data"; a nested one is an ordinary value.
      {R"({"cmd":"canonicalize","data":[1,{}],"value":{"data":[2,1]}})",
       R"({"canonical":"{\"data\":[2,1]}","ok":true})"},
      {R"({"cmd":"version","data":"x"})", R"({"engine_version":"0.2.0","version":"0.2.0"})"},
  };
  for (const Case& k : cases) EXPECT_EQ(apply_command(k.command), k.response) << k.command;
}

}  // namespace
}  // namespace fendro
