"""Every figure of "What a long halt does to values" (docs/strategy.md), read
from the text and tried on the module over the series it names.

An indicator's value is read through the rules: a strategy that enters at the
close of a bar where a condition holds and exits at the close of one where it
does not is in a position on exactly the bars where the condition holds, so
its trades tell them."""

import json
import pathlib
import re
from fractions import Fraction

import pytest

from fendro_proof import Prover
from sample_candles import HOUR_MS, candles

DOCS = pathlib.Path(__file__).resolve().parents[2] / "docs"
MOVING, HALTED = 3000, 90_000
SMALLEST_NORMAL = 2.2250738585072014e-308


def section():
    text = (DOCS / "strategy.md").read_text()
    start = text.index("## What a long halt does to values\n")
    return " ".join(text[start:text.index("\n## ", start + 1)].split())


TEXT = section()


def figure(pattern):
    """The figures that `pattern` reads from the section, as numbers."""
    found = re.search(pattern, TEXT)
    assert found, pattern
    numbers = [g.replace(",", "") for g in found.groups()]
    return [int(n) if n.isdigit() else float(n) for n in numbers]


def halt_after(moving, halted=HALTED):
    last = moving[-1]
    price = last["close"]
    return moving + [{"time": last["time"] + k * HOUR_MS, "open": price, "high": price, "low": price,
                      "close": price, "volume": 0.0} for k in range(1, halted + 1)]


class Series:
    """Moving candles, then a halt at their last close, and ways to read what the module gives on them."""

    def __init__(self, moving, halted=HALTED):
        self.moving = len(moving)
        self.candles = halt_after(moving, halted)
        self.prover = Prover()

    def index(self, time):
        return (time - self.candles[0]["time"]) // HOUR_MS

    def halt_bar(self, index):
        return index - self.moving + 1

    def prove(self, strategy, upto=None):
        data = self.candles if upto is None else self.candles[:upto]
        request = {"cmd": "prove", "spec": {"strategy": strategy, "dataset_ref": "halt"}, "data": {"BTCUSDT": data}}
        return json.loads(self.prover.command(json.dumps(request)))["report"]

    def halt_bars_where(self, indicators, condition, upto=None):
        """The halt bars on which `condition` holds, as (first, last) pairs."""
        strategy = {"symbol": "BTCUSDT", "timeframe": "1h", "indicators": indicators, "entry": condition,
                    "exit": {"not": condition}, "sizing": {"type": "fixed_qty", "qty": 1},
                    "execution": {"fill_timing": "close"}, "warmup": 0}
        spans = []
        for trade in self.prove(strategy, upto)["trades"]:
            first, end = self.index(trade["entry_time"]), self.index(trade["exit_time"])
            last = end if trade["reason"] == "end" else end - 1
            if last >= self.moving:
                spans.append((self.halt_bar(max(first, self.moving)), self.halt_bar(last)))
        return spans

    def holds_on_halt_bar(self, indicators, condition, bar):
        upto = self.moving + bar
        return any(last == bar for _, last in self.halt_bars_where(indicators, condition, upto))


@pytest.fixture(scope="module")
def halt():
    return Series(candles(MOVING))


def one(key, *params):
    return {"x": {"type": key, "params": list(params)}}


def near(value, distance):
    return {"between": ["x", value - distance, value + distance]}


# Holds where the value differs from the one before, exactly: `rising` and `falling` compare without the
# tolerance of `eq` and `ne`, so a change of a unit in the last place of an average near 0 counts.
MOVED = {"any": [{"rising": ["x", 1]}, {"falling": ["x", 1]}]}


def last_change(series, indicators):
    return series.halt_bars_where(indicators, MOVED)[-1][1]


