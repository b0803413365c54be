"""Number and currency words."""

import math

import pytest

from selvo import _core


@pytest.mark.parametrize(
    "n,words",
    [
        (0, "sıfır"),
        (100, "yüz"),
        (1000, "bin"),
        (1001, "bin bir"),
        (2024, "iki bin yirmi dört"),
        (1_000_000, "bir milyon"),
        (-15, "eksi on beş"),
        (101_000, "yüz bir bin"),
        (1_001_000, "bir milyon bin"),
    ],
)
def test_number_to_words(n, words):
    assert _core.number_to_words(n) == words


def test_extremes():
    assert _core.number_to_words(2**63 - 1).startswith("dokuz kentilyon iki yüz yirmi üç katrilyon")
    assert _core.number_to_words(-(2**63)).startswith("eksi dokuz kentilyon")
    assert _core.number_to_words(-(2**63)).endswith("sekiz yüz sekiz")
    with pytest.raises(OverflowError):
        _core.number_to_words(2**63)


@pytest.mark.parametrize(
    "n,words",
    [
        (4, "dördüncü"),
        (24, "yirmi dördüncü"),
        (6, "altıncı"),
        (40, "kırkıncı"),
        (100, "yüzüncü"),
        (0, "sıfırıncı"),
        (1, "birinci"),
        (2, "ikinci"),
        (10, "onuncu"),
        (1000, "bininci"),
        (-3, "eksi üçüncü"),
    ],
)
def test_ordinal_to_words(n, words):
    assert _core.ordinal_to_words(n) == words


@pytest.mark.parametrize(
    "args,words",
    [
        ((12.5,), "on iki lira elli kuruş"),
        ((3, "usd"), "üç dolar"),
        ((1.99, "€"), "bir avro doksan dokuz sent"),
        ((5, "XYZ"), "beş lira"),
        ((2, "gbp"), "iki sterlin"),
        ((0.999,), "bir lira"),  # rounded subunits carry
        ((-2.5,), "eksi iki lira elli kuruş"),
        ((-0.5,), "eksi sıfır lira elli kuruş"),
        ((math.nan,), "sıfır lira"),
    ],
)
def test_currency_to_words(args, words):
    assert _core.currency_to_words(*args) == words


def test_currency_saturates():
    assert _core.currency_to_words(1e300).startswith("dokuz kentilyon")
    assert _core.currency_to_words(-math.inf).startswith("eksi dokuz kentilyon")


@pytest.mark.parametrize(
    "text,n",
    [
        ("iki yüz bin", 200_000),
        ("Bin Dokuz Yüz Seksen Dört", 1984),
        ("bin milyon", 1_001_000),
        ("SIFIR", 0),
        ("  on\u00a0beş\t", 15),
    ],
)
def test_words_to_number(text, n):
    assert _core.words_to_number(text) == n


@pytest.mark.parametrize(
    "text,message",
    [
        ("", "Empty input"),
        ("   ", "Empty input"),
        ("iki elma", "Unrecognized number word: elma"),
        ("iki ELMA", "Unrecognized number word: ELMA"),
    ],
)
def test_words_to_number_errors(text, message):
    with pytest.raises(ValueError) as info:
        _core.words_to_number(text)
    assert str(info.value) == message


def test_words_to_number_overflow_is_an_error():
    with pytest.raises(ValueError, match="out of range"):
        _core.words_to_number("yüz " * 10)


@pytest.mark.parametrize("n", [0, 7, 19, 305, 2024, 10**6 + 1, 999_999_999_999_999])
def test_round_trip(n):
    assert _core.words_to_number(_core.number_to_words(n)) == n
