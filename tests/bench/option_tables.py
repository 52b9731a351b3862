"""The options of the benchmark programs, read from what each program says
of itself: the usage lines of the C++ programs' --help, the flags the Google
Benchmark library lists under --help, argparse's --help of the Python
scripts (and of each of their subcommands). Nothing here lists an option: a
program that gains one is read with it."""

from __future__ import annotations

import dataclasses
import os
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
PATH_WORDS = re.compile(r"file|folder|directory|path", re.I)


@dataclasses.dataclass(frozen=True)
class Option:
    name: str  # "--candles", or a positional's name
    takes_value: bool
    takes_path: bool = False
    positional: bool = False
    joined: bool = False  # given as name=value (the library's flags)


@dataclasses.dataclass
class Program:
    label: str  # the program and its mode, as the usage writes them
    command: list[str]  # how it is started, its mode included
    options: list[Option]
    python: bool = False


def bench_dir() -> pathlib.Path:
    return pathlib.Path(os.environ.get("BENCH_DIR", ROOT / "build" / "bench")).resolve()


def help_text(command: list[str]) -> str:
    done = subprocess.run([*command, "--help"], capture_output=True, text=True, timeout=60)
    assert done.returncode == 0, f"{' '.join(command)} --help: exit {done.returncode}\n{done.stderr[-400:]}"
    return done.stdout


def usage_modes(name: str, text: str) -> list[tuple[str, list[Option]]]:
    """Each usage line of a C++ program: the option it starts with (such as
    "--sweep", or none), whether that option takes a value (then it is one
    of the options, not a fixed start), and the options it shows."""
    modes = []
    for line in text.splitlines():
        body = re.sub(r"^(usage:)?\s*", "", line)
        if not body.startswith(name + " ") and body != name:
            continue
        body = body[len(name):].split("  (")[0]
        mode = re.match(r"\s*(--[\w-]+)(?: (\[[^\]-][^\]]*\]))?", body)
        options = []
        if mode:
            options.append(Option(mode.group(1), takes_value=bool(mode.group(2))))
            body = body[mode.end():]
        for option, value in re.findall(r"\[(--[\w-]+)(?: ([^\]\[]+))?\]", body):
            options.append(Option(option, takes_value=bool(value), takes_path=bool(PATH_WORDS.search(value))))
        for positional in re.findall(r"\[([a-z_]+)\b", body):
            options.append(Option(positional, takes_value=True, positional=True))
        modes.append((mode.group(1) if mode else "", bool(mode and mode.group(2)), options))
    return modes


def library_flags(text: str) -> list[Option]:
    """The Google Benchmark library's flags, as its --help lists them."""
    return [Option("--" + name, takes_value=True, takes_path=bool(PATH_WORDS.search(value)), joined=True)
            for name, value in re.findall(r"\[--(\w+)=([^\]]+)\]", text)]


def argparse_options(text: str) -> tuple[list[Option], list[str]]:
    """The options and positionals of an argparse --help, and its subcommands."""
    options, subcommands = [], []
    section = ""
    for line in text.splitlines():
        if re.match(r"^\S.*:$", line):
            section = line
            continue
        m = re.match(r"^  (\S+)(?: (\S+))?(?:\s{2,}(.*))?$", line)
        if not m:
            continue
        word, value, described = m.group(1), m.group(2), m.group(3) or ""
        if word.startswith("{"):
            subcommands = word.strip("{}").split(",")
        elif section.startswith("positional") and not word.startswith("-"):
            options.append(Option(word, True, bool(PATH_WORDS.search(described)), positional=True))
        elif word.startswith("--"):
            options.append(Option(word.rstrip(","), bool(value), bool(PATH_WORDS.search(described or ""))))
    return [o for o in options if o.name != "--help"], subcommands


def cpp_programs() -> list[Program]:
    programs = []
    for source in sorted((ROOT / "bench").glob("*.cpp")):
        exe = str(bench_dir() / source.stem)
        text = help_text([exe])
        if "--benchmark_" in text:
            programs.append(Program(source.stem, [exe], library_flags(text)))
            continue
        modes = usage_modes(source.stem, text)
        assert modes, f"{source.stem} --help shows no usage line:\n{text}"
        for mode, mode_takes_value, options in modes:
            command = [exe, mode] if mode and not mode_takes_value else [exe]
            if mode and not mode_takes_value:
                options = [o for o in options if o.name != mode]
            programs.append(Program(" ".join([source.stem, mode]).strip(), command, options))
    return programs


def python_programs(python: str = sys.executable) -> list[Program]:
    programs = []
    for script in sorted((ROOT / "bench").glob("*.py")):
        if 'if __name__ == "__main__"' not in script.read_text():
            continue  # a library of the scripts
        command = [python, str(script)]
        options, subcommands = argparse_options(help_text(command))
        if not subcommands:
            programs.append(Program(script.name, command, options, python=True))
        for sub in subcommands:
            options, _ = argparse_options(help_text([*command, sub]))
            programs.append(Program(f"{script.name} {sub}", [*command, sub], options, python=True))
    return programs
