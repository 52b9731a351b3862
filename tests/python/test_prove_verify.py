"""prove and verify end to end through the Python module."""

import copy
import json
import re
import shutil
import subprocess

import pytest

from conftest import SYMBOL, call

HASH = re.compile(r"[0-9a-f]{64}")


def prove(prover, spec, data):
    return call(prover, {"cmd": "prove", "spec": spec, "data": data})


def verify(prover, proof, spec, data):
    return call(prover, {"cmd": "verify", "proof": proof, "spec": spec, "data": data})


def canonicalize(prover, value):
    return json.loads(call(prover, {"cmd": "canonicalize", "value": value}))["canonical"]


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


def hashes(prover, spec, data):
    proof = json.loads(prove(prover, spec, data))
    return proof["inputs_hash"], proof["report_hash"]


def with_note(spec, data):
    spec = copy.deepcopy(spec)
    spec["strategy"]["note"] = "hashed as given"
    return spec, data


def with_open(value):
    def change(spec, data):
        data = copy.deepcopy(data)
        data[SYMBOL][0]["open"] = value
        return spec, data
    return change


@pytest.mark.parametrize(
    "change, inputs_change, report_changes",
    [
        (lambda s, d: (dict(s, strategy=dict(reversed(list(s["strategy"].items())))), d), False, False),
        (with_note, True, False),
        (lambda s, d: (s, dict(d, ETHUSDT=d[SYMBOL][:3])), True, False),
        (lambda s, d: (dict(s, dataset_ref="other"), d), True, False),
        (with_open(100), False, False),
        (with_open(100.0), False, False),
        (with_open(100.5), True, False),
        (lambda s, d: (s, {SYMBOL: d[SYMBOL][:-1]}), True, True),
    ],
    ids=["member_order", "unknown_strategy_member", "other_symbol", "dataset_ref",
         "integer_price", "float_price", "unused_price", "fewer_candles"],
)
def test_hash_scope(prover, spec, data, change, inputs_change, report_changes):
    data = copy.deepcopy(data)
    data[SYMBOL][0]["open"] = 100.0
    inputs, report = hashes(prover, spec, data)
    changed_inputs, changed_report = hashes(prover, *change(spec, data))
    assert (changed_inputs != inputs, changed_report != report) == (inputs_change, report_changes)


def tamper(proof, key, change):
    changed = dict(proof)
    changed[key] = change(proof[key])
    return changed


def flip_first(text):
    return ("1" if text[0] == "0" else "0") + text[1:]


@pytest.mark.parametrize(
    "key, change, valid",
    [
        (None, None, True),
        ("report_hash", flip_first, False),
        ("report_hash", str.upper, False),
        ("report_hash", lambda h: h + " ", False),
        ("inputs_hash", flip_first, False),
        ("engine_version", lambda v: "0.2.1", False),
        ("report", lambda r: {"forged": True}, True),
    ],
    ids=["own", "report_hash_digit", "report_hash_case", "report_hash_blank", "inputs_hash",
         "engine_version", "report_only"],
)
def test_verify(prover, spec, data, key, change, valid):
    proof = json.loads(prove(prover, spec, data))
    if key is not None:
        proof = tamper(proof, key, change)
    assert verify(prover, proof, spec, data) == '{"ok":true,"valid":%s}' % json.dumps(valid)


def strategy_with(spec, **changes):
    changed = copy.deepcopy(spec)
    changed["strategy"].update(changes)
    return changed


@pytest.mark.parametrize(
    "make, message",
    [
        (lambda s, d: (dict(s, engine_version="0.2"), d),
         "engine mismatch: expected 0.2, linked 0.2.0"),
        (lambda s, d: (dict(s, strategy=None), {}),
         "bad spec: invalid type: null, expected struct StrategySpec"),
        (lambda s, d: (strategy_with(s, symbol="ETHUSDT"), d), "data: no candles for symbol ETHUSDT"),
        (lambda s, d: (s, {SYMBOL: []}), "backtest: invalid input data: no candles"),
        (lambda s, d: (strategy_with(s, entry={"gt": ["missing", 1]}), d),
         "backtest: rule references undeclared indicator: missing"),
    ],
    ids=["engine_version", "strategy_null", "symbol_absent", "empty_candles", "undeclared"],
)
def test_prove_failures_are_error_responses(prover, spec, data, make, message):
    bad_spec, bad_data = make(spec, data)
    response = prove(prover, bad_spec, bad_data)
    assert response == json.dumps({"error": message, "ok": False}, separators=(",", ":"))


def test_engine_version_accepted_when_it_matches(prover, spec, data):
    assert prove(prover, dict(spec, engine_version="0.2.0"), data) == prove(prover, spec, data)
    assert prove(prover, dict(spec, engine_version=None), data) == prove(prover, spec, data)


def test_proof_spec_array_form(prover, spec, data):
    as_array = [spec["strategy"], spec["dataset_ref"]]
    assert prove(prover, as_array, data) == prove(prover, spec, data)
