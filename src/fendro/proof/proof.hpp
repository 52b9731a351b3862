// The records entering and leaving the proof engine, and prove / verify.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "fendro/json/value.hpp"
#include "fendro/market/records.hpp"
#include "fendro/proof/response_writer.hpp"
#include "fendro/registry/strategy_error.hpp"
#include "fendro/strategy/report.hpp"
#include "fendro/util/interrupt.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

inline constexpr std::string_view ENGINE_VERSION = "0.2.0";
inline constexpr double INITIAL_CAPITAL = 10000.0;

struct ProofError {
  // Stopped: the caller's interrupt ended the run; it has no response text.
  enum class Kind : std::uint8_t { Parse, BadSpec, EngineMismatch, Backtest, Data, Stopped };
  Kind kind;
  std::string text;    // detail; `expected` for EngineMismatch
  std::string linked;  // EngineMismatch only

  static ProofError parse(std::string t) { return {Kind::Parse, std::move(t), {}}; }
  static ProofError bad_spec(std::string t) { return {Kind::BadSpec, std::move(t), {}}; }
  // `expected` as given, which may be long: copied in stretches (see append_paced).
  static ProofError engine_mismatch(std::string_view expected);
  static ProofError backtest(const StrategyError& e) { return {Kind::Backtest, e.display(), {}}; }
  static ProofError data(std::string t) { return {Kind::Data, std::move(t), {}}; }
  static ProofError stopped() { return {Kind::Stopped, {}, {}}; }

  // The message, built in stretches with the thread's scope asked between
  // them; once told to stop, only a part of it.
  std::string display() const;
  bool operator==(const ProofError&) const = default;
};

// `strategy` refers into the tree it was read from, which must outlive it.
struct ProofSpec {
  json::Value strategy;
  std::string dataset_ref;
  std::optional<std::string> engine_version;
};

// A proof as a request carries it; `report` refers into the request's tree.
struct Proof {
  json::Value report;
  std::string inputs_hash;
  std::string report_hash;
  std::string engine_version;
};

// Reading failures are texts without line or column.
Result<ProofSpec, std::string> read_proof_spec(const json::Value& v);
// The same, a long dataset_ref (a caller's name, of any length) copied out of
// the tree in stretches with `interrupt` asked between them; when it asks to
// stop, `stopped` is set and the failure is no fault of the request.
Result<ProofSpec, std::string> read_proof_spec(const json::Value& v, const Interrupt& interrupt, bool& stopped);
Result<Proof, std::string> read_proof(const json::Value& v);

// A run proven but not yet written: its report and the seal of its inputs.
// The report's text, and report_hash with it, is written once, by write_proof.
struct ProvenRun {
  Report report;
  std::string inputs_hash;
};

class CandleSeal;

// `interrupt` is asked between stretches of bars and of hashed text, and
// from inside a bar whose own work is long; a stop is the error
// ProofError::stopped(). `seal`: the candles of `data` as they
// were hashed while read (see CandleSeal), or null.
Result<ProvenRun, ProofError> prove(const ProofSpec& spec, const MarketData& data,
                                    const Interrupt& interrupt = {}, CandleSeal* seal = nullptr);
Result<bool, ProofError> verify_proof(const Proof& proof, const ProofSpec& spec,
                                      const MarketData& data, const Interrupt& interrupt = {},
                                      CandleSeal* seal = nullptr);

// {"engine_version", "inputs_hash", "report", "report_hash"}, where
// report_hash is taken over the report's bytes as they are written.
void write_proof(ResponseWriter& out, const ProvenRun& run);

}  // namespace fendro
