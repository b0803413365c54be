"""The Chunk record and the sentence chunker."""

import pytest

TEXT = "Çiçekler açtı. Şimdi güneş var! Yarın yağmur yağacak mı? Bilmiyorum."


def sentence_starts(text, sentences):
    out, at = [], 0
    for s in sentences:
        at = text.index(s, at)
        out.append(at)
        at += len(s)
    return out


@pytest.mark.parametrize("text", ["", "  ", "\n\t \u3000"])
def test_blank_text_gives_no_chunks(core, text):
    assert core.chunk_sentences(text) == []
    assert core.SentenceChunker()(text) == []


def test_default_settings_keep_short_text_in_one_chunk(core):
    (chunk,) = core.chunk_sentences(TEXT)
    assert chunk.text == TEXT
    assert chunk.sentences == ["Çiçekler açtı.", "Şimdi güneş var!", "Yarın yağmur yağacak mı?", "Bilmiyorum."]
    assert (chunk.start_index, chunk.end_index) == (0, len(TEXT))
    assert chunk.token_count == sum(
        max(1, len(core.tokenize_embedding_text(s))) for s in chunk.sentences
    )


@pytest.mark.parametrize(
    "kwargs,sizes",
    [
        ({"chunk_size": 1}, [1, 1, 1, 1]),
        ({"chunk_size": 0}, [1, 1, 1, 1]),  # below 1 becomes 1
        ({"chunk_size": 1, "min_sentences_per_chunk": 2}, [2, 2]),
        ({"chunk_size": 1, "min_sentences_per_chunk": 3}, [3, 1]),
        ({"chunk_size": 1, "min_sentences_per_chunk": 0}, [1, 1, 1, 1]),
        ({"chunk_size": 10_000, "chunk_overlap": 50}, [4]),
    ],
)
def test_chunk_sizes(core, kwargs, sizes):
    chunks = core.chunk_sentences(TEXT, **kwargs)
    assert [len(c.sentences) for c in chunks] == sizes
    assert [len(c.sentences) for c in core.SentenceChunker(**kwargs).chunk(TEXT)] == sizes


def test_offsets_are_characters_over_multibyte_text(core):
    text = "ğğğ şşş. " * 3 + "Son cümle çok uzun değil."
    for chunk in core.chunk_sentences(text, chunk_size=1):
        assert text[chunk.start_index : chunk.end_index] == chunk.text
        assert chunk.text.startswith(chunk.sentences[0])
    chunks = core.chunk_sentences(text, chunk_size=1)
    assert [c.start_index for c in chunks] == sentence_starts(text, [c.sentences[0] for c in chunks])
    assert chunks[1].start_index == 9  # not its byte offset, 15


def test_overlap_repeats_trailing_sentences(core):
    sentence = "Bu cümle tam olarak birkaç kelimeden oluşuyor."
    n = max(1, len(core.tokenize_embedding_text(sentence)))
    text = " ".join([sentence] * 7)
    starts = lambda overlap: [c.start_index // (len(sentence) + 1) for c in core.chunk_sentences(
        text, chunk_size=3 * n, chunk_overlap=overlap)]
    assert starts(n) == [0, 2, 4]
    assert starts(n - 1) == [0, 3, 6]
    assert starts(0) == [0, 3, 6]


def test_chunk_record(core):
    chunk = core.chunk_sentences("Merhaba dünya. Nasılsın?")[0]
    d = chunk.to_dict()
    assert list(d) == ["text", "start_index", "end_index", "token_count", "sentences"]
    assert d == {
        "text": chunk.text,
        "start_index": chunk.start_index,
        "end_index": chunk.end_index,
        "token_count": chunk.token_count,
        "sentences": chunk.sentences,
    }
    d["sentences"].append("x")
    assert chunk.sentences == ["Merhaba dünya.", "Nasılsın?"]  # a new list each time
    with pytest.raises(AttributeError):
        chunk.text = "y"
    with pytest.raises(TypeError, match="No constructor defined for Chunk"):
        core.Chunk()


@pytest.mark.parametrize(
    "text,shown",
    [
        ("a" * 40, "a" * 40),
        ("ş" * 45, "ş" * 37 + "..."),
        ("b" * 41, "b" * 37 + "..."),
    ],
)
def test_chunk_repr(core, text, shown):
    (chunk,) = core.chunk_sentences(text)
    assert repr(chunk) == f"<Chunk tokens={chunk.token_count} (0:{len(text)}) text='{shown}'>"


def test_chunker_batch_and_call(core):
    chunker = core.SentenceChunker(chunk_size=1)
    texts = [TEXT, "", "Tek cümle."]
    assert [[c.to_dict() for c in cs] for cs in chunker.chunk_batch(texts)] == [
        [c.to_dict() for c in chunker.chunk(t)] for t in texts
    ]
    assert [c.to_dict() for c in chunker(TEXT)] == [c.to_dict() for c in chunker.chunk(TEXT)]


@pytest.mark.parametrize(
    "kwargs,error",
    [({"chunk_size": -1}, OverflowError), ({"chunk_overlap": "3"}, TypeError), ({"bogus": 1}, TypeError)],
)
def test_argument_errors(core, kwargs, error):
    with pytest.raises(error):
        core.chunk_sentences(TEXT, **kwargs)
    with pytest.raises(error):
        core.SentenceChunker(**kwargs)


def test_cli_chunk(core, capsys):
    import json

    from selvo.cli import main

    assert main(["chunk", "--size", "1", TEXT]) == 0
    out = json.loads(capsys.readouterr().out)
    assert out == [c.to_dict() for c in core.chunk_sentences(TEXT, chunk_size=1)]
    assert [c["start_index"] for c in out] == sentence_starts(TEXT, [c["sentences"][0] for c in out])
