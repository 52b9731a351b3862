#include <algorithm>
#include <charconv>
#include <cstring>
#include <span>
#include <variant>

#include "fendro/proof/canonical.hpp"
#include "fendro/proof/inputs.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/registry/registry.hpp"
#include "fendro/strategy/engine.hpp"
#include "fendro/strategy/report.hpp"
#include "fendro/strategy/spec.hpp"
#include "fendro/strategy/validate.hpp"
#include "fendro/util/number_format.hpp"

namespace fendro {
namespace {

// A command carries candles only: these cost models would silently do nothing.
// The runs of blanks are part of the texts: callers match them byte for byte.
constexpr std::string_view kSpreadRefused =
    "costs.slippage spread needs an order-book feed; without one every fill              would be priced at zero "
    "slippage";
constexpr std::string_view kFundingRefused =
    "costs.funding needs a derivatives feed; without one no funding would be              charged at all";

template <std::size_t N>
char* put(char* p, const char (&literal)[N]) {
  std::memcpy(p, literal, N - 1);
  return p + (N - 1);
}

// One candle object, members in key order; the room a candle may need.
constexpr std::size_t kCandleTextMax = 5 * kFloatTextMax + 24 + 64;

char* put_candle(char* p, const Candle& c) {
  p = put(p, "{\"close\":");
  p = put_canonical_float(p, c.close);
  p = put(p, ",\"high\":");
  p = put_canonical_float(p, c.high);
  p = put(p, ",\"low\":");
  p = put_canonical_float(p, c.low);
  p = put(p, ",\"open\":");
  p = put_canonical_float(p, c.open);
  p = put(p, ",\"time\":");
  p = std::to_chars(p, p + 24, c.time).ptr;
  p = put(p, ",\"volume\":");
  p = put_canonical_float(p, c.volume);
  *p++ = '}';
  return p;
}

// {"candles":{symbol:[candle,...],...},"dataset_ref":...,"engine_version":...,"strategy":...}
// written in canonical form (keys in byte order at every level).
template <class Out>
void write_inputs(Out& out, const ProofSpec& spec, const MarketData& data) {
  std::string text = "{\"candles\":{";
  bool first_symbol = true;
  for (const auto& [symbol, candles] : data) {  // symbols in byte order
    if (!first_symbol) text.push_back(',');
    first_symbol = false;
    write_canonical_string(text, symbol);
    text.append(":[");
    out.write(text);
    for (std::size_t k = 0; k < candles.size(); ++k) {
      char* p = out.room(kCandleTextMax);
      if (k != 0) *p++ = ',';
      out.advance_to(put_candle(p, candles[k]));
    }
    text.clear();
    text.push_back(']');
  }
  text.append("},\"dataset_ref\":");
  write_canonical_string(text, spec.dataset_ref);
  text.append(",\"engine_version\":");
  write_canonical_string(text, ENGINE_VERSION);
  text.append(",\"strategy\":");
  write_canonical_json(text, spec.strategy);
  text.push_back('}');
  out.write(text);
}

bool is_spread(const Slippage& s) { return std::holds_alternative<Slippage::Spread>(s.model); }

}  // namespace

std::string inputs_document_text(const ProofSpec& spec, const MarketData& data) {
  std::string text;
  {
    TextWriter out(text);
    write_inputs(out, spec, data);
  }
  return text;
}

std::string inputs_hash(const ProofSpec& spec, const MarketData& data) {
  HashSink sink;
  write_inputs(sink, spec, data);
  return sink.finish();
}

Result<Proof, ProofError> prove(const ProofSpec& spec, const MarketData& data) {
  if (spec.engine_version && *spec.engine_version != ENGINE_VERSION) {
    return err(ProofError::engine_mismatch(*spec.engine_version));
  }
  auto read = read_strategy_spec(spec.strategy);
  if (!read) return err(ProofError::bad_spec(std::move(read).error()));
  const StrategySpec strategy = std::move(read).value();

  const auto found = data.find(strategy.symbol);
  if (found == data.end()) return err(ProofError::data("no candles for symbol " + strategy.symbol));
  const std::vector<Candle>& candles = found->second;

  if (auto valid = validate_spec(strategy); !valid) return err(ProofError::backtest(valid.error()));
  if (is_spread(strategy.costs.slippage)) {
    return err(ProofError::backtest(StrategyError::invalid_spec(std::string(kSpreadRefused))));
  }
  if (strategy.costs.funding) {
    return err(ProofError::backtest(StrategyError::invalid_spec(std::string(kFundingRefused))));
  }
  if (candles.empty()) return err(ProofError::backtest(StrategyError::invalid_input("no candles")));

  std::vector<IndicatorSlot> slots;
  slots.reserve(strategy.indicators.size());
  std::uint64_t indicator_warmup = 0;
  for (const auto& [id, ind] : strategy.indicators) {  // ids in byte order
    auto built = build_indicator(ind.type, ind.params);
    if (!built) return err(ProofError::backtest(built.error()));
    indicator_warmup = std::max(indicator_warmup, (*built)->warmup_period());
    slots.emplace_back(id, std::move(built).value());
  }
  const std::uint64_t warmup = strategy.warmup ? *strategy.warmup : indicator_warmup;

  BacktestEngine engine(strategy, std::move(slots), warmup, window_capacity_for(strategy), candles.size(),
                        INITIAL_CAPITAL);
  if (auto ran = engine.run(candles); !ran) return err(ProofError::backtest(ran.error()));
  const Report report = finish_report(std::move(engine));

  Proof proof;
  proof.report = report_to_value(report, proof.arena);
  proof.report_hash = hash_value(proof.report);
  proof.inputs_hash = inputs_hash(spec, data);
  proof.engine_version = std::string(ENGINE_VERSION);
  return proof;
}

Result<bool, ProofError> verify_proof(const Proof& proof, const ProofSpec& spec, const MarketData& data) {
  auto fresh = prove(spec, data);
  if (!fresh) return err(std::move(fresh).error());
  return fresh->report_hash == proof.report_hash && fresh->inputs_hash == proof.inputs_hash &&
         fresh->engine_version == proof.engine_version;
}

}  // namespace fendro
