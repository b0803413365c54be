"""Diacritic restoration, informal text and the spell checker."""

import pytest

from selvo import _core


@pytest.mark.parametrize(
    "text,expected",
    [
        ("cok guzel", "çok güzel"),  # frequent-word table
        ("Turkiye", "Türkiye"),
        ("COK", "ÇOK"),
        ("kalem", "kalem"),  # no ambiguous letter: unchanged
        ("KALEM", "KALEM"),
        ("", ""),
        ("3 ,. 5 !", "3 ,. 5 !"),
    ],
)
def test_deasciify_examples(text, expected):
    assert _core.deasciify(text) == expected


def test_deasciify_keeps_non_letters_in_place():
    out = _core.deasciify("3 kisi, 5 kitap.")
    assert out[0] == "3" and out[1] == " " and out[6:9] == ", 5" and out.endswith(" kitap.")
    assert len(out) == len("3 kisi, 5 kitap.")


def test_deasciify_splits_at_apostrophes():
    out = _core.deasciify("ankara'da")
    assert out.split("'") == [_core.deasciify("ankara"), _core.deasciify("da")]


def test_deasciify_restores_case_of_all_caps_and_capitalised_words():
    assert _core.deasciify("GUZEL") == "GÜZEL"
    assert _core.deasciify("Guzel") == "Güzel"
    assert _core.deasciify("I") == "I"  # lowercased to ı first: no ambiguous letter


def test_deasciify_changes_only_the_first_six_ambiguous_letters():
    word = "s" * 10
    out = _core.deasciify(word)
    assert out[6:] == "ssss"


def test_deasciify_of_hostile_input_stays_bounded():
    assert _core.deasciify("a" * 10_000) == "a" * 10_000
    word = "cgiosu" * 9  # 54 ambiguous letters
    assert _core.deasciify(word)[6:] == word[6:]
    text = "bu bir deneme metnidir, cok guzel. " * 30_000  # about 1 MB
    assert len(_core.deasciify(text)) == len(text)


@pytest.mark.parametrize(
    "text,expected",
    [
        ("Slm, napıyon?", "selam, ne yapıyorsun?"),
        ("Tamam", "Tamam"),
        ("geliyom", "geliyorum"),
        ("gelmiom", "gelmiyorum"),
        ("gelcem", "geleceğim"),
        ("yapcak", "yapacak"),
        ("yapcam", "yapacağım"),
        ("okucam", "okuyacağım"),  # vowel-final stem: y + harmony vowel
        ("çokkk", "çok"),
        ("çoook", "çook"),  # the run is not at the end of the word
        ("saaat", "saat"),
        ("tmm", "tamam"),  # keys ending in a doubled letter are reached
        ("aynn", "aynen"),
        ("", ""),
        ("x", "x"),
    ],
)
def test_normalize_informal(text, expected):
    assert _core.normalize_informal(text) == expected


def test_normalize_informal_keeps_a_rejected_guess_deduplicated():
    assert _core.normalize_informal("Qwrtyyy") == "Qwrtyy"


def test_normalize_informal_of_large_text():
    text = "slm napıyon çokkk " * 50_000
    assert _core.normalize_informal(text) == "selam ne yapıyorsun çok " * 50_000


@pytest.fixture(scope="module")
def checker():
    return _core.SpellChecker()


class TestSpellChecker:
    def test_signatures(self):
        assert _core.SpellChecker.__text_signature__ == "()"
        assert _core.SpellChecker.suggest.__text_signature__ == "($self, word, max_distance=None, max_suggestions=None)"
        assert _core.SpellChecker.add_word.__text_signature__ == "($self, word)"

    def test_is_correct(self, checker):
        assert checker.is_correct("Kitap")
        assert checker.is_correct("kitaplarımız")
        assert not checker.is_correct("ktapz")

    def test_correct_word_gives_one_exact_entry(self, checker):
        for limit in (None, 0, 1, 10):
            assert checker.suggest("Kitap", max_suggestions=limit) == [{"word": "kitap", "distance": 0, "score": 1.0}]

    def test_suggestions_are_nearest_first_and_limited(self, checker):
        found = checker.suggest("ktap")
        assert 0 < len(found) <= 5
        assert [list(s) for s in found] == [["word", "distance", "score"]] * len(found)
        distances = [s["distance"] for s in found]
        assert distances == sorted(distances) and set(distances) <= {1, 2}
        for s in found:
            assert s["score"] == pytest.approx(1 / (s["distance"] + 1), rel=1e-6)
        assert any(s["word"] == "kitap" for s in found)

    def test_byte_distances(self, checker):
        found = checker.suggest("kıtapx", max_distance=3, max_suggestions=100)
        by_word = {s["word"]: s["distance"] for s in found}
        assert by_word.get("kitap") == 3  # ı→i costs 2 bytes, x costs 1

    def test_limits(self, checker):
        assert checker.suggest("ktap", max_suggestions=0) == []
        assert checker.suggest("ktap", max_distance=0) == []
        assert len(checker.suggest("ktap", max_suggestions=1)) == 1

    def test_add_word(self):
        sc = _core.SpellChecker()
        assert not sc.is_correct("xyzw")
        sc.add_word("Xyzw")
        sc.add_word("xyzw")
        assert sc.is_correct("xyzw")
        assert sc.suggest("xyzw") == [{"word": "xyzw", "distance": 0, "score": 1.0}]
        assert len(sc.suggest("xyzq", max_distance=1, max_suggestions=100)) >= 1

    def test_argument_errors(self, checker):
        with pytest.raises(OverflowError):
            checker.suggest("ktap", max_distance=-1)
        with pytest.raises(TypeError, match="^argument 'word': "):
            checker.suggest(None)

    def test_long_word_has_no_suggestions(self, checker):
        assert checker.suggest("a" * 10_000) == []


def test_cli(capsys):
    import json

    from selvo.cli import main

    assert main(["deasciify", "cok", "guzel"]) == 0
    assert capsys.readouterr().out == "çok güzel\n"
    assert main(["normalize", "slm"]) == 0
    assert capsys.readouterr().out == "selam\n"
    assert main(["--json", "spell", "kitap", "ktapz"]) == 0
    rows = json.loads(capsys.readouterr().out)
    assert rows[0] == {"word": "kitap", "correct": True, "suggestions": [{"word": "kitap", "distance": 0, "score": 1.0}]}
    assert rows[1]["correct"] is False
    assert main(["spell", "--max-distance", "-1", "ktap"]) == 1  # OverflowError is reported
