"""prove and verify end to end through the Python module."""

import copy
import json
import re
import shutil
import subprocess

import pytest

from conftest import SYMBOL, call, call_json

HASH = re.compile(r"[0-9a-f]{64}")


def prove(prover, spec, data):
    return call(prover, {"cmd": "prove", "spec": spec, "data": data})


def verify(prover, proof, spec, data):
    return call(prover, {"cmd": "verify", "proof": proof, "spec": spec, "data": data})


def canonicalize(prover, value):
    return call_json(prover, {"cmd": "canonicalize", "value": value})["canonical"]


def test_proof_shape(prover, spec, data):
    text = prove(prover, spec, data)
    proof = json.loads(text)
    assert list(proof) == ["engine_version", "inputs_hash", "report", "report_hash"]
    assert proof["engine_version"] == "0.2.0"
    assert HASH.fullmatch(proof["inputs_hash"]) and HASH.fullmatch(proof["report_hash"])
    report = proof["report"]
    assert list(report) == [
        "equity", "fees_paid", "initial_capital", "metrics", "schema_version", "symbol",
        "timeframe", "trades",
    ]
    assert list(report["metrics"]) == [
        "calmar", "max_drawdown", "num_trades", "pnl", "profit_factor", "return_pct", "sharpe",
        "sortino", "win_rate",
    ]
    assert report["initial_capital"] == 10000
    assert report["schema_version"] == 1
    assert (report["symbol"], report["timeframe"]) == (SYMBOL, "1h")
    assert [p["time"] for p in report["equity"]] == [c["time"] for c in data[SYMBOL]]
    assert report["metrics"]["num_trades"] == len(report["trades"]) > 0
    # The response is already canonical: writing it again changes nothing.
    assert canonicalize(prover, proof) == text


def test_report_hash_is_blake3_of_the_canonical_report(prover, spec, data):
    b3sum = shutil.which("b3sum")
    if b3sum is None:
        pytest.skip("b3sum not installed")
    proof = json.loads(prove(prover, spec, data))
    canonical = canonicalize(prover, proof["report"]).encode()
    digest = subprocess.run([b3sum, "--no-names"], input=canonical, capture_output=True, check=True)
    assert digest.stdout.decode().strip() == proof["report_hash"]


def test_prove_is_deterministic_whatever_the_request_layout(prover, spec, data):
    from fendro_proof import Prover

    first = prove(prover, spec, data)
    assert prove(prover, spec, data) == first
    assert prove(Prover(), copy.deepcopy(spec), copy.deepcopy(data)) == first
    spaced = json.dumps({"cmd": "prove", "spec": spec, "data": data}, indent=3)
    assert call(prover, spaced) == first


def test_verify_own_proof_changed_inputs_and_engine_failures(prover, spec, data):
    proof = json.loads(prove(prover, spec, data))
    assert verify(prover, proof, spec, data) == '{"ok":true,"valid":true}'
    changed = copy.deepcopy(data)
    changed[SYMBOL][-1]["close"] += 1
    assert verify(prover, proof, spec, changed) == '{"ok":true,"valid":false}'
    response = verify(prover, proof, spec, {"ETHUSDT": data[SYMBOL]})
    assert response == '{"error":"data: no candles for symbol %s","ok":false}' % SYMBOL
