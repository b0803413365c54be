"""Case mapping, vowel harmony and syllables through the Python surface."""

import pytest

from selvo import _core


@pytest.mark.parametrize(
    "fn,text,expected",
    [
        ("to_turkish_lower", "IŞIK İZMİR", "ışık izmir"),
        ("to_turkish_lower", "İ", "i"),  # no combining dot
        ("to_turkish_lower", "ΣΑΣ", "σασ"),  # context-free: no final sigma
        ("to_turkish_lower", "ÂŞIK Ǆ", "âşık ǆ"),
        ("to_turkish_upper", "istanbul ılık", "İSTANBUL ILIK"),
        ("to_turkish_upper", "ı", "I"),
        ("to_turkish_upper", "straße", "STRASSE"),
        ("to_turkish_upper", "ﬁ ŉ", "FI ʼN"),  # one character may become several
        ("to_turkish_upper", "𐐨", "𐐀"),  # beyond the Basic Multilingual Plane
        ("to_turkish_title", "istanbul'da ılık bir gün", "İstanbul'Da Ilık Bir Gün"),
        ("to_turkish_title", "ali-veli (izmir)/ankara", "Ali-Veli (İzmir)/Ankara"),
        ("to_turkish_title", "3üncü KAT", "3üncü Kat"),
        ("to_turkish_title", "  çok   iyi ", "  Çok   İyi "),
        ("to_turkish_title", 'a"b\u3000c\u00a0d.e', 'A"B\u3000C\u00a0D.e'),
        ("to_turkish_title", "ǆemal", "Ǆemal"),  # the uppercase, not the titlecase mapping
    ],
)
def test_case_mappings(fn, text, expected):
    assert getattr(_core, fn)(text) == expected


@pytest.mark.parametrize("fn", ["to_turkish_lower", "to_turkish_upper", "to_turkish_title"])
def test_case_mappings_keep_odd_text(fn):
    f = getattr(_core, fn)
    assert f("") == ""
    assert f("\x00") == "\x00"
    assert f("a\x00B")[1] == "\x00"
    # Large input maps character by character.
    assert len(f("Iİ" * 500_000)) == 1_000_000


@pytest.mark.parametrize(
    "word,major,minor",
    [
        ("kitaplar", False, True),
        ("evler", True, True),
        ("KAPI", True, True),
        ("İNCİ", True, True),
        ("hkz", True, True),
        ("", True, True),
        ("okul", True, True),
        ("OKUL", True, False),  # after O only lowercase a, e, u, ü
        ("kapı", True, True),
        ("gözlük", True, True),
        ("kitapçı", False, True),
        ("otobüs", False, False),
        ("kâğıt", True, True),
    ],
)
def test_vowel_harmony(word, major, minor):
    assert _core.check_major_vowel_harmony(word) is major
    assert _core.check_minor_vowel_harmony(word) is minor


@pytest.mark.parametrize(
    "word,syllables",
    [
        ("merhaba", ["mer", "ha", "ba"]),
        ("İstanbul", ["İs", "tan", "bul"]),
        ("saat", ["sa", "at"]),
        ("kontrol", ["kont", "rol"]),
        ("türkçe", ["türk", "çe"]),
        ("strateji", ["stra", "te", "ji"]),
        ("ev", ["ev"]),
        ("brr", ["brr"]),
        ("", []),
        ("iyi gün", ["i", "yi ", "gün"]),
    ],
)
def test_syllabify(word, syllables):
    assert _core.syllabify(word) == syllables
    assert "".join(syllables) == word


@pytest.mark.parametrize(
    "args,expected",
    [
        (("merhaba",), "mer-ha-ba"),
        (("merhaba", "·"), "mer·ha·ba"),
        (("merhaba", ""), "merhaba"),
        (("ev",), "ev"),
        (("",), ""),
    ],
)
def test_hyphenate(args, expected):
    assert _core.hyphenate(*args) == expected


@pytest.mark.parametrize("word,count", [("brr", 0), ("saat", 2), ("MERHABA", 3), ("", 0), ("âlî", 2)])
def test_count_syllables(word, count):
    assert _core.count_syllables(word) == count
