#include "fendro/module/command.hpp"

#include <functional>
#include <optional>
#include <span>
#include <utility>

#include "fendro/json/describe.hpp"
#include "fendro/json/parse.hpp"
#include "fendro/json/value.hpp"
#include "fendro/market/read_market_data.hpp"
#include "fendro/proof/canonical.hpp"
#include "fendro/proof/inputs.hpp"
#include "fendro/proof/proof.hpp"
#include "fendro/proof/response_writer.hpp"
#include "fendro/util/paced_copy.hpp"
#include "fendro/util/free_later.hpp"
#include "fendro/util/huge_pages.hpp"
#include "fendro/util/paced_grow.hpp"
#include "fendro/util/run_scope.hpp"

namespace fendro {
namespace {

using json::Member;
using json::Value;

// One member of a request record: its key, and how to decode its value.
struct Field {
  std::string_view name;
  std::function<Status<std::string>(const Value&)> decode;
  bool seen = false;
};

// Reads a request record from the command object. Members are decoded as they
// are met, in the key order the tree keeps; the first decoding failure wins and
// unknown keys ("cmd" included) are skipped. Only then are absent fields
// reported, in the order `fields` declares them.
Status<std::string> read_request(const Value& cmd, std::span<Field> fields, const Interrupt& interrupt,
                                 bool& stopped) {
  // A command may carry millions of members: the caller is asked now and then.
  constexpr std::size_t kMembersPerAsk = std::size_t{1} << 16;
  std::size_t unasked = 0;
  for (const Member& m : cmd.as_object()) {
    if (++unasked == kMembersPerAsk) {
      unasked = 0;
      if (interrupt.stop_requested()) {
        stopped = true;
        return err(std::string("stopped"));
      }
    }
    for (Field& f : fields) {
      if (m.key != f.name) continue;
      FENDRO_CHECK(f.decode(m.value));
      f.seen = true;
      break;
    }
  }
  for (const Field& f : fields) {
    if (!f.seen) return err(json::missing_field(f.name));
  }
  return Unit{};
}

template <class T>
Status<std::string> store(std::optional<T>& slot, Result<T, std::string>&& read) {
  if (!read) return err(std::move(read).error());
  slot.emplace(std::move(read).value());
  return Unit{};
}

std::string write_response(const Value& response) {
  std::string out;
  write_canonical_json(out, response);
  return out;
}

// {"error":message,"ok":false}, escaped as it is written and handed on in
// pieces: a message may quote a long input whole. A message the thread's
// scope cut short (told to stop while it was built) is never answered.
Status<Stopped> answer_error(ResponseSink& out, std::string_view message, const Interrupt& interrupt) {
  if (const RunScope* scope = RunScope::current(); scope != nullptr && scope->stopped()) return err(Stopped{});
  ResponseWriter writer(&out, interrupt);
  // The braces, the member names and a few escapes (a quoted input's quotes).
  writer.expect(message.size() + 64);
  writer.write("{\"error\":");
  write_canonical_string(writer, message);
  writer.write(",\"ok\":false}");
  writer.finish();
  if (writer.stopped()) return err(Stopped{});
  return Unit{};
}

Status<Stopped> answer(ResponseSink& out, std::string_view response) {
  out.take(response);
  return Unit{};
}

// A stop is no error of the command's: it has no response. The texts of
// an error, which may quote a long input, are let go of in stretches.
Status<Stopped> answer(ResponseSink& out, ProofError& e, const Interrupt& interrupt) {
  if (e.kind == ProofError::Kind::Stopped) return err(Stopped{});
  std::string message = e.display();
  const Status<Stopped> done = answer_error(out, message, interrupt);
  release_long_text(message);
  release_long_text(e.text);
  return done;
}

Status<Stopped> answer_parse_error(ResponseSink& out, std::string detail, const Interrupt& interrupt) {
  ProofError e = ProofError::parse(std::move(detail));
  return answer(out, e, interrupt);
}

// Once a request is read only the strategy is still needed from its tree,
// so that is copied out and the tree released before the run.
Status<Stopped> release_tree(json::Document& doc, ProofSpec& spec, json::Arena& keep, const Interrupt& interrupt) {
  CopyPacer pacer(interrupt);
  spec.strategy = keep.clone(spec.strategy, pacer);
  doc = json::Document{};
  if (pacer.stopped()) return err(Stopped{});
  return Unit{};
}

// The candles as the parse decoded them, straight from the text (the last
// member "data" counting): the member holds null in the tree, and its
// reading result is taken when the request meets it in the tree's key order
// like any other member.
using DataReading = std::optional<Result<MarketData, std::string>>;

Status<std::string> take_data(std::optional<MarketData>& slot, DataReading& reading) {
  return store(slot, std::move(*reading));
}

// Once the run is over the candles are done with: their memory goes before
// the answer is written. Freeing a long symbol takes a while (the run's
// copies of it have just gone, the candles' key goes here): the caller is
// asked after each.
Status<Stopped> release_data(std::optional<MarketData>& data, const Interrupt& interrupt) {
  // Hundreds of thousands of symbols go a stretch at a time.
  if (interrupt.stop_requested() || !shrink_paced(*data, interrupt)) return err(Stopped{});
  // Millions of candles: their pages first, in stretches.
  const auto go_on = [&] { return !interrupt.stop_requested(); };
  for (auto& [symbol, candles] : *data) {
    if (!give_back_pages(candles.data(), candles.capacity() * sizeof(Candle), go_on)) return err(Stopped{});
  }
  data.reset();
  if (interrupt.stop_requested()) return err(Stopped{});
  return Unit{};
}

// The texts of a request, which may be hundreds of megabytes long, let go
// of in stretches once the run is over.
void release_spec_texts(ProofSpec& spec) {
  release_long(spec.dataset_ref);
  if (spec.engine_version) release_long(*spec.engine_version);
}

Status<Stopped> run_prove(json::Document& doc, DataReading& data_read, CandleSeal& seal, ResponseSink& out,
                          RunScope& scope) {
  const Interrupt interrupt = scope.interrupt();
  std::optional<ProofSpec> spec;
  std::optional<MarketData> data;
  json::Arena strategy_arena;
  FreeIfStopped free_held(scope, spec, data, strategy_arena);
  bool stopped = false;
  Field fields[] = {
      {"spec", [&](const Value& v) { return store(spec, read_proof_spec(v, interrupt, stopped)); }},
      {"data", [&](const Value&) { return take_data(data, data_read); }},
  };
  if (auto read = read_request(doc.root, fields, interrupt, stopped); !read) {
    if (stopped) return err(Stopped{});
    return answer_parse_error(out, std::move(read).error(), interrupt);
  }
  FENDRO_CHECK(release_tree(doc, *spec, strategy_arena, interrupt));

  auto run = prove(*spec, *data, interrupt, &seal);
  FENDRO_CHECK(release_data(data, interrupt));
  release_spec_texts(*spec);
  if (!run) return answer(out, run.error(), interrupt);
  ResponseWriter writer(&out, interrupt);
  write_proof(writer, *run);
  writer.finish();
  if (writer.stopped()) return err(Stopped{});
  return Unit{};
}

Status<Stopped> run_verify(json::Document& doc, DataReading& data_read, CandleSeal& seal, ResponseSink& out,
                           RunScope& scope) {
  const Interrupt interrupt = scope.interrupt();
  std::optional<Proof> proof;
  std::optional<ProofSpec> spec;
  std::optional<MarketData> data;
  json::Arena strategy_arena;
  FreeIfStopped free_held(scope, proof, spec, data, strategy_arena);
  bool stopped = false;
  Field fields[] = {
      {"proof", [&](const Value& v) { return store(proof, read_proof(v)); }},
      {"spec", [&](const Value& v) { return store(spec, read_proof_spec(v, interrupt, stopped)); }},
      {"data", [&](const Value&) { return take_data(data, data_read); }},
  };
  if (auto read = read_request(doc.root, fields, interrupt, stopped); !read) {
    if (stopped) return err(Stopped{});
    return answer_parse_error(out, std::move(read).error(), interrupt);
  }
  // Verification compares the hashes and the version only, never the given
  // report, so the report goes with the tree instead of being copied.
  proof->report = Value::null();
  FENDRO_CHECK(release_tree(doc, *spec, strategy_arena, interrupt));

  auto valid = verify_proof(*proof, *spec, *data, interrupt, &seal);
  FENDRO_CHECK(release_data(data, interrupt));
  release_spec_texts(*spec);
  release_long(proof->inputs_hash);
  release_long(proof->report_hash);
  release_long(proof->engine_version);
  if (!valid) return answer(out, valid.error(), interrupt);
  const Member members[] = {{"ok", Value::boolean(true)}, {"valid", Value::boolean(*valid)}};
  return answer(out, write_response(Value::object_ref(members)));
}

std::string run_version() {
  const Member members[] = {{"engine_version", Value::string_ref(ENGINE_VERSION)},
                            {"version", Value::string_ref(ENGINE_VERSION)}};
  return write_response(Value::object_ref(members));
}

// {"canonical": the value's canonical text, "ok": true}, that text escaped
// as it is written and handed on in pieces: a long value is never held as
// text. `size_hint` sizes the sink's room (the command's own length).
Status<Stopped> run_canonicalize(const Value& cmd, std::size_t size_hint, ResponseSink& out,
                                 const Interrupt& interrupt) {
  const Value* value = cmd.find("value");
  ResponseWriter writer(&out, interrupt);
  writer.expect(size_hint);
  writer.write("{\"canonical\":");
  write_canonical_json_as_string(writer, value ? *value : Value::null());
  writer.write(",\"ok\":true}");
  writer.finish();
  if (writer.stopped()) return err(Stopped{});
  return Unit{};
}

// The string member "cmd" of an object; anything else names no command.
std::string_view command_name(const Value& cmd) {
  const Value* name = cmd.find("cmd");
  return name && name->is_string() ? name->as_string() : std::string_view();
}

Status<Stopped> run_command(std::string_view cmd_json, ResponseSink& out, RunScope& scope) {
  const Interrupt interrupt = scope.interrupt();
  if (!wait_until_freed(interrupt)) return err(Stopped{});
  // The data is decoded as it is parsed, never built as a tree ("prove"
  // and "verify" read it; the other commands ignore it).
  DataReading data_read;
  CandleSeal seal(interrupt);
  auto parsed = json::parse_deferring(
      cmd_json, "data", [&](json::Cursor& cur) { data_read = read_market_data(cur, &seal); }, interrupt);
  FreeIfStopped free_data(scope, data_read);
  if ((!parsed && parsed.error().stopped) || seal.stopped()) return err(Stopped{});
  if (!parsed) return answer_parse_error(out, parsed.error().display(), interrupt);
  json::Document doc = std::move(parsed->document);
  FreeIfStopped free_doc(scope, doc);

  const std::string_view name = command_name(doc.root);
  if (name == "prove") return run_prove(doc, data_read, seal, out, scope);
  if (name == "verify") return run_verify(doc, data_read, seal, out, scope);
  if (name == "version") return answer(out, run_version());
  if (name == "canonicalize") return run_canonicalize(doc.root, cmd_json.size(), out, interrupt);
  std::string detail = "unknown cmd: ";
  append_paced(detail, name);
  return answer_parse_error(out, std::move(detail), interrupt);
}

}  // namespace

Status<Stopped> apply_command(std::string_view cmd_json, ResponseSink& out, const Interrupt& caller_interrupt) {
  // Every stage asks through the command's scope: once it has said stop it
  // goes on saying so, and every stage that looks later (the parse after the
  // candles' hash, say) ends as well. Work that cannot be handed the
  // interrupt (an error text that quotes a long input, built where it is
  // found) asks through the thread's scope.
  RunScope scope(caller_interrupt);
  const Status<Stopped> done = run_command(cmd_json, out, scope);
  // Told to stop once the answer was whole (while what the command held was
  // let go of), it still ends as stopped: the caller's check has spoken, and
  // may have left its own state (a signal handler's exception) to match.
  if (done && scope.stopped()) return err(Stopped{});
  return done;
}

void apply_command(std::string_view cmd_json, ResponseSink& out) {
  // Nothing asks to stop: the response is always whole.
  (void)apply_command(cmd_json, out, Interrupt{});
}

std::string apply_command(std::string_view cmd_json) {
  std::string response;
  StringSink sink(response);
  apply_command(cmd_json, sink);
  return response;
}

}  // namespace fendro
