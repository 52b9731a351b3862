"""Times `Prover().command` for "prove" over 10,000, 100,000 and 1,000,000 candles.

The command text is built before the clock starts, so the figures cover the
whole command: parsing, reading the data, the backtest, hashing and writing the
response. Each size runs in its own process. "peak RSS" is the process's
resident high-water mark while the commands run (the high-water mark is reset
before each command, so the Python objects used to build the text do not
count; the text and the response do), "x text" that peak over the text size,
"growth" the most a command's peak rose above the resident size just before
it, over the text size, and "before" the resident size once the interpreter
and the module were loaded. A 10-candle command runs before the clock and the
memory figures start, so that what a first command costs once is left out.

--extra adds entries to the demo strategy's two, which its rules never read
(every entry is stepped on every bar all the same), and prints, for each set,
what it added to the best time per candle and per entry: "obv50" is 50 `Obv`
(a running sum, about the cheapest bar there is), "sma50" 50 `Sma(14)`,
"common50" 50 common types (averages, RSI, MACD, Bollinger, ATR, ADX,
stochastics, money flow, SAR, channels, ...) with their usual parameters, and
"common1", "common5" and "common20" the first 1, 5 and 20 of them.

--halt gives every command candles that move for their first tenth and then
halt: every price at the last close, volume 0, an hour apart.

--clock cpu times each command in the CPU time of the process (all its
threads) instead of the wall clock, so that other work on a shared machine
does not count.

    python bench/python_prove_bench.py [--sizes 10000,100000] [--repeat 3] [--extra obv50,sma50,common50] [--clock cpu] [--halt]
"""

from __future__ import annotations

import argparse
import gc
import json
import pathlib
import resource
import subprocess
import sys
import time

from fendro_proof import Prover

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "examples"))
from sample_candles import HOUR_MS, candles_json  # noqa: E402

# Also when imported from elsewhere, as the tests of its candles do.
sys.path.insert(0, str(ROOT / "bench"))
import bench_args  # noqa: E402

STRATEGY = json.loads((ROOT / "examples" / "sma_crossover.json").read_text())

COMMON = [
    ("Sma", [14]), ("Ema", [14]), ("Wma", [14]), ("Dema", [14]), ("Tema", [14]), ("Hma", [20]),
    ("Kama", [10, 2, 30]), ("Trima", [14]), ("Smma", [14]), ("Vwma", [20]), ("T3", [5, 0.7]),
    ("Rsi", [14]), ("Macd", [12, 26, 9]), ("BollingerBands", [20, 2]), ("Atr", [14]), ("Adx", [14]),
    ("Stochastic", [14, 3]), ("StochRsi", [14, 14]), ("Mfi", [14]), ("Psar", [0.02, 0.02, 0.2]),
    ("Donchian", [20]), ("Keltner", [20, 10, 2]), ("Cci", [20]), ("Roc", [10]), ("Mom", [10]),
    ("WilliamsR", [14]), ("Obv", []), ("Adl", []), ("ChaikinMoneyFlow", [20]), ("ChaikinOscillator", [3, 10]),
    ("Aroon", [25]), ("AroonOscillator", [25]), ("Trix", [15]), ("UltimateOscillator", [7, 14, 28]),
    ("Natr", [14]), ("StdDev", [20]), ("PlusDi", [14]), ("MinusDi", [14]), ("Dx", [14]), ("Adxr", [14]),
    ("Ppo", [12, 26]), ("Apo", [12, 26]), ("Cmo", [9]), ("Tsi", [25, 13]), ("SuperTrend", [10, 3]),
    ("ForceIndex", [13]), ("EaseOfMovement", [14]), ("AwesomeOscillator", [5, 34]), ("RollingVwap", [20]),
    ("LinearRegression", [14]),
]
EXTRA = {
    "none": [],
    "obv50": [("Obv", [])] * 50,
    "sma50": [("Sma", [14])] * 50,
    "common50": COMMON,
    **{f"common{n}": COMMON[:n] for n in (1, 5, 20)},
}


def peak_rss_mib() -> float:
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024  # Linux reports KiB


def reset_peak_rss() -> None:
    """Starts a new high-water mark at the current resident size (Linux)."""
    with open("/proc/self/clear_refs", "w") as f:
        f.write("5")


