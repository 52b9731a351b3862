"""The README's "Before you trust a backtest" list and its cost line say what
the module does: each claim that can be tried is tried."""

import copy
import json
import pathlib
import re

import pytest

from fendro_proof import Prover

ROOT = pathlib.Path(__file__).resolve().parents[2]
README = " ".join((ROOT / "README.md").read_text().split())

STRATEGY = {
    "symbol": "BTCUSDT", "timeframe": "1h",
    "indicators": {"sma": {"type": "Sma", "params": [5]}},
    "entry": {"gt": [{"price": "close"}, "sma"]}, "exit": {"lt": [{"price": "close"}, "sma"]},
    "sizing": {"type": "fixed_fraction", "fraction": 0.5},
    "costs": {"taker_bps": 5, "slippage": {"type": "fixed_bps", "bps": 2}}, "risk": {"stop_loss_pct": 3},
}
CANDLES = [{"time": k * 3_600_000, "open": 100 + k % 7, "high": 108, "low": 99, "close": 100 + k % 5, "volume": 1}
           for k in range(40)]


def answer(strategy):
    request = {"cmd": "prove", "spec": {"strategy": strategy, "dataset_ref": "trust"}, "data": {"BTCUSDT": CANDLES}}
    return json.loads(Prover().command(json.dumps(request)))


def renamed(path, new_name):
    """STRATEGY with the member at `path` (names from the top) given under `new_name`."""
    strategy = copy.deepcopy(STRATEGY)
    *parents, name = path
    record = strategy
    for parent in parents:
        record = record[parent]
    record[new_name] = record.pop(name)
    return strategy


def test_the_misspelled_required_member_is_refused_as_written():
    misspelled, error = re.search(r'a misspelled required one is refused \(`"(\w+)"`: ``(.*?) ``\)', README).groups()
    assert answer(renamed(["sizing", "fraction"], misspelled)) == {"error": error, "ok": False}


@pytest.mark.parametrize("path, typo", [
    (["symbol"], "symbl"), (["entry"], "entri"), (["sizing", "fraction"], "fracton"),
    (["indicators", "sma", "type"], "typ"), (["costs", "slippage", "bps"], "bsp"),
])
def test_every_misspelled_required_member_is_refused(path, typo):
    assert answer(renamed(path, typo)) == {"error": f"bad spec: missing field `{path[-1]}`", "ok": False}


@pytest.mark.parametrize("path, typo", [
    (["risk", "stop_loss_pct"], "stop_los_pct"), (["costs", "taker_bps"], "taker_bsp"), (["risk"], "risks"),
])
def test_a_misspelled_optional_member_is_skipped_and_its_default_runs(path, typo):
    without = copy.deepcopy(STRATEGY)
    *parents, name = path
    record = without
    for parent in parents:
        record = record[parent]
    del record[name]
    proof = answer(renamed(path, typo))
    assert "error" not in proof
    assert proof["report"] == answer(without)["report"]


def section(page, heading, end):
    text = (ROOT / page).read_text()
    start = text.index(heading)
    return text[start:text.index(end, start)]


def test_the_two_sets_of_74_are_told_apart_and_share_no_type():
    cannot, grows = (int(n) for n in re.search(
        r"- (\d+) types fed by trades, .*? never give a value in a \"prove\".*?"
        r"Most types cost the same on every bar; (\d+) others, all fed by candles, cost more", README).groups())
    no_value = set(re.findall(r"`(\w+)`", section(
        "docs/strategy.md", "### What candles alone cannot drive", "A rule that reads one of them")))
    costs = section("docs/performance.md", "### Types whose cost grows with a parameter", 'A "-" is a window')
    growing = set(re.findall(r"^\| `(\w+)`", costs, re.M))
    for line in re.findall(r"^- n.*$", costs, re.M):
        growing |= set(re.findall(r"`(\w+)`", line))
    assert (len(no_value), len(growing)) == (cannot, grows)
    assert not no_value & growing
