"""Recomputes the two hashes of a proof without fendro_proof.

    python examples/check_hashes.py REQUEST RESPONSE

REQUEST is a "prove" command (a JSON file holding "spec" and "data") and
RESPONSE the proof it was answered with. Both hashes are computed again from
these files alone, by the rules of docs/proofs.md: a canonical JSON writer of
its own and BLAKE3 from the `blake3` package (pip install blake3).

Exits 0 and prints "ok" when `inputs_hash` and `report_hash` both match and
the report's text in RESPONSE, whitespace between tokens aside, is its
canonical text, as in every answer of the module. Exits 1 with a line for
each hash that differs: from the value recomputed, or (`report_hash`) from
the hash of a report text that is not canonical, whose rewriting alone may
match. A file that cannot be read or checked, text the module refuses to
read even where no hash looks, or a response that is not a proof, exits 2.
"""

from __future__ import annotations

import json
import math
import os
import re
import sys
from typing import NamedTuple

from blake3 import blake3

# Integers are kept as written within these bounds; beyond them a number
# written without fraction or exponent is an f64, like every other number.
I64_MIN = -(2**63)
U64_MAX = 2**64 - 1
# Floats whose magnitude is below this (the f64 nearest 2^52 / 10^8) are
# written with eight decimals; from it on, with their shortest digits.
SHORTEST_FROM = 45035996.27370496
SCALE = 10**8
# The prover reads a command nested at most this many arrays and objects
# deep; a proof it is given to verify sits one level down, in "proof".
COMMAND_LEVELS = 127
PROOF_LEVELS = COMMAND_LEVELS - 1


class Unusable(Exception):
    """A file that cannot be checked: not JSON, not a proof, no such member."""


class Loaded(NamedTuple):
    """A file's text and the value read from it."""

    text: str
    value: object


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


DECODER = json.JSONDecoder(parse_float=read_float, parse_int=read_int, parse_constant=refuse_constant)

# Every escape of a JSON text that has parsed: backslashes occur only inside
# strings, so a match that starts at one consumes exactly one escape. A pair
# of a leading and a trailing surrogate is one character; a surrogate alone is
# not text, and Python's json would keep it where the prover refuses it.
ESCAPE = re.compile(r"\\(?:u[dD][89abAB][0-9a-fA-F]{2}\\u[dD][c-fC-F][0-9a-fA-F]{2}|(u[dD][89a-fA-F][0-9a-fA-F]{2})|.)",
                    re.S)
WHITESPACE = re.compile(r"[ \t\n\r]*")
# A string (its escapes included), or a run of whitespace between tokens.
STRING_OR_BLANKS = re.compile(r'("(?:[^"\\]|\\.)*")|[ \t\n\r]+', re.S)
# A string, whose brackets are its own text, or a bracket.
STRING_OR_BRACKET = re.compile(r'"(?:[^"\\]|\\.)*"|[][{}]', re.S)


def place(text: str, at: int) -> str:
    """Where `at` is, as "line L column C", both counted from 1."""
    line = text.count("\n", 0, at) + 1
    column = at - text.rfind("\n", 0, at)
    return f"line {line} column {column}"


def refuse_lone_surrogates(text: str) -> None:
    for escape in ESCAPE.finditer(text):
        if escape.group(1):
            raise Unusable(f"a lone surrogate \\{escape.group(1)} at {place(text, escape.start())} is not text "
                           "(the prover refuses it too)")


def refuse_deep_nesting(text: str, levels: int) -> None:
    """Refuses what the prover refuses to read, wherever it is: nesting below
    a member that nothing here reads still fails the prover's parse."""
    depth = 0
    for token in STRING_OR_BRACKET.finditer(text):
        bracket = text[token.start()]
        if bracket in "[{":
            depth += 1
            if depth > levels:
                raise Unusable(f"arrays and objects nested deeper than {levels} levels at "
                               f"{place(text, token.start())} (the prover refuses them too)")
        elif bracket != '"':
            depth -= 1


def load(path: str, levels: int) -> Loaded:
    """The file's text and value, nested at most `levels` deep."""
    try:
        with open(path, "rb") as f:
            text = f.read().decode("utf-8")
        if text.startswith("\ufeff"):
            raise Unusable("a byte order mark is not JSON")
        value = DECODER.decode(text)
        refuse_lone_surrogates(text)
        refuse_deep_nesting(text, levels)
        return Loaded(text, value)
    except (OSError, UnicodeDecodeError, ValueError, RecursionError) as e:
        raise Unusable(f"{path}: {e}") from None
    except Unusable as e:
        raise Unusable(f"{path}: {e}") from None


def member_texts(text: str) -> dict[str, str]:
    """Each member's value of the JSON object `text` as written (a repeated
    key's last, as it is read); `text` has parsed, so it is well formed."""
    def skip_blanks(at: int) -> int:
        return WHITESPACE.match(text, at).end()

    texts: dict[str, str] = {}
    at = skip_blanks(skip_blanks(0) + 1)  # past the `{`
    while text[at] == '"':
        key, at = json.decoder.scanstring(text, at + 1)
        start = skip_blanks(skip_blanks(at) + 1)  # past the `:`
        _, end = DECODER.raw_decode(text, start)
        texts[key] = text[start:end]
        at = skip_blanks(end)
        if text[at] != ",":
            break
        at = skip_blanks(at + 1)
    return texts


