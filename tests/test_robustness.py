"""Every registered function must answer odd input with a result or a clean
Python exception, never a crash or a hang."""

import inspect

import pytest

from selvo import _core

FUNCTIONS = [
    getattr(_core, name)
    for name in vars(_core)
    if not name.startswith("_") and callable(getattr(_core, name)) and not isinstance(getattr(_core, name), type)
]

ODD_VALUES = [
    None,
    b"bytes",
    bytearray(b"x"),
    3,
    -1,
    2**70,
    1.5,
    float("nan"),
    [],
    ["a", None],
    {"k": "v"},
    object(),
    "",
    "\x00\x00",
    "a\udc80",
    "\U0010ffff" * 3,
    "İ̇ı\u0307" * 10,
    "٣٤٥ ١٢",
    "\u200b\u200d\ufeff",
]
CLEAN = (TypeError, ValueError, OverflowError, UnicodeEncodeError)


def _parameters(fn):
    return [p for p in inspect.signature(fn).parameters.values()]


@pytest.mark.parametrize("fn", FUNCTIONS, ids=lambda f: f.__name__)
def test_odd_arguments(fn):
    params = _parameters(fn)
    for position in range(len(params)):
        for value in ODD_VALUES:
            args = ["merhaba" if p.default is inspect.Parameter.empty else None for p in params]
            if params[0].name in ("n", "amount"):
                args[0] = 5
            args[position] = value
            try:
                fn(*args)
            except CLEAN:
                pass


BIG = "Iİ çalışkan öğrenci " * 500_000  # about 10 MB of UTF-8


@pytest.mark.parametrize(
    "name",
    ["to_turkish_lower", "to_turkish_upper", "to_turkish_title", "check_major_vowel_harmony",
     "check_minor_vowel_harmony", "count_syllables", "syllabify", "hyphenate"],
)
def test_ten_megabytes(name):
    fn = getattr(_core, name)
    result = fn(BIG)
    assert result is not None


def test_ten_megabytes_of_number_words_is_an_error_not_a_hang():
    with pytest.raises(ValueError):
        _core.words_to_number("bir " * 2_500_000 + "elma")


LONG_WORD = "a" * 2_000_000
LONG_TEXT = "Iİ çalışkan öğrenci'nin 5. sınıfı. " * 60_000  # about 2 MB


@pytest.mark.parametrize(
    "call",
    [
        lambda c: c.Morphology().analyze(LONG_WORD),
        lambda c: c.Morphology().analyze(LONG_WORD + "'da"),
        lambda c: c.CompoundDecomposer().decompose(LONG_WORD),
        lambda c: c.CompoundDecomposer().decompose("ev" + LONG_WORD + "'de"),
        lambda c: c.Disambiguator().disambiguate(LONG_TEXT.split()[:50_000]),
        lambda c: c.SpellChecker().suggest(LONG_WORD),
        lambda c: c.stem(LONG_WORD),
        lambda c: c.Morphology().generate(LONG_WORD, ["A3pl", "P1sg"]),
        lambda c: c.TurkishPiiEngine().mask(LONG_TEXT),
        lambda c: c.PiiVault().restore("{{AD_1}}'e " * 100_000),
        lambda c: c.chunk_sentences(LONG_TEXT),
        lambda c: c.embed(LONG_TEXT),
    ],
    ids=["analyze", "analyze-apostrophe", "decompose", "decompose-apostrophe", "disambiguate", "suggest", "stem",
         "generate", "mask", "restore", "chunk", "embed"],
)
def test_long_input_through_classes(call):
    try:
        call(_core)
    except CLEAN:
        pass
