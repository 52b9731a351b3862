"""The README's snippets for large data and parameter sweeps run as shown."""

import importlib.util
import json
import pathlib
import re
import sys

from conftest import STRATEGY, SYMBOL, candles

README = pathlib.Path(__file__).resolve().parents[2] / "README.md"


def snippets_module(tmp_path):
    section = README.read_text().split("## At scale", 1)[1].split("\n## ", 1)[0]
    blocks = re.findall(r"```python\n(.*?)```", section, re.S)
    assert len(blocks) == 2
    # A real module, so that the process pool can pickle its functions by name.
    path = tmp_path / "readme_scale.py"
    path.write_text("\n\n".join(blocks))
    spec = importlib.util.spec_from_file_location("readme_scale", path)
    module = importlib.util.module_from_spec(spec)
    sys.modules["readme_scale"] = module
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
    build = lambda strategy: m.prove_command(strategy, "sweep", *columns)  # noqa: E731
    results = m.sweep(STRATEGY, build, [3, 5, 8], workers=2)
    assert sorted(results) == [3, 5, 8]
    for period, proof in results.items():
        variant = json.loads(json.dumps(STRATEGY))
        variant["indicators"]["fast"]["params"] = [period]
        assert proof == json.loads(prover.command(build(variant)))
