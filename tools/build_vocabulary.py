#!/usr/bin/env python3
"""Build selvo's embedded subword vocabulary (a Unigram language model).

Input: the Turkish text of the shared data folder, read by ``corpus_sentences``
below (also used by tools/build_embeddings.py):

* the ``# text =`` lines of the Universal Dependencies treebanks, train and
  dev, except IMST and imst2 (their license is non-commercial);
* ``news-lowercase-corpus.txt`` (nlptoolkit-corpus 1.0.12);
* ``ner-news.txt`` (nlptoolkit-namedentityrecognition 1.0.3) with its name
  markup removed and the tokenizer's spaces before punctuation and
  apostrophes closed up;
* the definitions and examples of ``turkish-wordnet.xml``
  (nlptoolkit-wordnet 1.0.7).

The model is trained with sentencepiece (Unigram, case preserved, NFKC,
one thread, the whole corpus, so reruns give the same pieces) and written
as a tokenizer description in the JSON layout of the Hugging Face
tokenizers library, format "1.0": ids 0-3 are "<s>", "<pad>", "</s>",
"<unk>" with score 0.0, "unk_id" is 3, and the piece "\u2581" is present.

Output: ``core/data/embeddings/tokenizer.json``.

``--sizes 32000,40000`` trains several sizes and prints, for each, the
pieces per word on held-out sentences and the share of words that are a
single piece, to choose the size by measurement.

Usage: tools/build_vocabulary.py [--vocab-size N] [--out PATH] [--sizes LIST]
"""

from __future__ import annotations

import argparse
import html
import json
import re
import sys
import tempfile
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
SHARED_DATA = REPO.parent / "shared" / "data"
DEFAULT_OUT = REPO / "core" / "data" / "embeddings" / "tokenizer.json"
DEFAULT_VOCAB_SIZE = 40000
DEFAULT_MODEL = Path.home() / ".cache" / "selvo-build" / "unigram.model"

_ENAMEX = re.compile(r"<b_enamex TYPE=\"[A-Z]+\">|<e_enamex>")
_SPACE_BEFORE = re.compile(r" +([,.;:!?)\]}%'’])")
_SPACE_AFTER = re.compile(r"([(\[{]) +")
_SPACES = re.compile(r"\s+")
_WORDNET_TEXT = re.compile(r"<(DEF|EXAMPLE)>(.*?)</\1>")


def _clean(line: str) -> str:
    return _SPACES.sub(" ", line).strip()


def _detokenize(line: str) -> str:
    line = _SPACE_BEFORE.sub(r"\1", line)
    return _SPACE_AFTER.sub(r"\1", line)


def corpus_sentences(data: Path = SHARED_DATA) -> list[str]:
    """Every training sentence, in a fixed order, duplicates removed."""
    out: list[str] = []
    for path in sorted((data / "ud-turkish").glob("tr_*-ud-*.conllu")):
        if path.name.startswith(("tr_imst-", "tr_imst2-")):
            continue
        with path.open(encoding="utf-8") as f:
            for line in f:
                if line.startswith("# text ="):
                    out.append(_clean(line[len("# text ="):]))
    with (data / "corpora" / "news-lowercase-corpus.txt").open(encoding="utf-8") as f:
        out.extend(_clean(line) for line in f)
    with (data / "corpora" / "ner-news.txt").open(encoding="utf-8") as f:
        out.extend(_clean(_detokenize(_ENAMEX.sub(" ", line).replace("  ", " "))) for line in f)
    text = (data / "corpora" / "turkish-wordnet.xml").read_text(encoding="utf-8")
    out.extend(_clean(html.unescape(m.group(2))) for m in _WORDNET_TEXT.finditer(text))
    seen: set[str] = set()
    unique = []
    for s in out:
        if s and s not in seen:
            seen.add(s)
            unique.append(s)
    return unique


def train(sentences: list[str], vocab_size: int, save_model: Path | None = None) -> list[tuple[str, float]]:
    import sentencepiece as spm

    with tempfile.TemporaryDirectory() as tmp:
        corpus = Path(tmp) / "corpus.txt"
        corpus.write_text("\n".join(sentences) + "\n", encoding="utf-8")
        prefix = str(Path(tmp) / "m")
        spm.SentencePieceTrainer.train(
            input=str(corpus),
            model_prefix=prefix,
            model_type="unigram",
            vocab_size=vocab_size,
            character_coverage=0.9999,
            normalization_rule_name="nfkc",
            add_dummy_prefix=True,
            remove_extra_whitespaces=True,
            split_by_whitespace=True,
            byte_fallback=False,
            bos_id=0,
            pad_id=1,
            eos_id=2,
            unk_id=3,
            input_sentence_size=0,
            max_sentence_length=1 << 14,
            max_sentencepiece_length=16,
            num_threads=1,
            minloglevel=2,
        )
        proc = spm.SentencePieceProcessor(model_file=prefix + ".model")
        if save_model is not None:
            save_model.parent.mkdir(parents=True, exist_ok=True)
            save_model.write_bytes(Path(prefix + ".model").read_bytes())
        pieces = []
        for i in range(proc.get_piece_size()):
            piece = proc.id_to_piece(i)
            score = 0.0 if i < 4 else float(proc.get_score(i))
            pieces.append((piece, score))
    names = ["<s>", "<pad>", "</s>", "<unk>"]
    if [p for p, _ in pieces[:4]] != names:
        sys.exit(f"unexpected special pieces {pieces[:4]}")
    if "\u2581" not in {p for p, _ in pieces}:
        sys.exit('the piece "\u2581" is missing')
    return pieces


