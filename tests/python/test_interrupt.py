"""A long command stops at a signal: Ctrl-C's KeyboardInterrupt, or whatever
an alarm's handler raises, comes out of `command` (not an answer), and the
same Prover answers the next command as before.

Nothing here is timed but for one generous bound that only a stop that never
comes can break: how soon a stop lands is measured in
bench/python_stop_bench.py. A command is made long enough for its signal to
come while it runs whatever the machine's load, or the trial is repeated (a
bounded number of times) when the command ended first."""

import json
import os
import signal
import subprocess
import sys
import threading
import time
import warnings

import pytest

from fendro_proof import Prover

# From the start of a command to its signal.
DELAY = 0.15
# Most of the time from a signal to its exception: only a stop that never
# comes takes this long (a stop is asked for every few milliseconds).
NEVER = 2.0
# Trials of a command that may end before its alarm (its time varies from
# run to run): one that ended first is tried again.
TRIES = 6


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
    return prove_command(20_000, 1000)  # over ten seconds unstopped, on any machine


@pytest.fixture(scope="module")
def short():
    return prove_command(3_000, 300)  # a few tenths of a second


@pytest.fixture(scope="module")
def short_answer(short):
    return Prover().command(short)


class Deadline(Exception):
    pass


def stopped_by_alarm(prover, command, delay, never=NEVER):
    """Runs `command` with a SIGALRM `delay` seconds in, whose handler raises
    Deadline. True when Deadline came out of the command, within `never` of
    the alarm; False when the command answered first (its alarm, if it comes
    late, then raises nothing). A command that never asks runs on to its end
    before the handler runs: the caller makes it outlast `never` after the
    alarm, so that such a command fails here."""
    running = [True]

    def on_alarm(signum, frame):
        if running[0]:
            raise Deadline()

    old = signal.signal(signal.SIGALRM, on_alarm)
    try:
        started = time.monotonic()
        signal.setitimer(signal.ITIMER_REAL, delay)
        try:
            prover.command(command)
        except Deadline:
            assert time.monotonic() - (started + delay) < never
            return True
        finally:
            running[0] = False
            signal.setitimer(signal.ITIMER_REAL, 0)
    finally:
        signal.signal(signal.SIGALRM, old)
    return False


def send_sigint_on_cue(delay):
    """A separate process (the interpreter lock is held all along, so no
    thread of ours could run) that, once told to go on its stdin, sends
    SIGINT after `delay` seconds and prints the monotonic time it sent it at."""
    script = (
        "import os, signal, sys, time\n"
        "sys.stdin.readline()\n"
        f"time.sleep({delay})\n"
        "sent = time.monotonic()\n"
        f"os.kill({os.getpid()}, signal.SIGINT)\n"
        "print(sent)\n"
    )
    return subprocess.Popen([sys.executable, "-c", script], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            text=True)


def test_ctrl_c_stops_a_long_prove_and_the_prover_goes_on(endless, short, short_answer):
    prover = Prover()
    old = signal.signal(signal.SIGINT, signal.default_int_handler)
    sender = send_sigint_on_cue(DELAY)
    try:
        started = time.monotonic()
        with pytest.raises(KeyboardInterrupt):
            sender.stdin.write("go\n")
            sender.stdin.close()
            prover.command(endless)
        raised = time.monotonic()
        sent = float(sender.stdout.read())
    finally:
        sender.kill()
        sender.wait()
        signal.signal(signal.SIGINT, old)
    # Sent on cue as the command began, the signal came to it within the bound.
    assert started < sent < raised < sent + NEVER
    assert prover.command(short) == short_answer


def test_an_alarm_handler_exception_stops_a_long_prove(endless, short, short_answer):
    prover = Prover()
    # Stopped again and again, early and later, the same object still
    # answers as a fresh one.
    for delay in (DELAY, 0.02, 0.02):
        assert stopped_by_alarm(prover, endless, delay)
    assert prover.command(short) == short_answer
    assert json.loads(prover.command('{"cmd":"version"}'))["version"] == Prover.version()


def test_handlers_that_do_not_raise_leave_the_answer_as_it_is(short, short_answer):
    calls = []
    old = signal.signal(signal.SIGALRM, lambda signum, frame: calls.append(signum))
    try:
        signal.setitimer(signal.ITIMER_REAL, 0.005, 0.005)
        answer = Prover().command(short)
        ran = len(calls)
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, old)
    assert answer == short_answer
    # The handler ran while the command did, not only after it: the command
    # lasts dozens of the timer's periods (more on a loaded machine).
    assert ran >= 3


