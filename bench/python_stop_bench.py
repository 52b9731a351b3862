"""How soon a running command stops at a signal, measured from Python.

For each row a command is built once, run unstopped (its time, and the
longest gap between the runs of a 1 ms counting SIGALRM handler: a handler
runs only when the command asks whether to stop, so that gap is the longest
stretch without an ask), then run again and again with one SIGALRM sent
(signal.setitimer) at several delays spread over its time without the
counting handler, the alarm's handler raising. "worst latency" is the most
any of those took from the signal to the exception reaching the caller (the
command's unwinding included); "stops" counts the alarms that came before
the command's end.

    python bench/python_stop_bench.py [--rows canonicalize-array,symbol] [--delays 8] [--scale 1.0] [--busy K]

--scale shrinks (or grows) the long texts and the object of many keys; 1.0
gives the sizes of the rows' names. --busy K keeps K other processes
spinning all along (half the cores makes a busy machine).
"""

from __future__ import annotations

import argparse
import gc
import multiprocessing
import json
import signal
import time
from typing import TYPE_CHECKING

import bench_args

if TYPE_CHECKING:
    from fendro_proof import Prover


class Deadline(Exception):
    pass


def candle_rows(n: int) -> str:
    rows = []
    for k in range(n):
        close = 1000 + (k * 7) % 97 - (k * 3) % 41
        rows.append(f"[{k * 60},{close},{close + 5},{close - 5},{close}.5,10]")
    return ",".join(rows)


def prove(indicators: dict, candles: int, symbol: str = "BTC", dataset_ref: str = "stop-bench") -> str:
    strategy = {
        "symbol": "SYMBOL",
        "timeframe": "1m",
        "indicators": indicators,
        "entry": {"gt": [{"price": "close"}, 1000]},
        "exit": {"lt": [{"price": "close"}, 990]},
        "sizing": {"type": "fixed_fraction", "fraction": 0.5},
    }
    spec = json.dumps({"strategy": strategy, "dataset_ref": "REF"}, separators=(",", ":"))
    # The long texts are put in place after json.dumps, which would copy them twice more.
    spec = spec.replace('"SYMBOL"', '"' + symbol + '"', 1).replace('"REF"', '"' + dataset_ref + '"', 1)
    return '{"cmd":"prove","spec":' + spec + ',"data":{"' + symbol + '":[' + candle_rows(candles) + "]}}"


SMA = {"a": {"type": "Sma", "params": [5]}}


