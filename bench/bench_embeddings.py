"""Static embeddings: throughput against the usual Python way, tokenizer
speed and agreement with the trainer, and the cost of building a model.

1. ``embed`` in sentences per second, single thread, against the same model
   computed the usual Python way: the ``tokenizers`` package loading the same
   vocabulary, then numpy mean-pooling over the same dequantized table.
2. Tokenizer throughput (MB/s) and agreement of ``tokenize_embedding_text``
   with the trainer's own segmentation (sentencepiece, the model kept by
   tools/build_vocabulary.py) on 10,000 corpus sentences.
3. Spearman correlation on STSb-TR dev through the library itself:
   ``similarity``, the 2-bit packed cosine and the 1-bit distance.
4. Time and memory of the first ``embed`` (building the shared model) and
   of each further ``Embeddings()``, in fresh interpreters.

Needs ``tokenizers``, ``numpy``, ``scipy`` and ``sentencepiece`` (the last
only for 2).
"""

from __future__ import annotations

import io
import os
import subprocess
import sys
import time
import zipfile
from pathlib import Path

os.environ.setdefault("RAYON_NUM_THREADS", "1")
os.environ.setdefault("TOKENIZERS_PARALLELISM", "false")

from corpus import treebank_sentences, turkish_text  # noqa: E402
from harness import compare  # noqa: E402

import selvo  # noqa: E402

DATA = Path(__file__).resolve().parent.parent / "core" / "data" / "embeddings"
TRAINER_MODEL = Path.home() / ".cache" / "selvo-build" / "unigram.model"


def python_model():
    import numpy as np
    from tokenizers import Tokenizer

    tok = Tokenizer.from_str((DATA / "tokenizer.json").read_text(encoding="utf-8"))
    with zipfile.ZipFile(DATA / "embeddings.npz") as z:
        packed = np.load(io.BytesIO(z.read("packed_indices.npy")))
        scales = np.load(io.BytesIO(z.read("scales.npy"))).astype(np.float32)
    codes = np.stack([(packed >> (2 * k)) & 3 for k in range(4)], axis=2).reshape(len(packed), 256)
    table = (codes.astype(np.float32) - 1.5) * scales[:, None]

    def embed_batch(texts):
        out = np.zeros((len(texts), 256), np.float32)
        for i, enc in enumerate(tok.encode_batch(texts, add_special_tokens=False)):
            if enc.ids:
                v = table[enc.ids].mean(0)
                out[i] = v / max(np.linalg.norm(v), 1e-12)
        return out

    return tok, embed_batch


def throughput(sentences: list[str]) -> None:
    import numpy as np

    _, py_embed = python_model()
    sample = sentences[:2000]
    ours = np.array(selvo.embed_batch(sample), np.float32)
    theirs = py_embed(sample)
    agree = float((ours * theirs).sum(1).min())
    print(f"lowest cosine between selvo and the Python pipeline over {len(sample)} sentences: {agree:.6f}")
    r = compare(f"embed_batch ({len(sample)} sentences)", lambda: selvo.embed_batch(sample),
                lambda: py_embed(sample), rounds=5)
    print(f"  selvo {len(sample) / r['candidate']:,.0f} sentences/s, "
          f"tokenizers+numpy {len(sample) / r['reference']:,.0f} sentences/s")
    one = sample[:200]
    r = compare("embed, one call per sentence (200)", lambda: [selvo.embed(s) for s in one],
                lambda: [py_embed([s]) for s in one], rounds=5)
    print(f"  selvo {len(one) / r['candidate']:,.0f} sentences/s, "
          f"tokenizers+numpy {len(one) / r['reference']:,.0f} sentences/s")


