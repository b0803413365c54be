"""The Python surface of morphology: Morphology, Disambiguator,
CompoundDecomposer, stem, is_stopword and remove_stopwords."""

import math
import struct

import pytest

PARSE_KEYS = ["surface", "lemma", "root", "primary_pos", "secondary_pos", "morphemes", "formatted", "score"]


def f32(x: float) -> float:
    return struct.unpack("f", struct.pack("f", x))[0]


@pytest.fixture(scope="module")
def morph(core):
    return core.Morphology()


def formatted(parses):
    return [p["formatted"] for p in parses]


@pytest.mark.parametrize(
    "word, expected, score",
    [
        ("kitaplar", "[kitap:Noun] kitap:Noun+A3pl", 0.95),
        ("Kitaplar", "[kitap:Noun] kitap:Noun+A3pl", 0.95),
        ("kitabı", "[kitap:Noun] kitap:Noun+P3sg", 0.95),
        ("kitabı", "[kitap:Noun] kitap:Noun+Acc", 0.95),
        ("burnu", "[burun:Noun] burun:Noun+P3sg", 0.95),
        ("hakkı", "[hak:Noun] hak:Noun+P3sg", 0.95),
        ("başlıyor", "[başla:Verb] başla:Verb+Prog", 0.95),
        ("yiyor", "[ye:Verb] ye:Verb+Prog", 0.95),
        ("evlar", "[ev:Noun] ev:Noun+A3pl", 0.95),
        ("Ankara'da", "[ankara:Noun] ankara:Noun+Loc", 0.98),
        ("Ankara\u2019da", "[ankara:Noun] ankara:Noun+Loc", 0.98),
        ("Xyzqw'da", "[xyzqw:Noun] xyzqw:Noun+Loc", 0.98),
    ],
)
def test_analyze_finds(morph, word, expected, score):
    parses = morph.analyze(word)
    match = [p for p in parses if p["formatted"] == expected]
    assert match, formatted(parses)
    assert match[0]["score"] == f32(score)
    assert match[0]["surface"] == word


def test_analysis_dict_shape(morph):
    first = morph.analyze("kitap")[0]
    assert list(first) == PARSE_KEYS
    assert first == {
        "surface": "kitap",
        "lemma": "kitap",
        "root": "kitap",
        "primary_pos": "Noun",
        "secondary_pos": "",
        "morphemes": ["Noun", "A3sg", "Nom"],
        "formatted": "[kitap:Noun] kitap:Noun+A3sg+Nom",
        "score": 1.0,
    }
    # The score is the single-precision value widened.
    p = [a for a in morph.analyze("kitaplar") if a["formatted"] == "[kitap:Noun] kitap:Noun+A3pl"][0]
    assert p["score"] < 0.95 and math.isclose(p["score"], 0.95, rel_tol=1e-7)


def test_capitalisation_and_proper_nouns(morph):
    lower = {p["formatted"]: p for p in morph.analyze("ankara")}
    upper = {p["formatted"]: p for p in morph.analyze("Ankara")}
    key = "[ankara:Noun] ankara:Noun+A3sg+Nom"
    assert lower[key]["score"] == f32(0.65) and lower[key]["secondary_pos"] == "Prop"
    assert upper[key]["score"] == 1.0
    assert formatted(morph.analyze("Kitaplar")) == formatted(morph.analyze("kitaplar"))
    assert all(p["surface"] == "Kitaplar" for p in morph.analyze("  Kitaplar "))


def test_apostrophe_keeps_only_the_named_stem(morph):
    parses = morph.analyze("Ankara'da")
    assert parses and all(p["root"] == "ankara" and p["primary_pos"] == "Noun" for p in parses)
    fallback = morph.analyze("Xyzqw'da")
    assert [(p["formatted"], p["secondary_pos"]) for p in fallback] == [("[xyzqw:Noun] xyzqw:Noun+Loc", "Prop")]


@pytest.mark.parametrize("word", ["", "   ", "xyzqw", "'abc", "abc'", "'"])
def test_analyze_nothing(morph, word):
    assert morph.analyze(word) == []


