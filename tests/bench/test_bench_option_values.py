"""Every option of every benchmark program, as the program itself lists it
(option_tables.py), tried with each bad value: each case must be refused with
exit 2 by a message naming the option, before anything is measured, or run
and end with 0 within a minute. Where a case runs, the program's other
options ask for the least work (SMALL), so that the value under test is the
only one out of the ordinary.

ctest runs the C++ programs (BENCH_PROGRAMS=cpp, BENCH_DIR set); scripts/test.sh
runs the Python scripts with the installed module (BENCH_PROGRAMS=python).
Alone or under pytest it runs both, the scripts when the module imports."""

from __future__ import annotations

import concurrent.futures
import os
import pathlib
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import option_tables  # noqa: E402
from option_tables import Option, Program  # noqa: E402

MISSING = None  # the option given last, with no value after it
BAD_VALUES = {"negative": "-2.5", "zero": "0", "minus one": "-1", "huge count": "1000000000000000",
              "past 32 bits": "4294967296", "non-number": "abc", "empty": "", "missing": MISSING}
UNWRITABLE = "/nonexistent/dir/x.json"
# A case that runs must finish within a minute of work: its processor time is
# bounded (prlimit), so that a loaded machine, which only stretches the wall
# clock, fails no case. The wall clock bounds one wait only, against a hang.
CPU_SECONDS = 60
HANG_SECONDS = 900

# The least work of each program (by the label its usage gives it), so that a
# case which runs ends soon. These are values, not the list of options: the
# options tried are read from the programs.
SMALL = {
    "flat_market_bench": "--moving 60 --timed 40 --flat 40 --repeats 1 --key Sma",
    "flat_market_prove_bench": "--moving 60 --flat 40 --entries 1 --repeats 1 --key Sma",
    "memory_bench --sweep": "--candles 20 --keys Sma",
    "stop_gaps_bench": "0.01 1",
    "stop_sweep": "--candles 20 --entries 1 --keys Sma",
    "stop_sweep --inputs": "--inputs cmd --scale 0.0001 --stops 1",
    "update_instructions": "--warm 0 --counted 5 --key Sma",
    "python_memory_bench.py": "--candles 100 --runs 1 --forms arrays",
    "python_prove_bench.py": "--sizes 100 --repeat 1",
    "python_stop_bench.py": "--rows canonicalize --scale 0.0001 --delays 1 --budget 1",
    "python_sweep_bench.py": "--candles 100 --workers 1 --repeat 1",
    "python_text_bench.py": "--sizes 100 --repeat 1 --rounds 1",
    "python_thread_stop_bench.py": "--candles 100 --points 1",
    "python_vectorbt_bench.py": "--sizes 100 --runs 1 --rounds 1",
    "update_instructions.py run": "{build} --warm 0 --counted 5 --key Sma",
    "update_instructions.py compare": "{counts} {counts}",
}


def small_groups(program: Program, counts: str) -> list[tuple[str, list[str]]]:
    """SMALL of `program` as (option or positional name, its words)."""
    words = [w.format(build=option_tables.bench_dir().parent, counts=counts)
             for w in SMALL.get(program.label, "").split()]
    by_name = {o.name: o for o in program.options}
    positionals = [o.name for o in program.options if o.positional]
    groups = []
    while words:
        word = words.pop(0)
        option = by_name.get(word)
        if option and not option.positional:
            groups.append((word, [word, words.pop(0)] if option.takes_value else [word]))
        else:
            groups.append((positionals[min(len([g for g in groups if g[0] in positionals]), len(positionals) - 1)],
                           [word]))
    return groups


def library_small(program: Program) -> list[tuple[str, list[str]]]:
    """A Google Benchmark program's least work: one benchmark whose time is
    the library's (its name shows no min_time of its own), once, one iteration."""
    listed = subprocess.run([*program.command, "--benchmark_list_tests=true"], capture_output=True, text=True,
                            timeout=60).stdout.split()
    quick = next(name for name in listed if "min_time:" not in name)
    return [("--benchmark_filter", [f"--benchmark_filter=^{re.escape(quick)}$"]),
            ("--benchmark_min_time", ["--benchmark_min_time=0"]),
            ("--benchmark_repetitions", ["--benchmark_repetitions=1"])]


