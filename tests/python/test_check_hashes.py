"""examples/check_hashes.py recomputes both hashes of a proof without the module.

It runs in a child interpreter in which fendro_proof cannot be imported, over
the golden proofs, the worked example of docs/proofs.md and commands made to
hold awkward numbers, texts, candle forms and array specs; and it must refuse
a proof whose report or inputs were changed, a report whose text is not
canonical, and every file the module refuses to read though the hashes never
see the fault: a lone surrogate, a spec's engine_version of another type,
nesting beyond the module's depth.
"""

import json
import os
import pathlib
import re
import subprocess
import sys

import pytest
from sample_candles import candles

pytest.importorskip("blake3", reason="examples/check_hashes.py needs blake3: pip install '.[test]'")

ROOT = pathlib.Path(__file__).resolve().parents[2]
SCRIPT = ROOT / "examples" / "check_hashes.py"
GOLDEN = ROOT / "tests" / "data" / "golden"

# Runs a script with fendro_proof made unimportable: any import of it fails.
BLOCKED = (
    "import runpy, sys; sys.modules['fendro_proof'] = None; "
    "sys.argv = sys.argv[1:]; runpy.run_path(sys.argv[0], run_name='__main__')"
)


def run_blocked(script, *args, cwd):
    env = {"PATH": os.environ.get("PATH", ""), "PYTHONIOENCODING": "utf-8"}
    return subprocess.run(
        [sys.executable, "-I", "-c", BLOCKED, str(script), *map(str, args)],
        capture_output=True, text=True, encoding="utf-8", env=env, cwd=cwd, timeout=120,
    )


def check(tmp_path, request_text, response_text):
    request, response = tmp_path / "request.json", tmp_path / "response.json"
    request.write_text(request_text, encoding="utf-8")
    response.write_text(response_text, encoding="utf-8")
    return run_blocked(SCRIPT, request, response, cwd=tmp_path)


def test_the_module_is_out_of_reach(tmp_path):
    script = tmp_path / "imports.py"
    script.write_text("import fendro_proof\n", encoding="utf-8")
    done = run_blocked(script, cwd=tmp_path)
    assert done.returncode != 0 and "import of fendro_proof halted" in done.stderr


def golden_request(name):
    """The golden command with the shared candles spliced in as written."""
    text = (GOLDEN / f"{name}.request.json").read_text(encoding="utf-8").rstrip()
    data = (GOLDEN / "data.json").read_text(encoding="utf-8")
    return text[:-1] + ',\n"data": ' + data + "}"


GOLDEN_NAMES = sorted(p.name.split(".")[0] for p in GOLDEN.glob("*.request.json"))


@pytest.mark.parametrize("name", GOLDEN_NAMES)
def test_golden_proofs(tmp_path, name):
    response = (GOLDEN / f"{name}.response.json").read_text(encoding="utf-8")
    done = check(tmp_path, golden_request(name), response)
    if '"error"' in response:
        assert (done.returncode, done.stdout) == (2, "") and "not a proof" in done.stderr
    else:
        assert (done.returncode, done.stdout, done.stderr) == (0, "ok\n", "")


def test_worked_example_of_the_document(prover, tmp_path):
    blocks = re.findall(r"```json\n(.*?)```", (ROOT / "docs" / "proofs.md").read_text(encoding="utf-8"), re.S)
    request, response = blocks[-2], blocks[-1].strip()
    assert prover.command(request) == response
    done = check(tmp_path, request, response)
    assert (done.returncode, done.stdout) == (0, "ok\n")


STRATEGY = (
    '{"symbol":"BTCUSDT","timeframe":"1h","indicators":{"fast":{"type":"Sma","params":[3]},'
    '"slow":{"type":"Sma","params":[8]}},"entry":{"cross_above":["fast","slow"]},'
    '"exit":{"cross_below":["fast","slow"]},"sizing":{"type":"fixed_fraction","fraction":0.5},'
    '"risk":{"stop_loss_pct":STOP}EXTRA}'
)
AWKWARD_NUMBERS = (
    "[0.1,1.0,-0,-0.0,3.000000001,0.001953125,0.000000005,0.000000015,100.123456789,"
    "45035996.27370495,45035996.273704955,45035996.27370496,45035996.273704976,45035997.5,"
    "4503599627370496e-8,1000000000.1,"
    "18446744073709551615,18446744073709551616,-9223372036854775808,-9223372036854775809,"
    "9223372036854775807,9007199254740993,1e300,-1.5E-300,5e-324,1e-400,0e99999,1E+2,"
    "123456789012345678901234567890," + "7." + "3" * 1100 + "e2]"
)
AWKWARD_VOLUMES = ["18446744073709551615", "18446744073709551616", "9007199254740993", "1e300", "0.000000005",
                   "1000000000.1"]
