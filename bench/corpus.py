"""Benchmark text built from the sentences of the UD Turkish dev treebanks."""

from __future__ import annotations

import glob
import os

DATA = os.environ.get("SELVO_DATA", os.path.join(os.path.dirname(__file__), "..", "..", "shared", "data"))


def treebank_sentences(include_imst: bool = True) -> list[str]:
    sentences = []
    for path in sorted(glob.glob(os.path.join(DATA, "ud-turkish", "*-dev.conllu"))):
        if not include_imst and "imst" in os.path.basename(path):
            continue
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.startswith("# text = "):
                    sentences.append(line[len("# text = ") :].rstrip("\n"))
    if not sentences:
        raise SystemExit(f"no treebank sentences under {DATA}/ud-turkish (set SELVO_DATA)")
    return sentences


def turkish_text(size_bytes: int) -> str:
    """About `size_bytes` of UTF-8 running text."""
    base = " ".join(treebank_sentences())
    encoded = len(base.encode("utf-8"))
    text = base * (size_bytes // encoded + 1)
    return text.encode("utf-8")[:size_bytes].decode("utf-8", errors="ignore")