def wilder_averages(closes, period):
    """The RSI's averages of gains and losses after each close, by the step the section describes: the
    first `period` moves averaged, then (average × (period - 1) + move) rounded once, times 1 / period."""
    inverse = 1.0 / period
    gains = losses = 0.0
    averages, seen = [], 0
    for before, close in zip(closes, closes[1:]):
        move = close - before
        gain, loss = max(move, 0.0), max(-move, 0.0)
        seen += 1
        if seen < period:
            gains, losses = gain + gains, loss + losses
        elif seen == period:
            gains, losses = (gain + gains) / period, (loss + losses) / period
        else:
            gains = float(Fraction(gains) * (period - 1) + Fraction(gain)) * inverse
            losses = float(Fraction(losses) * (period - 1) + Fraction(loss)) * inverse
        averages.append((gains, losses) if seen >= period else None)
    return [None] + averages


def index_of(gains, losses):
    return (gains * 100.0) / (gains + losses)


TABLE = re.findall(r"\| `(\w+)\(([\d, ]+)\)` \| ([\d.]+) \| (.*?) \| ([\d,]+) \| (.*?) \|", TEXT)


def row(key, params):
    return next(r for r in TABLE if (r[0], r[1]) == (key, params))


def test_the_table_has_its_three_rows():
    assert [(r[0], r[1]) for r in TABLE] == [("Rsi", "14"), ("Rsi", "5"), ("StochRsi", "14, 14")]


@pytest.mark.parametrize("entry", TABLE, ids=lambda r: r[0] + r[1])
def test_each_row_s_value_at_halt_bar_1(halt, entry):
    key, params, first = entry[:3]
    indicators = one(key, *(int(p) for p in params.split(", ")))
    assert halt.holds_on_halt_bar(indicators, near(float(first), 0.00005), 1)


@pytest.mark.parametrize("period", [14, 5])
def test_the_rsi_is_held_from_its_period_as_it_stood_on_that_bar(halt, period):
    _, _, _, _, held_from, reads = row("Rsi", str(period))
    held_from = int(held_from)
    value, bar = re.fullmatch(r"([\d.]+), as it stood on halt bar (\d+)", reads).groups()
    value = float(value)
    assert int(bar) == held_from == period
    # Wilder's arithmetic, replayed outside the module, gives the written value on that bar, and then moves on.
    averages = wilder_averages([c["close"] for c in halt.candles[:MOVING + held_from + 40]], period)[MOVING:]
    indices = [index_of(*pair) for pair in averages]
    assert indices[held_from - 1] == value
    assert any(later != value for later in indices[held_from:])
    indicators = one("Rsi", period)
    assert halt.holds_on_halt_bar(indicators, {"eq": ["x", value]}, held_from)
    assert last_change(halt, indicators) < held_from
    first, last = halt.halt_bars_where(indicators, {"eq": ["x", value]})[-1]
    assert first <= held_from and last == HALTED


@pytest.mark.parametrize("period", [14, 5])
def test_the_rsi_moves_in_its_last_digits_as_written(halt, period):
    then = row("Rsi", str(period))[3]
    span = re.fullmatch(r"moves in its last digits from halt bar (\d+) to halt bar (\d+), within ([\d.e-]+) of its "
                        r"first value", then)
    pair = re.fullmatch(r"moves in its last digits on halt bars (\d+) and (\d+)", then)
    indicators = one("Rsi", period)
    changes = halt.halt_bars_where(indicators, MOVED)
    if span:
        first_bar, last_bar, distance = int(span[1]), int(span[2]), float(span[3])
        gains, losses = wilder_averages([c["close"] for c in halt.candles[:MOVING + 1]], period)[-1]
        assert halt.halt_bars_where(indicators, {"not": near(index_of(gains, losses), distance)}) == []
        assert (changes[0][0], changes[-1][1]) == (first_bar, last_bar)
    else:
        assert changes == [(int(pair[1]), int(pair[2]))]


