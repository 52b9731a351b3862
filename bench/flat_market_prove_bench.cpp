// Cost of a flat stretch against a moving one, per candle-fed type key, as a
// command pays it: "prove" of the demo's SMA crossover with E more entries of
// the key at its customary parameters (which the rules never read, but every
// entry is stepped on every bar), over M moving candles and then K more,
// either moving or of a halted market (every price at the last close, volume
// 0). The candles are flat_market_bench's (the same random walk and seed), so
// the two measure the same halt, one through `update` and one as a command
// steps its entries. The same two commands without the E entries are timed
// beside them, in turn within each repeat, and taken off, so what is left is
// the entries'.
//
// Prints, as flat_market_bench does, one line per key: CPU ns a candle for an
// entry over the moving command (all M + K candles), the same plus what a
// halted candle costs it more, their ratio, that extra, and "*" over the
// mark (more than 1.5 times and more than 20 ns a candle more). Each command
// is timed in the thread's CPU time, best of the repeats. A key whose
// command is refused is left out, named on stderr.
//
// Usage: flat_market_prove_bench [--moving M] [--flat K] [--entries E] [--repeats R] [--seed S] [--key KEY]...
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "command_gen.hpp"
#include "market_bars.hpp"
#include "fendro/module/command.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "flat_market_rows.hpp"
#include "key_options.hpp"

