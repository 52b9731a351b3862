#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/proof/canonical.hpp"
#include "fendro/proof/inputs.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/proof/report_text.hpp"
#include "fendro/proof/response_writer.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

constexpr const char* kStrategy = R"({"symbol": "BTC", "timeframe": "1h",
  "indicators": {"fast": {"type": "Sma", "params": [2]}, "slow": {"type": "Sma", "params": [4]}},
  "entry": {"cross_above": ["fast", "slow"]}, "exit": {"cross_below": ["fast", "slow"]},
  "sizing": {"type": "fixed_fraction", "fraction": 0.5},
  "costs": {"taker_bps": 10, "slippage": {"type": "fixed_bps", "bps": 5}}, "risk": {"stop_loss_pct": 3}})";

// Candles as JSON text: a zig-zag walk with some integer-valued fields.
std::string candles_json(std::size_t n, double start, std::int64_t t0 = 1700000000000) {
  std::string out = "[";
  double price = start;
  for (std::size_t i = 0; i < n; ++i) {
    const double step = ((i * 7) % 5 == 0 ? -1.5 : 1.25) * (i % 3 == 0 ? 2 : 1);
    const double open = price;
    const double close = price + step;
    const double high = std::max(open, close) + 0.5;
    const double low = std::min(open, close) - 0.25;
    if (i) out += ",";
    out += "{\"time\":" + std::to_string(t0 + static_cast<std::int64_t>(i) * 3600000) + ",\"open\":" +
           std::to_string(open) + ",\"high\":" + std::to_string(high) + ",\"low\":" + std::to_string(low) +
           ",\"close\":" + std::to_string(close) + ",\"volume\":" + std::to_string(1000 + i) + "}";
    price = close;
  }
  return out + "]";
}

std::string default_data() {
  return "{\"BTC\":" + candles_json(60, 100) + ",\"ETH\":" + candles_json(10, 50) + "}";
}

std::string written_text(const ProvenRun& run) {
  std::string text;
  StringSink sink(text);
  ResponseWriter out(&sink);
  write_proof(out, run);
  out.finish();
  return text;
}

// A prove request read from texts; the texts and trees live as long as it.
class Request {
 public:
  Request(std::string strategy, std::string data = default_data(), std::string extra = "")
      : spec_text_("{\"strategy\": " + std::move(strategy) + ", \"dataset_ref\": \"ds-1\"" + extra + "}"),
        data_text_(std::move(data)) {
    spec_doc_ = std::make_unique<json::Document>(testing::parse_json(spec_text_));
    data_doc_ = std::make_unique<json::Document>(testing::parse_json(data_text_));
    auto spec = read_proof_spec(spec_doc_->root);
    auto market = read_market_data(data_doc_->root);
    if (!spec.ok() || !market.ok()) {
      ADD_FAILURE() << "request does not read";
      return;
    }
    spec_ = std::move(spec).value();
    data_ = std::move(market).value();
  }
  Request(const Request&) = delete;

  const ProofSpec& spec() const { return spec_; }
  const MarketData& data() const { return data_; }
  // The proof as the response carries it: written once, then read back.
  Result<Proof, ProofError> prove() const {
    auto run = fendro::prove(spec_, data_);
    if (!run) return err(std::move(run).error());
    auto text = std::make_unique<std::string>(written_text(*run));
    written_.push_back(std::make_unique<json::Document>(testing::parse_json(*text)));
    texts_.push_back(std::move(text));
    auto proof = read_proof(written_.back()->root);
    if (!proof.ok()) ADD_FAILURE() << "the proof does not read: " << proof.error();
    return proof.ok() ? std::move(proof).value() : Proof{};
  }
  std::string error() const {
    auto p = prove();
    return p.ok() ? "<proved>" : p.error().display();
  }

 private:
  std::string spec_text_;
  std::string data_text_;
  std::unique_ptr<json::Document> spec_doc_;
  std::unique_ptr<json::Document> data_doc_;
  ProofSpec spec_;
  MarketData data_;
  mutable std::vector<std::unique_ptr<std::string>> texts_;
  mutable std::vector<std::unique_ptr<json::Document>> written_;
};

TEST(Prove, ReportHashSealsTheBytesWritten) {
  // Long enough that the report crosses several of the writer's pieces.
  Request r(kStrategy, "{\"BTC\":" + candles_json(20000, 1000) + "}");
  auto run = prove(r.spec(), r.data());
  ASSERT_TRUE(run.ok()) << run.error().display();
  const std::string text = written_text(*run);
  const std::size_t begin = text.find("\"report\":") + 9;
  const std::size_t end = text.rfind(",\"report_hash\":\"");
  ASSERT_LT(begin, end);
  const std::string_view report(text.data() + begin, end - begin);
  EXPECT_EQ(text.substr(end), ",\"report_hash\":\"" + hash_text(report) + "\"}");
  EXPECT_EQ(report_hash(run->report), hash_text(report));
  EXPECT_GT(report.size(), 1000000u);
  // The whole response is canonical: written again from its tree, it is unchanged.
  auto doc = json::parse(text);
  ASSERT_TRUE(doc.ok());
  std::string again;
  write_canonical_json(again, doc->root);
  EXPECT_EQ(again, text);
}