def test_stoch_rsi_reads_as_written_then_50_from_a_window_of_copies(halt):
    _, _, _, then, from_bar, reads = row("StochRsi", "14, 14")
    above, hundred_at, hundred_from, hundred_to = (int(n) for n in re.fullmatch(
        r"above 50 up to halt bar (\d+), 100 at halt bar (\d+) and from halt bar (\d+) to halt bar (\d+)",
        then).groups())
    indicators = one("StochRsi", 14, 14)
    assert halt.halt_bars_where(indicators, {"gt": ["x", 50]}) == [(1, above)]
    hundreds = halt.halt_bars_where(indicators, {"eq": ["x", 100]})
    assert hundreds == [(hundred_at, hundred_at), (hundred_from, hundred_to)]
    assert reads == "50"
    assert halt.halt_bars_where(indicators, {"eq": ["x", 50]}) == [(int(from_bar), HALTED)]
    copies_from, rsi_last = figure(r"\(halt bar (\d+) here: the RSI last changes at halt bar (\d+), and its 14 "
                                   r"bars")
    assert copies_from == int(from_bar)
    assert last_change(halt, one("Rsi", 14)) == rsi_last and rsi_last + 14 - 1 == copies_from


def test_the_rows_stop_before_the_reference_page_names_a_bar():
    page = (DOCS / "indicators.md").read_text()
    for key in ("Rsi", "StochRsi"):
        line = next(line for line in page.splitlines() if line.startswith(f"| `{key}` |"))
        assert "On a halt it" not in line, key


def test_the_series_is_the_one_the_text_names(halt):
    moving, flat, price = figure(r"Over the candles of `candles\((\d+)\)` .*? then ([\d,]+) hourly candles "
                                 r"whose four prices are its last close, ([\d.]+), at volume 0")
    assert (moving, flat) == (MOVING, HALTED)
    assert halt.candles[MOVING - 1]["close"] == price
    assert "seed 2024" in TEXT


@pytest.fixture(scope="module")
def shorter():
    count, price = figure(r"over the first ([\d,]+) of the same candles, then the same halt at their last close, "
                          r"([\d.]+),")
    series = Series(candles(count))
    assert series.candles[count - 1]["close"] == price
    return series


def test_the_bar_a_ratio_is_held_from_does_not_move_with_the_series(shorter):
    last, held_from = figure(r"`Rsi\(14\)` last changes at halt bar (\d+) too, and is held from halt bar (\d+)")
    assert last_change(shorter, one("Rsi", 14)) == last and held_from == 14 > last


def test_the_first_bar_after_a_halt_reads_the_averages_arithmetic():
    assert "so the first bar after the halt reads what it would have read had the ratio not been held" in TEXT
    series = Series(candles(MOVING), 200)
    price = series.candles[-1]["close"]
    series.candles.append({"time": series.candles[-1]["time"] + HOUR_MS, "open": price, "high": price + 1,
                           "low": price, "close": price + 1, "volume": 1.0})
    indices = [pair and index_of(*pair) for pair in wilder_averages([c["close"] for c in series.candles], 14)]
    held, resumed = indices[MOVING + 13], indices[-1]
    # Without the hold the halt's last bar would read another value: the hold is what keeps it.
    assert indices[-2] != held and resumed != held
    indicators = one("Rsi", 14)
    assert series.halt_bars_where(indicators, {"eq": ["x", held]})[-1][1] == 200
    assert series.holds_on_halt_bar(indicators, {"eq": ["x", resumed]}, 201)


def test_the_dis_are_held_from_their_period(halt):
    named = re.search(r"the plus and minus movement of the DIs \((.*?)\)", TEXT).group(1)
    keys = re.findall(r"`(\w+)`", named)
    assert keys == ["PlusDi", "MinusDi", "Dx"]
    for key in keys:
        assert last_change(halt, one(key, 14)) < 14, key


def strategy(indicators, entry, exit_rule):
    return {"symbol": "BTCUSDT", "timeframe": "1h", "indicators": indicators, "entry": entry, "exit": exit_rule,
            "sizing": {"type": "fixed_fraction", "fraction": 0.5}, "costs": {"taker_bps": 5}}


GUARD = {"ne": [{"price": "close"}, {"prev": [{"price": "close"}, 1]}]}


def rsi5_strategy(guarded=False):
    rules = re.search(r"`Rsi\(5\)` with the entry `(.*?)` and the exit `(.*?)`", TEXT).groups()
    entry, exit_rule = (json.loads(rule) for rule in rules)
    if guarded:
        entry, exit_rule = {"all": [entry, GUARD]}, {"all": [exit_rule, GUARD]}
    return strategy({"rsi": {"type": "Rsi", "params": [5]}}, entry, exit_rule)


