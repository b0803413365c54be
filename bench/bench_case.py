"""Turkish case mapping on 1 MB of Turkish text against the usual
pure-Python idiom (translate the four i letters, then str.lower/upper)."""

from harness import compare
from corpus import turkish_text

import selvo

LOWER = str.maketrans({"I": "ı", "İ": "i"})
UPPER = str.maketrans({"i": "İ", "ı": "I"})


def main() -> None:
    text = turkish_text(1_000_000)
    size = len(text.encode("utf-8"))
    assert selvo.to_turkish_lower(text) == text.translate(LOWER).lower()
    # str.upper maps "ŉ" and others like ours; the two agree on this text.
    assert selvo.to_turkish_upper(text) == text.translate(UPPER).upper()
    compare("to_turkish_lower (1 MB)", lambda: selvo.to_turkish_lower(text), lambda: text.translate(LOWER).lower(), size_bytes=size)
    compare("to_turkish_upper (1 MB)", lambda: selvo.to_turkish_upper(text), lambda: text.translate(UPPER).upper(), size_bytes=size)
    compare("to_turkish_title (1 MB) vs str.title", lambda: selvo.to_turkish_title(text), lambda: text.title(), size_bytes=size)


if __name__ == "__main__":
    main()
