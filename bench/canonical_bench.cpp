// The canonical text of a proof's inputs over a generated 1,000,000-candle
// command: the text alone (into a string) and its hash, in ns per candle,
// and the float writer on its own over typical prices.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "benchmark_main.hpp"
#include "command_gen.hpp"
#include "fendro/json/cursor.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/proof/canonical.hpp"
#include "fendro/proof/inputs.hpp"
#include "fendro/proof/proof.hpp"

namespace {

constexpr std::size_t kCandles = 1'000'000;

struct Inputs {
  std::string text;
  fendro::json::Document doc;
  fendro::ProofSpec spec;
  fendro::MarketData data;
};

const Inputs& inputs() {
  static const Inputs in = [] {
    Inputs r;
    r.text = fendro::bench::make_prove_command(kCandles, R"({"symbol":"BTCUSDT"})");
    std::optional<fendro::Result<fendro::MarketData, std::string>> data;
    auto doc = fendro::json::parse_deferring(r.text, "data", [&](fendro::json::Cursor& cur) {
      data = fendro::read_market_data(cur);
    });
    r.doc = std::move(doc).value().document;
    r.spec = fendro::read_proof_spec(*r.doc.root.find("spec")).value();
    r.data = std::move(*data).value();
    return r;
  }();
  return in;
}

void per_candle(benchmark::State& state) {
  state.counters["ns_per_candle"] = benchmark::Counter(
      static_cast<double>(kCandles), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_InputsText(benchmark::State& state) {
  const Inputs& in = inputs();
  for (auto _ : state) benchmark::DoNotOptimize(fendro::inputs_document_text(in.spec, in.data));
  per_candle(state);
}
BENCHMARK(BM_InputsText)->Unit(benchmark::kMillisecond)->MinTime(fendro::bench::own_min_time(2.0));

void BM_InputsHash(benchmark::State& state) {
  const Inputs& in = inputs();
  for (auto _ : state) benchmark::DoNotOptimize(fendro::inputs_hash(in.spec, in.data));
  per_candle(state);
}
BENCHMARK(BM_InputsHash)->Unit(benchmark::kMillisecond)->MinTime(fendro::bench::own_min_time(2.0));

// The hash alone over the same text: what is left of BM_InputsHash is the
// cost of writing the text.
void BM_HashOfInputsText(benchmark::State& state) {
  const Inputs& in = inputs();
  const std::string text = fendro::inputs_document_text(in.spec, in.data);
  for (auto _ : state) benchmark::DoNotOptimize(fendro::hash_text(text));
  per_candle(state);
}
BENCHMARK(BM_HashOfInputsText)->Unit(benchmark::kMillisecond)->MinTime(fendro::bench::own_min_time(2.0));

// The candles' text alone, into a reused buffer: the writer in use, and the
// same text written with the general float writer and the standard library's
// integers (what the inputs text was written with before its fast path).
char* put_candle_general(char* p, const fendro::Candle& c) {
  auto put = [&p](std::string_view s) {
    std::memcpy(p, s.data(), s.size());
    p += s.size();
  };
  put("{\"close\":");
  p = fendro::put_canonical_float_general(p, c.close);
  put(",\"high\":");
  p = fendro::put_canonical_float_general(p, c.high);
  put(",\"low\":");
  p = fendro::put_canonical_float_general(p, c.low);
  put(",\"open\":");
  p = fendro::put_canonical_float_general(p, c.open);
  put(",\"time\":");
  p = std::to_chars(p, p + 24, c.time).ptr;
  put(",\"volume\":");
  p = fendro::put_canonical_float_general(p, c.volume);
  *p++ = '}';
  return p;
}

template <char* (*Put)(char*, const fendro::Candle&)>
void BM_CandleText(benchmark::State& state) {
  const std::vector<fendro::Candle>& candles = inputs().data.begin()->second;
  std::vector<char> buf(64 * 1024 + fendro::kCandleTextMax);
  std::size_t bytes = 0;
  for (auto _ : state) {
    char* p = buf.data();
    for (const fendro::Candle& c : candles) {
      if (p > buf.data() + 64 * 1024) {
        bytes += static_cast<std::size_t>(p - buf.data());
        p = buf.data();
      }
      p = Put(p, c);
    }
    benchmark::DoNotOptimize(p);
    bytes += static_cast<std::size_t>(p - buf.data());
  }
  benchmark::DoNotOptimize(bytes);
  per_candle(state);
}
BENCHMARK(BM_CandleText<fendro::put_candle>)->Unit(benchmark::kMillisecond)->MinTime(fendro::bench::own_min_time(1.0));
BENCHMARK(BM_CandleText<put_candle_general>)->Unit(benchmark::kMillisecond)->MinTime(fendro::bench::own_min_time(1.0));

// The candles read from the command text, without and with their canonical
// text hashed on the way and the inputs hash finished from it, as a prove
// does: the difference is what sealing costs in the parse, against
// BM_InputsHash from the decoded candles.
template <bool kSeal>
void BM_ReadCandles(benchmark::State& state) {
  const Inputs& in = inputs();
  for (auto _ : state) {
    fendro::CandleSeal seal;
    std::optional<fendro::Result<fendro::MarketData, std::string>> data;
    auto doc = fendro::json::parse_deferring(in.text, "data", [&](fendro::json::Cursor& cur) {
      data = fendro::read_market_data(cur, kSeal ? &seal : nullptr);
    });
    benchmark::DoNotOptimize(doc);
    if constexpr (kSeal) benchmark::DoNotOptimize(fendro::inputs_hash(in.spec, data->value(), {}, &seal));
  }
  per_candle(state);
}
BENCHMARK(BM_ReadCandles<false>)->Unit(benchmark::kMillisecond)->MinTime(fendro::bench::own_min_time(1.0));
BENCHMARK(BM_ReadCandles<true>)->Unit(benchmark::kMillisecond)->MinTime(fendro::bench::own_min_time(1.0));

// Prices with two decimals, as candles usually carry.
template <char* (*Put)(char*, double)>
void BM_CanonicalFloat(benchmark::State& state) {
  char buf[fendro::kFloatTextMax];
  double prices[1024];
  for (int k = 0; k < 1024; ++k) prices[k] = static_cast<double>(10000 + 37 * k) / 100.0;
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Put(buf, prices[k++ & 1023]));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CanonicalFloat<fendro::put_canonical_float>);
BENCHMARK(BM_CanonicalFloat<fendro::put_canonical_float_general>);

}  // namespace

int main(int argc, char** argv) { return fendro::bench::run_benchmarks(argc, argv); }
