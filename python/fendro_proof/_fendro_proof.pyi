"""The native module (`fendro_proof._fendro_proof`)."""

from typing import Final, final

__version__: Final[str]
__all__: list[str]

@final
class Prover:
    """A stateless prover driven by JSON commands."""

    def __new__(cls) -> "Prover": ...
    def command(self, cmd_json: str) -> str:
        """Apply a command JSON and return the resulting response JSON."""
    @staticmethod
    def version() -> str:
        """The library version."""
