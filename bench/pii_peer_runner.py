"""Runs a peer PII detector inside its own interpreter for bench_pii.py.

Usage: python pii_peer_runner.py {kvkk|hushmark} JOB.json
JOB.json holds {"prompts": [...], "big": "..."}; prints JSON with the spans
(character offsets) found in each prompt and the best time over the big text.
Only the peers' public entry points are called.
"""

from __future__ import annotations

import json
import os
import sys
import time


def kvkk_detector():
    import kvkk

    def detect(text):
        return [(m.start, m.end, m.kind) for m in kvkk.detect(text)]

    return detect


def hushmark_detector():
    os.environ.setdefault("HUSHMARK_CORE_ALLOW_UNAUTHENTICATED", "true")
    # The statistical NER layer needs model files fetched from a hub, which
    # this machine cannot reach: only the deterministic layer runs.
    os.environ.setdefault("HUSHMARK_CORE_NER_BACKEND", "disabled")
    import warnings

    warnings.filterwarnings("ignore")
    from hushmark_core.engine import get_engine

    engine = get_engine()

    def detect(text):
        return [(e.start, e.end, e.type) for e in engine.analyze(text)]

    return detect


def main() -> None:
    name, job_path = sys.argv[1], sys.argv[2]
    with open(job_path, encoding="utf-8") as f:
        job = json.load(f)
    detect = {"kvkk": kvkk_detector, "hushmark": hushmark_detector}[name]()
    spans = [detect(p) for p in job["prompts"]]
    prompts_time = float("inf")
    for _ in range(5):  # warm passes; the best one counts
        start = time.perf_counter()
        for p in job["prompts"]:
            detect(p)
        prompts_time = min(prompts_time, time.perf_counter() - start)
    best = float("inf")
    for _ in range(job.get("rounds", 3)):
        t = time.perf_counter()
        detect(job["big"])
        best = min(best, time.perf_counter() - t)
    print(json.dumps({"spans": spans, "prompts_time": prompts_time, "big_time": best}))


if __name__ == "__main__":
    main()