def without_blanks(text: str) -> str:
    """A JSON text without the whitespace between its tokens, which no value holds."""
    return STRING_OR_BLANKS.sub(lambda m: m.group(1) or "", text)


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


def hash_text(text: str) -> str:
    return blake3(text.encode("utf-8")).hexdigest()


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


def spec_members(spec: object) -> tuple[object, object]:
    """The strategy and the dataset_ref of a spec object, or of a spec array
    `[strategy, dataset_ref]` or `[strategy, dataset_ref, engine_version]`."""
    if isinstance(spec, list):
        if not 2 <= len(spec) <= 3:
            raise Unusable("REQUEST: an array spec is [strategy, dataset_ref] or [strategy, dataset_ref, engine_version]")
        strategy, dataset_ref, engine_version = (spec + [None])[:3]
    elif "strategy" not in spec:
        raise Unusable("REQUEST: spec has no strategy")
    else:
        strategy, dataset_ref, engine_version = spec["strategy"], spec.get("dataset_ref"), spec.get("engine_version")
    # Its value never enters the inputs document, but the prover reads it.
    if engine_version is not None and not isinstance(engine_version, str):
        raise Unusable("REQUEST: spec's engine_version is neither a text nor null")
    return strategy, dataset_ref


def inputs_document(request: object, engine_version: str) -> dict:
    if not isinstance(request, dict) or not isinstance(request.get("spec"), (dict, list)) or "data" not in request:
        raise Unusable("REQUEST: not a command with members spec and data")
    if request.get("cmd") != "prove":  # the prover answers another command, or refuses it
        raise Unusable('REQUEST: its cmd is not "prove"')
    strategy, dataset_ref = spec_members(request["spec"])
    data = request["data"]
    if not isinstance(dataset_ref, str):
        raise Unusable("REQUEST: spec's dataset_ref is not a text")
    if not isinstance(data, dict) or not all(isinstance(v, list) for v in data.values()):
        raise Unusable("REQUEST: data maps each symbol to a list of candles")
    candles = {
        symbol: [candle_object(c, f"REQUEST: data.{symbol}[{k}]") for k, c in enumerate(rows)]
        for symbol, rows in data.items()
    }
    return {
        "candles": candles,
        "dataset_ref": dataset_ref,
        # The prover's own version, which the proof carries; a spec that names
        # another one is refused, so the spec's engine_version never enters.
        "engine_version": engine_version,
        "strategy": strategy,
    }


def first_difference(written: str, canonical_form: str) -> str:
    """Where a text leaves its canonical text, with the two around that point."""
    at = len(os.path.commonprefix([written, canonical_form]))
    start = max(0, at - 24)

    def around(text: str) -> str:
        part = ("..." if start else "") + text[start:at + 24] + ("..." if at + 24 < len(text) else "")
        return "`" + part.encode("unicode_escape").decode("ascii") + "`"

    return f"from character {at} (whitespace aside) RESPONSE has {around(written)}, the canonical text " \
           f"{around(canonical_form)}"


def check(request: Loaded, response: Loaded) -> list[str]:
    """A line for each hash that differs, with both hash texts, and one for a
    report whose text in RESPONSE is not canonical."""
    proof = response.value
    if not isinstance(proof, dict) or "error" in proof:
        error = proof.get("error") if isinstance(proof, dict) else None
        raise Unusable(f"RESPONSE: not a proof{': ' + str(error) if error is not None else ''}")
    for member in ("engine_version", "inputs_hash", "report", "report_hash"):
        if member not in proof:
            raise Unusable(f"RESPONSE: not a proof: no member {member}")
    for member in ("engine_version", "inputs_hash", "report_hash"):
        if not isinstance(proof[member], str):
            raise Unusable(f"RESPONSE: {member} is not a text")
    report = canonical(proof["report"])
    computed = {
        "inputs_hash": hash_text(canonical(inputs_document(request.value, proof["engine_version"]))),
        "report_hash": hash_text(report),
    }
    lines = [
        f"{name} differs: the proof has {proof[name]}, recomputed {value}"
        for name, value in computed.items()
        if proof[name] != value
    ]
    # The hash seals the report's canonical text, which every other text of
    # the same values shares: a digit beyond a double's precision or beyond 8
    # decimals, a number's or a string's spelling, the order of members. So
    # the report's text as written must be that text too, but for whitespace
    # between tokens (a proof laid out over lines), which holds no value.
    written = without_blanks(member_texts(response.text)["report"])
    if written != report:
        if proof["report_hash"] == computed["report_hash"]:
            lines.append(f"report_hash differs from the report's text as written (whitespace aside): the proof has "
                         f"{proof['report_hash']}, that text hashes to {hash_text(written)}; only its canonical "
                         "rewriting matches")
        lines.append("the report's text is not canonical, as a module's answer always is: "
                     + first_difference(written, report))
    return lines


def main(argv: list[str]) -> int:
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        lines = check(load(argv[1], COMMAND_LEVELS), load(argv[2], PROOF_LEVELS))
    except Unusable as e:
        print(f"cannot check: {e}", file=sys.stderr)
        return 2
    for line in lines:
        print(line)
    if lines:
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
