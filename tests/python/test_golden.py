"""Replays the checked-in golden proofs (tests/data/golden) through the Python module.

Each <name>.request.json is a "prove" command whose "data" is the shared
data.json, and <name>.response.json its expected response, laid out on several
lines; its canonical text must equal the response byte for byte, and every proof
must verify against its own request.
"""

import json
import pathlib

import pytest

GOLDEN = pathlib.Path(__file__).resolve().parents[1] / "data" / "golden"
REQUESTS = sorted(GOLDEN.glob("*.request.json"))
assert REQUESTS, "the golden proofs are missing"


def canonical(prover, text):
    return json.loads(prover.command('{"cmd":"canonicalize","value":' + text + "}"))["canonical"]


@pytest.mark.parametrize("request_path", REQUESTS, ids=lambda p: p.name.split(".")[0])
def test_golden_proof(prover, request_path):
    request = json.loads(request_path.read_text(encoding="utf-8"))
    request["data"] = json.loads((GOLDEN / "data.json").read_text(encoding="utf-8"))
    request_text = json.dumps(request)
    expected_path = request_path.with_name(request_path.name.replace(".request.", ".response."))
    response = prover.command(request_text)
    assert response == canonical(prover, expected_path.read_text(encoding="utf-8"))

    proof = json.loads(response)
    if "error" in proof:
        return
    request.update(cmd="verify", proof=proof)
    assert prover.command(json.dumps(request)) == '{"ok":true,"valid":true}'
