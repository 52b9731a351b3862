// Reading and writing the records that enter and leave the proof engine.
#include "fendro/proof/canonical.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/proof/report_text.hpp"
#include "fendro/strategy/reading.hpp"
#include "fendro/util/paced_copy.hpp"
#include "fendro/util/run_scope.hpp"

namespace fendro {

namespace {

using reading::Field;
using reading::into;
using reading::read_any;
using reading::read_optional;
using reading::read_text;
using reading::read_string_in_tree;

// A spec as read from the tree: its dataset_ref still the tree's string,
// copied out afterwards. The texts a caller may make long are copied in
// stretches that ask the command's scope (read_text); a stop there ends the
// command as stopped, never as a failure of the request.
struct ProofSpecInTree {
  json::Value strategy;
  json::Value dataset_ref;
  std::optional<std::string> engine_version;
};

constexpr Field<ProofSpecInTree> kProofSpecFields[] = {
    {"strategy", true, &into<&ProofSpecInTree::strategy, read_any>},
    {"dataset_ref", true, &into<&ProofSpecInTree::dataset_ref, read_string_in_tree>},
    {"engine_version", false, &into<&ProofSpecInTree::engine_version, read_optional<read_text>>},
};

constexpr Field<Proof> kProofFields[] = {
    {"report", true, &into<&Proof::report, read_any>},
    {"inputs_hash", true, &into<&Proof::inputs_hash, read_text>},
    {"report_hash", true, &into<&Proof::report_hash, read_text>},
    {"engine_version", true, &into<&Proof::engine_version, read_text>},
};

}  // namespace

ProofError ProofError::engine_mismatch(std::string_view expected) {
  ProofError e{Kind::EngineMismatch, {}, std::string(ENGINE_VERSION)};
  append_paced(e.text, expected);
  return e;
}

std::string ProofError::display() const {
  std::string out;
  switch (kind) {
    case Kind::Parse:
      out = "parse: ";
      break;
    case Kind::BadSpec:
      out = "bad spec: ";
      break;
    case Kind::EngineMismatch:
      out = "engine mismatch: expected ";
      if (!append_paced(out, text)) return out;
      out += ", linked ";
      append_paced(out, linked);
      return out;
    case Kind::Backtest:
      out = "backtest: ";
      break;
    case Kind::Data:
      out = "data: ";
      break;
    case Kind::Stopped:
      return "stopped";
  }
  append_paced(out, text);
  return out;
}

Result<ProofSpec, std::string> read_proof_spec(const json::Value& v, const Interrupt& interrupt, bool& stopped) {
  auto read = reading::read_record<ProofSpecInTree>(v, "ProofSpec", kProofSpecFields);
  if (!read) return err(std::move(read).error());
  ProofSpec spec{read->strategy, {}, std::move(read->engine_version)};
  if (!copy_paced(read->dataset_ref.as_string(), spec.dataset_ref, interrupt)) {
    stopped = true;
    return err(std::string("stopped"));
  }
  return spec;
}

Result<ProofSpec, std::string> read_proof_spec(const json::Value& v) {
  bool stopped = false;
  return read_proof_spec(v, Interrupt{}, stopped);
}

Result<Proof, std::string> read_proof(const json::Value& v) {
  return reading::read_record<Proof>(v, "Proof", kProofFields);
}

// The text of proof_to_value for the proof of `run`.
void write_proof(ResponseWriter& out, const ProvenRun& run) {
  // Members in key order; the report's hash follows the report.
  std::string text = "{\"engine_version\":";
  write_canonical_string(text, ENGINE_VERSION);
  text.append(",\"inputs_hash\":");
  write_canonical_string(text, run.inputs_hash);
  text.append(",\"report\":");
  out.write(text);
  out.seal_begin();
  write_report(out, run.report);
  const std::string report_hash = out.seal_end();
  text = ",\"report_hash\":";
  write_canonical_string(text, report_hash);
  text.push_back('}');
  out.write(text);
}

}  // namespace fendro
