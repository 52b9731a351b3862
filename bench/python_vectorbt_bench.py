"""`prove` against vectorbt's vectorized backtest of the same SMA crossover.

The strategy: SMA(10) crosses above SMA(30) to buy one unit, below to sell,
market orders filled at the next bar's open, 10 basis points a fill, 10,000
of cash. The candles: a random walk of one-minute bars, prices of six
decimals, opening gaps so that the next open differs from the close.
`prove` runs on the command text written by `json.dumps` from a list of
dicts (built before the clock starts; "json.dumps" is that call's time, the
dicts made beforehand);
vectorbt on a pandas frame, its numba kernels compiled beforehand.

Both run in this one process, one after the other within each round, so the
machine's load falls on both alike; each figure is the best of --runs, and a
line per round shows the spread. Both must find the same trades (up to the
size where the account is used up: from there they count differently).
Needs `pip install vectorbt` beside the module.

--clock cpu times in the CPU time of the process (all its threads: vectorbt's
and ours alike) instead of the wall clock, so that other work on a shared
machine does not count.

    python bench/python_vectorbt_bench.py [--sizes 10000,100000,1000000,4000000] [--runs 5] [--rounds 3] [--clock cpu]
"""

from __future__ import annotations

import argparse
import gc
import json
import time

from fendro_proof import Prover

import bench_args

FAST, SLOW, FEE, CASH = 10, 30, 0.001, 10_000.0
STRATEGY = {
    "symbol": "X", "timeframe": "1m",
    "indicators": {"fast": {"type": "Sma", "params": [FAST]}, "slow": {"type": "Sma", "params": [SLOW]}},
    "entry": {"cross_above": ["fast", "slow"]}, "exit": {"cross_below": ["fast", "slow"]},
    "sizing": {"type": "fixed_qty", "qty": 1}, "costs": {"taker_bps": FEE * 1e4},
}


def make_candles(n: int, seed: int = 42) -> dict[str, np.ndarray]:
    rng = np.random.default_rng(seed)
    close = 100.0 * np.exp(np.cumsum(rng.normal(0.0, 0.001, n)))
    prev = np.concatenate(([100.0], close[:-1]))
    open_ = prev * np.exp(rng.normal(0.0, 0.0002, n))
    high = np.maximum(open_, close) * (1 + np.abs(rng.normal(0.0, 0.0005, n)))
    low = np.minimum(open_, close) * (1 - np.abs(rng.normal(0.0, 0.0005, n)))
    return {
        "time": 1_600_000_000_000 + np.arange(n, dtype=np.int64) * 60_000,
        "open": np.round(open_, 6), "high": np.round(high, 6), "low": np.round(low, 6),
        "close": np.round(close, 6), "volume": np.round(1000 + rng.random(n) * 500, 3),
    }


def candle_dicts(c: dict) -> list[dict]:
    columns = [c[k].tolist() for k in ("time", "open", "high", "low", "close", "volume")]
    return [{"time": t, "open": o, "high": h, "low": lo, "close": cl, "volume": v}
            for t, o, h, lo, cl, v in zip(*columns)]


def command_text(rows: list[dict]) -> str:
    return json.dumps({"cmd": "prove", "spec": {"strategy": STRATEGY, "dataset_ref": "vectorbt"},
                       "data": {"X": rows}})


def vectorbt_run(vbt, df):
    fast = vbt.MA.run(df["Close"], FAST)
    slow = vbt.MA.run(df["Close"], SLOW)
    # A signal on a bar's close is filled at the next bar's open.
    entries = fast.ma_crossed_above(slow).shift(1, fill_value=False)
    exits = fast.ma_crossed_below(slow).shift(1, fill_value=False)
    pf = vbt.Portfolio.from_signals(df["Close"], entries, exits, price=df["Open"], size=1, size_type="amount",
                                    fees=FEE, init_cash=CASH, freq="1min")
    return int(pf.trades.count()), float(pf.total_return()) * 100


CLOCKS = {"wall": time.perf_counter, "cpu": time.process_time}
clock = time.perf_counter


def timed(run):
    gc.collect()
    started = clock()
    result = run()
    return clock() - started, result


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sizes", type=bench_args.counts, default=[10_000, 100_000, 1_000_000, 4_000_000])
    parser.add_argument("--runs", type=bench_args.repeats, default=5)
    parser.add_argument("--rounds", type=bench_args.repeats, default=3)
    parser.add_argument("--clock", choices=list(CLOCKS), default="wall",
                        help="what is timed: the wall clock, or the process's CPU time")
    args = parser.parse_args()
    bench_args.need_room_each(parser, "--sizes", args.sizes, "candles", bench_args.LEAST_CANDLE_BYTES)
    global clock, np
    clock = CLOCKS[args.clock]
    # The peers are imported once the options are read, so that --help and a
    # refused option need none of them.
    import numpy as np
    import pandas as pd
    import vectorbt as vbt

    print(f"seconds ({args.clock}), best of {args.runs}; vectorbt {vbt.__version__}")
    print(f"{'candles':>10} {'round':>5} {'prove':>8} {'vectorbt':>9} {'prove/vbt':>9} {'json.dumps':>10}"
          f" {'dumps/prove':>11} {'trades':>15} {'return %':>17}", flush=True)
    for n in args.sizes:
        c = make_candles(n)
        df = pd.DataFrame({k.capitalize(): c[k] for k in ("open", "high", "low", "close", "volume")},
                          index=pd.to_datetime(c["time"], unit="ms"))
        vectorbt_run(vbt, df.iloc[:2000])  # numba compiles here, not on the clock
        prover = Prover()
        rows = candle_dicts(c)
        for r in range(1, args.rounds + 1):
            dumps, text = min((timed(lambda: command_text(rows)) for _ in range(min(args.runs, 3))),
                              key=lambda t: t[0])
            ours = theirs = float("inf")
            for _ in range(args.runs):
                took, response = timed(lambda: prover.command(text))
                ours = min(ours, took)
                took, (their_trades, their_return) = timed(lambda: vectorbt_run(vbt, df))
                theirs = min(theirs, took)
            metrics = json.loads(response)["report"]["metrics"]
            print(f"{n:>10} {r:>5} {ours:>8.4f} {theirs:>9.4f} {ours / theirs:>8.2f}x {dumps:>10.3f}"
                  f" {dumps / ours:>10.1f}x {metrics['num_trades']:>7}/{their_trades:<7}"
                  f" {metrics['return_pct']:>8.3f}/{their_return:<8.3f}", flush=True)
            del text, response


if __name__ == "__main__":
    main()
