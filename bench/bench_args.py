"""The options of the Python benchmark scripts, checked before anything is
measured: counts are whole numbers written in digits (at least 1, or at least
0 where 0 means none), lists of them are comma-separated, and counts whose
memory the machine cannot hold are refused by name (exit 2, as argparse
refuses), so that no run dies half way of a MemoryError or is killed for
its memory."""

from __future__ import annotations

import argparse
import os
from typing import Callable


def _whole(text: str, least: int) -> int:
    if not text.isascii() or not text.isdigit() or int(text) < least:
        what = "a count of at least 1" if least else "a whole number"
        raise argparse.ArgumentTypeError(f"takes {what}, not {text!r}")
    return int(text)


def count(text: str) -> int:
    """A whole number of at least 1."""
    return _whole(text, 1)


def count_or_zero(text: str) -> int:
    """A whole number, 0 allowed."""
    return _whole(text, 0)


# The most times a measure is repeated for its best (or a signal sent, a
# round run): past it, more repeats measure nothing new, and the runs would
# outlast any use.
MOST_REPEATS = 1000


def repeats(text: str) -> int:
    """A count of at least 1 and at most MOST_REPEATS."""
    value = count(text)
    if value > MOST_REPEATS:
        raise argparse.ArgumentTypeError(f"takes at most {MOST_REPEATS}, not {text!r}")
    return value


def names_of(allowed) -> Callable[[str], list[str]]:
    """A parser of a comma-separated list of at least one of `allowed`."""
    allowed = list(allowed)

    def names(text: str) -> list[str]:
        parts = text.split(",")
        wrong = [part for part in parts if part not in allowed]
        if wrong:
            raise argparse.ArgumentTypeError(f"takes names among {', '.join(allowed)}, not {text!r}")
        return parts

    names.__name__ = "list of " + ", ".join(allowed)
    return names


def processes(text: str) -> list[int]:
    """A comma-separated list of counts of processes, each at most what the
    machine runs at once."""
    values = counts(text)
    most = most_processes()
    if max(values) > most:
        raise argparse.ArgumentTypeError(f"takes at most {most} processes (the machine's CPUs), not {text!r}")
    return values


def counts(text: str) -> list[int]:
    """A comma-separated list of whole numbers of at least 1."""
    return [count(part) for part in text.split(",")]


def number(text: str) -> float:
    """A finite number above 0."""
    try:
        value = float(text)
    except ValueError:
        value = float("nan")
    if not text[:1].isdigit() or not 0.0 < value < float("inf"):
        raise argparse.ArgumentTypeError(f"takes a number above 0, not {text!r}")
    return value


def machine_bytes() -> float:
    """The memory of the machine in bytes (its physical pages)."""
    try:
        return float(os.sysconf("SC_PHYS_PAGES") * os.sysconf("SC_PAGE_SIZE"))
    except (ValueError, OSError):
        return float("inf")


def most_processes() -> int:
    """The processes the machine runs at once: the CPUs this process may run
    on. More measure the scheduler, not the work."""
    try:
        return len(os.sched_getaffinity(0))
    except (AttributeError, OSError):
        return os.cpu_count() or 1


def process_refusal(option: str, value: int, most: int | None = None) -> str | None:
    """Why `value` processes asked for by `option` cannot be started; None
    when the machine can run them."""
    most = most_processes() if most is None else most
    if value <= most:
        return None
    return f"{option} {value}: more processes than the machine can run (at most {most})"


def alarm_refusal(delays: int, budget: float) -> str | None:
    """Why `--delays` alarms spread over a run of at most `budget` seconds
    are too many: the module asks its interrupt every few milliseconds, so
    alarms closer than a millisecond apart measure the same stretch again
    and again (and a count past that runs for ever). None when they are not."""
    most = max(1, int(budget * 1000))
    if delays <= most:
        return None
    return f"--delays {delays}: more than one a millisecond over --budget {budget:g} s (at most {most})"


def scale_refusal(option: str, scale: float, largest_bytes: float, machine: float | None = None) -> str | None:
    """Why `scale` times the largest input, of `largest_bytes` at scale 1,
    cannot be held; None when the machine can hold it."""
    machine = machine_bytes() if machine is None else machine
    need = scale * largest_bytes
    if need <= machine:
        return None
    return (f"{option} {scale:g}: cannot allocate the largest input "
            f"({need / 2**30:.1f} GiB; the machine has {machine / 2**30:.1f} GiB)")


def room_refusal(counts: dict[str, int], things: str, bytes_each: float,
                 machine: float | None = None) -> str | None:
    """Why the options `counts`, which together ask for the sum of their
    values in `things` of at least `bytes_each` bytes, cannot be held; None
    when the machine can hold them."""
    machine = machine_bytes() if machine is None else machine
    total = sum(counts.values())
    need = total * bytes_each
    if need <= machine:
        return None
    named = " ".join(f"{option} {value}" for option, value in counts.items())
    return (f"{named}: cannot allocate {total} {things} "
            f"(at least {need / 2**30:.1f} GiB; the machine has {machine / 2**30:.1f} GiB)")


def need_room(parser: argparse.ArgumentParser, counts: dict[str, int], things: str, bytes_each: float) -> None:
    """Exits through `parser` (status 2) with the refusal of `counts` when
    the machine cannot hold them."""
    why = room_refusal(counts, things, bytes_each)
    if why:
        parser.error(why)


def need_room_each(parser: argparse.ArgumentParser, option: str, values: list[int], things: str,
                   bytes_each: float) -> None:
    """need_room for each of the values of a list option, run one at a time."""
    for value in values:
        need_room(parser, {option: value}, things, bytes_each)


# The fewest bytes a candle takes while a command is built from it: its text
# in the command ("[t,o,h,l,c,v],") and its record once read.
LEAST_CANDLE_BYTES = 14 + 48
