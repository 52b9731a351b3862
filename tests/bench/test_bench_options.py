"""The benchmark programs refuse by name what they cannot do, before they
measure anything: each case runs a program with options that end it at the
parse (or after a measure of a few bars), so the whole file runs in seconds.

Run by ctest with BENCH_DIR set to the built programs; under pytest or alone
with BENCH_DIR in the environment."""

from __future__ import annotations

import os
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "bench"))
import bench_args  # noqa: E402

HUGE = "1000000000000000"  # 1e15: parses as a count, no machine holds it

# (program and arguments, exit status, pattern the output must hold)
CASES = [
    # The usage, asked for.
    (["flat_market_bench", "--help"], 0, r"^usage: flat_market_bench"),
    (["flat_market_prove_bench", "-h"], 0, r"^usage: flat_market_prove_bench"),
    (["memory_bench", "--help"], 0, r"^usage: memory_bench \[limit_mb\]"),
    (["memory_bench", "--sweep", "--help"], 0, r"^usage: memory_bench --sweep"),
    (["stop_sweep", "--help"], 0, r"^usage: stop_sweep"),
    (["update_instructions", "--help"], 0, r"^usage: update_instructions"),
    (["cost_sweep", "--help"], 0, r"^usage: cost_sweep"),
    (["stop_gaps_bench", "--help"], 0, r"^usage: stop_gaps_bench"),
    # Counts that are no counts, and options no program knows.
    (["flat_market_bench", "--flat", "0"], 2, r"'--flat' takes a count of at least 1, not '0'"),
    (["flat_market_bench", "--moving", "12x"], 2, r"'--moving' takes a count of at least 1, not '12x'"),
    (["flat_market_prove_bench", "--entries", "-3"], 2, r"'--entries' takes a count of at least 1, not '-3'"),
    (["flat_market_prove_bench", "--seed", "-1"], 2, r"'--seed' takes a whole number, not '-1'"),
    (["flat_market_bench", "--bogus", "1"], 2, r"unknown option '--bogus'"),
    (["memory_bench", "abc"], 2, r"not a number above 0: 'abc'"),
    (["memory_bench", "--limit"], 2, r"not a number above 0: '--limit'"),
    (["memory_bench", "--sweep", "--candles", "1e3"], 2, r"'--candles' takes a count of at least 1, not '1e3'"),
    (["memory_bench", "--sweep", "--bogus"], 2, r"unknown option '--bogus'"),
    (["memory_bench", "--sweep", "--cap-mb", HUGE + "000"], 2, r"'--cap-mb' takes at most"),
    (["stop_sweep", "--candles", "1"], 2, r"'--candles' takes a count of at least 2"),
    (["stop_sweep", "--entries", "0"], 2, r"'--entries' takes a count of at least 1, not '0'"),
    (["stop_sweep", "--limit", "inf"], 2, r"'--limit' takes a number above 0, not 'inf'"),
    (["stop_sweep", "--shard", "3/3"], 2, r"'--shard' takes I/K with I below K"),
    (["stop_sweep", "--stops"], 2, r"'--stops' needs a value"),
    (["update_instructions", "--counted", "0"], 2, r"'--counted' takes a count of at least 1, not '0'"),
    (["update_instructions", "--key", "NoSuchKey"], 2, r"unknown key 'NoSuchKey'"),
    # Counts that parse but cannot be allocated.
    (["flat_market_bench", "--flat", HUGE], 2, r"--flat " + HUGE + r": cannot allocate \d+ bars"),
    (["flat_market_bench", "--timed", HUGE], 2, r"--timed " + HUGE + r" .*cannot allocate \d+ bars"),
    (["flat_market_prove_bench", "--moving", HUGE], 2, r"--moving " + HUGE + r" .*cannot allocate \d+ candles"),
    (["flat_market_prove_bench", "--entries", HUGE], 2, r"--entries " + HUGE + r": cannot allocate \d+ entries"),
    (["memory_bench", "--sweep", "--candles", HUGE], 2, r"--candles " + HUGE + r": cannot allocate \d+ candles"),
    (["stop_sweep", "--candles", HUGE], 2, r"--candles " + HUGE + r": cannot allocate \d+ candles"),
    (["stop_sweep", "--entries", HUGE], 2, r"--entries " + HUGE + r": cannot allocate \d+ entries"),
    (["update_instructions", "--warm", HUGE], 2, r"--warm " + HUGE + r" .*cannot allocate \d+ bars"),
    # A limit that parses but is longer than the steady clock counts: its
    # duration would wrap, and every row would print a stop time nothing
    # measured. Just below the clock's range it runs (the row ends unstopped).
    (["stop_gaps_bench", HUGE], 2, r"limit_s '" + HUGE + r"' is longer than the steady clock counts \(below \d+ s\)"),
    (["stop_gaps_bench", "9000000000", "7"], 0, r"100 MB symbol .* -\n"),
    # A seed of 0 is a seed: it passes the parse (the key is refused after
    # it), and its walk is one a prove accepts.
    (["flat_market_bench", "--seed", "0", "--key", "NoSuchKey"], 2, r"unknown key 'NoSuchKey'"),
    (["flat_market_prove_bench", "--seed", "0", "--moving", "60", "--flat", "40", "--entries", "1",
      "--repeats", "1", "--key", "Sma"], 0, r"(?ms)^Sma .*, seed 0$"),
    (["flat_market_bench", "--seed", "0", "--moving", "60", "--timed", "40", "--flat", "40",
      "--repeats", "1", "--key", "Rsi"], 0, r"(?ms)^Rsi .*, seed 0$"),
    (["update_instructions", "--warm", "0", "--counted", "5", "--key", "Sma"], 0, r"^Sma\t"),
]


