"""Static embeddings: dense and packed vectors, distances and the USearch metrics."""

import ctypes
import json
import math
import random

import pytest

SENTENCES = [
    "Kedi bahçede uyuyor.",
    "Yarın sabah Ankara'ya gideceğim.",
    "Borsa bugün sert düştü.",
    "ÇOK GÜZEL BİR GÜN!",
    "ｆｕｌｌｗｉｄｔｈ metin",
    "",
    "   ",
    "\u2603\u2603\u2603",
    "12.04.2024 tarihinde 3,5 milyon TL ödendi.",
]


def norm(v):
    return math.sqrt(sum(x * x for x in v))


@pytest.mark.parametrize("text", SENTENCES)
def test_vectors_are_unit_length_or_zero(core, text):
    v = core.embed(text)
    assert len(v) == 256
    if core.tokenize_embedding_text(text):
        assert norm(v) == pytest.approx(1.0, abs=1e-5)
    else:
        assert v == [0.0] * 256
    assert len(core.embed_packed_1bit(text)) == core.PACKED_1BIT_BYTES == 32
    assert len(core.embed_packed_2bit(text)) == core.PACKED_2BIT_BYTES == 64


def test_zero_vector_forms(core):
    assert core.embed("") == [0.0] * 256
    assert core.embed_packed_1bit("") == bytes(32)
    assert core.embed_packed_2bit("") == b"\xaa" * 64
    assert core.similarity("", "x") == 0.0


@pytest.mark.parametrize(
    "text,same_as",
    [
        ("ｋｉｔａｐ", "kitap"),  # NFKC
        ("bir  iki\t\nüç", "bir iki üç"),
        ("  baş ve son  ", "baş ve son"),
    ],
)
def test_tokenizer_normalizes_like_its_nfkc_whitespace_form(core, text, same_as):
    assert core.tokenize_embedding_text(text) == core.tokenize_embedding_text(same_as)


def test_tokenizer_keeps_case_and_adds_no_specials(core):
    assert core.tokenize_embedding_text("Kitap") != core.tokenize_embedding_text("kitap")
    ids = core.tokenize_embedding_text(" ".join(SENTENCES))
    assert 0 not in ids and 2 not in ids
    assert core.tokenize_embedding_text("") == core.tokenize_embedding_text("  ") == []
    assert len(core.tokenize_embedding_text("\u2603\u2603")) == 2  # marker + one collapsed unknown
    assert core.tokenize_embedding_text("\u2603\u2603")[1] == 3


def test_similarity_ranks_paraphrases_above_unrelated_text(core):
    assert core.similarity("Kedi bahçede uyuyor.", "Kedi bahçede uyuyor.") == pytest.approx(1.0, abs=1e-5)
    close = core.similarity("Adam gitar çalıyor.", "Bir adam gitar çalıyor.")
    far = core.similarity("Adam gitar çalıyor.", "Hükümet yeni vergi yasasını açıkladı.")
    assert close > far + 0.2


@pytest.mark.parametrize(
    "a,b,expected",
    [
        ([1, 0], [0, 1], 0.0),
        ([1, 2, 3], [1, 2], 5 / (math.sqrt(14) * math.sqrt(5))),
        ([1, 1], [], 0.0),
        ([0, 0], [1, 2], 0.0),
        ([2.0, 0.0], [-3.0, 0.0], -1.0),
    ],
)
def test_similarity_vectors(core, a, b, expected):
    assert core.similarity_vectors(a, b) == pytest.approx(expected, abs=1e-6)
    assert core.Embeddings.similarity_vectors(a, b) == pytest.approx(expected, abs=1e-6)


def test_batches_match_single_calls(core):
    assert core.embed_batch(SENTENCES) == [core.embed(t) for t in SENTENCES]
    assert core.embed_batch_packed_1bit(SENTENCES) == [core.embed_packed_1bit(t) for t in SENTENCES]
    assert core.embed_batch_packed_2bit(SENTENCES) == [core.embed_packed_2bit(t) for t in SENTENCES]
    assert core.embed_batch([]) == []


