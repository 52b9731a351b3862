"""What a signal does to a command running on a thread other than the main one.

Python runs signal handlers on the main thread only, and a command holds the
interpreter lock while it runs. For each of a few "prove" commands of growing
length (two SMAs over more and more candles) this runs the command on
a second thread while the main thread waits for it, sends a signal at several
points of the command's time (SIGALRM from setitimer, or with --signal INT a
SIGINT, Ctrl-C's signal, from a helper process) and records:

- "handler late": from the signal to its handler running on the main thread
  (the handler raises there, as a stop would);
- "left": from the signal to the command's end on its thread;
  ("ended first" when the command, slower or faster on its thread than
  when it was timed, ended before the signal);
- whether that command still answered in full (a proof, not a stop).

For contrast, "main thread" is the same command on the main thread with the
same signal: from the signal to the exception reaching the caller. Times
count from when the signal was due; a SIGINT's helper takes a few
milliseconds of its own to send it, which count in its figures.

    python bench/python_thread_stop_bench.py [--candles 250000,500000,1000000,2000000,4000000]
        [--points 3] [--signal ALRM|INT]
"""

from __future__ import annotations

import argparse
import os
import signal
import subprocess
import threading
import time

from fendro_proof import Prover
import bench_args
from python_stop_bench import Deadline, prove


def command_text(count: int) -> str:
    return prove({"fast": {"type": "Sma", "params": [12]}, "slow": {"type": "Sma", "params": [48]}}, count)


def send_after(signum: int, delay: float):
    """Sends `signum` to this process `delay` seconds from now, from outside
    the interpreter (a thread of ours could not run while a command does);
    returns what cancels it."""
    if signum == signal.SIGALRM:
        signal.setitimer(signal.ITIMER_REAL, delay)
        return lambda: signal.setitimer(signal.ITIMER_REAL, 0)
    helper = subprocess.Popen(["sh", "-c", f"sleep {delay:.4f}; kill -INT {os.getpid()}"])

    def cancel():
        helper.kill()
        helper.wait()

    return cancel


def on_other_thread(text: str, delay: float, signum: int) -> tuple[float, float, float, bool]:
    """(signal at, handler late, command left, answered in full), the first
    from the command's start and the others from the signal."""
    marks: dict[str, float] = {}
    answer: list[str] = []

    def work():
        marks["start"] = time.perf_counter()
        answer.append(Prover().command(text))
        marks["end"] = time.perf_counter()

    def on_signal(signum, frame):
        marks["handler"] = time.perf_counter()
        raise Deadline()

    old = signal.signal(signum, on_signal)
    worker = threading.Thread(target=work)
    # The signal is arranged before the thread starts: once its command runs,
    # this thread cannot run a line until the command ends.
    sent = time.perf_counter() + delay
    cancel = lambda: None  # noqa: E731
    try:
        try:  # the handler may run as soon as the signal is arranged
            cancel = send_after(signum, delay)
            worker.start()
            worker.join()
            time.sleep(1.0)  # the command ended before the alarm: give the handler its chance
        except Deadline:
            # The signal came before the command started: it still runs, to
            # be joined (and its lateness shows as a signal before the start).
            if worker.ident is None:
                worker.start()
        worker.join()
    finally:
        cancel()
        signal.signal(signum, old)
    full = bool(answer) and answer[0].startswith('{"engine_version"')
    return sent - marks["start"], marks["handler"] - sent, marks["end"] - sent, full


def on_main_thread(prover: Prover, text: str, delay: float, signum: int) -> float | None:
    """From the signal to the exception reaching the caller; None when the
    command ended first."""

    def on_signal(signum, frame):
        raise Deadline()

    old = signal.signal(signum, on_signal)
    start = time.perf_counter()
    cancel = lambda: None  # noqa: E731
    try:
        try:
            cancel = send_after(signum, delay)
            prover.command(text)
            time.sleep(0.1)  # a late signal lands here, not in the next run
            return None
        except Deadline:
            return time.perf_counter() - (start + delay)
    finally:
        cancel()
        signal.signal(signum, old)


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--candles", type=bench_args.counts,
                        default=[250_000, 500_000, 1_000_000, 2_000_000, 4_000_000])
    parser.add_argument("--points", type=bench_args.repeats, default=3, help="signals spread over the command's time")
    parser.add_argument("--signal", default="ALRM", choices=["ALRM", "INT"])
    args = parser.parse_args()
    bench_args.need_room_each(parser, "--candles", args.candles, "candles", bench_args.LEAST_CANDLE_BYTES)
    signum = getattr(signal, "SIG" + args.signal)
    prover = Prover()
    print(f"{'candles':>9} {'command ms':>10} {'signal at ms':>12} {'handler late ms':>15} {'left ms':>11}"
          f" {'in full':>7} {'main thread ms':>14}", flush=True)
    for count in args.candles:
        text = command_text(count)
        started = time.perf_counter()
        prover.command(text)
        took = time.perf_counter() - started
        for k in range(args.points):
            delay = took * (k + 0.1) / args.points
            at, late, left, full = on_other_thread(text, delay, signum)
            main_late = on_main_thread(prover, text, delay, signum)
            main = "ended first" if main_late is None else f"{main_late * 1e3:.1f}"
            left_ms = "ended first" if left < 0 else f"{left * 1e3:.0f}"
            print(f"{count:>9} {took * 1e3:>10.0f} {at * 1e3:>12.0f} {late * 1e3:>15.0f} {left_ms:>11}"
                  f" {'yes' if full else 'NO':>7} {main:>14}", flush=True)


if __name__ == "__main__":
    main()
