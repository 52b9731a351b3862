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

    python bench/python_prove_bench.py [--sizes 10000,100000] [--repeat 3]
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
from sample_candles import candles_json  # noqa: E402

STRATEGY = json.loads((ROOT / "examples" / "sma_crossover.json").read_text())


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


def command_text(count: int) -> str:
    spec = json.dumps({"strategy": STRATEGY, "dataset_ref": f"bench-{count}"})
    data = '{"%s":%s}' % (STRATEGY["symbol"], candles_json(count))
    return '{"cmd":"prove","spec":%s,"data":%s}' % (spec, data)


def measure(count: int, repeat: int) -> None:
    """One size in this process: prints one row of the table."""
    baseline = peak_rss_mib()
    text = command_text(count)
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
        started = time.perf_counter()
        response = prover.command(text)
        best = min(best, time.perf_counter() - started)
        peak = max(peak, status_mib("VmHWM"))
        growth = max(growth, status_mib("VmHWM") - start_rss)
    if not response.startswith('{"engine_version"'):
        sys.exit(f"prove failed: {response[:200]}")
    ratio = peak * 1024 * 1024 / len(text)
    growth = growth * 1024 * 1024 / len(text)
    print(f"{count:>10} {len(text) / 1e6:>8.1f} {best:>8.3f} {count / best:>12,.0f}"
          f" {peak:>13.0f} {ratio:>7.2f} {growth:>7.2f} {baseline:>13.0f}", flush=True)


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sizes", default="10000,100000,1000000")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--one", type=int, help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.one:
        measure(args.one, args.repeat)
        return

    # Each size runs in a fresh process, so that its peak memory is its own.
    print(f"{'candles':>10} {'text MB':>8} {'best s':>8} {'candles/s':>12}"
          f" {'peak RSS MiB':>13} {'x text':>7} {'growth':>7} {'before MiB':>13}", flush=True)
    for count in (int(s) for s in args.sizes.split(",")):
        subprocess.run([sys.executable, __file__, "--one", str(count), "--repeat", str(args.repeat)],
                       check=True)


if __name__ == "__main__":
    main()