def status_mib(field: str) -> float:
    with open("/proc/self/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1]) / 1024
    return float("nan")


def halting_candles_json(count: int) -> str:
    """`count` candles: the sample candles' first tenth, then a halt at the last close."""
    moving = json.loads(candles_json(max(count // 10, 1)))[:count]
    last = moving[-1]
    price = last["close"]
    halted = ['{"time":%d,"open":%r,"high":%r,"low":%r,"close":%r,"volume":0.0}'
              % (last["time"] + i * HOUR_MS, price, price, price, price) for i in range(1, count - len(moving) + 1)]
    return "[" + ",".join([json.dumps(c, separators=(",", ":")) for c in moving] + halted) + "]"


def command_text(count: int, extra: str = "none", halt: bool = False) -> str:
    strategy = json.loads(json.dumps(STRATEGY))
    for k, (kind, params) in enumerate(EXTRA[extra]):
        strategy["indicators"][f"x{k:02}"] = {"type": kind, "params": params}
    spec = json.dumps({"strategy": strategy, "dataset_ref": f"bench-{count}"})
    candles = halting_candles_json(count) if halt else candles_json(count)
    data = '{"%s":%s}' % (STRATEGY["symbol"], candles)
    return '{"cmd":"prove","spec":%s,"data":%s}' % (spec, data)


CLOCKS = {"wall": time.perf_counter, "cpu": time.process_time}


def measure(count: int, repeat: int, extra: str, clock=time.perf_counter, halt: bool = False) -> None:
    """One size in this process: prints one row of the table."""
    baseline = peak_rss_mib()
    text = command_text(count, extra, halt)
    prover = Prover()
    # A small command first, so that what any first command costs once (the
    # module's code paged in, the allocator's first arenas) is not counted.
    prover.command(command_text(10))
    gc.collect()
    best = float("inf")
    response = ""
    peak = growth = 0.0
    for _ in range(repeat):
        response = ""  # the previous response must not count towards this run's peak
        reset_peak_rss()
        start_rss = status_mib("VmRSS")
        started = clock()
        response = prover.command(text)
        best = min(best, clock() - started)
        peak = max(peak, status_mib("VmHWM"))
        growth = max(growth, status_mib("VmHWM") - start_rss)
    if not response.startswith('{"engine_version"'):
        sys.exit(f"prove failed: {response[:200]}")
    ratio = peak * 1024 * 1024 / len(text)
    growth = growth * 1024 * 1024 / len(text)
    print(f"{extra:>9} {count:>10} {len(text) / 1e6:>8.1f} {best:>8.3f} {count / best:>12,.0f}"
          f" {peak:>13.0f} {ratio:>7.2f} {growth:>7.2f} {baseline:>13.0f}", flush=True)


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sizes", type=bench_args.counts, default=[10_000, 100_000, 1_000_000])
    parser.add_argument("--repeat", type=bench_args.repeats, default=3)
    parser.add_argument("--extra", type=bench_args.names_of(list(EXTRA)[1:]), default=[], help="comma-separated: " + ", ".join(list(EXTRA)[1:]))
    parser.add_argument("--clock", choices=list(CLOCKS), default="wall",
                        help="what each command's time is: the wall clock, or the process's CPU time")
    parser.add_argument("--halt", action="store_true", help="candles that move for a tenth of the count, then halt")
    parser.add_argument("--one", type=bench_args.count, help=argparse.SUPPRESS)
    parser.add_argument("--one-extra", default="none", help=argparse.SUPPRESS)
    args = parser.parse_args()
    bench_args.need_room_each(parser, "--sizes", args.sizes, "candles", bench_args.LEAST_CANDLE_BYTES)
    if args.one:
        bench_args.need_room(parser, {"--one": args.one}, "candles", bench_args.LEAST_CANDLE_BYTES)
    if args.one:
        measure(args.one, args.repeat, args.one_extra, CLOCKS[args.clock], args.halt)
        return

    # Each size runs in a fresh process, so that its peak memory is its own.
    sets = ["none", *args.extra]
    print(f"{'entries':>9} {'candles':>10} {'text MB':>8} {'best s':>8} {'candles/s':>12}"
          f" {'peak RSS MiB':>13} {'x text':>7} {'growth':>7} {'before MiB':>13}", flush=True)
    for count in args.sizes:
        best = {}
        for extra in sets:
            row = subprocess.run([sys.executable, __file__, "--one", str(count), "--repeat", str(args.repeat),
                                  "--one-extra", extra, "--clock", args.clock] + ["--halt"] * args.halt, check=True, capture_output=True, text=True).stdout
            print(row, end="", flush=True)
            best[extra] = count / float(row.split()[4].replace(",", ""))  # more digits than "best s"
        for extra in sets[1:]:
            added = (best[extra] - best["none"]) / count * 1e9
            print(f"{extra:>9} {count:>10}: {added:.0f} ns a candle more, {added / len(EXTRA[extra]):.1f} ns an entry",
                  flush=True)


if __name__ == "__main__":
    main()