# The Google Benchmark programs: an option the library does not know is
# refused by name with the status every other bench gives, and so is a
# report format it does not write (which it would answer with its usage and 0).
GOOGLE_BENCHMARK_PROGRAMS = ["canonical_bench", "command_bench", "indicators_bench", "json_bench", "loop_bench",
                             "math_bench", "periodogram_bench", "prove_bench", "response_bench", "shared_types_bench"]
CASES += [([name, "--benchmark_bogus=1"], 2, r"unrecognized command-line flag: --benchmark_bogus=1")
          for name in GOOGLE_BENCHMARK_PROGRAMS]
CASES += [
    (["json_bench", "--benchmark_format=xml"], 2, r"option '--benchmark_format' takes console, json or csv, not 'xml'"),
    (["math_bench", "--benchmark_out_format="], 2, r"option '--benchmark_out_format' takes console, json or csv, not ''"),
    # A format it writes passes (listed, not run).
    (["json_bench", "--benchmark_list_tests=true", "--benchmark_format=csv"], 0, r"^BM_ParseProveCommand/"),
]


def bench_dir() -> pathlib.Path:
    return pathlib.Path(os.environ.get("BENCH_DIR", ROOT / "build" / "bench"))


def run(argv: list[str]) -> subprocess.CompletedProcess:
    return subprocess.run([str(bench_dir() / argv[0]), *argv[1:]], capture_output=True, text=True, timeout=120)


def test_programs_refuse_by_name():
    failures = []
    for argv, status, pattern in CASES:
        done = run(argv)
        out = done.stdout + done.stderr
        if done.returncode != status or not re.search(pattern, out) or "left out" in out:
            failures.append(f"{' '.join(argv)}: exit {done.returncode}, wanted {status} and /{pattern}/:\n{out[:400]}")
    assert not failures, "\n".join(failures)


