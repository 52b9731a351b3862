#!/usr/bin/env python3
"""Runs the edit-and-test loop of docs/developing.md, read from the page, so
that the page and what works cannot drift apart.

    python3 scripts/dev_loop.py BUILD_DIR

Every command of the loop's blocks runs in the order given, from the
checkout, with the page's `build` tree read as BUILD_DIR (an already built
tree makes it cheap) and its jobs as JOBS, where that is set. The page's `pip install` builds the module into
BUILD_DIR/wheel-build with warnings as errors, the tree and settings of the
wheel scripts/test.sh builds, so that it must reuse what is there: the run
fails if that install builds anything again, as it fails on a failing
command, on a ctest that runs nothing or leaves a test "Not Run" (a program
the loop did not build)."""

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


def ctest_fault(output):
    """Why a ctest's output, though it exited 0, did not run what it names."""
    if "No tests were found" in output:
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
    """The outputs of a tree built before that a later build made again."""
    return sorted(out for out, run in after.items() if out in before and before[out] != run)


def main(argv):
    if len(argv) != 2:
        print(f"usage: {argv[0]} BUILD_DIR", file=sys.stderr)
        return 2
    tree = os.path.realpath(argv[1])
    wheel_tree = os.path.join(tree, "wheel-build")
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
        fault = f"exit {run.returncode}" if run.returncode else None
        if not fault and command.startswith("ctest"):
            fault = ctest_fault(run.stdout)
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