TEXTS = r'["tab\t \u001f \u00e9 \/ \u007f \"q\" \\ \u0000 \ud83d\ude00 中 \u2028","\b\f\n\r\u000b"]'


def rows(n, form, awkward=False):
    """n candles from the sample series, spelled in one of the forms."""
    out = []
    for k, c in enumerate(candles(n)):
        t, o, h, lo, cl, v = c["time"], c["open"], c["high"], c["low"], c["close"], c["volume"]
        if awkward:  # past 8 decimals, as integers, with exponents, at and beyond the 64-bit limits
            o, h, lo = f"{o:.12f}", repr(h + 1e-9), f"{lo:.3f}000000000001"
            cl = int(cl) if k % 3 == 0 else f"{cl * 1000:.9f}e-3"
            v = AWKWARD_VOLUMES[k % len(AWKWARD_VOLUMES)]
        fields = [t, o, h, lo, cl, v]
        if form == "array":
            out.append("[" + ",".join(map(str, fields if k % 2 else fields[:5])) + "]")
        else:
            members = [f'"{name}":{x}' for name, x in zip(("time", "open", "high", "low", "close", "volume"), fields)]
            if k % 2:
                members = members[:5][::-1] + ['"note":"ignored"', '"close":"replaced"', members[4]]
            out.append("{" + ",".join(members) + "}")
    return "[" + ",".join(out) + "]"


def command(data, stop="2", extra="", dataset_ref='"sample"'):
    strategy = STRATEGY.replace("STOP", stop).replace("EXTRA", extra)
    return f'{{"cmd":"prove","spec":{{"dataset_ref":{dataset_ref},"strategy":{strategy}}},"data":{data}}}'


CASES = {
    "array_candles": command('{"BTCUSDT":' + rows(120, "array") + "}"),
    "object_candles": command('{"BTCUSDT":' + rows(120, "object") + "}"),
    "awkward_candle_numbers": command('{"BTCUSDT":' + rows(120, "object", awkward=True) + "}"),
    "awkward_strategy_numbers": command('{"BTCUSDT":' + rows(120, "array") + "}", stop="2.000000001",
                                        extra=',"numbers":' + AWKWARD_NUMBERS),
    "times_at_the_64_bit_limits": command(
        '{"BTCUSDT":[[-9223372036854775808,1,1,1,1],[0,1,1,1,1,0],[9223372036854775807,1,1,1,1,1e-9]]}'),
    "texts": command(
        '{"BTCUSDT":' + rows(60, "array") + ',"\\u00e9t\\u00e9\\t\\"x\\"":' + rows(3, "object") + ',"B":[],"ab":[]}',
        extra=',"\\u00e9":' + TEXTS + ',"Z":' + TEXTS + ',"\\ud83d\\ude00":1,"\\uffff":2',
        dataset_ref=r'"ref \u0001\u001f\\\"/\u00e9\ud83d\ude00"'),
    "repeated_keys": command('{"BTCUSDT":[],"BTCUSDT":' + rows(60, "object") + "}",
                             extra=',"x":1,"x":{"y":2,"y":[3]}'),
    "surrogate_pairs_and_escaped_backslashes": command(
        '{"BTCUSDT":' + rows(60, "array") + "}",
        dataset_ref=r'"\\ud800 \\\ud83d\ude00 \\\\udfff \ud800\udc00 \udbff\udfff \uDBFF\uDC00"'),
}


@pytest.mark.parametrize("name", CASES)
def test_generated_commands(prover, tmp_path, name):
    response = prover.command(CASES[name])
    assert '"error"' not in response, response
    done = check(tmp_path, CASES[name], response)
    assert (done.returncode, done.stdout, done.stderr) == (0, "ok\n", "")


