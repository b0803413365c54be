"""Diacritic restoration, spelling suggestions and informal-text throughput.

1. Diacritics: the sentences of the UD dev treebanks (IMST excluded) are
   asciified and deasciified again; word accuracy overall and on the words
   that had diacritics, side by side with nlptoolkit-deasciifier's
   SimpleDeasciifier when it is installed (pip install nlptoolkit-deasciifier).
2. Spelling: a fixed random sample of 2,000 pairs of the StarLang
   misspellings list; share where the correct word is the first suggestion
   and where it is among five; median and worst time of `suggest`.
3. Throughput of `deasciify` and `normalize_informal` in words per second.
"""

from __future__ import annotations

import os
import random
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from corpus import DATA, treebank_sentences  # noqa: E402

import selvo  # noqa: E402

TURKISH = set("çğıöşüÇĞİÖŞÜ")


def words_of(text: str) -> list[str]:
    return text.split()


def accuracy(gold: list[str], guess: list[str]) -> tuple[float, float, int, int]:
    total = hits = dia_total = dia_hits = 0
    for g_sent, p_sent in zip(gold, guess):
        g_words, p_words = words_of(g_sent), words_of(p_sent)
        if len(g_words) != len(p_words):
            # Peers may re-tokenize; compare position by position as far as they agree.
            n = min(len(g_words), len(p_words))
            g_words, p_words = g_words[:n], p_words[:n]
        for g, p in zip(g_words, p_words):
            total += 1
            hits += g == p
            if TURKISH & set(g):
                dia_total += 1
                dia_hits += g == p
    return hits / total, dia_hits / max(dia_total, 1), total, dia_total


def peer_deasciifier():
    try:
        from Corpus.Sentence import Sentence
        from Deasciifier.SimpleDeasciifier import SimpleDeasciifier
        from MorphologicalAnalysis.FsmMorphologicalAnalyzer import FsmMorphologicalAnalyzer
    except ImportError:
        return None
    peer = SimpleDeasciifier(FsmMorphologicalAnalyzer())
    failures = []

    def run(text: str) -> str:
        try:
            return peer.deasciify(Sentence(text)).toString()
        except Exception:  # the peer raises on some inputs; count them, keep the input
            failures.append(text)
            return text

    run.failures = failures
    return run


def diacritics(limit: int | None) -> None:
    gold = treebank_sentences(include_imst=False)
    if limit:
        gold = gold[:limit]
    ascii_ = [selvo.asciify(s) for s in gold]
    n_words = sum(len(words_of(s)) for s in gold)

    t = time.perf_counter()
    ours = [selvo.deasciify(s) for s in ascii_]
    ours_s = time.perf_counter() - t
    acc, dia, total, dia_total = accuracy(gold, ours)
    print(f"diacritics: {len(gold)} sentences, {total} words, {dia_total} with Turkish letters")
    print(f"  selvo  word accuracy {acc:.4f}  on words with diacritics {dia:.4f}  {n_words / ours_s:10.0f} words/s")

    peer = peer_deasciifier()
    if peer is None:
        print("  peer   nlptoolkit-deasciifier not installed")
        return
    t = time.perf_counter()
    theirs = [peer(s) for s in ascii_]
    peer_s = time.perf_counter() - t
    p_acc, p_dia, _, _ = accuracy(gold, theirs)
    if peer.failures:
        print(f"  peer   raised on {len(peer.failures)} sentences (scored as left unchanged)")
    print(f"  peer   word accuracy {p_acc:.4f}  on words with diacritics {p_dia:.4f}  {n_words / peer_s:10.0f} words/s")
    print(f"  ratio  accuracy {acc / p_acc:.3f}x  diacritic words {dia / p_dia:.3f}x  speed {peer_s / ours_s:.1f}x")


def spelling() -> None:
    path = os.path.join(DATA, "starlang", "turkish_misspellings.txt")
    pairs = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) == 2:
                pairs.append((parts[0], parts[1]))
    sample = random.Random(2026).sample(pairs, 2000)
    checker = selvo.SpellChecker()
    first = top5 = 0
    times = []
    for wrong, right in sample:
        t = time.perf_counter()
        found = checker.suggest(wrong)
        times.append(time.perf_counter() - t)
        words = [s["word"] for s in found]
        right = selvo.to_turkish_lower(right)
        first += bool(words) and words[0] == right
        top5 += right in words[:5]
    print(f"spelling: {len(sample)} pairs (seed 2026)")
    print(f"  correct word first {first / len(sample):.4f}   among five {top5 / len(sample):.4f}")
    print(f"  suggest median {statistics.median(times) * 1e3:.3f} ms   worst {max(times) * 1e3:.3f} ms")


def throughput() -> None:
    text = " ".join(treebank_sentences(include_imst=False))
    ascii_text = selvo.asciify(text)
    n = len(text.split())
    for label, fn, arg in (
        ("deasciify", selvo.deasciify, ascii_text),
        ("normalize_informal", selvo.normalize_informal, text),
    ):
        t = time.perf_counter()
        fn(arg)
        s = time.perf_counter() - t
        print(f"throughput {label:<20} {n / s:10.0f} words/s ({n} words in {s:.2f} s)")


if __name__ == "__main__":
    limit = int(sys.argv[1]) if len(sys.argv) > 1 else None
    diacritics(limit)
    spelling()
    throughput()
