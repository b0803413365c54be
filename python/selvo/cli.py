"""The ``selvo`` command-line tool.

Each subcommand reads its text from the command line or, when none is given
(or it is ``-``), from standard input, and prints plain text, or JSON with
``--json``.
"""

from __future__ import annotations

import argparse
import json
import sys
from typing import Any, Callable

from . import _core

Handler = Callable[[argparse.Namespace], Any]


def _read_text(args: argparse.Namespace, attr: str = "text") -> str:
    value = getattr(args, attr, None)
    if isinstance(value, list):
        value = " ".join(value)
    if value is None or value == "-" or value == "":
        data = sys.stdin.read()
        return data[:-1] if data.endswith("\n") else data
    return value


def _words(args: argparse.Namespace) -> list[str]:
    words = args.words or _read_text(args, "words").split()
    return words


class _Printer:
    """Prints a result: JSON with --json, otherwise a plain rendering."""

    def __init__(self, as_json: bool) -> None:
        self.as_json = as_json

    def emit(self, result: Any, plain: Callable[[Any], str] | None = None) -> None:
        if self.as_json:
            print(json.dumps(result, ensure_ascii=False))
        else:
            print(plain(result) if plain else result)


def _case(args: argparse.Namespace, out: _Printer) -> None:
    fn = {"lower": _core.to_turkish_lower, "upper": _core.to_turkish_upper, "title": _core.to_turkish_title}
    out.emit(fn[args.mapping](_read_text(args)))


def _harmony(args: argparse.Namespace, out: _Printer) -> None:
    rows = [
        {
            "word": w,
            "major": _core.check_major_vowel_harmony(w),
            "minor": _core.check_minor_vowel_harmony(w),
        }
        for w in _words(args)
    ]
    out.emit(rows, lambda rs: "\n".join(f"{r['word']}\tmajor={r['major']}\tminor={r['minor']}" for r in rs))


def _syllables(args: argparse.Namespace, out: _Printer) -> None:
    rows = [{"word": w, "syllables": _core.syllabify(w), "count": _core.count_syllables(w)} for w in _words(args)]
    out.emit(rows, lambda rs: "\n".join("-".join(r["syllables"]) for r in rs))


def _hyphenate(args: argparse.Namespace, out: _Printer) -> None:
    out.emit([_core.hyphenate(w, args.delimiter) for w in _words(args)], "\n".join)


def _number(args: argparse.Namespace, out: _Printer) -> None:
    fn = _core.ordinal_to_words if args.ordinal else _core.number_to_words
    out.emit(fn(args.n))


def _currency(args: argparse.Namespace, out: _Printer) -> None:
    out.emit(_core.currency_to_words(args.amount, args.currency))


def _read_number(args: argparse.Namespace, out: _Printer) -> None:
    out.emit(_core.words_to_number(_read_text(args)))


def _tokens(args: argparse.Namespace, out: _Printer) -> None:
    rows = [
        {"text": text, "start": start, "end": end, "kind": kind}
        for text, start, end, kind in _core._tokens(_read_text(args))
    ]
    out.emit(rows, lambda rs: "\n".join(f"{r['start']}\t{r['end']}\t{r['kind']}\t{r['text']}" for r in rs))


def _sentences(args: argparse.Namespace, out: _Printer) -> None:
    rows = [{"text": text, "start": start, "end": end} for text, start, end in _core._sentences(_read_text(args))]
    out.emit(rows, lambda rs: "\n".join(r["text"] for r in rs))


def _parser() -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(prog="selvo", description="Turkish natural-language processing.")
    parser.add_argument("--json", action="store_true", help="print JSON instead of plain text")
    sub = parser.add_subparsers(dest="command", required=True, metavar="COMMAND")

    def command(name: str, handler: Callable[[argparse.Namespace, _Printer], None], help_text: str):
        p = sub.add_parser(name, help=help_text, description=help_text)
        p.add_argument("--json", action="store_true", default=argparse.SUPPRESS, help=argparse.SUPPRESS)
        p.set_defaults(handler=handler)
        return p

    p = command("case", _case, "Turkish case mapping (I/ı and İ/i)")
    p.add_argument("mapping", choices=["lower", "upper", "title"])
    p.add_argument("text", nargs="*", help="text (default: standard input)")

    p = command("harmony", _harmony, "check major and minor vowel harmony of words")
    p.add_argument("words", nargs="*")

    p = command("syllables", _syllables, "split words into syllables")
    p.add_argument("words", nargs="*")

    p = command("hyphenate", _hyphenate, "hyphenate words")
    p.add_argument("words", nargs="*")
    p.add_argument("-d", "--delimiter", default=None, help='delimiter between syllables (default "-")')

    p = command("number", _number, "spell an integer in Turkish words")
    p.add_argument("n", type=int)
    p.add_argument("--ordinal", action="store_true", help="spell the ordinal (dördüncü)")

    p = command("currency", _currency, "spell a money amount")
    p.add_argument("amount", type=float)
    p.add_argument("-c", "--currency", default=None, help="TL (default), USD, EUR, GBP, $, €, £")

    p = command("tokens", _tokens, "split text into tokens (byte offsets and kinds)")
    p.add_argument("text", nargs="*")

    p = command("sentences", _sentences, "split text into sentences (byte offsets)")
    p.add_argument("text", nargs="*")

    p = command("read-number", _read_number, "read Turkish number words back into an integer")
    p.add_argument("text", nargs="*")
    return parser


def main(argv: list[str] | None = None) -> int:
    parser = _parser()
    args = parser.parse_args(argv)
    try:
        args.handler(args, _Printer(args.json))
    except (ValueError, OverflowError, OSError) as exc:
        print(f"selvo: error: {exc}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":  # pragma: no cover
    sys.exit(main())