def test_analyze_sorted_and_unique(morph):
    parses = morph.analyze("yazılımları")
    keys = [(-p["score"], p["formatted"].encode()) for p in parses]
    assert keys == sorted(keys)
    pairs = [(p["formatted"], p["secondary_pos"]) for p in parses]
    assert len(pairs) == len(set(pairs))


def test_analyze_rejects_non_str(morph):
    with pytest.raises(TypeError, match="argument 'word'"):
        morph.analyze(b"kitap")


# --- loading entries -------------------------------------------------------


def test_loaded_entries_are_private_to_the_instance(core, tmp_path):
    a, b = core.Morphology(), core.Morphology()
    assert a.load_dictionary_str("zorbax zorbax Noun\nbozuk satır\n# yorum\n") is None
    assert "[zorbax:Noun] zorbax:Noun+A3pl" in formatted(a.analyze("zorbaxlar"))
    assert b.analyze("zorbaxlar") == []
    assert core.Morphology().analyze("zorbax") == []
    assert core.stem("zorbaxlar") == "zorbaxlar"
    path = tmp_path / "roots.txt"
    path.write_text("qorbumak qorbu Verb\r\n", encoding="utf-8")
    assert b.load_dictionary_file(str(path)) is None
    assert "[qorbumak:Verb] qorbu:Verb+Past" in formatted(b.analyze("qorbudu"))
    assert a.analyze("qorbudu") == []


def test_load_dictionary_file_errors(core, tmp_path):
    m = core.Morphology()
    with pytest.raises(OSError):
        m.load_dictionary_file("/nonexistent")
    with pytest.raises(OSError):
        m.load_dictionary_file(str(tmp_path))  # a directory
    bad = tmp_path / "bad.txt"
    bad.write_bytes(b"zorbax zorbax Noun\nqorbax qorbax Noun\n\xff\xfe bozuk Noun\n")
    with pytest.raises(OSError):
        m.load_dictionary_file(str(bad))
    # Entries before the bad line stay.
    assert m.analyze("qorbax")[0]["formatted"] == "[qorbax:Noun] qorbax:Noun+A3sg+Nom"


# --- generation ------------------------------------------------------------


@pytest.mark.parametrize(
    "root, tags, expected",
    [
        ("kitap", ["A3pl"], "kitaplar"),
        ("kitap", ["P3sg"], "kitabı"),
        ("kitap", ("A3pl", "P3sg"), "kitapları"),
        ("araba", ["Gen"], "arabanın"),
        ("burun", ["P3sg"], "burnu"),
        ("kalp", ["P3sg"], "kalbi"),
        ("saat", ["Past"], "saattı"),
        ("git", ["Fut", "A1sg"], "gideceğim"),
        ("ye", ["Prog"], "yiyor"),
        ("ev", ["Foo", "Loc"], "evde"),
        ("ev", [], "ev"),
        ("gelmek", ["A3pl"], None),
        ("Kitap", ["A3pl"], None),
    ],
)
def test_generate(morph, root, tags, expected):
    assert morph.generate(root, tags) == expected


def test_generate_ignores_loaded_entries(core):
    m = core.Morphology()
    m.load_dictionary_str("zorbax zorbax Noun\n")
    assert m.analyze("zorbaxlar")  # analysis sees the entry
    assert m.generate("zorbax", ["A3pl"]) is None  # generation does not
    with pytest.raises(TypeError):
        m.generate("ev", "Loc")
    assert m.generate(lemma="ev", tags=["Loc"]) == "evde"


# --- disambiguation --------------------------------------------------------

DISAMBIGUATED_KEYS = PARSE_KEYS[:-1]


