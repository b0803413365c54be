"""Morphology: speed and quality on the UD Turkish dev treebanks, side by
side with a peer analyser (zeyrek, from PyPI, if installed).

Speed: words analysed per second over every token of the dev treebanks,
Morphology() construction time, time per stem() call, and the slowest words
we could construct. Quality (IMST and imst2 left out): the share of tokens
with at least one analysis, and lemma accuracy of the first and of the
disambiguated analysis against the gold lemma (lowercased; verbs compared by
stem), with the main error classes.

Run:  python bench/bench_morphology.py [--peer-tokens N]
"""

from __future__ import annotations

import argparse
import collections
import glob
import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from corpus import DATA  # noqa: E402
from harness import time_once  # noqa: E402

from selvo import _core  # noqa: E402


def read_treebanks(include_imst: bool):
    """Sentences as lists of (form, gold lemma, upos); words inside
    multiword tokens are dropped (their form is not a written word)."""
    sentences = []
    for path in sorted(glob.glob(os.path.join(DATA, "ud-turkish", "*-dev.conllu"))):
        if not include_imst and "imst" in os.path.basename(path):
            continue
        words, covered = [], set()
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.rstrip("\n")
                if not line:
                    if words:
                        sentences.append(words)
                    words, covered = [], set()
                    continue
                if line.startswith("#"):
                    continue
                cols = line.split("\t")
                if "-" in cols[0]:
                    a, b = cols[0].split("-")
                    covered.update(range(int(a), int(b) + 1))
                    words.append((cols[1], None, "MWT"))
                    continue
                if "." in cols[0] or int(cols[0]) in covered:
                    continue
                words.append((cols[1], cols[2], cols[3]))
        if words:
            sentences.append(words)
    return sentences


def gold_key(lemma: str, upos: str) -> str:
    g = _core.to_turkish_lower(lemma)
    if upos == "VERB" and len(g) > 4 and (g.endswith("mak") or g.endswith("mek")):
        g = g[:-3]
    return g


def predicted_key(lemma: str, root: str, verb: bool) -> str:
    return _core.to_turkish_lower(root if verb else lemma)


def words_per_second(fn, words, rounds=3):
    best = float("inf")
    for _ in range(rounds):
        start = time.perf_counter()
        for w in words:
            fn(w)
        best = min(best, time.perf_counter() - start)
    return len(words) / best, best


