// The streaming candle decoder against the tree reader, on any text: the
// same candles (f64 bits included) or the same error text. Checked twice:
// on the text alone, and as the "data" member of a command the way the
// command entry reads it, in the same pass as the parse; and again on the
// text laid out with blanks as JSON writers put them. The candles hashed
// while they are read give the inputs hash written afresh from the
// decoded candles.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/proof/inputs.hpp"
#include "fendro/proof/proof.hpp"
#include "../market/json_layouts.hpp"
#include "fuzz_check.hpp"

namespace {

using namespace fendro;
using Reading = Result<MarketData, std::string>;

std::string describe(const Reading& r) {
  if (!r) return "error: " + r.error();
  std::string out;
  for (const auto& [symbol, candles] : *r) {
    out += symbol + ": " + std::to_string(candles.size()) + " candles\n";
  }
  return out;
}

bool same_candle(const Candle& a, const Candle& b) {
  const auto bits = [](double x) { return std::bit_cast<std::uint64_t>(x); };
  return a.time == b.time && bits(a.open) == bits(b.open) && bits(a.high) == bits(b.high) &&
         bits(a.low) == bits(b.low) && bits(a.close) == bits(b.close) && bits(a.volume) == bits(b.volume);
}

void expect_same_reading(const Reading& tree, const Reading& streamed, std::string_view text) {
  if (!tree || !streamed) {
    fuzz::expect(!tree && !streamed, "one reader fails, the other does not", describe(tree), describe(streamed));
    fuzz::expect_same(tree.error(), streamed.error(), "the readers fail with different texts");
    return;
  }
  fuzz::expect(tree->size() == streamed->size(), "different symbols", describe(tree), describe(streamed));
  auto a = tree->begin();
  auto b = streamed->begin();
  for (; a != tree->end(); ++a, ++b) {
    fuzz::expect(a->first == b->first && a->second.size() == b->second.size(), "different symbols or counts",
                 describe(tree), describe(streamed));
    for (std::size_t k = 0; k < a->second.size(); ++k) {
      fuzz::expect(same_candle(a->second[k], b->second[k]), "different candle", text, a->first);
    }
  }
}

void check(std::string_view text) {
  const auto tree = json::parse(text);
  const Reading streamed = read_market_data_text(text);
  if (!tree) {
    fuzz::expect(!streamed, "the decoder accepts text that does not parse", text);
    fuzz::expect_same(streamed.error(), tree.error().display(), "the decoder fails otherwise than the parse");
  } else {
    expect_same_reading(read_market_data(tree->root), streamed, text);
  }

  // As a command's member, decoded during the parse of the command.
  std::string command = R"({"cmd":"prove","data":)";
  command.append(text);
  command += '}';
  std::optional<Reading> during;
  CandleSeal seal;
  auto deferred =
      json::parse_deferring(command, "data", [&](json::Cursor& cur) { during = read_market_data(cur, &seal); });
  const auto whole = json::parse(command);
  if (!whole) {
    fuzz::expect(!deferred, "the command parses only with the decoder", command);
    fuzz::expect_same(deferred.error().display(), whole.error().display(), "the command fails otherwise");
    return;
  }
  if (!deferred) fuzz::fail("the command fails only with the decoder", command, deferred.error().display());
  fuzz::expect(during.has_value(), "the decoder never ran", command);
  expect_same_reading(read_market_data(*whole->root.find("data")), *during, command);
  if (during->ok()) {
    const ProofSpec spec{.strategy = json::Value::null(), .dataset_ref = "fuzz"};
    const auto sealed = inputs_hash(spec, **during, {}, &seal);
    fuzz::expect_same(*sealed, inputs_hash(spec, **during), "the sealed inputs hash differs");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  check(text);
  // Candles are read straight from the text only where enough of it
  // follows them: the same text again with room after it.
  std::string roomy(text);
  roomy.append(512, ' ');
  check(roomy);
  // Blanks between the tokens, where the decoder steps over them itself.
  for (const auto layout : {test::Layout::kSpaced, test::Layout::kIndent4, test::Layout::kRandom}) {
    std::string laid_out = test::lay_out(text, layout, size);
    laid_out.append(512, ' ');
    check(laid_out);
  }
  return 0;
}
