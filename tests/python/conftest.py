import json
import pathlib
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "examples"))

from fendro_proof import Prover  # noqa: E402
from sample_candles import candles  # noqa: E402

SYMBOL = "BTCUSDT"

STRATEGY = {
    "symbol": SYMBOL,
    "timeframe": "1h",
    "indicators": {
        "fast": {"type": "Sma", "params": [5]},
        "slow": {"type": "Sma", "params": [20]},
    },
    "entry": {"cross_above": ["fast", "slow"]},
    "exit": {"cross_below": ["fast", "slow"]},
    "sizing": {"type": "fixed_fraction", "fraction": 0.5},
    "costs": {"taker_bps": 5, "maker_bps": 2},
    "risk": {"stop_loss_pct": 2},
}


@pytest.fixture
def prover():
    return Prover()


@pytest.fixture
def spec():
    return {"strategy": json.loads(json.dumps(STRATEGY)), "dataset_ref": "sample"}


@pytest.fixture
def data():
    return {SYMBOL: candles(600)}


def call(prover, request):
    """Sends one command (a dict, or text as it stands) and returns the response text."""
    text = request if isinstance(request, str) else json.dumps(request)
    return prover.command(text)
