"""The prove bench's halting candles are what --halt says, and its commands prove."""

import importlib.util
import json
import pathlib

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
_spec = importlib.util.spec_from_file_location("python_prove_bench", ROOT / "bench" / "python_prove_bench.py")
bench = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(bench)


@pytest.mark.parametrize("count, moving", [(1, 1), (9, 1), (10, 1), (1000, 100), (1005, 100)])
def test_halting_candles_move_for_a_tenth_then_halt(count, moving):
    candles = json.loads(bench.halting_candles_json(count))
    assert len(candles) == count
    assert candles[:moving] == json.loads(bench.candles_json(moving))
    last = candles[moving - 1]
    for i, c in enumerate(candles[moving:], start=1):
        assert c["time"] == last["time"] + i * bench.HOUR_MS
        assert [c[k] for k in ("open", "high", "low", "close", "volume")] == [last["close"]] * 4 + [0.0]


@pytest.mark.parametrize("halt", [False, True])
def test_commands_prove(prover, halt):
    proof = json.loads(prover.command(bench.command_text(500, "common5", halt)))
    assert list(proof) == ["engine_version", "inputs_hash", "report", "report_hash"]