// The inputs document as a tree, built independently of the streaming writer.
std::string inputs_reference(const ProofSpec& spec, const MarketData& data) {
  json::Arena arena;
  std::vector<json::Member> symbols;
  for (const auto& [symbol, candles] : data) {
    std::vector<json::Value> items;
    for (const Candle& c : candles) {
      const json::Member m[] = {{"time", json::Value::integer(c.time)},   {"open", json::Value::number(c.open)},
                                {"high", json::Value::number(c.high)},    {"low", json::Value::number(c.low)},
                                {"close", json::Value::number(c.close)},  {"volume", json::Value::number(c.volume)}};
      items.push_back(arena.make_object(m));
    }
    symbols.push_back({arena.copy_string(symbol), arena.make_array(items)});
  }
  const json::Member doc[] = {{"strategy", spec.strategy},
                              {"dataset_ref", json::Value::string_ref(spec.dataset_ref)},
                              {"candles", arena.make_object(symbols)},
                              {"engine_version", json::Value::string_ref(ENGINE_VERSION)}};
  std::string out;
  write_canonical_json(out, arena.make_object(doc));
  return out;
}

TEST(InputsDocument, StreamedTextEqualsTheCanonicalTree) {
  const struct {
    const char* name;
    std::string data;
  } cases[] = {
      {"two symbols", default_data()},
      {"empty list and odd symbols", R"({"z\"q": [], "A": [[-5, 1, 2, 0.5, 1e-9, 0]], "\u00e9": [[0, 1e20, 3, 2, 2.5, -0.0]]})"},
      {"larger than one hash chunk", "{\"BTC\":" + candles_json(3000, 1000) + "}"},
  };
  for (const auto& c : cases) {
    Request r(kStrategy, c.data);
    const std::string text = inputs_document_text(r.spec(), r.data());
    EXPECT_EQ(text, inputs_reference(r.spec(), r.data())) << c.name;
    EXPECT_EQ(inputs_hash(r.spec(), r.data()), hash_text(text)) << c.name;
  }
}

TEST(Prove, HashScope) {
  const auto proved = [](const Request& r) {
    auto p = r.prove();
    EXPECT_TRUE(p.ok()) << p.error().display();
    return p.ok() ? std::move(p).value() : Proof{};
  };
  const Proof base = proved(Request(kStrategy));
  // Reordered and re-spaced strategy members: same value, same hashes.
  const Proof reordered = proved(Request(R"({"timeframe":"1h","symbol":"BTC","risk":{"stop_loss_pct":3},
    "sizing":{"fraction":0.5,"type":"fixed_fraction"},"costs":{"slippage":{"bps":5,"type":"fixed_bps"},"taker_bps":10},
    "exit":{"cross_below":["fast","slow"]},"entry":{"cross_above":["fast","slow"]},
    "indicators":{"slow":{"params":[4],"type":"Sma"},"fast":{"type":"Sma","params":[2]}}})"));
  EXPECT_EQ(reordered.inputs_hash, base.inputs_hash);
  EXPECT_EQ(reordered.report_hash, base.report_hash);
  // An unknown strategy member is hashed but changes nothing of the run.
  std::string with_note = kStrategy;
  with_note.insert(1, "\"note\": \"x\", ");
  const Proof noted = proved(Request(with_note));
  EXPECT_NE(noted.inputs_hash, base.inputs_hash);
  EXPECT_EQ(noted.report_hash, base.report_hash);
  // Another symbol's candles are hashed but not traded.
  const Proof more = proved(Request(kStrategy, "{\"BTC\":" + candles_json(60, 100) + ",\"ETH\":" + candles_json(11, 50) + "}"));
  EXPECT_NE(more.inputs_hash, base.inputs_hash);
  EXPECT_EQ(more.report_hash, base.report_hash);
  // Candle numbers are hashed as decoded floats: 100 and 100.0 are one value.
  const std::string ints = R"({"BTC":[{"time":1,"open":100,"high":101,"low":99,"close":100,"volume":5}]})";
  const std::string floats = R"({"BTC":[{"time":1,"open":100.0,"high":101.0,"low":99.0,"close":1e2,"volume":5.0,"x":1}]})";
  EXPECT_EQ(proved(Request(kStrategy, ints)).inputs_hash, proved(Request(kStrategy, floats)).inputs_hash);
  // The dataset reference is hashed.
  EXPECT_NE(proved(Request(kStrategy, default_data(), ", \"dataset_ref\": \"ds-2\"")).inputs_hash, base.inputs_hash);
}

// The strategy with members added at its end (a repeated key takes the last value).
std::string strategy_with(std::string_view extra) {
  std::string s = kStrategy;
  s.insert(s.size() - 1, ", " + std::string(extra));
  return s;
}