def test_tampered_proofs_are_refused(prover, tmp_path):
    request = CASES["object_candles"]
    response = prover.command(request)
    proof = json.loads(response)
    metrics = proof["report"]["metrics"]
    assert metrics["num_trades"] > 0
    metrics["num_trades"] += 1
    tampered_report = json.dumps(proof)
    done = check(tmp_path, request, tampered_report)
    assert done.returncode == 1
    assert done.stdout.startswith("report_hash differs") and "inputs_hash" not in done.stdout

    # A candle of another symbol: the report stands, the inputs do not.
    more_data = request.replace('"data":{', '"data":{"ETHUSDT":[[0,1,1,1,1]],', 1)
    done = check(tmp_path, more_data, response)
    assert done.returncode == 1
    assert done.stdout.startswith("inputs_hash differs") and "report_hash" not in done.stdout

    # A change below the 8th decimal is not one.
    first_close = re.search(r'"close":([0-9.]+)', request).group(1)
    nudged = request.replace(f'"close":{first_close}', f'"close":{float(first_close) + 1e-10!r}', 1)
    assert nudged != request
    done = check(tmp_path, nudged, response)
    assert (done.returncode, done.stdout) == (0, "ok\n")


@pytest.mark.parametrize("spec", ['[STRATEGY,"sample"]', '[STRATEGY,"sample","0.2.0"]'])
def test_array_specs(prover, tmp_path, spec):
    data = '{"BTCUSDT":' + rows(60, "array") + "}"
    strategy = STRATEGY.replace("STOP", "2").replace("EXTRA", "")
    request = f'{{"cmd":"prove","spec":{spec.replace("STRATEGY", strategy)},"data":{data}}}'
    response = prover.command(request)
    assert response == prover.command(command(data))  # the object form's proof
    done = check(tmp_path, request, response)
    assert (done.returncode, done.stdout, done.stderr) == (0, "ok\n", "")


@pytest.mark.parametrize("side", ["request", "response"])
@pytest.mark.parametrize("lone", [r"\ud800", r"\udfff", r"\ud83d\u0041", r"\ude00\ud83d"])
def test_a_lone_surrogate_cannot_be_checked(prover, tmp_path, side, lone):
    request = CASES["array_candles"]
    response = prover.command(request)
    if side == "request":
        request = request.replace('"sample"', f'"{lone}"', 1)
    else:
        response = response.replace('"symbol":"BTCUSDT"', f'"symbol":"{lone}"', 1)
    done = check(tmp_path, request, response)
    assert (done.returncode, done.stdout) == (2, "")
    assert f"{side}.json: a lone surrogate" in done.stderr and "Traceback" not in done.stderr


# A run that makes report numbers beyond 64 bits, written with their shortest digits.
HUGE_NUMBERS = (
    '{"cmd":"prove","spec":[{"symbol":"BTCUSDT","timeframe":"1h","indicators":{"fast":{"type":"Sma","params":[2]}},'
    '"entry":{"gt":[{"price":"close"},"fast"]},"exit":{"lt":[{"price":"close"},"fast"]},'
    '"sizing":{"type":"fixed_fraction","fraction":1}},"huge"],"data":{"BTCUSDT":[[0,100,100,100,100],'
    '[1,100,101,100,101],[2,101,102,101,102],[3,102,103,102,103],[4,103,5e17,103,5e17],[5,5e17,5e17,5e17,5e17]]}}'
)
# Other texts of the report's values: each is written again as the report's canonical text.
SAME_VALUES = {
    "a digit beyond a double's precision": ('"equity":49019607843137260000,"time":5', '"equity":49019607843137260100,"time":5'),
    "a digit beyond 8 decimals": ('"equity":10098.03921569,', '"equity":10098.039215691,'),
    "a number's spelling": ('"fees_paid":0,', '"fees_paid":0.0,'),
    "a repeated member": ('"fees_paid":0,', '"fees_paid":1,"fees_paid":0,'),
    "a string's spelling": ('"symbol":"BTCUSDT"', '"symbol":"BTC\\u0055SDT"'),
}


@pytest.mark.parametrize("name", SAME_VALUES)
def test_a_report_text_that_is_not_canonical_is_not_ok(prover, tmp_path, name):
    response = prover.command(HUGE_NUMBERS)
    assert check(tmp_path, HUGE_NUMBERS, response).stdout == "ok\n"
    written, rewritten = SAME_VALUES[name]
    assert response.count(written) == 1
    done = check(tmp_path, HUGE_NUMBERS, response.replace(written, rewritten))
    assert done.returncode == 1 and "ok" not in done.stdout.splitlines()
    assert done.stdout.startswith("report_hash differs from the report's text as written")
    assert "the report's text is not canonical" in done.stdout


