"""The request and response shown in README.md are real."""

import json
import pathlib
import re

README = pathlib.Path(__file__).resolve().parents[2] / "README.md"


def test_readme_example_is_the_actual_response(prover):
    text = README.read_text()
    request = re.search(r'```json\n(\{"cmd": "prove".*?)```', text, re.S).group(1)
    wrapped = re.search(r'```text\n(\{"engine_version".*?)```', text, re.S).group(1)
    assert prover.command(json.dumps(json.loads(request))) == wrapped.replace("\n", "")
