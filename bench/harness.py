"""A small side-by-side timing harness.

``compare(label, candidate, reference)`` runs both callables alternately,
takes the best of several rounds (each round repeats the call enough times
to last a few milliseconds) and prints the two times and their ratio. A
ratio above 1 means the candidate is faster than the reference.
"""

from __future__ import annotations

import statistics
import time
from typing import Any, Callable


def _round(fn: Callable[[], Any], number: int) -> float:
    start = time.perf_counter()
    for _ in range(number):
        fn()
    return (time.perf_counter() - start) / number


def _calibrate(fn: Callable[[], Any], target: float = 0.05) -> int:
    number = 1
    while True:
        elapsed = _round(fn, number)
        if elapsed * number >= target or number >= 1 << 20:
            return number
        number *= 2


def compare(
    label: str,
    candidate: Callable[[], Any],
    reference: Callable[[], Any],
    *,
    rounds: int = 7,
    size_bytes: int | None = None,
) -> dict[str, float]:
    n_c = _calibrate(candidate)
    n_r = _calibrate(reference)
    times_c, times_r = [], []
    for _ in range(rounds):
        times_c.append(_round(candidate, n_c))
        times_r.append(_round(reference, n_r))
    best_c, best_r = min(times_c), min(times_r)
    med_c, med_r = statistics.median(times_c), statistics.median(times_r)
    line = f"{label:<40} selvo {best_c * 1e3:9.3f} ms   reference {best_r * 1e3:9.3f} ms   ratio {best_r / best_c:6.2f}x"
    if size_bytes:
        line += f"   ({size_bytes / best_c / 1e6:7.1f} MB/s vs {size_bytes / best_r / 1e6:7.1f} MB/s)"
    print(line)
    return {"candidate": best_c, "reference": best_r, "ratio": best_r / best_c, "median_ratio": med_r / med_c}


def time_once(label: str, fn: Callable[[], Any], *, rounds: int = 7) -> float:
    n = _calibrate(fn)
    best = min(_round(fn, n) for _ in range(rounds))
    print(f"{label:<40} {best * 1e6:10.2f} µs")
    return best
