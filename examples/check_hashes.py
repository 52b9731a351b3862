"""Recomputes the two hashes of a proof without fendro_proof.

    python examples/check_hashes.py REQUEST RESPONSE

REQUEST is a "prove" command (a JSON file holding "spec" and "data") and
RESPONSE the proof it was answered with. Both hashes are computed again from
these files alone, by the rules of docs/proofs.md: a canonical JSON writer of
its own and BLAKE3 from the `blake3` package (pip install blake3).

Prints "ok" and exits 0 when `inputs_hash` and `report_hash` both match;
names each hash that differs and exits 1 otherwise. A file that cannot be
read, or a response that is not a proof, exits 2.
"""

from __future__ import annotations

import json
import math
import sys

from blake3 import blake3

# Integers are kept as written within these bounds; beyond them a number
# written without fraction or exponent is an f64, like every other number.
I64_MIN = -(2**63)
U64_MAX = 2**64 - 1
# Floats whose magnitude is below this (the f64 nearest 2^52 / 10^8) are
# written with eight decimals; from it on, with their shortest digits.
SHORTEST_FROM = 45035996.27370496
SCALE = 10**8


class Unusable(Exception):
    """A file that cannot be checked: not JSON, not a proof, no such member."""


# --- Reading: numbers keep the kind the prover gives them ---------------------


def read_float(text: str) -> float:
    value = float(text)  # correctly rounded, as the prover reads it
    if math.isinf(value):
        raise Unusable(f"number out of range: {text[:40]}")
    return value


def read_int(text: str) -> int | float:
    if text == "-0":
        return -0.0  # a negative zero is a float
    if len(text) <= 21:  # 20 digits and a sign at most fit 64 bits
        value = int(text)
        if I64_MIN <= value <= U64_MAX:
            return value
    return read_float(text)


def refuse_constant(name: str) -> None:
    raise Unusable(f"{name} is not JSON")


def parse(text: str) -> object:
    return json.loads(text, parse_float=read_float, parse_int=read_int, parse_constant=refuse_constant)


def load(path: str) -> object:
    try:
        with open(path, "rb") as f:
            return parse(f.read().decode("utf-8"))
    except (OSError, UnicodeDecodeError, ValueError, RecursionError) as e:
        raise Unusable(f"{path}: {e}") from None
    except Unusable as e:
        raise Unusable(f"{path}: {e}") from None


# --- Writing: the canonical text ----------------------------------------------

SHORT_ESCAPES = {'"': '\\"', "\\": "\\\\", "\b": "\\b", "\t": "\\t", "\n": "\\n", "\f": "\\f", "\r": "\\r"}
ESCAPES = {chr(c): SHORT_ESCAPES.get(chr(c), f"\\u{c:04x}") for c in range(0x20)}
ESCAPES.update(SHORT_ESCAPES)
ESCAPE_TABLE = str.maketrans(ESCAPES)


def canonical_string(s: str) -> str:
    return '"' + s.translate(ESCAPE_TABLE) + '"'


def shortest_positional(x: float) -> str:
    """The shortest digits that read back as x, never with an exponent."""
    mantissa, _, exponent = repr(abs(x)).partition("e")
    whole, _, fraction = mantissa.partition(".")
    digits = (whole + fraction).lstrip("0")
    point = len(whole) + int(exponent or 0)
    digits = digits.rstrip("0") or "0"
    sign = "-" if x < 0 else ""
    if point >= len(digits):
        return sign + digits + "0" * (point - len(digits))
    return sign + digits[:point] + "." + digits[point:]


def canonical_float(x: float) -> str:
    if not math.isfinite(x):
        return "null"
    if x == 0:
        return "0"  # either sign
    if abs(x) >= SHORTEST_FROM:
        return shortest_positional(x)
    # |x| * 10^8 rounded from the exact binary value, ties to even.
    numerator, denominator = abs(x).as_integer_ratio()
    q, r = divmod(numerator * SCALE, denominator)
    if 2 * r > denominator or (2 * r == denominator and q % 2 == 1):
        q += 1
    if q == 0:
        return "0"
    whole, fraction = divmod(q, SCALE)
    text = ("-" if x < 0 else "") + str(whole)
    if fraction:
        text += "." + f"{fraction:08d}".rstrip("0")
    return text


