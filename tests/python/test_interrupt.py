"""A long command stops at a signal: Ctrl-C's KeyboardInterrupt, or whatever
an alarm's handler raises, comes out of `command` soon after the signal, and
the same Prover answers the next command as before."""

import json
import os
import signal
import subprocess
import sys
import time

import pytest

from fendro_proof import Prover

# From the start of a command to the signal, and at most from the signal to
# the exception.
DELAY = 0.15
LATENCY = 0.1


def prove_command(candles, period):
    """A prove whose every bar costs about period squared: with a period far
    too long (the mistake a person stops a command for) it runs for many
    seconds."""
    rows = []
    for k in range(candles):
        close = 1000 + (k * 7) % 97 - (k * 3) % 41
        rows.append(f"[{k * 60},{close},{close + 5},{close - 5},{close}.5,10]")
    strategy = {
        "symbol": "BTC",
        "timeframe": "1m",
        "indicators": {"entropy": {"type": "SampleEntropy", "params": [period, 2, 0.2]}},
        "entry": {"gt": [{"price": "close"}, 1000]},
        "exit": {"lt": [{"price": "close"}, 990]},
        "sizing": {"type": "fixed_fraction", "fraction": 0.5},
    }
    spec = json.dumps({"strategy": strategy, "dataset_ref": "interrupt"})
    return '{"cmd":"prove","spec":' + spec + ',"data":{"BTC":[' + ",".join(rows) + "]}}"


@pytest.fixture(scope="module")
def endless():
    return prove_command(20_000, 1000)  # over ten seconds unstopped


@pytest.fixture(scope="module")
def short():
    return prove_command(3_000, 300)  # a few tenths of a second


@pytest.fixture(scope="module")
def short_answer(short):
    return Prover().command(short)


class Deadline(Exception):
    pass


def alarm_latency(prover, command, delay):
    """From a SIGALRM `delay` seconds into `command`, whose handler raises,
    to the exception reaching here (the command must not end first)."""

    def on_alarm(signum, frame):
        raise Deadline()

    old = signal.signal(signal.SIGALRM, on_alarm)
    try:
        started = time.monotonic()
        signal.setitimer(signal.ITIMER_REAL, delay)
        with pytest.raises(Deadline):
            prover.command(command)
        raised = time.monotonic()
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, old)
    return raised - (started + delay)


def send_sigint_later(delay):
    """A separate process (the interpreter lock is held all along, so no
    thread of ours could run) sends SIGINT after `delay` seconds and prints
    the monotonic time it sent it at."""
    script = (
        "import os, signal, sys, time\n"
        f"time.sleep({delay})\n"
        "sent = time.monotonic()\n"
        f"os.kill({os.getpid()}, signal.SIGINT)\n"
        "print(sent)\n"
    )
    return subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE, text=True)


def test_ctrl_c_stops_a_long_prove_and_the_prover_goes_on(endless, short, short_answer):
    prover = Prover()
    old = signal.signal(signal.SIGINT, signal.default_int_handler)
    try:
        sender = send_sigint_later(DELAY)
        started = time.monotonic()
        with pytest.raises(KeyboardInterrupt):
            prover.command(endless)
        raised = time.monotonic()
        sent = float(sender.communicate(timeout=10)[0])
    finally:
        signal.signal(signal.SIGINT, old)
    assert started < sent < raised
    assert raised - sent < LATENCY
    assert prover.command(short) == short_answer


def test_an_alarm_handler_exception_stops_a_long_prove(endless, short, short_answer):
    prover = Prover()
    assert alarm_latency(prover, endless, DELAY) < LATENCY
    # Stopped again and again, the same object still answers as a fresh one.
    for _ in range(2):
        alarm_latency(prover, endless, 0.02)
    assert prover.command(short) == short_answer
    assert json.loads(prover.command('{"cmd":"version"}'))["version"] == Prover.version()


def test_handlers_that_do_not_raise_leave_the_answer_as_it_is(short, short_answer):
    calls = []
    old = signal.signal(signal.SIGALRM, lambda signum, frame: calls.append(signum))
    try:
        signal.setitimer(signal.ITIMER_REAL, 0.01, 0.01)
        answer = Prover().command(short)
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, old)
    assert answer == short_answer
    # The handler ran while the command did, not only after it.
    assert len(calls) >= 3


def long_canonicalize():
    """A canonicalize whose time goes into one long string: read, written
    escaped, and handed over as the answer's str (about a second in all)."""
    return '{"cmd":"canonicalize","value":"' + "\\n" * 30_000_000 + '"}'


def test_an_alarm_stops_a_long_canonicalize_and_the_prover_goes_on(short, short_answer):
    prover = Prover()
    command = long_canonicalize()
    answer = prover.command(command)
    assert answer.startswith('{"canonical":"\\"\\\\n\\\\n') and answer.endswith('\\"","ok":true}')
    del answer
    started = time.monotonic()
    prover.command(command)
    took = time.monotonic() - started

    # Alarms in the second half of the command, while the text is written
    # and handed over (the first is the parse).
    for part in (0.5, 0.6, 0.7):
        assert alarm_latency(prover, command, took * part) < LATENCY
    assert prover.command(short) == short_answer
    assert prover.command('{"cmd":"canonicalize","value":{"b":[1.50,2],"a":"x"}}') == (
        '{"canonical":"{\\"a\\":\\"x\\",\\"b\\":[1.5,2]}","ok":true}'
    )
