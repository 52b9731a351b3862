// The report and the proof as JSON value trees. The response is written by
// the streamed writers (report_text, write_proof), which never build a tree;
// these give the same values the plain way, member by member, for
// write_canonical_json: the reference the streamed bytes are checked against.
#pragma once

#include <cstdint>
#include <span>

#include "fendro/json/value.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/strategy/report.hpp"

namespace fendro {

// Every tree below lives in `arena`; strings are copied into it.

// The "trades" array: one object per trade, in order.
json::Value trades_to_value(std::span<const ClosedTrade> trades, json::Arena& arena);
// The "equity" array: one {"time", "equity"} object per point, in order.
json::Value equity_to_value(std::span<const EquityPoint> equity, json::Arena& arena);
// `metrics` (an object) with the member "num_trades" added.
json::Value insert_num_trades(const json::Value& metrics, std::uint64_t num_trades, json::Arena& arena);
// The whole report value, every member present; a non-finite number is null.
json::Value report_to_value(const Report& report, json::Arena& arena);
// {"report", "inputs_hash", "report_hash", "engine_version"}, the report a copy
// of the proof's: the response of "prove".
json::Value proof_to_value(const Proof& proof, json::Arena& arena);

}  // namespace fendro
