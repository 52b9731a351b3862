"""The sample candles: the first 10,000 keep the bytes that the demo's proof and
the figures taken on them rest on, and a long series keeps moving throughout."""

import hashlib

from sample_candles import candles_json, columns

# SHA-256 of candles_json(10_000), as the walk has always written it.
FIRST_10K_SHA256 = "d72514b0b9ab21b0db94d899c36fe16ec48c986d8c8c80221a529228ae171f0b"

# A close equals the one before when its move rounds to no cent, about one bar
# in eighty; five in a row is already rare over a million bars.
MOST_EQUAL_CLOSES_IN_A_ROW = 5


def longest_run_of_equal(values):
    longest = run = 1
    for before, after in zip(values, values[1:]):
        run = run + 1 if after == before else 1
        longest = max(longest, run)
    return longest


def test_the_first_10000_candles_keep_their_bytes():
    assert hashlib.sha256(candles_json(10_000).encode()).hexdigest() == FIRST_10K_SHA256


def test_a_million_candles_keep_moving_to_the_last():
    closes = columns(1_000_000)[4]
    assert longest_run_of_equal(closes) <= MOST_EQUAL_CLOSES_IN_A_ROW
