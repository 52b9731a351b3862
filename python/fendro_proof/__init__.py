"""Deterministic, hash-sealed backtests of JSON strategies, driven by JSON commands."""

from ._fendro_proof import Prover, __version__

__all__ = ["Prover", "__version__"]
