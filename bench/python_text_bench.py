"""What the command text and the response cost around a "prove", in seconds.

For each size, over the same candles (examples/sample_candles.py) and the
demo's strategy:

- building the text: `json.dumps` of the command with the candles as a list of
  dicts, and the `prove_command` of docs/performance.md (orjson, arrays, from six columns);
- `Prover().command` on the text in six forms: dicts or arrays, each compact
  (orjson), with the blanks `json.dumps` puts, and indented (`indent=2`);
  every form must give the same proof;
- reading the response: `json.loads` and `orjson.loads`.

Each figure is the best of --repeat runs. Rounds run one after another and
print a line each, so that their spread shows how much the machine's load
moved the figures; the ratios are taken within each round.

    python bench/python_text_bench.py [--sizes 10000,1000000] [--repeat 5] [--rounds 3]
"""

from __future__ import annotations

import argparse
import gc
import json
import pathlib
import re
import sys
import time

import orjson

from fendro_proof import Prover

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "examples"))
from sample_candles import candles, columns  # noqa: E402

import bench_args  # noqa: E402

STRATEGY = json.loads((ROOT / "examples" / "sma_crossover.json").read_text())
DATASET = "text-bench"


def documented_prove_command():
    """The `prove_command` of docs/performance.md, run as it is written there."""
    section = (ROOT / "docs" / "performance.md").read_text().split("\n## At scale\n", 1)[1]
    code = re.search(r"```python\n(import orjson\n.*?)```", section, re.S).group(1)
    scope: dict = {}
    exec(code, scope)
    return scope["prove_command"]


def best(repeat: int, run):
    """The shortest of `repeat` runs, in seconds, and the last result."""
    shortest, result = float("inf"), None
    for _ in range(repeat):
        gc.collect()
        started = time.perf_counter()
        result = run()
        shortest = min(shortest, time.perf_counter() - started)
    return shortest, result


def forms(bars: list[dict], cols: list[list]) -> dict:
    """Functions that write the command text in each form."""
    rows = [list(r) for r in zip(*cols)]
    spec = {"strategy": STRATEGY, "dataset_ref": DATASET}
    symbol = STRATEGY["symbol"]

    def command(candle_list):
        return {"cmd": "prove", "spec": spec, "data": {symbol: candle_list}}

    return {
        "dicts compact": lambda: orjson.dumps(command(bars)).decode(),
        "dicts json.dumps": lambda: json.dumps(command(bars)),
        "dicts indent=2": lambda: json.dumps(command(bars), indent=2),
        "arrays compact": lambda: orjson.dumps(command(rows)).decode(),
        "arrays json.dumps": lambda: json.dumps(command(rows)),
        "arrays indent=2": lambda: json.dumps(command(rows), indent=2),
    }


def one_round(count: int, repeat: int, bars, cols, prove_command) -> dict:
    prover = Prover()
    prover.command(forms(bars[:10], [c[:10] for c in cols])["arrays compact"]())  # first-command costs
    got = {}
    got["build json.dumps dicts"], _ = best(repeat, lambda: json.dumps(
        {"cmd": "prove", "spec": {"strategy": STRATEGY, "dataset_ref": DATASET}, "data": {STRATEGY["symbol"]: bars}}))
    got["build orjson columns"], _ = best(repeat, lambda: prove_command(STRATEGY, DATASET, *cols))
    response = None
    for name, write in forms(bars, cols).items():
        text = write()
        got["prove " + name], answer = best(repeat, lambda: prover.command(text))
        if not answer.startswith('{"engine_version"'):
            sys.exit(f"{name}: {answer[:200]}")
        if response is not None and answer != response:
            sys.exit(f"{name} gave another proof")
        response = answer
        del text
    got["json.loads response"], _ = best(repeat, lambda: json.loads(response))
    got["orjson.loads response"], _ = best(repeat, lambda: orjson.loads(response))
    got["response MB"] = len(response) / 1e6
    return got


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sizes", type=bench_args.counts, default=[10_000, 1_000_000])
    parser.add_argument("--repeat", type=bench_args.repeats, default=5)
    parser.add_argument("--rounds", type=bench_args.repeats, default=3)
    args = parser.parse_args()
    bench_args.need_room_each(parser, "--sizes", args.sizes, "candles", bench_args.LEAST_CANDLE_BYTES)
    prove_command = documented_prove_command()
    for count in args.sizes:
        bars, cols = candles(count), columns(count)
        print(f"{count:,} candles; seconds, best of {args.repeat}; one column per round", flush=True)
        rounds = [one_round(count, args.repeat, bars, cols, prove_command) for _ in range(args.rounds)]
        for name in rounds[0]:
            print(f"  {name:<32}" + "".join(f" {r[name]:>9.4f}" for r in rounds))
        ratios = {
            "json.dumps dicts / its prove": ("build json.dumps dicts", "prove dicts json.dumps"),
            "json.loads / prove compact": ("json.loads response", "prove arrays compact"),
            "arrays indent=2 / compact": ("prove arrays indent=2", "prove arrays compact"),
            "dicts indent=2 / arrays compact": ("prove dicts indent=2", "prove arrays compact"),
        }
        for label, (top, bottom) in ratios.items():
            print(f"  {label:<32}" + "".join(f" {r[top] / r[bottom]:>8.2f}x" for r in rounds))
        print(flush=True)


if __name__ == "__main__":
    main()