def tokenizer_speed_and_agreement(sentences: list[str]) -> None:
    tok, _ = python_model()
    text = turkish_text(2_000_000)
    size = len(text.encode("utf-8"))
    lines = text.split(". ")
    compare("tokenize_embedding_text (2 MB)", lambda: [selvo.tokenize_embedding_text(l) for l in lines],
            lambda: tok.encode_batch(lines, add_special_tokens=False), rounds=3, size_bytes=size)
    if not TRAINER_MODEL.exists():
        print(f"(no trainer model at {TRAINER_MODEL}: run tools/build_vocabulary.py for the agreement check)")
        return
    import sentencepiece as spm

    sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tools"))
    from build_vocabulary import corpus_sentences

    sp = spm.SentencePieceProcessor(model_file=str(TRAINER_MODEL))
    corpus = corpus_sentences()
    sample = corpus[:: len(corpus) // 10000][:10000]  # spread over every source
    same = 0
    with_unknown = 0
    differ_unknown = 0
    differ = []
    for s in sample:
        ours = selvo.tokenize_embedding_text(s)
        theirs = sp.encode(s)
        if 3 in theirs:
            with_unknown += 1
        if ours == theirs:
            same += 1
        else:
            differ.append((s, ours, theirs))
            differ_unknown += 3 in theirs
    print(f"agreement with sentencepiece on {len(sample)} corpus sentences: {same}/{len(sample)} "
          f"({100 * same / len(sample):.2f}%); sentences with an unknown piece: {with_unknown}, "
          f"of them differing: {differ_unknown}")
    for s, ours, theirs in differ[:8]:
        print(f"  {s[:70]!r}\n    selvo {[sp.id_to_piece(i) for i in ours][:12]}\n"
              f"    spm   {[sp.id_to_piece(i) for i in theirs][:12]}")


def stsb_quality() -> None:
    from scipy.stats import spearmanr

    from corpus import DATA as data

    rows = [l.split("\t") for l in Path(data, "eval", "stsb-tr-dev.tsv").read_text(encoding="utf-8").splitlines()[1:]]
    a, b, gold = [r[5] for r in rows], [r[6] for r in rows], [float(r[4]) for r in rows]
    model = selvo.Embeddings()
    dense = [selvo.similarity(x, y) for x, y in zip(a, b)]
    pa, pb = selvo.embed_batch_packed_2bit(a), selvo.embed_batch_packed_2bit(b)
    two = [model.similarity_packed_2bit(x, y) for x, y in zip(pa, pb)]
    qa, qb = selvo.embed_batch_packed_1bit(a), selvo.embed_batch_packed_1bit(b)
    one = [-model.distance_packed_1bit(x, y) for x, y in zip(qa, qb)]
    print(f"STSb-TR dev Spearman ({len(rows)} pairs): similarity {spearmanr(dense, gold).correlation:.4f}, "
          f"2-bit packed cosine {spearmanr(two, gold).correlation:.4f}, "
          f"1-bit packed {spearmanr(one, gold).correlation:.4f}")


CHILD = r"""
import resource, time, sys
def rss():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * resource.getpagesize() / 2**20
import selvo
base = rss()
t = time.perf_counter(); selvo.embed("ilk çağrı"); first = time.perf_counter() - t
after_first = rss()
models = []
times = []
for _ in range(3):
    t = time.perf_counter(); models.append(selvo.Embeddings()); times.append(time.perf_counter() - t)
after = rss()
print(f"first embed: {first * 1e3:.1f} ms, +{after_first - base:.1f} MiB resident")
print(f"each further Embeddings(): {min(times) * 1e3:.3f} ms (best of 3), "
      f"+{(after - after_first) / 3:.2f} MiB each")
"""


def build_costs() -> None:
    out = subprocess.run([sys.executable, "-c", CHILD], capture_output=True, text=True, check=True)
    print(out.stdout, end="")


def main() -> None:
    sentences = treebank_sentences(include_imst=False)
    throughput(sentences)
    tokenizer_speed_and_agreement(sentences)
    stsb_quality()
    build_costs()


if __name__ == "__main__":
    main()
