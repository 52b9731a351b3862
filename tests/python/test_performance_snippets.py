"""The snippets of docs/performance.md for large data and parameter sweeps run as shown."""

import importlib.util
import json
import pathlib
import re
import sys

import pytest

from conftest import STRATEGY, SYMBOL, candles

# The snippets write and read their text with orjson, which the `test` extra installs.
pytest.importorskip("orjson", reason="the snippets need orjson: pip install '.[test]'")

PERFORMANCE = pathlib.Path(__file__).resolve().parents[2] / "docs" / "performance.md"


def snippets_module(tmp_path):
    section = PERFORMANCE.read_text().split("\n## At scale\n", 1)[1].split("\n## ", 1)[0]
    blocks = re.findall(r"```python\n(.*?)```", section, re.S)
    assert len(blocks) == 2
    # A real module, so that the process pool can pickle its functions by name.
    path = tmp_path / "scale_snippets.py"
    path.write_text("\n\n".join(blocks))
    spec = importlib.util.spec_from_file_location("scale_snippets", path)
    module = importlib.util.module_from_spec(spec)
    sys.modules["scale_snippets"] = module
    spec.loader.exec_module(module)
    return module


def test_columns_give_the_proof_of_the_dict_candles(tmp_path, prover):
    m = snippets_module(tmp_path)
    bars = candles(300)
    columns = [[b[k] for b in bars] for k in ("time", "open", "high", "low", "close", "volume")]
    fast = prover.command(m.prove_command(STRATEGY, "cols", *columns))
    plain = prover.command(json.dumps({
        "cmd": "prove",
        "spec": {"strategy": STRATEGY, "dataset_ref": "cols"},
        "data": {SYMBOL: bars},
    }))
    assert json.loads(fast)["report_hash"]
    assert fast == plain


def test_sweep_runs_each_period_in_a_pool(tmp_path, prover):
    m = snippets_module(tmp_path)
    bars = candles(200)
    columns = [[b[k] for b in bars] for k in ("time", "open", "high", "low", "close", "volume")]
    results = m.sweep(STRATEGY, "sweep", columns, [3, 5, 8], workers=2)
    assert sorted(results) == [3, 5, 8]
    for period, got in results.items():
        variant = json.loads(json.dumps(STRATEGY))
        variant["indicators"]["fast"]["params"] = [period]
        proof = json.loads(prover.command(m.prove_command(variant, "sweep", *columns)))
        # Only what the caller keeps comes back, and it is the proof's.
        assert got == {"metrics": proof["report"]["metrics"],
                       "inputs_hash": proof["inputs_hash"], "report_hash": proof["report_hash"]}


def test_sweep_hands_back_a_failed_proof_as_its_error(tmp_path):
    m = snippets_module(tmp_path)
    bars = candles(50)
    columns = [[b[k] for b in bars] for k in ("time", "open", "high", "low", "close", "volume")]
    results = m.sweep(STRATEGY, "sweep", columns, [0, 4], workers=1)
    assert results[0]["ok"] is False
    assert results[0]["error"].startswith("backtest: invalid parameters for indicator Sma")
    assert set(results[4]) == {"metrics", "inputs_hash", "report_hash"}


def test_sweep_workers_receive_the_columns_once(tmp_path, monkeypatch):
    # The pool gets the columns through its initializer, not with each period.
    m = snippets_module(tmp_path)
    seen = {}

    class Pool:
        def __init__(self, max_workers=None, initializer=None, initargs=()):
            seen["initargs"] = initargs
            initializer(*initargs)

        def __enter__(self):
            return self

        def __exit__(self, *exc):
            return False

        def map(self, fn, items):
            seen["items"] = list(items)
            return [fn(i) for i in seen["items"]]

    monkeypatch.setattr(m, "ProcessPoolExecutor", Pool)
    bars = candles(60)
    columns = [[b[k] for b in bars] for k in ("time", "open", "high", "low", "close", "volume")]
    results = m.sweep(STRATEGY, "once", columns, [3, 6])
    assert seen["items"] == [3, 6]
    assert seen["initargs"] == (STRATEGY, "once", columns)
    assert STRATEGY["indicators"]["fast"]["params"] == [5]  # the caller's strategy is not changed
    assert all(r["report_hash"] for r in results.values())