def describe(pieces: list[tuple[str, float]]) -> dict:
    special = ["<s>", "<pad>", "</s>", "<unk>"]
    return {
        "version": "1.0",
        "truncation": None,
        "padding": None,
        "added_tokens": [
            {"id": i, "content": s, "single_word": False, "lstrip": False, "rstrip": False,
             "normalized": False, "special": True}
            for i, s in enumerate(special)
        ],
        "normalizer": {"type": "NFKC"},
        "pre_tokenizer": {
            "type": "Sequence",
            "pretokenizers": [
                {"type": "WhitespaceSplit"},
                {"type": "Metaspace", "replacement": "\u2581", "prepend_scheme": "always",
                 "split": True},
            ],
        },
        "post_processor": {
            "type": "TemplateProcessing",
            "single": [{"SpecialToken": {"id": "<s>", "type_id": 0}},
                       {"Sequence": {"id": "A", "type_id": 0}},
                       {"SpecialToken": {"id": "</s>", "type_id": 0}}],
            "pair": [{"SpecialToken": {"id": "<s>", "type_id": 0}},
                     {"Sequence": {"id": "A", "type_id": 0}},
                     {"SpecialToken": {"id": "</s>", "type_id": 0}},
                     {"Sequence": {"id": "B", "type_id": 1}},
                     {"SpecialToken": {"id": "</s>", "type_id": 1}}],
            "special_tokens": {
                "<s>": {"id": "<s>", "ids": [0], "tokens": ["<s>"]},
                "</s>": {"id": "</s>", "ids": [2], "tokens": ["</s>"]},
            },
        },
        "decoder": {"type": "Metaspace", "replacement": "\u2581", "prepend_scheme": "always",
                    "split": True},
        "model": {
            "type": "Unigram",
            "unk_id": 3,
            "vocab": [[p, s] for p, s in pieces],
            "byte_fallback": False,
        },
    }


def write(pieces: list[tuple[str, float]], out: Path) -> None:
    out.parent.mkdir(parents=True, exist_ok=True)
    text = json.dumps(describe(pieces), ensure_ascii=False, separators=(",", ":"))
    out.write_text(text, encoding="utf-8")


def measure(sentences: list[str], sizes: list[int]) -> None:
    import sentencepiece as spm  # noqa: F401  (imported by train)

    held_out = sentences[::50]
    train_set = [s for i, s in enumerate(sentences) if i % 50]
    words = [w for s in held_out for w in s.split()]
    for size in sizes:
        pieces = train(train_set, size)
        index = {p: s for p, s in pieces}
        total = single = 0
        for w in words:
            n = len(_viterbi("\u2581" + w, index))
            total += n
            single += n == 1
        print(f"size {size}: {total / len(words):.3f} pieces per word, "
              f"{100 * single / len(words):.1f}% words in one piece")


def _viterbi(word: str, index: dict[str, float]) -> list[str]:
    n = len(word)
    best = [float("-inf")] * (n + 1)
    back = [0] * (n + 1)
    best[0] = 0.0
    for k in range(1, n + 1):
        for j in range(1, min(16, k) + 1):
            a = k - j
            if best[a] == float("-inf"):
                continue
            s = index.get(word[a:k])
            if s is not None and best[a] + s > best[k]:
                best[k], back[k] = best[a] + s, j
        if best[k] == float("-inf"):
            best[k], back[k] = best[k - 1] - 10.0, 1
    out, k = [], n
    while k > 0:
        out.append(word[k - back[k]:k])
        k -= back[k]
    return out[::-1]


def main() -> None:
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--vocab-size", type=int, default=DEFAULT_VOCAB_SIZE)
    ap.add_argument("--out", type=Path, default=DEFAULT_OUT)
    ap.add_argument("--sizes", help="comma-separated sizes to compare instead of writing")
    ap.add_argument("--save-model", type=Path, default=DEFAULT_MODEL,
                    help="also keep the trainer's own model here (bench/bench_embeddings.py compares "
                         "its segmentation with the library's)")
    args = ap.parse_args()
    sentences = corpus_sentences()
    print(f"{len(sentences)} sentences, {sum(len(s) for s in sentences)} characters")
    if args.sizes:
        measure(sentences, [int(x) for x in args.sizes.split(",")])
        return
    pieces = train(sentences, args.vocab_size, args.save_model)
    write(pieces, args.out)
    print(f"wrote {args.out} ({len(pieces)} pieces)")


if __name__ == "__main__":
    main()
