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
UNIT = 2.0**-1074


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


def away(value, distance):
    return {"any": [{"ge": [{"sub": ["x", value]}, distance]}, {"le": [{"sub": ["x", value]}, -distance]}]}


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


TABLE = re.findall(r"\| `(\w+)\(([\d, ]+)\)` \| ([\d.]+) \| (.*?) \| ([\d,]+) \|", TEXT)


def test_the_table_has_its_three_rows():
    assert [row[0] for row in TABLE] == ["Rsi", "Rsi", "StochRsi"]


@pytest.mark.parametrize("row", TABLE, ids=lambda row: row[0] + row[1])
def test_each_row_s_first_value_and_its_settling(halt, row):
    key, params, first, _, settles = row
    indicators = one(key, *(int(p) for p in params.split(", ")))
    low, high = float(first) - 0.00005, float(first) + 0.00005
    assert halt.holds_on_halt_bar(indicators, {"between": ["x", low, high]}, 1)
    settled_from = int(settles.replace(",", ""))
    assert halt.halt_bars_where(indicators, {"eq": ["x", 50]})[-1] == (settled_from, HALTED)


@pytest.mark.parametrize("row", [r for r in TABLE if r[0] == "Rsi"], ids=lambda row: row[0] + row[1])
def test_each_rsi_row_drifts_as_written(halt, row):
    _, period, _, then, _ = row
    period = int(period)
    moved, highest, highest_at = (float(g.replace(",", "")) for g in re.fullmatch(
        r"first 0.005 away at bar ([\d,]+), its highest, ([\d.]+), at bar ([\d,]+)", then).groups())
    gains, losses = wilder_averages([c["close"] for c in halt.candles[:MOVING + 1]], period)[-1]
    first = index_of(gains, losses)
    indicators = one("Rsi", period)
    assert halt.holds_on_halt_bar(indicators, {"eq": ["x", first]}, 1)
    assert halt.halt_bars_where(indicators, away(first, 0.005))[0][0] == moved
    # Written to two decimals: the highest lies within 0.005 of it, on that bar alone.
    assert halt.halt_bars_where(indicators, {"ge": ["x", highest - 0.005]}) == [(highest_at, highest_at)]
    assert halt.halt_bars_where(indicators, {"gt": ["x", highest + 0.005]}) == []


def test_stoch_rsi_row_reaches_each_written_value_first_where_written(halt):
    then = next(row[3] for row in TABLE if row[0] == "StochRsi")
    pairs = re.findall(r"(\d+) at bar ([\d,]+)", then)
    assert len(pairs) == 3
    for value, bar in pairs:
        spans = halt.halt_bars_where(one("StochRsi", 14, 14), {"eq": ["x", int(value)]})
        assert spans[0][0] == int(bar.replace(",", "")), value


# The reference page's rows are at the customary parameters.
CUSTOMARY = {"Rsi": "14", "StochRsi": "14, 14"}


def test_the_table_settles_where_the_reference_page_says():
    page = (DOCS / "indicators.md").read_text()
    compared = 0
    for key, params, _, _, settles in TABLE:
        if params != CUSTOMARY[key]:
            continue
        row = next(line for line in page.splitlines() if line.startswith(f"| `{key}` |"))
        assert re.search(r"On a halt it last changes at halt bar ([\d,]+)\.", row).group(1) == settles, key
        compared += 1
    assert compared == 2


def test_the_series_is_the_one_the_text_names(halt):
    moving, flat, price = figure(r"Over the candles of `candles\((\d+)\)` .*? then ([\d,]+) hourly candles "
                                 r"whose four prices are its last close, ([\d.]+), at volume 0")
    assert (moving, flat) == (MOVING, HALTED)
    assert halt.candles[MOVING - 1]["close"] == price
    assert "seed 2024" in TEXT


def test_the_index_holds_then_moves_in_its_last_digits(halt):
    from_bar, near, upto = figure(r"moves in its last digits from halt bar (\d+) on \(within ([\d.e-]+) of its "
                                  r"first value up to halt bar ([\d,]+)\)")
    indicators = one("Rsi", 14)
    changes = halt.halt_bars_where(indicators, {"ne": ["x", {"prev": ["x", 1]}]})
    assert changes[0][0] == from_bar
    gains, losses = wilder_averages([c["close"] for c in halt.candles[:MOVING + 1]], 14)[-1]
    first = index_of(gains, losses)
    outside = halt.halt_bars_where(indicators, {"not": {"between": ["x", first - near, first + near]}})
    assert outside[0][0] == upto + 1