namespace {

using namespace fendro;

constexpr const char* kUsage =
    "usage: flat_market_prove_bench [--moving M] [--flat K] [--entries E] [--repeats R] [--seed S] [--key KEY]...\n"
    "  --moving M   moving candles first (10000)\n"
    "  --flat K     candles after them, moving in one command and halted in the other (50000)\n"
    "  --entries E  entries of the key beside the demo's two (10)\n"
    "  --repeats R  times each command runs; the best counts (3; at most 1000)\n"
    "  --seed S     seed of the moving candles' random walk (42)\n"
    "  --key KEY    measure only this type key (repeatable; default: every candle-fed key)\n";

constexpr const char* kProgram = "flat_market_prove_bench";
// The fewest bytes a candle takes as text ("[t,o,h,l,c,v],") and an entry
// ("\"x0\":{\"type\":\"K\",\"params\":[]},").
constexpr double kLeastCandleText = 14;
constexpr double kLeastEntryText = 30;

void append_number(std::string& out, double v) {
  char buf[32];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// `params` as the inside of a JSON array, each number in its shortest form.
std::string params_json(std::span<const double> params) {
  std::string out;
  for (const double p : params) {
    if (!out.empty()) out += ',';
    append_number(out, p);
  }
  return out;
}

// The candles as the inside of a JSON array of [time, open, high, low, close, volume].
std::string candles_json(std::span<const Candle> candles) {
  std::string out;
  for (const Candle& c : candles) {
    out += out.empty() ? "[" : ",[";
    out += std::to_string(c.time);
    for (const double v : {c.open, c.high, c.low, c.close, c.volume}) {
      out += ',';
      append_number(out, v);
    }
    out += ']';
  }
  return out;
}

// The demo strategy with `count` entries "x0", "x1", ... of `key` added.
std::string strategy_with(std::string_view key, std::span<const double> params, std::size_t count) {
  std::string s = bench::kSmaCrossStrategy;
  constexpr std::string_view kAt = R"("indicators":{)";
  std::string added;
  for (std::size_t i = 0; i < count; ++i) {
    added += "\"x" + std::to_string(i) + R"(":{"type":")";
    added += key;
    added += R"(","params":[)" + params_json(params) + "]},";
  }
  s.insert(s.find(kAt) + kAt.size(), added);
  return s;
}

// The command's CPU time in ns, or a negative number when it is refused
// (then `response` holds the refusal).
double run_command(const std::string& text, std::string& response) {
  response.clear();
  StringSink sink(response);
  const double start = bench::thread_cpu_ns();
  apply_command(text, sink);
  const double took = bench::thread_cpu_ns() - start;
  return response.rfind("{\"error\"", 0) == 0 ? -1.0 : took;
}

// The command texts of `strategy` over the moving candles and over the
// halted ones.
struct Texts {
  std::string moving, halted;
};

Texts texts_of(const std::string& strategy, const std::string& moving_json, const std::string& halted_json) {
  const auto text = [&](const std::string& candles) {
    return R"({"cmd":"prove","spec":{"strategy":)" + strategy + R"(,"dataset_ref":"bench"},"data":{"BTCUSDT":[)" +
           candles + "]}}";
  };
  return {text(moving_json), text(halted_json)};
}

int run(int argc, char** argv) {
  std::size_t moving = 10'000, flat = 50'000, entries = 10, repeats = 3, seed = 42;
  std::vector<std::string> only;
  if (const auto exit = bench::options_and_keys_or_exit(
          kProgram, kUsage, argc, argv,
          {bench::count_option("--moving", &moving), bench::count_option("--flat", &flat),
           bench::count_option("--entries", &entries), bench::count_option("--repeats", &repeats, bench::kMostRepeats),
           bench::count_or_zero_option("--seed", &seed), bench::text_option("--key", &only)},
          only)) {
    return *exit;
  }
  // A candle is held once as a record and six times as text (two lists, four
  // commands); an entry four times as text, and once as state in the command.
  if (const auto exit = bench::room_or_exit(kProgram, {{"--moving", moving}, {"--flat", flat}}, "candles",
                                            sizeof(Candle) + 6 * kLeastCandleText)) {
    return *exit;
  }
  if (const auto exit = bench::room_or_exit(kProgram, {{"--entries", entries}}, "entries", 4 * kLeastEntryText)) {
    return *exit;
  }
  std::vector<Candle> candles = bench::make_candles(moving + flat, seed);
  const std::string moving_json = candles_json(candles);
  const Candle last = candles[moving - 1];
  for (std::size_t i = 0; i < flat; ++i) candles[moving + i] = bench::halted_candle(last, i);
  const std::string halted_json = candles_json(candles);
  const Texts base = texts_of(bench::kSmaCrossStrategy, moving_json, halted_json);
  const double all_candles = static_cast<double>(moving + flat);
  const double per_entry = static_cast<double>(entries);
  std::string response;
  std::vector<bench::FlatRow> rows;
  for (const registry::Entry& row : registry::key_rows()) {
    if (!only.empty() && std::find(only.begin(), only.end(), row.key) == only.end()) continue;
    if (row.feed != Feed::Kline || !build_indicator(row.key, row.params.values()).ok()) continue;
    const Texts with = texts_of(strategy_with(row.key, row.params.values(), entries), moving_json, halted_json);
    constexpr double kInf = std::numeric_limits<double>::infinity();
    double best[4] = {kInf, kInf, kInf, kInf};  // base moving, with moving, base halted, with halted
    const std::string* order[4] = {&base.moving, &with.moving, &base.halted, &with.halted};
    bool refused = false;
    for (std::size_t k = 0; k < repeats && !refused; ++k) {
      for (int c = 0; c < 4 && !refused; ++c) {
        const double took = run_command(*order[c], response);
        refused = took < 0.0;
        best[c] = std::min(best[c], took);
      }
    }
    if (refused) {
      std::fprintf(stderr, "%s left out: %.200s\n", std::string(row.key).c_str(), response.c_str());
      continue;
    }
    const double moving_ns = (best[1] - best[0]) / per_entry / all_candles;
    const double extra_ns = ((best[3] - best[2]) - (best[1] - best[0])) / per_entry / static_cast<double>(flat);
    rows.push_back({std::string(row.key), moving_ns, moving_ns + extra_ns});
  }
  std::string what = "a prove with " + std::to_string(entries) + " entries of the key, " + std::to_string(moving) +
                     " moving candles, then " + std::to_string(flat) + " moving or halted, best of " +
                     std::to_string(repeats);
  if (seed != 42) what += ", seed " + std::to_string(seed);
  bench::print_flat_rows(rows, what);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return fendro::bench::refusing_what_cannot_be_allocated(kProgram, [&] { return run(argc, argv); });
}
