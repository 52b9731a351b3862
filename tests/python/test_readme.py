"""The README's first strategy and its request and response are real."""

import json
import pathlib
import re
import subprocess
import sys

README = pathlib.Path(__file__).resolve().parents[2] / "README.md"


def test_readme_example_is_the_actual_response(prover):
    text = README.read_text()
    request = re.search(r'```json\n(\{"cmd": "prove".*?)```', text, re.S).group(1)
    wrapped = re.search(r'```text\n(\{"engine_version".*?)```', text, re.S).group(1)
    assert prover.command(json.dumps(json.loads(request))) == wrapped.replace("\n", "")


def test_first_python_block_runs_alone_and_prints_what_the_readme_shows(tmp_path):
    # The first block is pasted into a module of its own and run in a fresh
    # interpreter: it may use nothing it does not define or import.
    block, shown = re.search(r"```python\n(.*?)```\n\nIt prints:\n\n```text\n(.*?)```", README.read_text(),
                             re.S).groups()
    assert block == re.search(r"```python\n(.*?)```", README.read_text(), re.S).group(1)
    (tmp_path / "first.py").write_text(block)
    run = subprocess.run([sys.executable, "first.py"], cwd=tmp_path, capture_output=True, text=True, timeout=120)
    assert run.returncode == 0, run.stderr
    assert run.stdout == shown
