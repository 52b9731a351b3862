"""The native module (`fendro_proof._fendro_proof`).

Its class Prover applies the JSON commands "prove", "verify", "canonicalize"
and "version" (see help(fendro_proof)). Every member and field: docs/strategy.md,
docs/report.md, docs/proofs.md and docs/indicators.md in the source tree.
"""

from typing import Final, final

__version__: Final[str]
__all__: list[str]

@final
class Prover:
    """A stateless prover driven by JSON commands.

    One method does the work: command(cmd_json) takes a JSON text and
    returns the JSON text of its answer. The commands, named by the
    member "cmd":
      "prove"         runs a strategy over candles; answers a proof sealed
                      by two hashes
      "verify"        runs a proof's inputs again; answers whether its
                      hashes still match
      "canonicalize"  answers the canonical text of a JSON value, the
                      text every hash is taken of
      "version"       answers the engine version

    The documents, in the source tree's docs/:
      strategy.md    the commands, every request and strategy member
      report.md      the proof and every report field
      proofs.md      the canonical text; recomputing both hashes
      indicators.md  every indicator type, its parameters and outputs
    """

    def __new__(cls) -> "Prover": ...
    def command(self, cmd_json: str) -> str:
        """Apply a command JSON and return the resulting response JSON.

        The member "cmd" of cmd_json names the command: "prove", "verify",
        "canonicalize" or "version" (see help(fendro_proof)). The answer is always
        canonical JSON text; a failed command is answered as
        {"error":message,"ok":false}. Only a bad argument, a busy Prover,
        exhausted memory or an interrupt raise. Every member and field:
        docs/strategy.md, docs/report.md, docs/proofs.md and docs/indicators.md
        in the source tree.
        """
    @staticmethod
    def version() -> str:
        """The library version.

        The engine_version every proof carries, which the "version" command answers
        too; "prove", "verify" and "canonicalize" go through command(). See
        docs/strategy.md, docs/report.md, docs/proofs.md and docs/indicators.md in
        the source tree.
        """
