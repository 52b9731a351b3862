"""The README's worker for commands from others: answers as the module does,
tells a refused argument from a dead worker, kills a command at its deadline
and survives one that outgrows its memory, and leaves no pipe end open."""

import importlib.util
import json
import os
import pathlib
import re
import sys
import time

import pytest

from conftest import STRATEGY, SYMBOL, candles

README = pathlib.Path(__file__).resolve().parents[2] / "README.md"


@pytest.fixture(scope="module")
def untrusted(tmp_path_factory):
    section = README.read_text().split("## Running commands from others", 1)[1].split("\n## ", 1)[0]
    blocks = re.findall(r"```python\n(.*?)```", section, re.S)
    assert len(blocks) == 1
    # A real module, so that the forkserver's workers find its functions by name.
    path = tmp_path_factory.mktemp("readme") / "readme_untrusted.py"
    path.write_text(blocks[0])
    sys.path.insert(0, str(path.parent))
    spec = importlib.util.spec_from_file_location("readme_untrusted", path)
    module = importlib.util.module_from_spec(spec)
    sys.modules["readme_untrusted"] = module
    spec.loader.exec_module(module)
    yield module
    sys.path.remove(str(path.parent))


def command(indicators, bars):
    strategy = dict(STRATEGY, indicators=indicators,
                    entry={"gt": [{"price": "close"}, "fast"]}, exit={"lt": [{"price": "close"}, "fast"]})
    return json.dumps({"cmd": "prove", "spec": {"strategy": strategy, "dataset_ref": "others"},
                       "data": {SYMBOL: bars}})


def test_answers_what_the_module_answers(untrusted, prover):
    for text in (command({"fast": {"type": "Sma", "params": [5]}}, candles(300)),
                 '{"cmd":"version"}', "not json"):
        assert untrusted.run_untrusted(text) == ("ok", prover.command(text))


def test_a_command_past_its_deadline_is_killed(untrusted):
    # A spectrum over 2,500 periods recomputes its phasors on every bar:
    # seconds a bar, minutes in all, far beyond the deadline.
    slow = command({"fast": {"type": "AutocorrelationPeriodogram", "params": [10, 2500]}}, candles(2600))
    untrusted.run_untrusted('{"cmd":"version"}')  # the worker server is up: only the deadline is timed
    started = time.monotonic()
    assert untrusted.run_untrusted(slow, seconds=0.5) == ("timeout", None)
    # Only a worker that is never killed takes this long.
    assert time.monotonic() - started < 0.5 + 2.0
    # The next command gets a fresh worker.
    assert untrusted.run_untrusted('{"cmd":"version"}')[0] == "ok"


def test_a_command_beyond_its_memory_ends_only_its_worker(untrusted):
    rows = [[i * 60_000, 100.0, 101.0, 99.0, 100.5, 1.0] for i in range(200_000)]
    indicators = {"fast": {"type": "Sma", "params": [16_777_216]}}
    indicators.update({f"long{k}": {"type": "Sma", "params": [16_777_216]} for k in range(100)})
    text = command(indicators, rows)
    assert untrusted.run_untrusted(text, memory_bytes=128 << 20) == ("memory", None)
    status, response = untrusted.run_untrusted(text, memory_bytes=2 << 30, seconds=60)
    assert status == "ok" and '"report_hash"' in response


@pytest.mark.parametrize("argument, error", [
    (b'{"cmd":"version"}', "TypeError: "),
    ('{"cmd":"version","x":"\ud800"}', "UnicodeEncodeError: "),
    # Refused before any worker: these two could not even be sent to one.
    (memoryview(b'{"cmd":"version"}'), "TypeError: "),
    (lambda: '{"cmd":"version"}', "TypeError: "),
    (None, "TypeError: "),
])
def test_a_refused_argument_comes_back_as_an_error(untrusted, prover, argument, error):
    with pytest.raises(Exception) as raised:
        prover.command(argument)
    status, message = untrusted.run_untrusted(argument)
    assert status == "error"
    assert message == f"{type(raised.value).__name__}: {raised.value}"
    assert message.startswith(error)


def open_fds():
    return len(os.listdir("/proc/self/fd"))


def test_no_pipe_end_is_left_open_whatever_the_end(untrusted, monkeypatch):
    run = untrusted.run_untrusted
    run('{"cmd":"version"}')  # the worker server and its connection stay
    before = open_fds()
    assert run('{"cmd":"version"}')[0] == "ok"
    assert run('{"cmd":"version","x":"\ud800"}')[0] == "error"
    assert run(memoryview(b"{}"))[0] == "error"
    assert run('{"cmd":"version"}', seconds=0)[0] in ("timeout", "ok")
    assert open_fds() == before

    # A worker that cannot be started: the error is the caller's, and both
    # ends are closed already, while its traceback still holds the call's frame.
    def no_start(self):
        raise OSError("no worker today")

    monkeypatch.setattr(untrusted._context.Process, "start", no_start)
    with pytest.raises(OSError, match="no worker today") as raised:
        run('{"cmd":"version"}')
    assert raised.tb is not None and open_fds() == before