def guarded_block():
    return json.loads(re.search(r"```json (.*?)```", TEXT).group(1))


def unguarded_block():
    block = guarded_block()
    block["entry"], block["exit"] = block["entry"]["all"][0], block["exit"]["all"][0]
    return block


def test_the_guard_is_the_condition_the_text_gives():
    assert f"`{json.dumps(GUARD)}`" in TEXT
    block = guarded_block()
    assert block["entry"]["all"][1] == GUARD and block["exit"]["all"][1] == GUARD
    assert block["entry"]["all"][0] == {"lt": ["srsi", 20]} and block["exit"]["all"][0] == {"gt": ["srsi", 80]}
    assert "`StochRsi(14, 14)` below 20 to enter and above 80 to exit" in TEXT


def test_stoch_rsi_opens_no_trade_inside_the_halt(halt):
    count, sold_at, signal_at, holds, start = figure(
        r"makes ([\d,]+) trades over this series, and opens none of them inside the halt: the position it bought at "
        r"the open of the last candle before the halt is sold at the open of halt bar (\d+), on the 100 of halt bar "
        r"(\d+), and from there its equity holds at ([\d,.]+), where it was ([\d,.]+) at the halt's start "
        r"\(the difference is that sale's fee\)")
    report = halt.prove(unguarded_block())
    trades = report["trades"]
    assert len(trades) == count
    assert all(halt.index(t["entry_time"]) < MOVING for t in trades)
    sold = trades[-1]
    assert halt.index(sold["entry_time"]) == MOVING - 1 and sold["reason"] == "signal"
    assert halt.halt_bar(halt.index(sold["exit_time"])) == sold_at == signal_at + 1
    assert halt.holds_on_halt_bar(one("StochRsi", 14, 14), {"eq": ["x", 100]}, signal_at)
    equity = [point["equity"] for point in report["equity"]]
    assert set(equity[MOVING + sold_at - 1:]) == {equity[-1]}
    assert (round(equity[MOVING], 2), round(equity[-1], 2)) == (start, holds)
    fee = sold["qty"] * sold["exit_price"] * 5 / 10_000
    assert equity[MOVING] - equity[-1] == pytest.approx(fee, abs=0.01)


def test_rsi5_trades_nothing_in_this_halt(halt):
    distance, value = figure(r"this halt, flat when it began and its index within ([\d.]+) of ([\d.]+) inside it")
    trades = halt.prove(rsi5_strategy())["trades"]
    assert max(halt.index(t["exit_time"]) for t in trades) < MOVING
    assert halt.halt_bars_where(one("Rsi", 5), {"not": near(value, distance)}) == []


def test_rsi5_holds_its_position_through_the_shorter_series_halt(shorter):
    ordinal, = re.search(r"the same strategy bought at the open of the (\w+)-last candle before the halt and holds "
                         r"that position to the last candle \(`end`\)", TEXT).groups()
    last = shorter.prove(rsi5_strategy())["trades"][-1]
    from_end = ["last", "second", "third", "fourth", "fifth"].index(ordinal) + 1
    assert shorter.index(last["entry_time"]) == shorter.moving - from_end
    assert (shorter.index(last["exit_time"]), last["reason"]) == (len(shorter.candles) - 1, "end")


def test_tsi_moves_one_way_then_is_held(halt):
    first, last, held = figure(r"`Tsi\(25, 13\)` reads ([\d.]+) at halt bar 1, never falls inside the halt, and last "
                               r"changes at halt bar ([\d,]+), from which it reads ([\d.]+) to the end")
    indicators = one("Tsi", 25, 13)
    assert halt.holds_on_halt_bar(indicators, near(first, 0.00005), 1)
    assert halt.halt_bars_where(indicators, {"falling": ["x", 1]}) == []
    assert last_change(halt, indicators) == last
    assert halt.holds_on_halt_bar(indicators, near(held, 0.00005), last)