@pytest.mark.parametrize("period", [14, 5])
def test_the_averages_turn_subnormal_and_settle_as_written(halt, period):
    below14, below5 = figure(r"By halt bar ([\d,]+) \(([\d,]+) for `Rsi\(5\)`\) both averages have fallen below")
    units14, units5 = figure(r"unchanged: (\d+) units of 2\^-1074 each for `Rsi\(14\)`, (\d+) for `Rsi\(5\)`")
    below, units = {14: (below14, units14), 5: (below5, units5)}[period]
    closes = [c["close"] for c in halt.candles[:MOVING + below + 200]]
    averages = wilder_averages(closes, period)
    halt_bars = averages[MOVING:]
    # The replayed step is the module's: it gives the same index as the module where the averages turn.
    gains, losses = halt_bars[below - 1]
    assert halt.holds_on_halt_bar(one("Rsi", period), {"eq": ["x", index_of(gains, losses)]}, below)
    first_below = next(k + 1 for k, pair in enumerate(halt_bars) if max(pair) < SMALLEST_NORMAL)
    assert first_below == below
    # The largest count of units that a flat step gives back unchanged.
    step = lambda average: float(Fraction(average) * (period - 1)) * (1.0 / period)  # noqa: E731
    kept = [k for k in range(1, 100) if step(k * UNIT) == k * UNIT]
    assert kept == list(range(1, units + 1))


def test_a_series_without_losses_settles_at_100():
    rising = [{"time": k * HOUR_MS, "open": 100.0 + k, "high": 100.0 + k, "low": 100.0 + k, "close": 100.0 + k,
               "volume": 1.0} for k in range(60)]
    series = Series(rising, 20_000)
    assert "then it ends at 100" in TEXT
    # Until the averages settle, the quotient may read a unit in the last place off 100.
    assert series.halt_bars_where(one("Rsi", 14), {"eq": ["x", 100]})[-1][1] == 20_000


def test_the_bars_move_with_the_series():
    count, price, settles = figure(r"over the first ([\d,]+) of the same candles, then the same halt at their "
                                   r"last close, ([\d.]+), `Rsi\(14\)` is exactly 50 from halt bar ([\d,]+)")
    shorter = Series(candles(count))
    assert shorter.candles[count - 1]["close"] == price
    assert shorter.halt_bars_where(one("Rsi", 14), {"eq": ["x", 50]})[-1] == (settles, HALTED)
    ordinal, sold = re.search(r"the same strategy bought at the open of the (\w+)-last candle before the halt and "
                              r"sold at the open of halt bar ([\d,]+)", TEXT).groups()
    last = shorter.prove(rsi5_strategy())["trades"][-1]
    from_end = ["last", "second", "third", "fourth", "fifth"].index(ordinal) + 1
    assert shorter.index(last["entry_time"]) == count - from_end
    assert shorter.halt_bar(shorter.index(last["exit_time"])) == int(sold.replace(",", ""))
    assert last["reason"] == "signal"


GUARD = {"ne": [{"price": "close"}, {"prev": [{"price": "close"}, 1]}]}


def strategy(indicators, entry, exit_rule):
    return {"symbol": "BTCUSDT", "timeframe": "1h", "indicators": indicators, "entry": entry, "exit": exit_rule,
            "sizing": {"type": "fixed_fraction", "fraction": 0.5}, "costs": {"taker_bps": 5}}


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


def test_stoch_rsi_trades_on_candles_that_never_moved(halt):
    sold_at, bought, from_bar, on_rule, start, end, share = figure(
        r"sold the position it held when the halt began at the open of halt bar ([\d,]+), then bought ([\d,]+) "
        r"times inside the halt, from halt bar ([\d,]+) on, and sold ([\d,]+) of them on its exit rule .*? its "
        r"equity fell from ([\d,.]+) at the halt's start to ([\d,.]+), ([\d.]+)%, in fees")
    report = halt.prove(unguarded_block())
    trades = report["trades"]
    held = next(t for t in trades if halt.index(t["entry_time"]) < MOVING <= halt.index(t["exit_time"]))
    assert (halt.halt_bar(halt.index(held["exit_time"])), held["reason"]) == (sold_at, "signal")
    inside = [t for t in trades if halt.index(t["entry_time"]) >= MOVING]
    assert len(inside) == bought
    assert halt.halt_bar(halt.index(inside[0]["entry_time"])) == from_bar
    assert [t["reason"] for t in inside] == ["signal"] * on_rule + ["end"]
    price = halt.candles[-1]["close"]
    assert {t["entry_price"] for t in inside} == {t["exit_price"] for t in inside} == {price}
    equity = [point["equity"] for point in report["equity"]]
    assert (round(equity[MOVING], 2), round(equity[-1], 2)) == (start, end)
    assert round((1 - equity[-1] / equity[MOVING]) * 100, 1) == share


def test_rsi5_trades_nothing_in_this_halt(halt):
    low, high = figure(r"this halt, flat when it began and its index between (\d+) and ([\d.]+) inside it")
    trades = halt.prove(rsi5_strategy())["trades"]
    assert max(halt.index(t["exit_time"]) for t in trades) < MOVING
    indicators = one("Rsi", 5)
    assert halt.halt_bars_where(indicators, {"lt": ["x", low]}) == []
    assert halt.halt_bars_where(indicators, {"eq": ["x", low]}) != []
    assert halt.halt_bars_where(indicators, {"gt": ["x", high + 0.005]}) == []
    assert halt.halt_bars_where(indicators, {"ge": ["x", high - 0.005]}) != []


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
