"""Proves an SMA-crossover strategy over sample candles, verifies the proof and
shows that a tampered proof fails verification."""

from __future__ import annotations

import json
import pathlib
import sys
import time

from fendro_proof import Prover, __version__

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
from sample_candles import candles  # noqa: E402

BARS = 5000


def run(prover: Prover, request: dict) -> dict:
    response = json.loads(prover.command(json.dumps(request)))
    if isinstance(response, dict) and response.get("ok") is False:
        sys.exit(f"command {request['cmd']!r} failed: {response['error']}")
    return response


def main() -> None:
    prover = Prover()
    strategy = json.loads((HERE / "sma_crossover.json").read_text())
    spec = {"strategy": strategy, "dataset_ref": f"sample-btcusdt-1h-{BARS}"}
    data = {strategy["symbol"]: candles(BARS)}

    started = time.perf_counter()
    proof = run(prover, {"cmd": "prove", "spec": spec, "data": data})
    elapsed = time.perf_counter() - started

    report = proof["report"]
    metrics = report["metrics"]
    trades = report["trades"]
    fast, slow = (strategy["indicators"][k]["params"][0] for k in ("fast", "slow"))
    print(f"fendro_proof {__version__}: SMA({fast}) / SMA({slow}) crossover,"
          f" {strategy['risk']['stop_loss_pct']}% stop loss,"
          f" {strategy['costs']['taker_bps']} bps taker fee")
    print(f"  candles          {len(report['equity'])} x {report['timeframe']} {report['symbol']}"
          f" (proved in {elapsed * 1000:.0f} ms)")
    print(f"  trades           {metrics['num_trades']}"
          f" ({sum(t['reason'] == 'stop_loss' for t in trades)} stopped out)")
    print(f"  pnl              {metrics['pnl']:.2f} on {report['initial_capital']:.0f}"
          f" ({metrics['return_pct']:.2f}%)")
    print(f"  fees paid        {report['fees_paid']:.2f}")
    print(f"  win rate         {metrics['win_rate']:.1f}%")
    print(f"  max drawdown     {metrics['max_drawdown']:.2f}%")
    print(f"  sharpe / bar     {metrics['sharpe']:.4f}")
    print(f"  inputs_hash      {proof['inputs_hash']}")
    print(f"  report_hash      {proof['report_hash']}")

    verdict = run(prover, {"cmd": "verify", "proof": proof, "spec": spec, "data": data})
    print(f"verify original proof:  valid={verdict['valid']}")

    tampered = dict(proof)
    first = tampered["report_hash"][0]
    tampered["report_hash"] = ("1" if first == "0" else "0") + tampered["report_hash"][1:]
    verdict_tampered = run(prover, {"cmd": "verify", "proof": tampered, "spec": spec, "data": data})
    print(f"verify tampered proof:  valid={verdict_tampered['valid']}")

    if not verdict["valid"] or verdict_tampered["valid"]:
        sys.exit("unexpected verification result")


if __name__ == "__main__":
    main()