def array_spec_with(engine_version):
    strategy = STRATEGY.replace("STOP", "2").replace("EXTRA", "")
    return f'[{strategy},"sample",{engine_version}]'


def object_spec_with(engine_version):
    strategy = STRATEGY.replace("STOP", "2").replace("EXTRA", "")
    return f'{{"dataset_ref":"sample","engine_version":{engine_version},"strategy":{strategy}}}'


# The spec's engine_version never enters the inputs document, but the module
# reads it: a text or null, or it refuses the command.
ENGINE_VERSIONS = {
    "null": None,
    '"0.2.0"': None,
    "1": "invalid type: integer `1`, expected a string",
    "-1": "invalid type: integer `-1`, expected a string",
    "1.5": "invalid type: floating point `1.5`, expected a string",
    "true": "invalid type: boolean `true`, expected a string",
    "[]": "invalid type: sequence, expected a string",
    '{"v":"0.2.0"}': "invalid type: map, expected a string",
}


@pytest.mark.parametrize("form", [array_spec_with, object_spec_with])
@pytest.mark.parametrize("engine_version", ENGINE_VERSIONS)
def test_the_spec_engine_version_is_read_as_the_module_reads_it(prover, tmp_path, form, engine_version):
    data = '{"BTCUSDT":' + rows(60, "array") + "}"
    response = prover.command(command(data))
    request = f'{{"cmd":"prove","spec":{form(engine_version)},"data":{data}}}'
    refusal = ENGINE_VERSIONS[engine_version]
    done = check(tmp_path, request, response)
    if refusal is None:
        assert prover.command(request) == response
        assert (done.returncode, done.stdout, done.stderr) == (0, "ok\n", "")
    else:
        assert prover.command(request) == '{"error":"parse: %s","ok":false}' % refusal
        assert (done.returncode, done.stdout) == (2, "")
        assert done.stderr == "cannot check: REQUEST: spec's engine_version is neither a text nor null\n"


@pytest.mark.parametrize("cmd", ['"cmd":"prov"', '"cmd":"Prove"', '"cmd":null', '"cmd":"verify"', '"command":"prove"'])
def test_a_request_is_a_prove_command(prover, tmp_path, cmd):
    request = CASES["array_candles"]
    response = prover.command(request)
    other = request.replace('"cmd":"prove"', cmd, 1)
    assert prover.command(other).startswith('{"error":"parse: ')
    done = check(tmp_path, other, response)
    assert (done.returncode, done.stdout, done.stderr) == (2, "", 'cannot check: REQUEST: its cmd is not "prove"\n')


def nested(kind, levels):
    """An array, or an object, nested `levels` deep, with brackets in its
    strings, which nest nothing."""
    if kind == "arrays":
        return "[" * levels + r'"\"[{"' + "]" * levels
    return '{"{[":' * (levels - 1) + "{}" + "}" * (levels - 1)


# How deep each file may nest, its root counted: the module parses a command
# of 127 levels and refuses 128; a proof to verify sits one level down in its
# command. The nesting goes in a member that no hash reads.
DEPTHS = [(side, kind, levels, refused)
          for side, limit in (("request", 127), ("response", 126))
          for kind in ("arrays", "objects")
          for levels, refused in ((limit, False), (limit + 1, True))]


@pytest.mark.parametrize(("side", "kind", "levels", "refused"), DEPTHS)
def test_nesting_is_refused_beyond_the_module_depth(prover, tmp_path, side, kind, levels, refused):
    request = CASES["array_candles"]
    response = prover.command(request)
    spec_and_data = request[len('{"cmd":"prove"'):]
    deep = nested(kind, levels - 1)  # below the root
    if side == "request":
        request = request[:-1] + f',"unread":{deep}}}'
        module_answer = prover.command(request)
        accepted = response
    else:
        response = response[:-1] + f',"unread":{deep}}}'
        module_answer = prover.command('{"cmd":"verify","proof":' + response + spec_and_data)
        accepted = '{"ok":true,"valid":true}'
    if refused:
        assert module_answer.startswith('{"error":"parse: recursion limit exceeded at line 1 column ')
    else:
        assert module_answer == accepted
    done = check(tmp_path, request, response)
    if refused:
        assert (done.returncode, done.stdout) == (2, "")
        assert f"{side}.json: arrays and objects nested deeper than {levels - 1} levels at line 1 column" in done.stderr
    else:
        assert (done.returncode, done.stdout, done.stderr) == (0, "ok\n", "")
