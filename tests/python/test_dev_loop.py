"""scripts/dev_loop.py, which runs docs/developing.md's edit-and-test loop in
CI: the page's tree read as another, and the faults it must not let pass."""

import importlib.util
import pathlib

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
_spec = importlib.util.spec_from_file_location("dev_loop", ROOT / "scripts" / "dev_loop.py")
dev_loop = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(dev_loop)


@pytest.mark.parametrize("page, run", [
    ("cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release", "cmake -S . -B /t -G Ninja -DCMAKE_BUILD_TYPE=Release"),
    ("cmake --build build -j 3 --target test_proof", "cmake --build /t -j 3 --target test_proof"),
    ("build/tests/test_strategy --gtest_filter='A.*'", "/t/tests/test_strategy --gtest_filter='A.*'"),
    ("ctest --test-dir build", "ctest --test-dir /t"),
    ('.venv/bin/pip install --no-build-isolation ".[test]"', '.venv/bin/pip install --no-build-isolation ".[test]"'),
    ("ls build-san src/build x/build/y", "ls build-san src/build x/build/y"),
])
def test_reads_the_page_tree_as_another_and_nothing_else(page, run):
    assert dev_loop.against(page, "/t") == run


def test_reads_the_page_jobs_as_the_ones_given():
    page = "cmake --build build -j 3 --target test_proof"
    assert dev_loop.against(page, "/t", "7") == "cmake --build /t -j 7 --target test_proof"
    assert dev_loop.against("ctest -j 3", "/t", "2") == "ctest -j 2"
    assert dev_loop.against("x --foo-j 3 -j 3x", "/t", "2") == "x --foo-j 3 -j 3x"


@pytest.mark.parametrize("output, fault", [
    ("100% tests passed, 0 tests failed out of 3", None),
    ("No tests were found!!!", "ran no test"),
    ("1/3 Test #2: proof ....***Not Run   0.00 sec", "left a test not run"),
    ("[==========] 4 tests from 1 test suite ran. (0 ms total)", None),
    ("[==========] 0 tests from 0 test suites ran. (0 ms total)", "ran no test"),
])
def test_a_run_that_did_not_run_what_it_names_is_a_fault(output, fault):
    assert dev_loop.run_fault(output) == fault


def test_a_step_run_again_is_found_in_a_compacted_log(tmp_path):
    log = tmp_path / ".ninja_log"
    log.write_text("# ninja log v6\n1\t2\t3\ta.o\tff\n1\t2\t3\tb.o\tee\n4\t5\t6\ta.o\tff\n")
    before = dev_loop.recorded_steps(tmp_path)
    log.write_text("# ninja log v6\n4\t5\t6\ta.o\tff\n1\t2\t3\tb.o\tee\n")  # compacted, nothing run
    assert dev_loop.steps_run_again(before, dev_loop.recorded_steps(tmp_path)) == []
    log.write_text(log.read_text() + "7\t8\t9\tb.o\tee\n10\t11\t12\tnew.o\t00\n")
    assert dev_loop.steps_run_again(before, dev_loop.recorded_steps(tmp_path)) == ["b.o"]


def test_the_glob_check_every_build_runs_is_no_step_run_again(tmp_path):
    log = tmp_path / ".ninja_log"
    log.write_text("1\t2\t3\tCMakeFiles/cmake.verify_globs\t0\n1\t2\t3\tm.abi3.so\t0\n1\t2\t3\tlib.a\t0\n")
    before = dev_loop.recorded_steps(tmp_path)
    log.write_text(log.read_text() + "5\t6\t7\tCMakeFiles/cmake.verify_globs\t0\n")
    assert dev_loop.steps_run_again(before, dev_loop.recorded_steps(tmp_path)) == []
    log.write_text(log.read_text() + "5\t6\t7\tm.abi3.so\t0\n5\t6\t7\tlib.a\t0\n")
    assert dev_loop.steps_run_again(before, dev_loop.recorded_steps(tmp_path)) == ["lib.a", "m.abi3.so"]


def test_the_loop_builds_and_installs_what_it_then_runs():
    commands = dev_loop.loop_commands((ROOT / "docs" / "developing.md").read_text())
    assert commands[0].startswith("cmake -S . -B build ")
    ctest = next(i for i, c in enumerate(commands) if c.startswith("ctest "))
    install = next(i for i, c in enumerate(commands) if " install " in c)
    pytest_run = next(i for i, c in enumerate(commands) if "pytest" in c)
    assert any(c.startswith("cmake --build build") for c in commands[:ctest])
    assert "--no-build-isolation" in commands[install] and install < pytest_run
