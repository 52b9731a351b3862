"""Times a parameter sweep over a process pool: 64 strategies (fast SMA period
5 to 68) over one set of candles, at 1, 2 and 4 workers, two ways:

- "texts in parent": the parent builds every command text, the pool proves
  them and sends every whole response back, parsed (the pattern the
  documentation showed before);
- "sweep()": the `sweep` of docs/performance.md, whose workers get the columns
  once, build their own texts and return the metrics and hashes only.

Each figure is the best of --repeat runs, pool start included; both ways must
give the same hashes.

    python bench/python_sweep_bench.py [--candles 100000] [--workers 1,2,4] [--repeat 2]
"""

from __future__ import annotations

import argparse
import copy
import importlib.util
import json
import pathlib
import re
import sys
import tempfile
import time
from concurrent.futures import ProcessPoolExecutor

from fendro_proof import Prover

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "examples"))
from sample_candles import candles  # noqa: E402

import bench_args  # noqa: E402

STRATEGY = json.loads((ROOT / "examples" / "sma_crossover.json").read_text())
PERIODS = list(range(5, 69))


def snippets_module():
    """The "At scale" snippets of docs/performance.md, as an importable module."""
    section = (ROOT / "docs" / "performance.md").read_text().split("\n## At scale\n", 1)[1].split("\n## ", 1)[0]
    path = pathlib.Path(tempfile.mkdtemp()) / "_scale_snippets.py"
    path.write_text("\n\n".join(re.findall(r"```python\n(.*?)```", section, re.S)))
    spec = importlib.util.spec_from_file_location("_scale_snippets", path)
    module = importlib.util.module_from_spec(spec)
    sys.modules[spec.name] = module
    spec.loader.exec_module(module)
    path.unlink()
    path.parent.rmdir()
    return module


def prove_whole(command_text):
    return json.loads(Prover().command(command_text))


def texts_in_parent(m, columns, workers):
    commands = []
    for period in PERIODS:
        variant = copy.deepcopy(STRATEGY)
        variant["indicators"]["fast"]["params"] = [period]
        commands.append(m.prove_command(variant, "sweep", *columns))
    with ProcessPoolExecutor(max_workers=workers) as pool:
        proofs = dict(zip(PERIODS, pool.map(prove_whole, commands)))
    return {p: proof["report_hash"] for p, proof in proofs.items()}


def documented_sweep(m, columns, workers):
    return {p: r["report_hash"] for p, r in m.sweep(STRATEGY, "sweep", columns, PERIODS, workers).items()}


def best_of(repeat, run):
    best, result = float("inf"), None
    for _ in range(repeat):
        started = time.perf_counter()
        result = run()
        best = min(best, time.perf_counter() - started)
    return best, result


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--candles", type=bench_args.count, default=100_000)
    parser.add_argument("--workers", type=bench_args.processes, default=[1, 2, 4])
    parser.add_argument("--repeat", type=bench_args.repeats, default=2)
    args = parser.parse_args()
    bench_args.need_room(parser, {"--candles": args.candles}, "candles", bench_args.LEAST_CANDLE_BYTES)
    m = snippets_module()
    bars = candles(args.candles)
    columns = [[b[k] for b in bars] for k in ("time", "open", "high", "low", "close", "volume")]
    print(f"{len(PERIODS)} proofs of {args.candles:,} candles; seconds, best of {args.repeat}")
    print(f"{'workers':>8} {'texts in parent':>16} {'sweep()':>8} {'faster':>7}")
    for workers in args.workers:
        old, old_hashes = best_of(args.repeat, lambda: texts_in_parent(m, columns, workers))
        new, new_hashes = best_of(args.repeat, lambda: documented_sweep(m, columns, workers))
        if old_hashes != new_hashes:
            sys.exit("the two ways gave different proofs")
        print(f"{workers:>8} {old:>16.2f} {new:>8.2f} {old / new:>6.2f}x", flush=True)


if __name__ == "__main__":
    main()