def rows(scale: float) -> dict:
    mb = lambda n: int(n * scale * 1_000_000)  # noqa: E731
    item = "12345.678,"
    return {
        "canonicalize 200 MB array": lambda: '{"cmd":"canonicalize","value":['
        + item * (mb(200) // len(item))
        + "1]}",
        "canonicalize 200 MB of \\n escapes": lambda: '{"cmd":"canonicalize","value":"'
        + "\\n" * (mb(200) // 2)
        + '"}',
        "prove 200 MB dataset_ref": lambda: prove(SMA, 2_000, dataset_ref="r" * mb(200)),
        "prove 100 MB symbol": lambda: prove(SMA, 2_000, symbol="S" * mb(100)),
        "AutocorrelationPeriodogram (10, 5000) x 5,010": lambda: prove(
            {"p": {"type": "AutocorrelationPeriodogram", "params": [10, 5000]}}, 5_010
        ),
        "28 x AutocorrelationPeriodogram (10, 2050) x 2,100": lambda: prove(
            {f"p{k:02}": {"type": "AutocorrelationPeriodogram", "params": [10, 2050]} for k in range(28)}, 2_100
        ),
        "SampleEntropy (1000, 2, 0.2) x 20,000": lambda: prove(
            {"e": {"type": "SampleEntropy", "params": [1000, 2, 0.2]}}, 20_000
        ),
        "Rwi (100000) x 200,000": lambda: prove({"r": {"type": "Rwi", "params": [100_000]}}, 200_000),
        # A short command (about 14 KB) whose every entry sets up a window of
        # 16M bars, over bars too few to fill any.
        "300 x KRatio (16777216) x 10": lambda: prove(
            {f"k{k:03}": {"type": "KRatio", "params": [16_777_216]} for k in range(300)}, 10
        ),
        "HurstExponent (20000, 10000) x 20,010": lambda: prove(
            {"h": {"type": "HurstExponent", "params": [20_000, 10_000]}}, 20_010
        ),
        "canonicalize 5,000,000 keys in reverse order": lambda: reversed_keys(int(5_000_000 * scale)),
        **long_input_rows(scale),
        **teardown_rows(scale),
    }


def long_input_rows(scale: float) -> dict:
    """The commands of bench/long_inputs.hpp (stop_sweep --inputs): one long
    input each, where a caller might put it."""
    mb = lambda n: int(n * scale * 1_000_000)  # noqa: E731
    count = lambda n: int(n * scale)  # noqa: E731

    def strategy(symbol='"BTC"', indicators='{"sma":{"type":"Sma","params":[5]}}',
                 entry='{"gt":[{"price":"close"},"sma"]}', sizing='{"type":"fixed_fraction","fraction":0.5}'):
        return (f'{{"symbol":{symbol},"timeframe":"1m","indicators":{indicators},"entry":{entry},'
                f'"exit":{{"lt":[{{"price":"close"}},"sma"]}},"sizing":{sizing}}}')

    def spec(extra="", **parts):
        return f'{{"strategy":{strategy(**parts)},"dataset_ref":"long-inputs"{extra}}}'

    def btc(n):
        return '{"BTC":[' + candle_rows(n) + "]}"

    def prove_of(spec_text, data_text):
        return f'{{"cmd":"prove","spec":{spec_text},"data":{data_text}}}'

    def q(n, c="a"):
        return '"' + c * n + '"'

    def any_of(n):
        return '{"any":[' + ",".join(f'{{"gt":[{{"price":"close"}},{100000 + k % 1000}]}}' for k in range(n)) + "]}"

    def entries(n):
        return "{" + ",".join(f'"i{k}":{{"type":"Sma","params":[2]}}' for k in range(n)) + ',"sma":{"type":"Sma","params":[5]}}'

    def symbols(n):
        return "{" + "".join(f'"S{k}":[],' for k in range(n)) + '"BTC":[' + candle_rows(3) + "]}"

    def report_proof(n):
        report = "[" + "12345.678," * (n // 10) + "1]"
        h = "0" * 64
        return f'{{"engine_version":"0.2.0","inputs_hash":"{h}","report":{report},"report_hash":"{h}"}}'

    return {
        "error: sizing fraction a 200 MB string": lambda: prove_of(
            spec(sizing='{"type":"fixed_fraction","fraction":' + q(mb(200)) + "}"), btc(3)),
        "error: candle open a 100 MB string": lambda: prove_of(spec(), '{"BTC":[[0,' + q(mb(100)) + ",1,1,1,1]]}"),
        "error: indicator parameter a 100 MB string": lambda: prove_of(
            spec(indicators='{"sma":{"type":"Sma","params":[' + q(mb(100)) + "]}}"), btc(3)),
        "error: indicator type a 100 MB name": lambda: prove_of(
            spec(indicators='{"sma":{"type":' + q(mb(100)) + ',"params":[5]}}'), btc(3)),
        "error: rule reads an undeclared 100 MB name": lambda: prove_of(
            spec(entry='{"gt":[{"price":"close"},' + q(mb(100)) + "]}"), btc(3)),
        "error: cmd a 100 MB name": lambda: '{"cmd":' + q(mb(100)) + "}",
        "error: no candles for a 100 MB symbol": lambda: prove_of(spec(symbol=q(mb(100), "S")), btc(3)),
        "error: sizing type a 100 MB name": lambda: prove_of(
            spec(sizing='{"type":' + q(mb(100)) + ',"fraction":0.5}'), btc(3)),
        "error: rule operator a 100 MB name": lambda: prove_of(spec(entry="{" + q(mb(100)) + ":[1,2]}"), btc(3)),
        "error: engine_version a 100 MB string": lambda: prove_of(spec(',"engine_version":' + q(mb(100))), btc(3)),
        "verify: 4 M candles, then a proof of a 124 MB report": lambda: (
            '{"cmd":"verify","data":' + btc(count(4e6)) + ',"spec":' + spec() + ',"proof":'
            + report_proof(mb(124)) + "}"),
        "prove: 4 M candles, then a 100 MB member": lambda: (
            '{"cmd":"prove","data":' + btc(count(4e6)) + ',"spec":' + spec() + ',"zz":' + q(mb(100)) + "}"),
        "prove: a 100 MB member, then 4 M candles": lambda: (
            '{"cmd":"prove","aa":' + q(mb(100)) + ',"spec":' + spec() + ',"data":' + btc(count(4e6)) + "}"),
        "number: 1.000...0001 of 100 MB": lambda: canonicalize("1." + "0" * mb(100) + "1"),
        "number: an integer of 100 MB": lambda: canonicalize("1" + "0" * mb(100)),
        "number: 0.000...01e000...09 of 50 + 50 MB": lambda: canonicalize("0." + "0" * mb(50) + "1e" + "0" * mb(50) + "9"),
        "rule: any of 1,000,000 conditions, 2 candles": lambda: prove_of(spec(entry=any_of(count(1e6))), btc(2)),
        "rule: any of 1,000,000 conditions, 200 candles": lambda: prove_of(spec(entry=any_of(count(1e6))), btc(200)),
        "rule reads bb.<100 MB name>": lambda: prove_of(spec(
            indicators='{"sma":{"type":"Sma","params":[5]},"bb":{"type":"BollingerBands","params":[20,2]}}',
            entry='{"gt":[{"price":"close"},"bb.' + "u" * mb(100) + '"]}'), btc(3)),
        "data: 3,000,000 symbols": lambda: prove_of(spec(), symbols(count(3e6))),
        "strategy: 1,000,000 entries, 3 candles": lambda: prove_of(spec(indicators=entries(count(1e6))), btc(3)),
        "canonicalize: text ends inside a 100 M-element array": lambda: canonicalize("[" + "1," * (count(1e8) - 1) + "1"),
        "canonicalize: syntax error after a 100 M-element array": lambda: canonicalize(
            "[" + "1," * (count(1e8) - 1) + "1] x"),
    }


def canonicalize(value: str) -> str:
    return '{"cmd":"canonicalize","value":' + value + "}"


def teardown_rows(scale: float) -> dict:
    """Runs whose stop has gigabytes to give back: 32 million-long windows."""
    n = int(1_000_000 * scale)
    h = n // 2

    def many(kind: str, params: list) -> str:
        return prove({f"i{k:02}": {"type": kind, "params": params} for k in range(32)}, n)

    return {
        "teardown: 32 x Rwi (1e6), 1 M candles": lambda: many("Rwi", [n]),
        "teardown: 32 x NakedPoc (1e6, 1e6), 1 M candles": lambda: many("NakedPoc", [n, n]),
        "teardown: 32 x HighLowVolumeNodes (5e5, 5e5), 1 M candles": lambda: many("HighLowVolumeNodes", [h, h]),
        "teardown: 32 x Vwma (1e6), 1 M candles": lambda: many("Vwma", [n]),
    }


def reversed_keys(n: int) -> str:
    """An object of `n` keys given from the last in byte order to the first
    (about 21 bytes a member: 105 MB for 5,000,000), which canonical form
    must sort."""
    width = len(str(n))
    members = ",".join(f'"k{k:0{width}}":12345.678' for k in range(n - 1, -1, -1))
    return '{"cmd":"canonicalize","value":{' + members + "}}"


def run_with_alarm(prover: Prover, command: str, handler, first: float, interval: float = 0.0) -> bool:
    """Runs the command with SIGALRM sent after `first` seconds (then every
    `interval`) to `handler`, which raises Deadline to stop it; true when the
    command ended first. Once it has ended, a late alarm raises nothing."""
    ended = [False]

    def on_alarm(signum, frame):
        if not ended[0]:
            handler()

    old = signal.signal(signal.SIGALRM, on_alarm)
    try:
        try:
            signal.setitimer(signal.ITIMER_REAL, first, interval)
            prover.command(command)
            ended[0] = True
        finally:
            ended[0] = True
            signal.setitimer(signal.ITIMER_REAL, 0)
            signal.signal(signal.SIGALRM, old)
    except Deadline:
        return False
    return True


def unstopped(prover: Prover, command: str, budget: float) -> tuple[float, float, bool]:
    """The command's time and the longest gap between the runs of a 1 ms
    counting handler; at most `budget` seconds (the handler then raises)."""
    stamps: list[float] = []
    start = time.monotonic()

    def count():
        now = time.monotonic()
        stamps.append(now)
        if now > start + budget:
            raise Deadline()

    finished = run_with_alarm(prover, command, count, 0.001, 0.001)
    end = time.monotonic()
    points = [start, *stamps, end]
    gap = max(b - a for a, b in zip(points, points[1:]))
    return end - start, gap, finished


def latency(prover: Prover, command: str, delay: float) -> float | None:
    """From a SIGALRM sent `delay` seconds into the command to the exception
    its handler raised reaching here; None when the command ended first."""

    def stop():
        raise Deadline()

    start = time.monotonic()
    if run_with_alarm(prover, command, stop, delay):
        return None
    return time.monotonic() - (start + delay)


def spin() -> None:
    while True:
        pass


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("--rows", help="comma-separated parts of row names (default: all)")
    parser.add_argument("--delays", type=bench_args.count, default=8)
    parser.add_argument("--scale", type=bench_args.number, default=1.0)
    parser.add_argument("--budget", type=bench_args.number, default=20.0, help="seconds at most for the unstopped run")
    parser.add_argument("--busy", type=bench_args.count_or_zero, default=0, help="processes kept spinning meanwhile")
    args = parser.parse_args()
    # The largest text is 200 MB at scale 1.
    why = (bench_args.process_refusal("--busy", args.busy) or bench_args.alarm_refusal(args.delays, args.budget)
           or bench_args.scale_refusal("--scale", args.scale, 200e6))
    names = [name.lower() for name in rows(args.scale)] if not why else []
    wanted = [w.strip().lower() for w in (args.rows or "").split(",") if w.strip()]
    if not why and args.rows is not None and not wanted:
        why = f"--rows takes parts of row names, not {args.rows!r}"
    for w in wanted:
        if not why and not any(w in name for name in names):
            why = f"--rows: no row's name holds {w!r}"
    if why:
        parser.error(why)
    from fendro_proof import Prover  # after the options: a refusal needs no module
    spinners = [multiprocessing.Process(target=spin, daemon=True) for _ in range(args.busy)]
    for p in spinners:
        p.start()
    prover = Prover()
    print(f"{'row':52} {'unstopped s':>11} {'longest gap ms':>14} {'worst latency ms':>16} {'stops':>5}")
    for name, build in rows(args.scale).items():
        if wanted and not any(w in name.lower() for w in wanted):
            continue
        command = build()
        gc.collect()
        took, gap, finished = unstopped(prover, command, args.budget)
        if finished:  # the delays are spread over the plain run's time
            start = time.monotonic()
            prover.command(command)
            took = time.monotonic() - start
        worst = 0.0
        stops = 0
        for k in range(args.delays):
            delay = 0.005 + took * (k + 0.5) / args.delays
            late = latency(prover, command, delay)
            if late is not None:
                stops += 1
                worst = max(worst, late)
        flag = "" if finished else " (cut at budget)"
        print(f"{name:52} {took:11.2f} {gap * 1e3:14.1f} {worst * 1e3:16.1f} {stops:5}{flag}")
        del command
        gc.collect()
    for p in spinners:
        p.terminate()


if __name__ == "__main__":
    main()