def canonical(value: object) -> str:
    if value is None:
        return "null"
    if value is True:
        return "true"
    if value is False:
        return "false"
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        return canonical_float(value)
    if isinstance(value, str):
        return canonical_string(value)
    if isinstance(value, list):
        return "[" + ",".join(canonical(v) for v in value) + "]"
    if isinstance(value, dict):
        members = sorted(value.items(), key=lambda m: m[0].encode("utf-8"))
        return "{" + ",".join(canonical_string(k) + ":" + canonical(v) for k, v in members) + "}"
    raise TypeError(f"not a JSON value: {value!r}")


def hash_text(value: object) -> str:
    return blake3(canonical(value).encode("utf-8")).hexdigest()


# --- The inputs document ------------------------------------------------------

CANDLE_FIELDS = ("time", "open", "high", "low", "close", "volume")


def is_number(v: object) -> bool:
    return isinstance(v, (int, float)) and not isinstance(v, bool)


def candle_object(c: object, where: str) -> dict:
    """The candle as the inputs document holds it: every field, floats as f64."""
    if isinstance(c, list):
        if not 5 <= len(c) <= 6:
            raise Unusable(f"{where}: a candle array holds 5 or 6 elements")
        fields = dict(zip(CANDLE_FIELDS, c))
    elif isinstance(c, dict):
        fields = {k: v for k, v in c.items() if k in CANDLE_FIELDS}  # other members are ignored
    else:
        raise Unusable(f"{where}: a candle is an array or an object")
    fields.setdefault("volume", 0.0)
    time = fields.get("time")
    if type(time) is not int or time > 2**63 - 1:
        raise Unusable(f"{where}: time must be an integer of 64 bits")
    out = {"time": time}
    for name in CANDLE_FIELDS[1:]:
        v = fields.get(name)
        if not is_number(v):
            raise Unusable(f"{where}: {name} must be a number")
        out[name] = float(v)  # integers are converted, correctly rounded
    return out


def inputs_document(request: object, engine_version: str) -> dict:
    if not isinstance(request, dict) or not isinstance(request.get("spec"), dict) or "data" not in request:
        raise Unusable("REQUEST: not a command with members spec and data")
    spec, data = request["spec"], request["data"]
    if "strategy" not in spec or not isinstance(spec.get("dataset_ref"), str):
        raise Unusable("REQUEST: spec needs strategy and a dataset_ref text")
    if not isinstance(data, dict) or not all(isinstance(v, list) for v in data.values()):
        raise Unusable("REQUEST: data maps each symbol to a list of candles")
    candles = {
        symbol: [candle_object(c, f"REQUEST: data.{symbol}[{k}]") for k, c in enumerate(rows)]
        for symbol, rows in data.items()
    }
    return {
        "candles": candles,
        "dataset_ref": spec["dataset_ref"],
        # The prover's own version, which the proof carries; a spec that names
        # another one is refused, so the spec's member never enters.
        "engine_version": engine_version,
        "strategy": spec["strategy"],
    }


def check(request: object, response: object) -> list[str]:
    """A line for each hash that differs, with both hash texts."""
    if not isinstance(response, dict) or "error" in response:
        error = response.get("error") if isinstance(response, dict) else None
        raise Unusable(f"RESPONSE: not a proof{': ' + str(error) if error is not None else ''}")
    for member in ("engine_version", "inputs_hash", "report", "report_hash"):
        if member not in response:
            raise Unusable(f"RESPONSE: not a proof: no member {member}")
    if not isinstance(response["engine_version"], str):
        raise Unusable("RESPONSE: engine_version is not a text")
    computed = {
        "inputs_hash": hash_text(inputs_document(request, response["engine_version"])),
        "report_hash": hash_text(response["report"]),
    }
    return [
        f"{name} differs: the proof has {response[name]}, recomputed {value}"
        for name, value in computed.items()
        if response[name] != value
    ]


def main(argv: list[str]) -> int:
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        differences = check(load(argv[1]), load(argv[2]))
    except Unusable as e:
        print(f"cannot check: {e}", file=sys.stderr)
        return 2
    for line in differences:
        print(line)
    if differences:
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