def test_packed_forms_encode_the_dense_vector(core):
    for text in SENTENCES:
        v = core.embed(text)
        one = core.embed_packed_1bit(text)
        two = core.embed_packed_2bit(text)
        for d, x in enumerate(v):
            assert (one[d // 8] >> (d % 8)) & 1 == (x > 0)
            code = (two[d // 4] >> (2 * (d % 4))) & 3
            assert code == (0 if x < -0.0625 else 1 if x < 0 else 2 if x < 0.0625 else 3)


@pytest.fixture(scope="module")
def model(core):
    return core.Embeddings()


def test_instances_agree_with_the_shared_model(core, model):
    assert model.dimension == 256
    for text in SENTENCES:
        assert model.embed(text) == core.embed(text)
        assert model.tokenize(text) == core.tokenize_embedding_text(text)
    assert model.similarity("a b", "b a") == core.similarity("a b", "b a")
    assert core.Embeddings().embed("ikinci örnek") == model.embed("ikinci örnek")


@pytest.mark.parametrize(
    "a,b,distance",
    [
        (bytes(32), bytes(32), 0.0),
        (bytes(32), b"\xff" * 32, 1.0),
        (bytes(31) + b"\x01", bytes(32), 1 / 256),
        (b"\x0f" * 32, b"\xf0" * 32, 1.0),
    ],
)
def test_distance_packed_1bit(model, a, b, distance):
    assert model.distance_packed_1bit(a, b) == pytest.approx(distance)


@pytest.mark.parametrize(
    "a,b,cosine",
    [
        (bytes(64), b"\xff" * 64, -1.0),
        (b"\xaa" * 64, b"\xff" * 64, 1.0),
        (b"\x0f" * 64, b"\xf0" * 64, -1.0),
        (b"\x0f" * 64, b"\xff" * 64, 0.0),
        (b"\x1b" * 64, b"\x1b" * 64, 1.0),
    ],
)
def test_two_bit_cosine_and_distance(model, a, b, cosine):
    assert model.similarity_packed_2bit(a, b) == pytest.approx(cosine)
    assert model.distance_packed_2bit(a, b) == pytest.approx(1.0 - cosine)


@pytest.mark.parametrize(
    "method,a,b,message",
    [
        ("distance_packed_1bit", b"x" * 31, b"x" * 32, "1-bit packed vectors must be exactly 32 bytes"),
        ("distance_packed_1bit", b"x" * 32, b"x" * 64, "1-bit packed vectors must be exactly 32 bytes"),
        ("distance_packed_2bit", b"x" * 64, b"x" * 32, "2-bit packed vectors must be exactly 64 bytes"),
        ("distance_packed_2bit", b"", b"", "2-bit packed vectors must be exactly 64 bytes"),
        ("similarity_packed_2bit", b"x" * 65, b"x" * 64, "2-bit packed vectors must be exactly 64 bytes"),
    ],
)
def test_packed_vectors_of_wrong_length(model, method, a, b, message):
    with pytest.raises(ValueError, match=f"^{message}$"):
        getattr(model, method)(a, b)


def test_packed_arguments_must_be_bytes(model):
    with pytest.raises(TypeError, match="argument 'a'"):
        model.distance_packed_1bit(bytearray(32), bytes(32))


METRIC = ctypes.CFUNCTYPE(ctypes.c_float, ctypes.c_void_p, ctypes.c_void_p, ctypes.c_size_t)


@pytest.mark.parametrize("bits,size", [(1, 32), (2, 64)])
def test_metric_pointers_are_callable(core, model, bits, size):
    pointer = getattr(core, f"get_usearch_metric_pointer_{bits}bit")()
    assert isinstance(pointer, int) and pointer != 0
    metric = METRIC(pointer)
    distance = getattr(model, f"distance_packed_{bits}bit")
    pack = getattr(core, f"embed_packed_{bits}bit")
    a, b = pack("Kedi uyuyor."), pack("Borsa düştü.")
    assert metric(a, b, size) == pytest.approx(distance(a, b))
    assert metric(a, a, size) == 0.0
    assert metric(a, b, size - 1) == 1.0  # too short: maximal distance, nothing read
    assert metric(None, b, size) == 1.0


@pytest.mark.parametrize("bits", [1, 2])
def test_metrics_are_exported_by_name(core, bits):
    lib = ctypes.CDLL(core.__file__)
    symbol = getattr(lib, f"selvo_usearch_metric_{bits}bit")
    assert ctypes.cast(symbol, ctypes.c_void_p).value == getattr(core, f"get_usearch_metric_pointer_{bits}bit")()


def test_usearch_agrees_with_brute_force(core, model):
    np = pytest.importorskip("numpy")
    usearch_index = pytest.importorskip("usearch.index")
    rng = random.Random(7)
    words = (
        "ev araba kitap okul deniz güneş yağmur şehir köy dağ orman kedi köpek çocuk anne baba "
        "öğretmen doktor hastane yol tren uçak para banka borsa maç takım gol film müzik şarkı"
    ).split()
    texts = [" ".join(rng.choice(words) for _ in range(rng.randint(2, 7))) for _ in range(3000)]
    queries = texts[:20]
    for bits, nbytes in ((1, 32), (2, 64)):
        packed = getattr(model, f"embed_batch_packed_{bits}bit")(texts)
        data = np.frombuffer(b"".join(packed), dtype=np.uint8).reshape(len(texts), nbytes)
        metric = usearch_index.CompiledMetric(
            pointer=getattr(core, f"get_usearch_metric_pointer_{bits}bit")(),
            kind=usearch_index.MetricKind.Hamming,
            signature=usearch_index.MetricSignature.ArrayArraySize,
        )
        index = usearch_index.Index(ndim=nbytes * 8, metric=metric, dtype="b1", expansion_search=256)
        index.add(np.arange(len(texts)), data)
        distance = getattr(model, f"distance_packed_{bits}bit")
        recall = []
        for q in queries:
            qb = getattr(model, f"embed_packed_{bits}bit")(q)
            qv = np.frombuffer(qb, dtype=np.uint8)
            brute = sorted(distance(p, qb) for p in packed)[:10]
            # Exhaustive search through our metric ranks exactly like brute force.
            exact = index.search(qv, 10, exact=True)
            assert list(exact.distances) == pytest.approx(brute, abs=1e-6)
            for key, d in zip(exact.keys, exact.distances):
                assert d == pytest.approx(distance(packed[key], qb), abs=1e-6)
            # The graph search is approximate: it reports our distances and
            # finds nearly all of the true nearest neighbours.
            found = index.search(qv, 10)
            for key, d in zip(found.keys, found.distances):
                assert d == pytest.approx(distance(packed[key], qb), abs=1e-6)
            assert found.distances[0] == pytest.approx(brute[0], abs=1e-6)
            recall.append(sum(d <= brute[-1] + 1e-6 for d in found.distances) / 10)
        assert sum(recall) / len(recall) >= 0.9


@pytest.mark.parametrize(
    "argv,check",
    [
        (["embed", "Kedi uyuyor."], lambda out, core: json.loads(out) == pytest.approx(core.embed("Kedi uyuyor."))),
        (["embed", "--packed", "1bit", "Kedi", "uyuyor."],
         lambda out, core: bytes.fromhex(out.strip()) == core.embed_packed_1bit("Kedi uyuyor.")),
        (["embed", "--packed", "2bit", "   "], lambda out, core: out.strip() == "aa" * 64),  # blank: the zero vector
    ],
)
def test_cli_embed(core, capsys, argv, check):
    from selvo.cli import main

    assert main(argv) == 0
    assert check(capsys.readouterr().out, core)