def main() -> None:
    ap = argparse.ArgumentParser()
    ap.add_argument("--peer-tokens", type=int, default=4000, help="tokens timed for the peer (it is slow)")
    ap.add_argument("--peer-quality", action="store_true", help="also run the peer over every quality token")
    args = ap.parse_args()

    all_sentences = read_treebanks(include_imst=True)
    tokens = [w for s in all_sentences for (w, _, _) in s]
    print(f"dev treebanks: {len(all_sentences)} sentences, {len(tokens)} tokens")

    try:
        import logging

        import zeyrek  # type: ignore

        logging.getLogger("zeyrek").setLevel(logging.ERROR)  # it logs every analysis as a warning
    except ImportError:
        zeyrek = None
        print("peer zeyrek is not installed: pip install zeyrek")

    # --- construction -------------------------------------------------------
    _core.Morphology().analyze("ısınma")  # the shared lexicon is built on first use
    t_ctor = time_once("selvo Morphology() construction", _core.Morphology)
    peer = None
    if zeyrek is not None:
        start = time.perf_counter()
        peer = zeyrek.MorphAnalyzer()
        t_peer_ctor = time.perf_counter() - start
        print(f"{'zeyrek MorphAnalyzer() construction':<40} {t_peer_ctor * 1e6:10.2f} µs")
        print(f"{'construction ratio':<40} {t_peer_ctor / t_ctor:10.0f}x")

    # --- speed --------------------------------------------------------------
    morph = _core.Morphology()
    wps, secs = words_per_second(morph.analyze, tokens)
    print(f"selvo analyze: {wps:,.0f} words/s ({secs:.2f} s for {len(tokens)} tokens)")
    sample = tokens[: args.peer_tokens]
    if peer is not None:
        s_wps, _ = words_per_second(morph.analyze, sample)
        p_wps, p_secs = words_per_second(peer._parse, sample, rounds=1)
        print(f"on the first {len(sample)} tokens: selvo {s_wps:,.0f} words/s, zeyrek {p_wps:,.0f} words/s, "
              f"ratio {s_wps / p_wps:.0f}x")

    stem_words = tokens[:20000]
    _, st = words_per_second(_core.stem, stem_words)
    print(f"{'selvo stem() per call (20k tokens)':<40} {st / len(stem_words) * 1e6:10.2f} µs")
    if peer is not None:
        lemmatize = lambda w: peer._parse(w)[:1]  # noqa: E731
        _, pt = words_per_second(lemmatize, sample[:2000], rounds=1)
        print(f"{'zeyrek _parse per word (2k tokens)':<40} {pt / min(2000, len(sample)) * 1e6:10.2f} µs")

    # --- worst cases --------------------------------------------------------
    worst = [
        "a" * 60, "l" * 60, "ıııııııııııııııııııııııııııııııııııııııııııııııııııııııııııı",
        "çekoslovakyalılaştıramadıklarımızdanmışsınızcasına",
        "muvaffakiyetsizleştiricileştiriveremeyebileceklerimizdenmişsinizcesine",
        "ev" + "cik" * 19, "ev" + "lik" * 19, "gel" + "dir" * 19, "kitap" + "larım" * 11,
        "lerlerlerlerlerlerlerlerlerlerlerlerlerlerlerlerlerlerlerler",
        "'" * 60, "a'" * 30,
    ]
    times = []
    for w in worst:
        n = 50
        start = time.perf_counter()
        for _ in range(n):
            r = morph.analyze(w)
        times.append(((time.perf_counter() - start) / n, w, len(r)))
    times.sort(reverse=True)
    print("slowest constructed words:")
    for t, w, k in times[:5]:
        print(f"  {t * 1e6:9.1f} µs  {k:4d} analyses  {w[:40]}{'…' if len(w) > 40 else ''}")

    # --- quality ------------------------------------------------------------
    sentences = read_treebanks(include_imst=False)
    dis = _core.Disambiguator()
    counts = collections.Counter()
    errors_first = collections.Counter()
    classes = collections.Counter()
    peer_counts = collections.Counter()
    for sent in sentences:
        forms = [w for (w, _, _) in sent]
        chosen = dis.disambiguate(forms)
        for (form, lemma, upos), best in zip(sent, chosen):
            if lemma is None or upos == "PUNCT":
                continue
            gold = gold_key(lemma, upos)
            parses = morph.analyze(form)
            counts["tokens"] += 1
            if parses:
                counts["analysed"] += 1
                p = parses[0]
                first = predicted_key(p["lemma"], p["root"], p["primary_pos"] == "Verb")
                if first == gold:
                    counts["first"] += 1
                else:
                    errors_first[(gold, first)] += 1
                    roots = {predicted_key(q["lemma"], q["root"], q["primary_pos"] == "Verb") for q in parses}
                    if gold in roots:
                        classes["right lemma among the analyses, not first"] += 1
                    elif gold.startswith(first) or first.startswith(gold):
                        classes["derivation boundary (gold lemma longer or shorter)"] += 1
                    else:
                        classes["gold lemma not reachable"] += 1
                any_key = {predicted_key(q["lemma"], q["root"], q["primary_pos"] == "Verb") for q in parses}
                counts["oracle"] += gold in any_key
            else:
                classes["no analysis"] += 1
                errors_first[(gold, "∅")] += 1
            d = predicted_key(best["lemma"], best["root"], best["primary_pos"] == "Verb")
            counts["disambiguated"] += d == gold
            if peer is not None and (args.peer_quality or peer_counts["tokens"] < args.peer_tokens):
                peer_counts["tokens"] += 1
                pa = peer._parse(form)
                if pa:
                    peer_counts["analysed"] += 1
                    item = pa[0].dict_item
                    verb = str(item.primary_pos.value) == "Verb"
                    peer_counts["first"] += predicted_key(item.lemma, item.root, verb) == gold
                    peer_counts["oracle"] += gold in {
                        predicted_key(a.dict_item.lemma, a.dict_item.root, str(a.dict_item.primary_pos.value) == "Verb")
                        for a in pa
                    }
    n = counts["tokens"]
    print(f"quality over {n} non-punctuation tokens of the dev treebanks without IMST:")
    print(f"  selvo  analysed {counts['analysed'] / n:6.1%}  first-analysis lemma {counts['first'] / n:6.1%}  "
          f"disambiguated {counts['disambiguated'] / n:6.1%}  any analysis {counts['oracle'] / n:6.1%}")
    if peer_counts["tokens"]:
        m = peer_counts["tokens"]
        print(f"  zeyrek analysed {peer_counts['analysed'] / m:6.1%}  first-analysis lemma {peer_counts['first'] / m:6.1%}  "
              f"(no disambiguator)       any analysis {peer_counts['oracle'] / m:6.1%}   [{m} tokens]")
    print("  error classes of the first analysis:")
    for k, v in classes.most_common():
        print(f"    {v:6d}  {v / n:6.1%}  {k}")
    print("  most frequent first-analysis errors (gold -> predicted):")
    for (g, p), v in errors_first.most_common(25):
        print(f"    {v:5d}  {g} -> {p}")


if __name__ == "__main__":
    main()