TEST(Prove, FailuresInTheirOrder) {
  const std::string spread = R"("costs": {"slippage": {"type": "spread"}, "funding": true})";
  const std::string bad_ref = R"("entry": {"gt": ["nope", 1]})";
  const struct {
    const char* name;
    std::string strategy;
    std::string data;
    std::string extra;
    std::string error;
  } cases[] = {
      {"engine mismatch", kStrategy, default_data(), R"(, "engine_version": "0.1.0")",
       "engine mismatch: expected 0.1.0, linked 0.2.0"},
      {"empty engine version", kStrategy, default_data(), R"(, "engine_version": "")",
       "engine mismatch: expected , linked 0.2.0"},
      {"trailing blank", kStrategy, default_data(), R"(, "engine_version": "0.2.0 ")",
       "engine mismatch: expected 0.2.0 , linked 0.2.0"},
      {"bad spec before missing symbol", R"({"symbol": "NOPE"})", default_data(), "", "bad spec: missing field `timeframe`"},
      {"missing symbol before validation", strategy_with(R"("symbol": "NOPE", )" + bad_ref), default_data(), "",
       "data: no candles for symbol NOPE"},
      {"validation", strategy_with(bad_ref), default_data(), "", "backtest: rule references undeclared indicator: nope"},
      {"validation before funding", strategy_with(bad_ref + R"(, "costs": {"funding": true})"), default_data(), "",
       "backtest: rule references undeclared indicator: nope"},
      {"spread before funding", strategy_with(spread), default_data(), "",
       "backtest: invalid strategy spec: costs.slippage spread needs an order-book feed; without one every fill"
       "              would be priced at zero slippage"},
      {"funding", strategy_with(R"("costs": {"funding": true})"), default_data(), "",
       "backtest: invalid strategy spec: costs.funding needs a derivatives feed; without one no funding would be"
       "              charged at all"},
      {"no candles", kStrategy, R"({"BTC": []})", "", "backtest: invalid input data: no candles"},
      {"first failing id in byte order",
       strategy_with(R"("indicators": {"b": {"type": "Sma", "params": [2]}, "a": {"type": "NoSuch"}, "fast": {"type": "Sma", "params": [0]}, "slow": {"type": "Sma", "params": [3]}})"),
       default_data(), "", "backtest: unknown indicator type: NoSuch"},
      {"parameters", strategy_with(R"("indicators": {"fast": {"type": "Sma", "params": [0]}, "slow": {"type": "Sma", "params": [3]}})"),
       default_data(), "", "backtest: invalid parameters for indicator Sma: parameter #0 must be a positive integer, got 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Request(c.strategy, c.data, c.extra).error(), c.error) << c.name;
  // The matching version runs.
  EXPECT_EQ(Request(kStrategy, default_data(), R"(, "engine_version": "0.2.0")").error(), "<proved>");
}

TEST(Prove, ExplicitWarmupOverridesTheIndicators) {
  // Sma(20) has a warm-up of 20 bars, but "warmup": 0 lets a price rule act
  // from the first bar.
  const std::string s = R"({"symbol": "BTC", "timeframe": "1h", "indicators": {"s": {"type": "Sma", "params": [20]}},
    "entry": {"gt": [{"price": "close"}, 0]}, "exit": {"any": []}, "sizing": {"type": "fixed_qty", "qty": 1},
    "execution": {"fill_timing": "close"})";
  const struct {
    std::string warmup;
    std::int64_t entry_time;
  } cases[] = {{"", 1700000000000 + 20 * 3600000LL}, {", \"warmup\": 0", 1700000000000}, {", \"warmup\": 3", 1700000000000 + 3 * 3600000LL}};
  for (const auto& c : cases) {
    const Request r(s + c.warmup + "}");
    auto p = r.prove();
    ASSERT_TRUE(p.ok()) << p.error().display();
    const json::Value& trade = p->report.find("trades")->as_array()[0];
    EXPECT_EQ(trade.find("entry_time")->as_f64(), static_cast<double>(c.entry_time)) << c.warmup;
  }
}

TEST(Verify, ValidInvalidAndErrors) {
  Request r(kStrategy);
  auto made = r.prove();
  ASSERT_TRUE(made.ok());
  const auto verify = [&](auto&& change) {
    Proof p = r.prove().value();
    change(p);
    auto v = verify_proof(p, r.spec(), r.data());
    EXPECT_TRUE(v.ok());
    return v.ok() && *v;
  };
  EXPECT_TRUE(verify([](Proof&) {}));
  EXPECT_TRUE(verify([](Proof& p) { p.report = json::Value::null(); }));  // the report itself is not compared
  EXPECT_FALSE(verify([](Proof& p) { p.report_hash[10] = p.report_hash[10] == 'a' ? 'b' : 'a'; }));
  EXPECT_FALSE(verify([](Proof& p) {
    for (char& ch : p.report_hash) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  }));
  EXPECT_FALSE(verify([](Proof& p) { p.inputs_hash.pop_back(); }));
  EXPECT_FALSE(verify([](Proof& p) { p.engine_version = "0.2.0 "; }));

  Request missing(strategy_with(R"("symbol": "NOPE")"));
  auto v = verify_proof(*made, missing.spec(), missing.data());
  ASSERT_FALSE(v.ok());
  EXPECT_EQ(v.error().display(), "data: no candles for symbol NOPE");
}

}  // namespace
}  // namespace fendro