def test_a_process_that_exits_right_after_a_stop_exits_cleanly(endless):
    """What a stopped command built is freed on a thread of the engine's
    own: a process that exits at once waits for that thread at its exit,
    and the wait ends (a thread that never frees hangs the exit: this then
    fails on the timeout), and the process exits as usual."""
    script = (
        "import signal, sys\n"
        "from fendro_proof import Prover\n"
        "class Deadline(Exception): pass\n"
        "def on_alarm(signum, frame): raise Deadline()\n"
        "signal.signal(signal.SIGALRM, on_alarm)\n"
        "command = sys.stdin.read()\n"
        "prover = Prover()\n"
        # The alarm is set inside the try: however late the command starts
        # on a busy machine, its Deadline is caught here; the command runs
        # for over ten seconds, so it cannot end first.
        "try:\n"
        "    signal.setitimer(signal.ITIMER_REAL, 0.3)\n"
        "    prover.command(command)\n"
        "except Deadline:\n"
        "    print('stopped')\n"
    )
    done = subprocess.run([sys.executable, "-c", script], input=endless, capture_output=True, text=True, timeout=60)
    assert done.returncode == 0, done.stderr
    assert done.stdout == "stopped\n"


def threads_of_the_process():
    return len(os.listdir("/proc/self/task"))


@pytest.mark.skipif(not os.path.isdir("/proc/self/task"), reason="threads are counted in /proc/self/task")
def test_after_a_stop_the_process_is_single_threaded_again_and_forks_without_a_warning(endless):
    """What a stop left is freed on a thread of the engine's own, which then
    ends: within milliseconds (the bound here is one only a thread that
    never ends reaches) no thread is left but the interpreter's own, and a
    fork draws no warning about threads (Python 3.12 and later warn)."""
    assert stopped_by_alarm(Prover(), endless, DELAY)
    deadline = time.monotonic() + 30
    while threads_of_the_process() > threading.active_count() and time.monotonic() < deadline:
        time.sleep(0.002)
    assert threads_of_the_process() == threading.active_count()
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        child = os.fork()
        if child == 0:
            os._exit(0)
    os.waitpid(child, 0)
    assert [str(w.message) for w in caught if issubclass(w.category, DeprecationWarning)] == []


def long_canonicalize(numbers):
    """A canonicalize whose time goes into writing its answer: each 1e300 is
    read from 5 bytes and written as its 301 digits, so the parse takes a
    small part of the time (about a tenth) and an alarm past it lands in the
    writing (and the handing on of the text, piece by piece), whatever the
    timing."""
    return '{"cmd":"canonicalize","value":[' + ",".join(["1e300"] * numbers) + "]}"


def timed(prover, command):
    started = time.monotonic()
    answer = prover.command(command)
    return time.monotonic() - started, answer


def test_an_alarm_stops_a_long_canonicalize_and_the_prover_goes_on(short, short_answer):
    prover = Prover()
    # Made long enough that what follows each alarm lasts 0.6 s or more
    # (grown on a fast machine): a writing that never asked would run on that
    # long past its alarm, twice the bound a stop must come within here.
    numbers = 1_000_000
    digits = "1" + "0" * 300
    for _ in range(4):
        command = long_canonicalize(numbers)
        took, answer = timed(prover, command)
        assert answer.startswith('{"canonical":"[' + digits + ",") and answer.endswith(digits + ']","ok":true}')
        assert len(answer) == len('{"canonical":"[]","ok":true}') + numbers * (len(digits) + 1) - 1
        del answer
        fastest = min(took, timed(prover, command)[0])
        if fastest * 0.6 >= 0.6:
            break
        numbers = int(numbers * 0.72 / (fastest * 0.6)) + 1
    # Alarms from twice the parse's share of the fastest run on: in the
    # writing even when the run is slower than the fastest. A run faster
    # still may end first: it is timed, and the alarm comes earlier in the
    # next.
    for part in (0.2, 0.3, 0.4):
        for _ in range(TRIES):
            started = time.monotonic()
            if stopped_by_alarm(prover, command, fastest * part, never=min(NEVER, fastest * (1 - part) / 2)):
                break
            fastest = min(fastest, time.monotonic() - started)
        else:
            pytest.fail(f"the command ended before an alarm at {part} of its time in each of {TRIES} trials")
    assert prover.command(short) == short_answer
    assert prover.command('{"cmd":"canonicalize","value":{"b":[1.50,2],"a":"x"}}') == (
        '{"canonical":"{\\"a\\":\\"x\\",\\"b\\":[1.5,2]}","ok":true}'
    )
