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


def _analyze(args: argparse.Namespace, out: _Printer) -> None:
    morph = _core.Morphology()
    rows = [{"word": w, "analyses": morph.analyze(w)} for w in _words(args)]

    def plain(rs: list[dict[str, Any]]) -> str:
        lines = []
        for r in rs:
            if not r["analyses"]:
                lines.append(f"{r['word']}\t(no analysis)")
            for a in r["analyses"]:
                lines.append(f"{r['word']}\t{a['formatted']}\t{a['score']:.2f}")
        return "\n".join(lines)

    out.emit(rows, plain)


def _stem(args: argparse.Namespace, out: _Printer) -> None:
    rows = [{"word": w, "stem": _core.stem(w)} for w in _words(args)]
    out.emit(rows, lambda rs: "\n".join(f"{r['word']}\t{r['stem']}" for r in rs))


def _disambiguate(args: argparse.Namespace, out: _Printer) -> None:
    tokens = _core.tokenize_words(_read_text(args))
    # Always JSON: one analysis per token.
    print(json.dumps(_core.Disambiguator().disambiguate(tokens), ensure_ascii=False))


def _deasciify(args: argparse.Namespace, out: _Printer) -> None:
    out.emit(_core.deasciify(_read_text(args)))


def _normalize(args: argparse.Namespace, out: _Printer) -> None:
    out.emit(_core.normalize_informal(_read_text(args)))


def _spell(args: argparse.Namespace, out: _Printer) -> None:
    checker = _core.SpellChecker()
    rows = [
        {
            "word": w,
            "correct": checker.is_correct(w),
            "suggestions": checker.suggest(w, args.max_distance, args.max_suggestions),
        }
        for w in _words(args)
    ]

    def plain(rs):
        lines = []
        for r in rs:
            if r["correct"]:
                lines.append(f"{r['word']}\tcorrect")
            else:
                found = ", ".join(f"{s['word']} ({s['distance']})" for s in r["suggestions"])
                lines.append(f"{r['word']}\t{found or 'no suggestions'}")
        return "\n".join(lines)

    out.emit(rows, plain)


def _embed(args: argparse.Namespace, out: _Printer) -> None:
    text = _read_text(args)
    if args.packed:
        packed = _core.embed_packed_1bit(text) if args.packed == "1bit" else _core.embed_packed_2bit(text)
        print(json.dumps(packed.hex()) if args.json else packed.hex())
    else:
        # Always JSON: the 256 floats of the unit vector.
        print(json.dumps(_core.embed(text)))


def _chunk(args: argparse.Namespace, out: _Printer) -> None:
    chunks = _core.chunk_sentences(_read_text(args), args.size, args.overlap, args.min_sentences)
    # Always JSON: one object per chunk, offsets in characters.
    print(json.dumps([c.to_dict() for c in chunks], ensure_ascii=False))


def _pii_engine(args: argparse.Namespace) -> Any:
    return _core.TurkishPiiEngine(
        use_embeddings=args.embeddings,
        preserve_corporate_emails=not args.report_corporate_emails,
        disabled_types=args.disable or None,
    )


def _mask(args: argparse.Namespace, out: _Printer) -> None:
    engine = _pii_engine(args)
    vault = _core.PiiVault()
    if args.vault and args.append:
        try:
            with open(args.vault, encoding="utf-8") as f:
                vault = _core.PiiVault.from_json(f.read())
        except FileNotFoundError:
            pass
    result = engine.mask_with_vault(_read_text(args), vault, args.mode)
    if args.vault:
        with open(args.vault, "w", encoding="utf-8") as f:
            f.write(vault.to_json())
    if out.as_json:
        out.emit({"masked_text": result["masked_text"], "mapping": result["mapping"], "entities": result["entities"]})
    else:
        print(result["masked_text"])


def _restore(args: argparse.Namespace, out: _Printer) -> None:
    with open(args.vault, encoding="utf-8") as f:
        vault = _core.PiiVault.from_json(f.read())
    out.emit(vault.restore(_read_text(args)))


def _detect(args: argparse.Namespace, out: _Printer) -> None:
    # Always JSON: one object per entity, offsets in characters.
    print(json.dumps(_pii_engine(args).detect(_read_text(args)), ensure_ascii=False))


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

    p = command("deasciify", _deasciify, "restore Turkish letters in text typed without them")
    p.add_argument("text", nargs="*")

    p = command("normalize", _normalize, "rewrite informal Turkish in the standard written form")
    p.add_argument("text", nargs="*")

    p = command("spell", _spell, "check words and suggest corrections")
    p.add_argument("words", nargs="*")
    p.add_argument("--max-distance", type=int, default=None, help="largest byte edit distance (default 2)")
    p.add_argument("--max-suggestions", type=int, default=None, help="at most this many suggestions (default 5)")

    p = command("read-number", _read_number, "read Turkish number words back into an integer")
    p.add_argument("text", nargs="*")

    p = command("analyze", _analyze, "morphological analyses of words")
    p.add_argument("words", nargs="*")

    p = command("stem", _stem, "stem words (root of the best analysis)")
    p.add_argument("words", nargs="*")

    p = command("disambiguate", _disambiguate, "one analysis per token of a sentence (JSON)")
    p.add_argument("text", nargs="*")

    p = command("embed", _embed, "sentence embedding: 256 floats (JSON) or a packed form in hex")
    p.add_argument("text", nargs="*")
    p.add_argument("--packed", choices=["1bit", "2bit"], default=None, help="print the packed form as hex")

    p = command("chunk", _chunk, "cut text into chunks of whole sentences (JSON)")
    p.add_argument("text", nargs="*")
    p.add_argument("--size", type=int, default=None, help="token budget of a chunk (default 512)")
    p.add_argument("--overlap", type=int, default=None, help="tokens repeated from the previous chunk (default 0)")
    p.add_argument("--min-sentences", type=int, default=None, help="sentences per chunk at least (default 1)")

    def pii_options(p: argparse.ArgumentParser) -> None:
        p.add_argument("--disable", action="append", metavar="TYPE", help="a category not to mask (repeatable)")
        p.add_argument(
            "--report-corporate-emails", action="store_true", help="also mask role addresses such as info@..."
        )
        p.add_argument(
            "--embeddings", action="store_true", help="confirm doubtful names, dates and health words by context"
        )

    p = command("mask", _mask, "mask personal data in a prompt; the vault is saved to --vault")
    p.add_argument("text", nargs="*", help="prompt (default: standard input)")
    p.add_argument("--vault", metavar="FILE", help="write the vault JSON to FILE")
    p.add_argument("--append", action="store_true", help="continue the vault already in --vault FILE")
    p.add_argument("--mode", default="placeholder", help="placeholder (default), tag, anonymize or surrogate")
    pii_options(p)

    p = command("restore", _restore, "put the original values back into a model's answer")
    p.add_argument("text", nargs="*", help="answer (default: standard input)")
    p.add_argument("--vault", metavar="FILE", required=True, help="the vault JSON written by 'selvo mask'")

    p = command("detect", _detect, "personal data found in a text (JSON, character offsets)")
    p.add_argument("text", nargs="*")
    pii_options(p)
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
