"""Deterministic sample candles: the same seed gives the same bars on every machine.

Prices follow a random walk with slowly changing drift, so that a moving-average
crossover finds trends to follow and whipsaws to lose on. Only integer
arithmetic drives the walk, and every price is rounded to cents, so the bars do
not depend on the platform's floating point library.

The walk is reflected between a floor and a ceiling, 0.15 and 5 times the
starting price (15.00 and 500.00 by default): a close that would cross one is
mirrored back inside, and from there every move is mirrored too, until the walk
meets a bound again. A floor that merely held the price would let the walk
settle on it: a move rounded down to whole cents loses half a cent a bar on
average, and at a low enough price every move rounds to nothing, which made the
candles one flat line from bar 11,917 on. Mirrored moves round the other way, so
the walk climbs back. Both default bounds lie outside every close of the first
10,000 bars of the default seed, which are the same as before the walk was
reflected.
"""

from __future__ import annotations

START_TIME_MS = 1_700_000_000_000
HOUR_MS = 3_600_000
_MASK64 = (1 << 64) - 1


def _xorshift64(state: int) -> int:
    state ^= (state << 13) & _MASK64
    state ^= state >> 7
    state ^= (state << 17) & _MASK64
    return state


def _bars(count: int, seed: int, start_price: float):
    """Each candle in turn as (time, open, high, low, close, volume)."""
    state = seed * 0x9E3779B97F4A7C15 & _MASK64 or 1
    cents = round(start_price * 100)
    floor, ceiling = cents * 15 // 100, cents * 5
    drift = 0  # basis points per bar
    direction = 1  # -1 while the walk runs mirrored
    for i in range(count):
        state = _xorshift64(state)
        if i % 240 == 0:  # a new regime every ten days
            drift = (state % 13) - 6
        step_bps = (state >> 8) % 121 - 60 + drift  # -66 .. +66 basis points
        open_cents = cents
        cents = open_cents + direction * (open_cents * step_bps // 10_000)
        if not floor <= cents <= ceiling:
            bound = floor if cents < floor else ceiling
            cents = 2 * bound - cents
            direction = -direction
        wick_up = (state >> 20) % 40
        wick_down = (state >> 32) % 40
        high = max(open_cents, cents) + max(open_cents, cents) * wick_up // 10_000
        low = min(open_cents, cents) - min(open_cents, cents) * wick_down // 10_000
        volume = 500 + (state >> 44) % 4500
        yield (START_TIME_MS + i * HOUR_MS, open_cents / 100, high / 100, low / 100, cents / 100, float(volume))


def candles(count: int, seed: int = 2024, start_price: float = 100.0) -> list[dict]:
    """`count` hourly candles as JSON-ready dicts (time, open, high, low, close, volume)."""
    return [
        {"time": t, "open": o, "high": h, "low": lo, "close": c, "volume": v}
        for t, o, h, lo, c, v in _bars(count, seed, start_price)
    ]


def columns(count: int, seed: int = 2024, start_price: float = 100.0) -> list[list]:
    """The same candles as six lists (times, opens, highs, lows, closes, volumes),
    built without a dict per candle."""
    cols = [[], [], [], [], [], []]
    appends = [col.append for col in cols]
    for bar in _bars(count, seed, start_price):
        for append, value in zip(appends, bar):
            append(value)
    return cols


def candles_json(count: int, seed: int = 2024) -> str:
    """The candles as compact JSON array text, built without the json module's overhead."""
    parts = [
        '{"time":%d,"open":%r,"high":%r,"low":%r,"close":%r,"volume":%r}'
        % (c["time"], c["open"], c["high"], c["low"], c["close"], c["volume"])
        for c in candles(count, seed)
    ]
    return "[" + ",".join(parts) + "]"
