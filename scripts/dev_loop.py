#!/usr/bin/env python3
"""Runs the edit-and-test loop of docs/developing.md, read from the page, so
that the page and what works cannot drift apart.

    python3 scripts/dev_loop.py TREE WHEEL_TREE

Every command of the loop's blocks runs in the order given, from the
checkout, with the page's `build` tree read as TREE, which must not exist
yet: the loop starts where a fresh clone does, so a test whose program it
does not build shows. (After a build of the same sources the compiles come
from ccache.) Its jobs are read as JOBS, where that is set. The page's
`pip install` builds the module into WHEEL_TREE with warnings as errors,
the tree and settings of the wheel scripts/test.sh builds, so that it must
reuse what is there.

The run fails on a failing command, on a ctest or a test program that runs
no test, on a ctest that leaves a test "Not Run" (a program the loop did
not build), and on a `pip install` that builds anything of WHEEL_TREE
again."""

import os
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[1]
SECTION = "### The edit-and-test loop"
PAGE_TREE = "build"


def loop_commands(page):
    """The commands of the loop's indented blocks, in order."""
    start = page.index(SECTION)
    end = re.compile(r"\n##+ ").search(page, start + len(SECTION))
    text = page[start:end.start() if end else len(page)]
    return [line[4:] for line in text.splitlines() if line.startswith("    ") and line.strip()]


def against(command, tree, jobs=None):
    """The command with the page's build tree replaced by another and, given
    `jobs`, its count of jobs (`-j 3`) by that."""
    # `build` as a path of its own, not `--build`, `build-san` or `CMAKE_BUILD_TYPE`.
    command = re.sub(r"(?<![\w/.-])" + PAGE_TREE + r"(?=/|\s|$)", tree, command)
    return re.sub(r"(?<=\s)-j \d+(?=\s|$)", f"-j {jobs}", command) if jobs else command


def run_fault(output):
    """Why a command's output, though it exited 0, did not run what it names."""
    if "No tests were found" in output or "[==========] 0 tests from 0 test suites ran" in output:
        return "ran no test"
    if "Not Run" in output:
        return "left a test not run"
    return None


def recorded_steps(tree):
    """The last run ninja has recorded of each output of a tree: its start,
    end and mtime, by output (the log may be compacted between two reads)."""
    log = pathlib.Path(tree) / ".ninja_log"
    runs = {}
    for line in log.read_text().splitlines() if log.exists() else []:
        fields = line.split("\t")
        if len(fields) == 5:
            runs[fields[3]] = tuple(fields[:3])
    return runs


def steps_run_again(before, after):
    """The objects, libraries and modules of a tree built before that a later
    build made again (not the check of the globbed folders every build runs)."""
    built = (".o", ".a", ".so")
    return sorted(out for out, run in after.items()
                  if out.endswith(built) and out in before and before[out] != run)


def main(argv):
    if len(argv) != 3:
        print(f"usage: {argv[0]} TREE WHEEL_TREE", file=sys.stderr)
        return 2
    tree, wheel_tree = (os.path.realpath(a) for a in argv[1:])
    if os.path.exists(tree):
        print(f"dev_loop: {tree} exists; the loop starts from no build tree, as a fresh clone",
              file=sys.stderr)
        return 2
    env = dict(os.environ, SKBUILD_BUILD_DIR=wheel_tree, SKBUILD_CMAKE_DEFINE="FENDRO_WERROR=ON")
    commands = loop_commands((ROOT / "docs" / "developing.md").read_text())
    if not commands:
        print(f"dev_loop: no commands under {SECTION!r}", file=sys.stderr)
        return 1
    for page_command in commands:
        command = against(page_command, tree, os.environ.get("JOBS"))
        print(f"dev_loop: {command}", flush=True)
        steps_before = recorded_steps(wheel_tree)
        run = subprocess.run(["bash", "-euo", "pipefail", "-c", command], cwd=ROOT, env=env,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        sys.stdout.write(run.stdout)
        fault = f"exit {run.returncode}" if run.returncode else run_fault(run.stdout)
        if not fault and "pip install" in command and steps_before:
            again = steps_run_again(steps_before, recorded_steps(wheel_tree))
            if again:
                fault = f"built {len(again)} outputs of an unchanged tree again, as {again[0]}"
        if fault:
            print(f"dev_loop: {page_command!r} of docs/developing.md {fault}", file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