def cases_of(program: Program, counts: str) -> list[tuple[str, Option, list[str]]]:
    joined = any(o.joined for o in program.options)
    groups = library_small(program) if joined else small_groups(program, counts)
    cases = []
    for option in program.options:
        values = dict(BAD_VALUES) if option.takes_value else {"given": ""}
        if option.takes_path:
            values["unwritable path"] = UNWRITABLE
        for what, value in values.items():
            if option.positional and value is MISSING:
                continue  # a positional left out is the program's default run
            others = [g for g in groups if g[0] != option.name]
            if option.positional:
                # In its place among the positionals, the ones before it given.
                words = [w for name, ws in others if not name.startswith("-") for w in ws]
                at = [o.name for o in program.options if o.positional].index(option.name)
                positional = words[:at] + [value] + words[at:]
                argv = [w for name, ws in others if name.startswith("-") for w in ws] + positional
            elif not option.takes_value:
                argv = [w for _, ws in others for w in ws] + [option.name]
            elif value is MISSING:
                argv = [w for _, ws in others for w in ws] + [option.name]
            else:
                given = [f"{option.name}={value}"] if option.joined else [option.name, value]
                argv = [w for _, ws in others for w in ws] + given
            cases.append((f"{program.label} {option.name} {what}", option, [*program.command, *argv]))
    return cases


def verdict(case: tuple[str, Option, list[str]], cwd: str) -> str | None:
    """None when the case was refused by name or ran to its end in time;
    what went wrong otherwise."""
    label, option, argv = case
    # The soft limit only: a program may set its own bound for a child.
    bounded = ["prlimit", f"--cpu={CPU_SECONDS}:unlimited", "--", *argv]
    try:
        done = subprocess.run(bounded, capture_output=True, text=True, timeout=HANG_SECONDS,
                              stdin=subprocess.DEVNULL, cwd=cwd)
    except subprocess.TimeoutExpired:
        return f"{label}: still running after {HANG_SECONDS} s: {argv[1:]}"
    out = done.stdout + done.stderr
    if done.returncode == -signal.SIGXCPU:
        return f"{label}: more than {CPU_SECONDS} s of processor time: {argv[1:]}"
    if "Traceback" in out:
        return f"{label}: a traceback: {argv[1:]}\n{out[-600:]}"
    if done.returncode == 2 and option.name in out:
        return None
    if done.returncode == 0:
        return None
    return f"{label}: exit {done.returncode}, wanted 2 naming {option.name} or 0: {argv[1:]}\n" \
           f"{out[-600:]}"


def module_imports(python: str) -> bool:
    return subprocess.run([python, "-c", "import fendro_proof"], capture_output=True).returncode == 0


def programs_to_try() -> list[Program]:
    which = os.environ.get("BENCH_PROGRAMS", "all")
    programs = []
    if which in ("all", "cpp"):
        programs += option_tables.cpp_programs()
    if which == "python" or (which == "all" and module_imports(sys.executable)):
        programs += option_tables.python_programs()
    return programs


def run_all() -> tuple[int, list[str]]:
    with tempfile.TemporaryDirectory() as tmp:
        counts = str(pathlib.Path(tmp) / "counts.txt")
        pathlib.Path(counts).write_text("Sma\t12.5\n")
        cases = [c for p in programs_to_try() for c in cases_of(p, counts)]
        workers = max(2, min(4, (os.cpu_count() or 2) // 2))
        with concurrent.futures.ThreadPoolExecutor(workers) as pool:
            # In a folder of their own: a path that is no path, such as "0",
            # is a file a report may be written to.
            failures = [f for f in pool.map(lambda c: verdict(c, tmp), cases) if f is not None]
    return len(cases), failures


def test_every_option_refuses_bad_values_by_name():
    tried, failures = run_all()
    assert tried > 0
    assert not failures, f"{len(failures)} of {tried} cases:\n" + "\n".join(failures)


if __name__ == "__main__":
    started = time.monotonic()
    tried, failures = run_all()
    print("\n".join(failures))
    print(f"{tried} cases, {len(failures)} failed, {time.monotonic() - started:.0f} s")
    sys.exit(1 if failures or not tried else 0)
