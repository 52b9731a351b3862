"""Instructions per `update` on a moving market, per type key, from callgrind.

    python3 bench/update_instructions.py run BUILD [--key KEY ...] [--warm W] [--counted N] > counts.txt
    python3 bench/update_instructions.py compare BEFORE AFTER [--all]

"run" runs BUILD/bench/update_instructions under callgrind (one run, one dump
per key) and prints "key<TAB>instructions per update" for every key, in the
key table's order: the inclusive cost of the counted `update` calls over
their number (1,000 moving bars uncounted, then 20,000 counted, by default).

"compare" reads two such files and prints each key that counts differently
(before, after, ratio; --all prints every key), how many count more and fewer,
the keys over the bound (more than 3 instructions and more than 1% above
BEFORE), and the total of the 50 common types of bench/python_prove_bench.py.
"""

from __future__ import annotations

import argparse
import ast
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

import bench_args

ROOT = pathlib.Path(__file__).resolve().parents[1]
# The least a bar of the program's walk holds: its cross-section of 100
# entries of 24 bytes.
LEAST_BAR_BYTES = 100 * 24
LOOP = "counted_updates"


def common_keys() -> list[str]:
    """The keys of the "common50" set, read from the prove bench's source."""
    tree = ast.parse((ROOT / "bench" / "python_prove_bench.py").read_text())
    for node in tree.body:
        if isinstance(node, ast.Assign) and any(getattr(t, "id", None) == "COMMON" for t in node.targets):
            keys = [elt.elts[0].value for elt in node.value.elts]
            return ["MacdIndicator" if k == "Macd" else k for k in keys]
    raise SystemExit("no COMMON list in bench/python_prove_bench.py")


def read_dump(path: pathlib.Path) -> tuple[str, int, int]:
    """(key, calls, inclusive instructions) of the counted loop's calls in one dump."""
    key = None
    calls = cost = 0
    in_loop = False
    pending_call = False
    for line in path.read_text().splitlines():
        if line.startswith("desc: Trigger: Client Request: "):
            key = line.split(": ", 2)[2].removeprefix("Client Request: ").strip()
        elif line.startswith("fn="):
            in_loop = LOOP in line
        elif in_loop and line.startswith("calls="):
            calls += int(line[len("calls="):].split()[0])
            pending_call = True
        elif pending_call and line and (line[0].isdigit() or line[0] in "+-*"):
            cost += int(line.split()[-1])
            pending_call = False
    if key is None:
        raise SystemExit(f"{path}: no client request trigger")
    return key, calls, cost


def run(args: argparse.Namespace) -> None:
    exe = pathlib.Path(args.build) / "bench" / "update_instructions"
    with tempfile.TemporaryDirectory() as tmp:
        out = pathlib.Path(tmp) / "cg.out"
        cmd = ["valgrind", "--tool=callgrind", "--collect-atstart=no", "--compress-strings=no",
               "--compress-pos=no", f"--callgrind-out-file={out}", str(exe),
               "--warm", str(args.warm), "--counted", str(args.counted)]
        for k in args.key or []:
            cmd += ["--key", k]
        done = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        if done.returncode != 0:  # the program's refusal (of a key, say), as it gave it
            sys.stderr.write(done.stderr)
            raise SystemExit(done.returncode)
        dumps = sorted(pathlib.Path(tmp).glob("cg.out.*"), key=lambda p: int(p.suffix[1:]))
        for dump in dumps:
            key, calls, cost = read_dump(dump)
            if calls != args.counted:
                raise SystemExit(f"{key}: {calls} calls counted, expected {args.counted}")
            print(f"{key}\t{cost / calls:.2f}")


def read_counts(parser: argparse.ArgumentParser, name: str, path: str) -> dict[str, float]:
    """The counts of the file `path` given as `name`, or an exit through
    `parser` (status 2) naming it when it cannot be read as such."""
    counts = {}
    try:
        lines = pathlib.Path(path).read_text().splitlines()
    except (OSError, UnicodeDecodeError) as e:
        parser.error(f"{name}: cannot read {path!r}: {e.strerror if isinstance(e, OSError) else e}")
    for number, line in enumerate(lines, 1):
        if line.strip():
            key, _, value = line.partition("\t")
            try:
                counts[key] = float(value)
            except ValueError:
                parser.error(f"{name}: {path}:{number} is no line of a run's counts (KEY<tab>NUMBER): {line[:80]!r}")
    if not counts:
        parser.error(f"{name}: {path!r} holds no counts")
    return counts


def over_bound(before: float, after: float) -> bool:
    return after - before > max(3.0, 0.01 * before)


def compare(args: argparse.Namespace) -> None:
    a, b = args.before, args.after
    keys = [k for k in a if k in b]
    more = [k for k in keys if b[k] > a[k] + 0.5]
    fewer = [k for k in keys if b[k] < a[k] - 0.5]
    print(f"{'key':28} {'before':>9} {'after':>9} {'ratio':>7}")
    for k in keys:
        if args.all or k in more or k in fewer:
            flag = " *" if over_bound(a[k], b[k]) else ""
            print(f"{k:28} {a[k]:9.1f} {b[k]:9.1f} {b[k] / a[k]:7.3f}{flag}")
    over = [k for k in keys if over_bound(a[k], b[k])]
    print(f"{len(keys)} keys: {len(more)} count more ({sum(b[k] > 1.10 * a[k] for k in keys)} over 1.10x), "
          f"{len(fewer)} fewer; over the bound (more than 3 and 1%): {len(over)} {' '.join(over)}")
    common = [k for k in common_keys() if k in a and k in b]
    ta, tb = sum(a[k] for k in common), sum(b[k] for k in common)
    print(f"common50 ({len(common)} keys): {ta:.0f} -> {tb:.0f} ({100 * (tb / ta - 1):+.2f}%)")


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    r = sub.add_parser("run")
    r.add_argument("build", help="the build folder, which holds bench/update_instructions")
    r.add_argument("--key", action="append")
    r.add_argument("--warm", type=bench_args.count_or_zero, default=1000)
    r.add_argument("--counted", type=bench_args.count, default=20000)
    c = sub.add_parser("compare")
    c.add_argument("before", help="a file of counts, as `run` prints them")
    c.add_argument("after", help="a file of counts, as `run` prints them")
    c.add_argument("--all", action="store_true")
    args = parser.parse_args()
    if args.command == "run":
        bench_args.need_room(r, {"--warm": args.warm, "--counted": args.counted}, "bars", LEAST_BAR_BYTES)
        exe = pathlib.Path(args.build) / "bench" / "update_instructions"
        if not exe.is_file():
            r.error(f"build: no program {str(exe)!r}; give the build folder of the bench programs")
        if shutil.which("valgrind") is None:
            r.error("valgrind is not on PATH; it counts the instructions")
    else:
        args.before = read_counts(c, "before", args.before)
        args.after = read_counts(c, "after", args.after)
    run(args) if args.command == "run" else compare(args)


if __name__ == "__main__":
    sys.exit(main())