def test_disambiguate(core):
    d = core.Disambiguator()
    assert d.disambiguate([]) == []
    result = d.disambiguate(["Ali", "geldi", "."])
    assert [list(r) for r in result] == [DISAMBIGUATED_KEYS] * 3
    assert result[0]["secondary_pos"] == "Prop"
    assert result[1]["root"] == "gel" and result[1]["primary_pos"] == "Verb"
    assert result[2]["formatted"] == "[.:Unk]"
    unknown = d.disambiguate(["xyzq"])[0]
    assert unknown == {
        "surface": "xyzq",
        "lemma": "xyzq",
        "root": "xyzq",
        "primary_pos": "Unk",
        "secondary_pos": "",
        "morphemes": ["Unk"],
        "formatted": "[xyzq:Unk]",
    }
    assert d.disambiguate(["güzel", "ev"])[0]["primary_pos"] == "Adj"
    with pytest.raises(TypeError):
        d.disambiguate("Ali geldi")


# --- stemming, stopwords, compounds -----------------------------------------


@pytest.mark.parametrize(
    "word, expected",
    [("kitaplar", "kitap"), ("Kitaplar", "kitap"), ("XYZQW", "xyzqw"), ("", ""), ("evlerimizden", "ev")],
)
def test_stem(core, word, expected):
    assert core.stem(word) == expected
    assert core.stem(word=word) == expected


@pytest.mark.parametrize(
    "word, expected",
    [("Ve", True), ("VE", True), ("İçin", True), ("kimi", True), ("kitap", False), ("", False), (" ve", False)],
)
def test_is_stopword(core, word, expected):
    assert core.is_stopword(word) is expected


def test_remove_stopwords(core):
    assert core.remove_stopwords(["Bu", "kitap", "ve", "Defter"]) == ["kitap", "Defter"]
    assert core.remove_stopwords(("ŞİMDİ", "gel")) == ["gel"]
    assert core.remove_stopwords([]) == []
    with pytest.raises(TypeError):
        core.remove_stopwords("abc")
    with pytest.raises(TypeError):
        core.remove_stopwords(["ve", 3])


def test_decompose(core):
    d = core.CompoundDecomposer()
    assert d.decompose("ev") == [] and d.decompose("  eve  ") == []
    result = d.decompose(" Evev ")
    assert result == [
        {
            "surface": "Evev",
            "part1": "ev",
            "part2": "ev",
            "parse1": {"root": "ev", "pos": "Noun"},
            "parse2": {"root": "ev", "pos": "Noun"},
        }
    ]
    assert list(result[0]) == ["surface", "part1", "part2", "parse1", "parse2"]
    many = d.decompose("kitapevi")
    assert many and all(c["part1"] + c["part2"] == "kitapevi" for c in many)
    assert [len(c["part1"]) for c in many] == sorted(len(c["part1"]) for c in many)


def test_signatures(core):
    assert core.Morphology.__text_signature__ == "()"
    assert core.Morphology.generate.__text_signature__ == "($self, lemma, tags)"
    assert core.stem.__text_signature__ == "(word)"
    assert core.Disambiguator.disambiguate.__text_signature__ == "($self, tokens)"
    names = list(vars(core))
    assert names.index("words_to_number") < names.index("stem") < names.index("is_stopword") < names.index("remove_stopwords")
    assert names.index("Morphology") < names.index("CompoundDecomposer") < names.index("Disambiguator")


def test_cli(capsys):
    import json

    from selvo import cli

    assert cli.main(["stem", "kitaplar", "Evlerden"]) == 0
    assert capsys.readouterr().out.splitlines() == ["kitaplar\tkitap", "Evlerden\tev"]
    assert cli.main(["--json", "analyze", "kitap"]) == 0
    rows = json.loads(capsys.readouterr().out)
    assert rows[0]["word"] == "kitap" and rows[0]["analyses"][0]["formatted"] == "[kitap:Noun] kitap:Noun+A3sg+Nom"
    assert cli.main(["analyze", "xyzqw"]) == 0
    assert "(no analysis)" in capsys.readouterr().out
    assert cli.main(["disambiguate", "Ali geldi."]) == 0
    tokens = json.loads(capsys.readouterr().out)
    assert [t["surface"] for t in tokens] == ["Ali", "geldi", "."]
