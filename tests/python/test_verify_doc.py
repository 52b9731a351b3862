"""docs/strategy.md's way to find where a proof of another version parts from
this one: its snippet names the first trade that differs, and nothing when
the trades agree."""

import json
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parents[2]


def snippet():
    text = (ROOT / "docs" / "strategy.md").read_text(encoding="utf-8")
    section = text.split("#### A proof made by another version", 1)[1].split("\n#", 1)[0]
    namespace = {}
    exec(re.search(r"```python\n(.*?)```", section, re.S).group(1), namespace)
    return namespace["first_moved_trade"]


def prove(prover, spec, data):
    return json.loads(prover.command(json.dumps({"cmd": "prove", "spec": spec, "data": data})))


def test_the_same_run_has_no_moved_trade(prover, spec, data):
    assert snippet()(prove(prover, spec, data), spec, data) is None


def test_a_run_whose_value_moved_on_one_bar_is_found_at_its_first_changed_trade(prover, spec, data):
    first_moved_trade = snippet()
    trades = prove(prover, spec, data)["report"]["trades"]
    assert len(trades) >= 3
    # A proof made where one close read otherwise: the third trade's entry
    # signal is gone (its bar closes far below both averages), as a moved
    # value would take it away.
    moved = json.loads(json.dumps(data))
    bars = moved["BTCUSDT"]
    at = next(i for i, c in enumerate(bars) if c["time"] == trades[2]["entry_time"]) - 1
    bars[at]["close"] = bars[at]["low"] = bars[at]["close"] / 2
    older = prove(prover, spec, moved)
    assert older["report"]["trades"][:2] == trades[:2]

    index, theirs, ours = first_moved_trade(older, spec, data)
    assert index == 2
    assert ours == trades[2]
    assert theirs != ours
    assert theirs is None or theirs["entry_time"] != ours["entry_time"]
