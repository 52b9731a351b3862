"""What docs/developing.md says a contributor's day rests on: the variables
that bound `make test` with their defaults, and the ctest names and refresh
commands of the checked-in files, read from the scripts and CMake files."""

import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parents[2]
DOC = (ROOT / "docs" / "developing.md").read_text()
SCRIPTS = {name: (ROOT / "scripts" / name).read_text() for name in ("test.sh", "sanitize.sh", "fuzz.sh")}


def section(heading):
    start = DOC.index(heading)
    end = re.compile(r"\n##+ ").search(DOC, start + 1)
    return " ".join(DOC[start:end.start()].split())


def test_each_variable_is_read_with_the_default_given():
    text = section("### How long `make test` takes")
    stated = dict(re.findall(r"- `(\w+)` \(default:? (?:every core, )?`?(\w+)`?\)", text))
    assert set(stated) == {"JOBS", "BUILD_DIR", "FUZZ_SECONDS"}
    for name, default in stated.items():
        default = "$(nproc)" if default == "nproc" else default
        assert any(f"${{{name}:-{default}}}" in script for script in SCRIPTS.values()), (name, default)
    # BUILD_DIR's sanitizer tree, and JOBS handed on to it.
    assert 'BUILD_SAN_DIR="$BUILD-san"' in SCRIPTS["test.sh"] and 'JOBS="$JOBS"' in SCRIPTS["test.sh"]


def test_the_fuzz_targets_run_at_once_and_are_as_many_as_said():
    count = {"five": 5}[re.search(r"The (\w+) run at once", section("### How long `make test` takes")).group(1)]
    assert len(list((ROOT / "tests" / "fuzz").glob("fuzz_*.cpp"))) == count
    assert "pids+=($!)" in SCRIPTS["fuzz.sh"]  # each started in the background, then waited for


def test_each_checked_file_names_a_real_ctest_and_its_refresh():
    text = section("### Files a change must refresh")
    cmake = (ROOT / "tests" / "CMakeLists.txt").read_text()
    names = re.findall(r"ctest `(\w+)`", text)
    assert names == ["fingerprint", "proof", "indicator_reference"]
    for name in names:
        assert f"add_test(NAME {name}" in cmake or (ROOT / "tests" / name).is_dir(), name
    assert "FENDRO_REFRESH_GOLDEN" in (ROOT / "tests" / "proof" / "golden_test.cpp").read_text()
    assert (ROOT / "scripts" / "gen_indicator_docs.sh").is_file()
    loop = section("### The edit-and-test loop")
    assert set(re.search(r"-R '(\w+(?:\|\w+)*)'", loop).group(1).split("|")) == set(names)


def _joined_lines(text):
    """The lines of a script or Makefile, continued lines joined."""
    return text.replace("\\\n", " ").splitlines()


def test_every_build_make_starts_is_bounded_by_jobs():
    """JOBS bounds the compile jobs of each `cmake --build` and of each wheel
    built from the checkout, in the Makefile and every script it starts."""
    texts = {"Makefile": (ROOT / "Makefile").read_text()}
    pending = ["Makefile", "scripts/gen_indicator_docs.sh"]
    while pending:
        name = pending.pop()
        text = texts.setdefault(name, (ROOT / name).read_text())
        for started in re.findall(r"\bbash (scripts/\w+\.sh)", text):
            if started not in texts:
                pending.append(started)
    assert {"scripts/test.sh", "scripts/demo.sh", "scripts/sanitize.sh", "scripts/fuzz.sh"} <= set(texts)
    jobs = r"(\$\(JOBS\)|\"?\$\{?JOBS\b)"
    for name, text in texts.items():
        bounds_wheels = re.search(r"CMAKE_BUILD_PARALLEL_LEVEL=\"?" + jobs, text)
        for line in _joined_lines(text):
            if "cmake --build" in line:
                assert re.search(r"-j " + jobs, line), (name, line)
            if re.search(r"pip (install|wheel)\b.*\s\"?\.(\[\w+\])?\"?$", line.rstrip()):
                assert bounds_wheels or re.search(r"CMAKE_BUILD_PARALLEL_LEVEL=" + jobs, line), (name, line)
