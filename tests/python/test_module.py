import ast
import inspect
import pathlib
import pydoc
import subprocess
import sys
import textwrap

import pytest

import fendro_proof
from fendro_proof import _fendro_proof as native
from fendro_proof import Prover

VERSION_RESPONSE = '{"engine_version":"0.2.0","version":"0.2.0"}'


def test_module_attributes():
    assert native.__version__ == "0.2.0"
    assert native.__all__ == ["__version__", "Prover"]
    assert native.__file__.endswith(".abi3.so")
    assert fendro_proof.__version__ == "0.2.0"
    assert fendro_proof.Prover is native.Prover


def test_class_surface():
    assert Prover.__name__ == "Prover"
    assert Prover.__module__ == "builtins"
    assert Prover.__qualname__ == "Prover"
    assert repr(Prover()).startswith("<builtins.Prover object at ")


# Each object's doc and text signature exactly as the interpreter derives them
# from the native texts, and the signature inspect makes of them.
NATIVE_DOCS = [
    (native, "The native module (`fendro_proof._fendro_proof`).", None, None),
    (Prover, "A stateless prover driven by JSON commands.", "()", "()"),
    (Prover.command, "Apply a command JSON and return the resulting response JSON.", "($self, cmd_json)",
     "(self, /, cmd_json)"),
    (Prover.version, "The library version.", "()", "()"),
]


@pytest.mark.parametrize("obj, doc, text_signature, signature", NATIVE_DOCS)
def test_native_docstrings_and_signatures(obj, doc, text_signature, signature):
    assert obj.__doc__ == doc
    assert getattr(obj, "__text_signature__", None) == text_signature
    if signature is not None:
        assert str(inspect.signature(obj)) == signature


def test_help_shows_the_class_as_builtins_prover():
    text = pydoc.render_doc(Prover, renderer=pydoc.plaintext)
    assert "class Prover in module builtins" in text
    assert "A stateless prover driven by JSON commands." in text
    assert "command(self, /, cmd_json)" in text
    assert "Apply a command JSON and return the resulting response JSON." in text
    assert "version()" in text
    assert "The library version." in text


def _stub_docs():
    stub = ast.parse((pathlib.Path(fendro_proof.__file__).parent / "_fendro_proof.pyi").read_text(encoding="utf-8"))
    prover = next(node for node in stub.body if isinstance(node, ast.ClassDef) and node.name == "Prover")
    methods = {node.name: node for node in prover.body if isinstance(node, ast.FunctionDef)}
    return {"module": stub, "Prover": prover, "command": methods["command"], "version": methods["version"]}


COMMANDS = ('"prove"', '"verify"', '"canonicalize"', '"version"')
DOCUMENTS = ("strategy.md", "report.md", "proofs.md", "indicators.md")


def test_package_docstring_names_the_commands_and_the_documents():
    doc = fendro_proof.__doc__
    assert doc.splitlines()[0] == "Deterministic, hash-sealed backtests of JSON strategies, driven by JSON commands."
    assert [c for c in COMMANDS if c not in doc] == []
    assert [d for d in DOCUMENTS if d not in doc] == []


@pytest.mark.parametrize("name", ["module", "Prover", "command"])
def test_stub_docstrings_name_the_commands_and_the_documents(name):
    doc = ast.get_docstring(_stub_docs()[name])
    assert [c for c in COMMANDS if c not in doc] == []
    assert [d for d in DOCUMENTS if d not in doc] == []


def test_stub_docstrings_open_with_the_module_s():
    # The stub adds to each native doc; its first line is that doc.
    docs = _stub_docs()
    pairs = [("module", native), ("Prover", Prover), ("command", Prover.command), ("version", Prover.version)]
    for name, obj in pairs:
        assert ast.get_docstring(docs[name]).splitlines()[0] == obj.__doc__, name


def test_version_is_static():
    assert Prover.version() == "0.2.0"
    assert Prover().version() == "0.2.0"
    with pytest.raises(TypeError):
        Prover.version(1)


@pytest.mark.parametrize(
    "make",
    [
        lambda: Prover(1),
        lambda: Prover(x=1),
        lambda: type("Sub", (Prover,), {}),
    ],
    ids=["positional", "keyword", "subclass"],
)
def test_construction_refusals(make):
    with pytest.raises(TypeError):
        make()


def test_no_instance_attributes():
    p = Prover()
    with pytest.raises(AttributeError):
        p.anything = 1
    assert not hasattr(p, "__dict__")


@pytest.mark.parametrize(
    "args, kwargs",
    [((), {}), (("{}", "{}"), {}), ((), {"json": "{}"}), (("{}",), {"cmd_json": "{}"})],
    ids=["missing", "surplus", "unknown_keyword", "both"],
)
def test_argument_binding_errors(prover, args, kwargs):
    with pytest.raises(TypeError):
        prover.command(*args, **kwargs)
    assert prover.command('{"cmd":"version"}') == VERSION_RESPONSE


def test_keyword_argument(prover):
    assert prover.command(cmd_json='{"cmd":"version"}') == VERSION_RESPONSE


@pytest.mark.parametrize("value", [5, b'{"cmd":"version"}', None, ['{"cmd":"version"}']])
def test_non_str_raises_type_error_and_releases_the_object(prover, value):
    with pytest.raises(TypeError, match="cmd_json"):
        prover.command(value)
    assert prover.command('{"cmd":"version"}') == VERSION_RESPONSE


def test_str_subclass_is_accepted(prover):
    class Text(str):
        pass

    assert prover.command(Text('{"cmd":"version"}')) == VERSION_RESPONSE


def test_lone_surrogate_raises_the_encoding_error(prover):
    with pytest.raises(UnicodeEncodeError) as raised:
        prover.command('{"cmd":"canonicalize","value":"\ud800"}')
    assert raised.value.encoding == "utf-8"
    assert raised.value.object[raised.value.start] == "\ud800"
    assert prover.command('{"cmd":"version"}') == VERSION_RESPONSE


def test_non_ascii_round_trip(prover):
    response = prover.command('{"cmd":"canonicalize","value":"é€𝄞"}')
    assert response == '{"canonical":"\\"é€𝄞\\"","ok":true}'


def test_instances_are_independent():
    a, b = Prover(), Prover()
    assert a is not b
    request = '{"cmd":"canonicalize","value":{"b":[1,2.5],"a":null}}'
    assert a.command(request) == b.command(request)


def test_allocation_failure_becomes_memory_error():
    # Each 1e300 parses into one small node but is written as 301 digits, so under
    # a tight address-space limit the command parses and then cannot get the
    # memory for its response: that must surface as MemoryError, never abort.
    script = textwrap.dedent(
        """
        import resource
        from fendro_proof import Prover
        p = Prover()
        text = '{"cmd":"canonicalize","value":[' + ",".join(["1e300"] * 1_000_000) + "]}"
        soft, hard = resource.getrlimit(resource.RLIMIT_AS)
        with open("/proc/self/statm") as f:
            used = int(f.read().split()[0]) * resource.getpagesize()
        resource.setrlimit(resource.RLIMIT_AS, (used + 150 * 2**20, hard))
        try:
            p.command(text)
        except MemoryError:
            print("memory-error")
        resource.setrlimit(resource.RLIMIT_AS, (soft, hard))
        print(p.command('{"cmd":"version"}'))
        """
    )
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, timeout=120)
    assert done.returncode == 0, done.stderr
    assert done.stdout.split() == ["memory-error", VERSION_RESPONSE]