def test_python_counts():
    cases = [  # (parser, text, value or None when refused)
        (bench_args.count, "12", 12), (bench_args.count, "0", None), (bench_args.count, "-3", None),
        (bench_args.count, "1e3", None), (bench_args.count, "٣", None),
        (bench_args.count_or_zero, "0", 0), (bench_args.count_or_zero, "x", None),
        (bench_args.counts, "10,20", [10, 20]), (bench_args.counts, "10,,20", None),
        (bench_args.number, "0.5", 0.5), (bench_args.number, "0", None), (bench_args.number, "inf", None),
        (bench_args.number, "nan", None), (bench_args.number, "-1", None),
        (bench_args.repeats, "1000", 1000), (bench_args.repeats, "1001", None), (bench_args.repeats, HUGE, None),
        (bench_args.names_of(["arrays", "dicts"]), "dicts,arrays", ["dicts", "arrays"]),
        (bench_args.names_of(["arrays", "dicts"]), "bogus", None), (bench_args.names_of(["arrays"]), "", None),
        (bench_args.processes, "1", [1]), (bench_args.processes, "1,5000", None), (bench_args.processes, HUGE, None),
    ]
    for parse, text, want in cases:
        try:
            got = parse(text)
        except bench_args.argparse.ArgumentTypeError:
            got = None
        assert got == want, (parse.__name__, text, got)


def test_python_room():
    gib = 2.0**30
    assert bench_args.room_refusal({"--candles": 1000}, "candles", 62, machine=gib) is None
    why = bench_args.room_refusal({"--warm": 10, "--counted": 2**30}, "bars", 2, machine=gib)
    assert why is not None and why.startswith("--warm 10 --counted 1073741824: cannot allocate 1073741834 bars")


def test_python_scale():
    gib = 2.0**30
    assert bench_args.scale_refusal("--scale", 1.0, 200e6, machine=gib) is None
    why = bench_args.scale_refusal("--scale", 1e15, 200e6, machine=gib)
    assert why is not None and why.startswith("--scale 1e+15: cannot allocate the largest input")


def test_python_processes_and_alarms():
    assert bench_args.process_refusal("--busy", 4, most=4) is None
    assert bench_args.process_refusal("--busy", 5, most=4) == "--busy 5: more processes than the machine can run (at most 4)"
    assert bench_args.process_refusal("--busy", 10**20) is not None
    cases = [  # (delays, budget, refused)
        (20_000, 20.0, False), (20_001, 20.0, True), (1, 0.0001, False), (2, 0.0001, True),
        (10**15, 20.0, True), (8, 1e300, False),
    ]
    for delays, budget, refused in cases:
        assert (bench_args.alarm_refusal(delays, budget) is not None) == refused, (delays, budget)


def test_python_scripts_refuse_by_name():
    script = str(ROOT / "bench" / "update_instructions.py")
    for args, pattern in [(["--counted", "0"], r"--counted: takes a count of at least 1, not '0'"),
                          (["--counted", HUGE], r"--warm 1000 --counted " + HUGE + r": cannot allocate")]:
        done = subprocess.run([sys.executable, script, "run", "no-build", *args], capture_output=True, text=True,
                              timeout=60)
        assert done.returncode == 2 and re.search(pattern, done.stderr), done.stderr
    # Refused before the module is imported or a process started: neither
    # needs the module installed.
    script = str(ROOT / "bench" / "python_stop_bench.py")
    for args, pattern in [(["--busy", "99999999999999999999"], r"--busy 99999999999999999999: more processes than"),
                          (["--delays", HUGE], r"--delays " + HUGE + r": more than one a millisecond over --budget 20 s"),
                          (["--delays", "11", "--budget", "0.01"], r"\(at most 10\)")]:
        done = subprocess.run([sys.executable, script, *args], capture_output=True, text=True, timeout=60)
        assert done.returncode == 2 and re.search(pattern, done.stderr), done.stderr


if __name__ == "__main__":
    for name, test in list(globals().items()):
        if name.startswith("test_"):
            test()
            print(f"{name}: ok")