def test_a_single_average_decays_into_the_subnormal_numbers(halt, shorter):
    below, last = figure(r"`Atr\(14\)` falls by 13/14 a bar, sinks below 2.2e-308 into the subnormal numbers at halt "
                         r"bar ([\d,]+) and changes until halt bar ([\d,]+), the bar its row of")
    indicators = one("Atr", 14)
    assert halt.halt_bars_where(indicators, {"lt": ["x", SMALLEST_NORMAL]}) == [(below, HALTED)]
    assert last_change(halt, indicators) == last
    page = (DOCS / "indicators.md").read_text()
    line = next(line for line in page.splitlines() if line.startswith("| `Atr` |"))
    assert int(re.search(r"On a halt it last changes at halt bar ([\d,]+)\.", line).group(1).replace(",", "")) == last
    elsewhere, = figure(r"over the first [\d,]+ candles, `Atr\(14\)` changes until halt bar ([\d,]+)")
    assert last_change(shorter, indicators) == elsewhere != last


def test_the_guarded_strategy_as_written_holds_through_the_halt(halt):
    before, = figure(r"and its ([\d,]+) trades before that one and its equity up to the halt are the same")
    guarded, plain = halt.prove(guarded_block()), halt.prove(unguarded_block())
    last = guarded["trades"][-1]
    assert all(halt.index(t["entry_time"]) < MOVING for t in guarded["trades"])
    assert "bought at the open of the last candle before the halt is held to the last candle (`end`)" in TEXT
    assert (halt.index(last["entry_time"]), last["reason"]) == (MOVING - 1, "end")
    assert len(guarded["trades"]) == before + 1
    assert guarded["trades"][:before] == plain["trades"][:before]
    assert guarded["equity"][:MOVING] == plain["equity"][:MOVING]


def test_the_guard_changes_no_trade_of_a_moving_market(halt):
    same, = figure(r"The guarded `Rsi\(5\)` strategy makes the same ([\d,]+) trades as without the guard")
    repeats, of = figure(r"\((\d+) of these ([\d,]+) candles do; none of them changed a trade\)")
    assert halt.prove(rsi5_strategy(True))["trades"] == halt.prove(rsi5_strategy())["trades"]
    assert len(halt.prove(rsi5_strategy())["trades"]) == same
    closes = [c["close"] for c in halt.candles[:of]]
    assert of == MOVING and sum(a == b for a, b in zip(closes, closes[1:])) == repeats
    # Before the halt the StochRsi strategy trades the same with the guard as without.
    guarded, plain = halt.prove(guarded_block())["trades"], halt.prove(unguarded_block())["trades"]
    assert guarded[:-1] == plain[:len(guarded) - 1]


def test_the_guard_changes_trades_where_closes_repeat_often():
    count, start, repeats, of, trades, later, guarded_return, plain_return = figure(
        r"over `candles\((\d+), start_price=([\d.]+)\)`, a walk in cents whose moves round to none on ([\d,]+) "
        r"of its ([\d,]+) candles, the guarded `StochRsi` strategy above makes ([\d,]+) trades, as many as without "
        r"the guard, but one of them exits (\d+) bars later .*? it returns (-?[\d.]+)% against (-?[\d.]+)%")
    walk = Series(candles(count, start_price=start), halted=0)
    closes = [c["close"] for c in walk.candles]
    assert of == count and sum(a == b for a, b in zip(closes, closes[1:])) == repeats
    guarded, plain = walk.prove(guarded_block()), walk.prove(unguarded_block())
    assert len(guarded["trades"]) == len(plain["trades"]) == trades
    moved = [(g, p) for g, p in zip(guarded["trades"], plain["trades"])
             if (g["entry_time"], g["exit_time"]) != (p["entry_time"], p["exit_time"])]
    assert len(moved) == 1
    g, p = moved[0]
    assert g["entry_time"] == p["entry_time"] and walk.index(g["exit_time"]) - walk.index(p["exit_time"]) == later
    signal = walk.index(p["exit_time"]) - 1  # the bar whose close gave the plain exit its signal
    assert closes[signal] == closes[signal - 1]
    assert (guarded["metrics"]["return_pct"], plain["metrics"]["return_pct"]) == \
        pytest.approx((guarded_return, plain_return), abs=0.005)
