"""Exact response texts of the command protocol."""

import json

import pytest

VERSION = '{"engine_version":"0.2.0","version":"0.2.0"}'


def error(message):
    return json.dumps({"error": message, "ok": False}, separators=(",", ":"), ensure_ascii=False)


def canonical(text):
    return json.dumps({"canonical": text, "ok": True}, separators=(",", ":"), ensure_ascii=False)


@pytest.mark.parametrize(
    "request_text, response",
    [
        ('{"cmd":"version"}', VERSION),
        ('{"cmd":"version"}\n', VERSION),
        (' \t\r\n{"cmd":"version"} \r\n\t', VERSION),
        ('{"cmd":"version","x":1}', VERSION),
        ('{"cmd":"prove","cmd":"version"}', VERSION),
        ('{"cmd":"Version"}', error("parse: unknown cmd: Version")),
        ('{"cmd":"VERSION "}', error("parse: unknown cmd: VERSION ")),
        ('{"cmd":5}', error("parse: unknown cmd: ")),
        ('{"cmd":null}', error("parse: unknown cmd: ")),
        ("{}", error("parse: unknown cmd: ")),
        ("[1]", error("parse: unknown cmd: ")),
        ('"version"', error("parse: unknown cmd: ")),
        ('{"cmd":"version"} x', error("parse: trailing characters at line 1 column 19")),
        ('{"cmd":"version"}\n\nx', error("parse: trailing characters at line 3 column 1")),
        ("", error("parse: EOF while parsing a value at line 1 column 0")),
        ('{"cmd":"version"', error("parse: EOF while parsing an object at line 1 column 16")),
    ],
    ids=[
        "version", "version_newline", "version_whitespace", "extra_member", "last_cmd_wins",
        "wrong_case", "trailing_blank_in_name", "cmd_int", "cmd_null", "no_cmd", "array",
        "bare_string", "trailing_characters", "trailing_after_lines", "empty", "unterminated",
    ],
)
def test_dispatch_and_parse_errors(prover, request_text, response):
    assert prover.command(request_text) == response


@pytest.mark.parametrize(
    "value_text, text",
    [
        (None, "null"),
        ('{"b":1,"a":[true,null]}', '{"a":[true,null],"b":1}'),
        ('{"a":1,"B":2}', '{"B":2,"a":1}'),
        ("0.1", "0.1"),
        ("2.5", "2.5"),
        ("1.0", "1"),
        ("123.456", "123.456"),
        ("1e-8", "0.00000001"),
        ("-0.0", "0"),
        ("-0.000000004", "0"),
        ("0.001953125", "0.00195312"),
        ("45035996.0", "45035996"),
        ("45035996.27370496", "45035996.27370496"),
        ("1e20", "100000000000000000000"),
        ("-1e20", "-100000000000000000000"),
        ("18446744073709551615", "18446744073709551615"),
        ("-9223372036854775808", "-9223372036854775808"),
        ("18446744073709551616", "18446744073709552000"),
        ('"tab\\there\\u001f\\u00e9/"', '"tab\\there\\u001fé/"'),
        ("[ 1 , { } , [ ] ]", "[1,{},[]]"),
    ],
)
def test_canonicalize(prover, value_text, text):
    request = '{"cmd":"canonicalize"' + ("" if value_text is None else ',"value":' + value_text) + "}"
    assert prover.command(request) == canonical(text)


def test_canonicalize_exact_escaping(prover):
    response = prover.command('{"cmd":"canonicalize","value":{"b":1,"a":[true,null]}}')
    assert response == '{"canonical":"{\\"a\\":[true,null],\\"b\\":1}","ok":true}'


def test_nesting_limit(prover):
    # The command object is one level: 126 arrays inside it make 127 levels.
    inner = "[" * 126 + "]" * 126
    assert prover.command('{"cmd":"canonicalize","value":' + inner + "}") == canonical(inner)
    too_deep = '{"cmd":"canonicalize","value":' + "[" * 127 + "]" * 127 + "}"
    assert prover.command(too_deep) == error("parse: recursion limit exceeded at line 1 column 157")


MINIMAL_SPEC = '{"strategy":null,"dataset_ref":"d"}'


@pytest.mark.parametrize(
    "request_text, message",
    [
        ('{"cmd":"prove"}', "parse: missing field `spec`"),
        ('{"cmd":"verify"}', "parse: missing field `proof`"),
        ('{"cmd":"version","cmd":"prove"}', "parse: missing field `spec`"),
        ('{"cmd":"prove","data":{}}', "parse: missing field `spec`"),
        ('{"cmd":"prove","spec":' + MINIMAL_SPEC + "}", "parse: missing field `data`"),
        ('{"cmd":"verify","spec":' + MINIMAL_SPEC + ',"data":{}}', "parse: missing field `proof`"),
        ('{"cmd":"prove","spec":{"dataset_ref":5}}', "parse: invalid type: integer `5`, expected a string"),
        ('{"cmd":"prove","spec":{},"data":{}}', "parse: missing field `strategy`"),
        ('{"cmd":"prove","spec":{"strategy":1,"dataset_ref":"d","engine_version":7},"data":{}}',
         "parse: invalid type: integer `7`, expected a string"),
        ('{"cmd":"prove","spec":[null],"data":{}}',
         "parse: invalid length 1, expected struct ProofSpec with 3 elements"),
        ('{"cmd":"prove","spec":[null,"d",null,4],"data":{}}',
         "parse: invalid length 4, expected fewer elements in array"),
        ('{"cmd":"prove","spec":true,"data":{}}',
         "parse: invalid type: boolean `true`, expected struct ProofSpec"),
        ('{"cmd":"prove","spec":5,"data":[]}', "parse: invalid type: sequence, expected a map"),
        ('{"cmd":"prove","spec":' + MINIMAL_SPEC + ',"data":{"X":5}}',
         "parse: invalid type: integer `5`, expected a sequence"),
        ('{"cmd":"prove","spec":' + MINIMAL_SPEC + ',"data":{"X":[{"time":1}]}}',
         "parse: missing field `open`"),
        ('{"cmd":"prove","spec":' + MINIMAL_SPEC + ',"data":{"X":[{"time":1.5}]}}',
         "parse: invalid type: floating point `1.5`, expected i64"),
        ('{"cmd":"verify","proof":"abc","spec":5,"data":{}}',
         'parse: invalid type: string "abc", expected struct Proof'),
        ('{"cmd":"verify","proof":{"report":1},"data":{}}', "parse: missing field `inputs_hash`"),
        ('{"cmd":"verify","proof":{"report_hash":"x","report":1},"data":{}}',
         "parse: missing field `inputs_hash`"),
        ('{"cmd":"verify","proof":[1,"a","b"],"data":{}}',
         "parse: invalid length 3, expected struct Proof with 4 elements"),
        ('{"cmd":"verify","proof":5,"data":[]}', "parse: invalid type: sequence, expected a map"),
    ],
    ids=[
        "prove_empty", "verify_empty", "repeated_cmd", "prove_no_spec", "prove_no_data",
        "verify_no_proof", "decode_before_absent", "spec_missing_both", "engine_version_type",
        "spec_array_short", "spec_array_long", "spec_bool", "data_before_spec", "data_not_list",
        "candle_missing_open", "candle_float_time", "proof_string", "proof_missing",
        "proof_missing_order", "proof_array_short", "verify_data_first",
    ],
)
def test_request_reading_errors(prover, request_text, message):
    assert prover.command(request_text) == error(message)
