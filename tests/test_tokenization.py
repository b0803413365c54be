"""Tokenizer and sentence segmenter through Python and the CLI."""

import json

import pytest

from selvo import _core
from selvo.cli import main


@pytest.mark.parametrize(
    "text,tokens",
    [
        ("İstanbul'da hava güzel.", ["İstanbul'da", "hava", "güzel", "."]),
        ("Ankara’ya gittim", ["Ankara’ya", "gittim"]),
        ("Dr. Ayşe ve Prof. Dr. Mehmet", ["Dr.", "Ayşe", "ve", "Prof.", "Dr.", "Mehmet"]),
        ("ali@example.com.", ["ali@example.com", "."]),
        ("bkz. https://ornek.com.tr/a?b=1.", ["bkz.", "https://ornek.com.tr/a?b=1."]),
        ("12.05.2024 14:30 %15 -3,5", ["12.05.2024", "14:30", "%", "15", "-3,5"]),
        ("#bayram @ayse", ["#bayram", "@ayse"]),
        ("", []),
        ("   \t\u3000", []),
    ],
)
def test_tokenize_words(text, tokens):
    assert _core.tokenize_words(text) == tokens


def test_tokens_never_hold_whitespace_and_cover_the_text():
    text = "Merhaba  dünya!\u00a0Nasılsın?\n\nİyiyim… 😀 «tamam»"
    tokens = _core._tokens(text)
    raw = text.encode("utf-8")
    last_end = 0
    for token, start, end, _kind in tokens:
        assert raw[start:end].decode("utf-8") == token
        assert start >= last_end
        assert not any(ch.isspace() for ch in token)
        last_end = end
    assert "".join(t[0] for t in tokens) == "".join(text.split())


def test_hostile_lines_finish():
    for text in ("@" * 100_000, "." * 100_000, "a." * 50_000 + "@", "x" * 10_000_000):
        assert isinstance(_core.tokenize_words(text), list)
        assert isinstance(_core._sentences(text), list)


def test_cli_tokens_and_sentences(capsys):
    assert main(["--json", "tokens", "Çay 5 lira."]) == 0
    assert json.loads(capsys.readouterr().out) == [
        {"text": "Çay", "start": 0, "end": 4, "kind": "Word"},
        {"text": "5", "start": 5, "end": 6, "kind": "Number"},
        {"text": "lira", "start": 7, "end": 11, "kind": "Word"},
        {"text": ".", "start": 11, "end": 12, "kind": "Punctuation"},
    ]
    assert main(["--json", "sentences", "Geldi. Gördü! Yendi mi?"]) == 0
    assert json.loads(capsys.readouterr().out) == [
        {"text": "Geldi.", "start": 0, "end": 6},
        {"text": "Gördü!", "start": 7, "end": 15},
        {"text": "Yendi mi?", "start": 16, "end": 25},
    ]
