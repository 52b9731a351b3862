"""Deterministic, hash-sealed backtests of JSON strategies, driven by JSON commands.

    from fendro_proof import Prover
    answer = Prover().command('{"cmd":"version"}')

One method does the work: Prover.command(cmd_json) takes a JSON text and
returns the JSON text of its answer. The commands, named by the member "cmd":
  "prove"         runs a strategy over candles; answers a proof sealed
                  by two hashes
  "verify"        runs a proof's inputs again; answers whether its
                  hashes still match
  "canonicalize"  answers the canonical text of a JSON value, the
                  text every hash is taken of
  "version"       answers the engine version

The answer is always canonical JSON text; a failed command is answered as
{"error":message,"ok":false}. Only a bad argument, a busy Prover, exhausted
memory or an interrupt raise.

The documents, in the source tree's docs/:
  strategy.md    the commands, every request and strategy member
  report.md      the proof and every report field
  proofs.md      the canonical text; recomputing both hashes
  indicators.md  every indicator type, its parameters and outputs
"""

from ._fendro_proof import Prover, __version__

__all__ = ["Prover", "__version__"]
