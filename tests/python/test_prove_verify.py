"""prove and verify end to end through the Python module."""

import copy
import json

from conftest import SYMBOL, call


def prove(prover, spec, data):
    return call(prover, {"cmd": "prove", "spec": spec, "data": data})


def verify(prover, proof, spec, data):
    return call(prover, {"cmd": "verify", "proof": proof, "spec": spec, "data": data})


def test_verify_own_proof_changed_inputs_and_engine_failures(prover, spec, data):
    proof = json.loads(prove(prover, spec, data))
    assert verify(prover, proof, spec, data) == '{"ok":true,"valid":true}'
    changed = copy.deepcopy(data)
    changed[SYMBOL][-1]["close"] += 1
    assert verify(prover, proof, spec, changed) == '{"ok":true,"valid":false}'
    response = verify(prover, proof, spec, {"ETHUSDT": data[SYMBOL]})
    assert response == '{"error":"data: no candles for symbol %s","ok":false}' % SYMBOL
