"""Times `Prover().command` for "prove" over 10,000, 100,000 and 1,000,000 candles.

The command text is built before the clock starts, so the figures cover the
whole command: parsing, reading the data, the backtest, hashing and writing the
response. Each size runs in its own process; "peak RSS" is that process's
maximum resident set size (command text and response included), "before" the
same figure once the interpreter and the module were loaded.

    python bench/python_prove_bench.py [--sizes 10000,100000] [--repeat 3]
"""

from __future__ import annotations

import argparse
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


def command_text(count: int) -> str:
    spec = json.dumps({"strategy": STRATEGY, "dataset_ref": f"bench-{count}"})
    data = '{"%s":%s}' % (STRATEGY["symbol"], candles_json(count))
    return '{"cmd":"prove","spec":%s,"data":%s}' % (spec, data)


def measure(count: int, repeat: int) -> None:
    """One size in this process: prints one row of the table."""
    baseline = peak_rss_mib()
    text = command_text(count)
    prover = Prover()
    best = float("inf")
    response = ""
    for _ in range(repeat):
        started = time.perf_counter()
        response = prover.command(text)
        best = min(best, time.perf_counter() - started)
    if not response.startswith('{"engine_version"'):
        sys.exit(f"prove failed: {response[:200]}")
    print(f"{count:>10} {len(text) / 1e6:>8.1f} {best:>8.3f} {count / best:>12,.0f}"
          f" {peak_rss_mib():>13.0f} {baseline:>13.0f}", flush=True)


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
          f" {'peak RSS MiB':>13} {'before MiB':>13}", flush=True)
    for count in (int(s) for s in args.sizes.split(",")):
        subprocess.run([sys.executable, __file__, "--one", str(count), "--repeat", str(args.repeat)],
                       check=True)


if __name__ == "__main__":
    main()
