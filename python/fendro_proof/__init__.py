"""Deterministic, hash-sealed backtests of JSON strategies, driven by JSON commands.

    from fendro_proof import Prover
    answer = Prover().command('{"cmd":"version"}')

Prover.command takes a JSON text and returns the JSON text of its answer; the
member "cmd" names the command: "prove", "verify", "canonicalize" or "version"
(see help(Prover)). Every member and field: docs/strategy.md, docs/report.md,
docs/proofs.md and docs/indicators.md in the source tree.
"""

from ._fendro_proof import Prover, __version__

__all__ = ["Prover", "__version__"]
