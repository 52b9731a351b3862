"""Peak memory of one "prove" of many candles, each figure from fresh processes.

Two forms of the command text, over the same candles, each built in the
process from Python objects that are then dropped:

- arrays: candles as `[time, open, high, low, close, volume]`, written by
  `orjson.dumps` from six columns (as the `prove_command` of docs/performance.md does), compact;
- dicts: candles as objects, written by `json.dumps` (with its blanks).

Each run starts three processes per form:

- "prove" runs `Prover().command(text)` once;
- "baseline" imports the module, makes a `Prover` and a string as long as the
  response, and proves nothing;
- "command" proves as "prove" does, with its high-water mark reset just
  before the command (which spoils its own peak as seen from outside).

Columns: the peaks of "prove" and "baseline" (ru_maxrss, read by the parent
through wait4), "outside" the first minus the second (what proving adds to
the peak of such a process beyond the text and the response; the building
peaked first, and a proof partly reuses what it freed), "command" what the
command alone added to the resident size it started from, the response
included, and "beyond" that minus the response; ratios over the text's length.

    python bench/python_memory_bench.py [--candles 1000000] [--forms arrays,dicts] [--runs 3]
"""

from __future__ import annotations

import argparse
import gc
import json
import os
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "examples"))
from sample_candles import candles, columns  # noqa: E402

import bench_args  # noqa: E402

STRATEGY = json.loads((ROOT / "examples" / "sma_crossover.json").read_text())
MIB = 1024 * 1024


def command_text(form: str, count: int) -> str:
    spec = {"strategy": STRATEGY, "dataset_ref": f"memory-{count}"}
    if form == "dicts":
        return json.dumps({"cmd": "prove", "spec": spec, "data": {STRATEGY["symbol"]: candles(count)}})
    import orjson

    rows = list(zip(*columns(count)))
    return orjson.dumps({"cmd": "prove", "spec": spec, "data": {STRATEGY["symbol"]: rows}}).decode()


def orjson_version() -> str:
    try:
        import orjson
    except ImportError:
        return "not installed"
    return orjson.__version__


def status_bytes(field: str) -> int:
    with open("/proc/self/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1]) * 1024
    return -1


def child(role: str, form: str, count: int, response_length: int) -> None:
    """One process of one run; prints the lengths (and, for "command", the growth)."""
    text = command_text(form, count)
    gc.collect()
    from fendro_proof import Prover

    prover = Prover()
    figures = {"text": len(text)}
    if role == "baseline":
        response = "x" * response_length  # the size of the real one, ASCII like it
    else:
        before = status_bytes("VmRSS")
        if role == "command":
            with open("/proc/self/clear_refs", "w") as f:
                f.write("5")  # the high-water mark starts again from here
        response = prover.command(text)
        if not response.startswith('{"engine_version"'):
            sys.exit(f"prove failed: {response[:200]}")
        figures["command"] = status_bytes("VmHWM") - before
    figures["response"] = len(response)
    print(json.dumps(figures))


def run_child(role: str, form: str, count: int, response_length: int = 0) -> tuple[dict, int]:
    """The child's printed figures and its peak resident size in bytes. The
    parent stays small: a child's peak starts from the size of its parent."""
    proc = subprocess.Popen([sys.executable, __file__, "--child", role, form, str(count), str(response_length)],
                            stdout=subprocess.PIPE, text=True)
    out = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{role} {form} failed")
    return json.loads(out.strip().splitlines()[-1]), usage.ru_maxrss * 1024  # Linux reports KiB


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--candles", type=bench_args.count, default=1_000_000)
    parser.add_argument("--forms", type=bench_args.names_of(["arrays", "dicts"]), default="arrays,dicts")
    parser.add_argument("--runs", type=bench_args.repeats, default=3)
    parser.add_argument("--child", nargs=4, help=argparse.SUPPRESS)
    args = parser.parse_args()
    bench_args.need_room(parser, {"--candles": args.candles}, "candles", bench_args.LEAST_CANDLE_BYTES)
    if args.child:
        role, form, count, length = args.child
        child(role, form, int(count), int(length))
        return

    # The arrays' figures move with the orjson that writes their text (docs/performance.md#memory).
    print(f"{args.candles:,} candles; orjson {orjson_version()}; peaks of fresh processes in MiB;"
          " ratios over the text's length")
    print(f"{'form':>6} {'run':>4} {'text MB':>8} {'resp MB':>8} {'prove':>6} {'base':>6}"
          f" {'outside':>8} {'command':>8} {'beyond':>7} {'B/candle':>9}", flush=True)
    for run in range(1, args.runs + 1):
        for form in args.forms:
            proved, prove_peak = run_child("prove", form, args.candles)
            base, base_peak = run_child("baseline", form, args.candles, proved["response"])
            alone, _ = run_child("command", form, args.candles)
            if not base["text"] == proved["text"] == alone["text"]:
                sys.exit("the processes built different texts")
            text, response, grown = proved["text"], proved["response"], alone["command"]
            print(f"{form:>6} {run:>4} {text / 1e6:>8.1f} {response / 1e6:>8.1f}"
                  f" {prove_peak / MIB:>6.0f} {base_peak / MIB:>6.0f} {(prove_peak - base_peak) / text:>8.2f}"
                  f" {grown / MIB:>8.0f} {(grown - response) / text:>7.2f}"
                  f" {(grown - response) / args.candles:>9.0f}", flush=True)


if __name__ == "__main__":
    main()
