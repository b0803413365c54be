#!/usr/bin/env python3
"""Build selvo's embedded root lexicon and syntactic lexicon.

Input: the StarLang Turkish dictionary (nlptoolkit-dictionary 1.0.16,
``turkish_dictionary.txt``: one word a line followed by its flags) and, to
decide which ordinary words may also be read as names, the annotated news
corpus of nlptoolkit-namedentityrecognition 1.0.3 (``ner-news.txt``).

Output (CRLF lines, lowercase, sorted, no timestamps; rerunning reproduces
the files byte for byte):

* ``core/data/lexicon/root_lexicon.txt``: ``lemma root Primary Secondary
  [Attribute...]``, read by ``RootLexicon::load_from_str``;
* ``core/data/lexicon/syntactic_lexicon.txt``: two comment lines, then the
  lines of the root lexicon whose class the syntactic view knows, in the
  same field layout; the last line has no terminator.

Every mapping from a source flag to an attribute is checked against the
spelling of the words that carry it (a Voicing word must end in a
softenable stop, a VowelDrop word in a droppable syllable, ...); a flag that
fails its check is not carried over and the summary says how often that
happened. The summary also compares the built-in roots of
``core/morphology/root_lexicon.cpp`` with what the source says about them.

Usage: tools/build_lexicon.py [--dictionary PATH] [--ner-corpus PATH]
                              [--out-dir DIR] [--check]
"""

from __future__ import annotations

import argparse
import collections
import re
import sys
from dataclasses import dataclass
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
SHARED_DATA = REPO.parent / "shared" / "data"
DEFAULT_DICTIONARY = SHARED_DATA / "starlang" / "turkish_dictionary.txt"
DEFAULT_NER_CORPUS = SHARED_DATA / "corpora" / "ner-news.txt"
DEFAULT_OUT_DIR = REPO / "core" / "data" / "lexicon"
BUILTIN_SOURCE = REPO / "core" / "morphology" / "root_lexicon.cpp"

SYNTACTIC_HEADER = (
    "# selvo syntactic lexicon, derived from the StarLang Turkish dictionary "
    "(nlptoolkit-dictionary 1.0.16, ISC) by tools/build_lexicon.py",
    "# Schema: [ROOT] [PRIMARY_POS] [MORPHOPHONEMIC_FLAGS]",
)

# --------------------------------------------------------------------------
# Letters.

VOWELS = set("aeıioöuüâîûAEIİOÖUÜÂÎÛ")
BACK_VOWELS = set("aıouâûAIOUÂÛ")
HIGH_VOWELS = set("ıiuü")  # the vowels that a vowel drop removes
SOFTENABLE = set("pçtk")
CIRCUMFLEX = str.maketrans({"â": "a", "î": "i", "û": "u"})


def turkish_lower(text: str) -> str:
    """Turkish lowercase: I -> ı, İ -> i, every other character by its full,
    context-free Unicode mapping."""
    out = []
    for c in text:
        if c == "I":
            out.append("ı")
        elif c == "İ":
            out.append("i")
        else:
            out.append(c.lower())
    return "".join(out)


def last_vowel(word: str) -> str | None:
    for c in reversed(word):
        if c in VOWELS:
            return c
    return None


def is_consonant_letter(c: str) -> bool:
    return c.isalpha() and c not in VOWELS


def infinitive(stem: str) -> str:
    v = last_vowel(stem)
    return stem + ("mak" if v is not None and v in BACK_VOWELS else "mek")


# --------------------------------------------------------------------------
# Output lines.

PRIMARY_RANK = {p: i for i, p in enumerate(
    ["Noun", "Adj", "Adv", "Pron", "Det", "Num", "Postp", "Conj", "Interj", "Q", "Dup", "Verb"])}
ATTRIBUTE_ORDER = ["ProperNoun", "Voicing", "VowelDrop", "Doubling", "InverseHarmony",
                   "VowelMutation", "CompoundP3sg", "Plural"]
# Classes the syntactic view has a class word for (Q and Dup have none).
SYNTACTIC_PRIMARIES = {"Noun", "Verb", "Adj", "Adv", "Pron", "Num", "Conj", "Postp", "Det", "Interj"}


@dataclass(frozen=True)
class Line:
    lemma: str
    root: str
    primary: str
    secondary: str  # "None", "ProperNoun", "Abbrv", "Card", ...
    attributes: tuple[str, ...]

    def sort_key(self):
        proper = self.secondary == "ProperNoun"
        abbrv = self.secondary == "Abbrv"
        return (self.root.encode(), proper, abbrv, PRIMARY_RANK[self.primary],
                self.lemma.encode(), self.secondary, self.attributes)

    def text(self) -> str:
        return " ".join([self.lemma, self.root, self.primary, self.secondary, *self.attributes])


def make_line(lemma, root, primary, secondary, attributes) -> Line:
    attrs = tuple(a for a in ATTRIBUTE_ORDER if a in attributes)
    return Line(lemma, root, primary, secondary, attrs)


# --------------------------------------------------------------------------
# Curated word lists. The source has no secondary classes apart from
# ordinals and numbers; these short lists supply them for the closed
# classes. Each entry is applied only when the source gives the word the
# class named.

PRONOUN_SECONDARY = {
    "Pers": "ben sen o biz siz onlar",
    "Demons": "bu şu şunlar böylesi şurası",
    "Reflex": "kendi",
    "Recip": "birbiri birbirleri",
    "Ques": "kim ne nere neresi nesi hangi hangisi kaçı",
    "Quant": "birçoğu birçokları birkaçı çoğu hepsi hiçbiri kimi kimisi tümü topu bazı "
             "cümlesi herkes",
}
DETERMINER_SECONDARY = {
    "Demons": "bu şu o",
    "Quant": "bazı birçok birkaç birtakım her hiçbir kimi tüm çok",
}
ADVERB_SECONDARY = {
    "Time": "bugün dün yarın şimdi sonra önce erken geç bazen demin hemen henüz daima "
            "sabahleyin akşamleyin geceleyin",
    "Quant": "çok az biraz pek",
}
NOUN_TIME = ("saniye dakika saat gün hafta ay yıl sene asır yüzyıl gece sabah akşam öğle "
             "ikindi mevsim ilkbahar sonbahar pazartesi salı çarşamba perşembe cumartesi "
             "şubat nisan mayıs haziran temmuz ağustos eylül")


def _table(groups: dict[str, str]) -> dict[str, str]:
    out = {}
    for secondary, words in groups.items():
        for w in words.split():
            out[w] = secondary
    return out


PRONOUN_SECONDARY = _table(PRONOUN_SECONDARY)
DETERMINER_SECONDARY = _table(DETERMINER_SECONDARY)
ADVERB_SECONDARY = _table(ADVERB_SECONDARY)
NOUN_TIME = set(NOUN_TIME.split())

# Words the source marks as possible names that must never be read as a
# name: titles and forms of address. The named-entity rules treat them as
# triggers next to a name; as names themselves they would swallow the title
# into the person ("Sayın Ahmet Yılmaz" instead of "Ahmet Yılmaz").
NEVER_NAMES = set("""
sayın prof dr doç yrd av müh bakan başkan vali kaymakam rektör dekan müdür öğretmen
cumhurbaşkanı başbakan general albay kaptan binbaşı bey hanım efendi paşa
ağa hoca hacı hafız şeyh molla imam müftü bay bayan beyefendi hanımefendi
""".split())

# Words without a usable class in the source that still deserve one, and
# words whose source classes are replaced.
CLASS_OVERRIDES = {
    # değil is the negative copula: the analyser gives the verb root değil a
    # start state of its own; it is no adjective.
    "değil": ("Verb", "Conj"),
    # Words the source files under CL_NONE only: fixed expressions that are
    # not interjections.
    "anca": ("Adv",),
    "gırla": ("Adv",),
    "hakeza": ("Adv",),
    "hasebiyle": ("Postp",),
}
# Source words that are not roots: inflected forms kept in the source as
# helpers of its own analyser (diyebil, yiye, ...), the copula forms idi and
# imiş, and the copula stem i, whose one-letter root would match the start
# of every word beginning with i.
NOT_ROOT_FLAGS = {"POSITIVE", "OTHER-TENSE", "NEGATIVE-YAMA", "OPTATIVE"}
SKIP_WORDS = {"i", "idi", "imiş", "tüs", "ilerde"}

# Name evidence from the annotated news corpus (see decide_names).
MIN_NAME_HITS = 2
MIN_NAME_SHARE = 1 / 3
MIN_COMMON_USES = 3
MIN_PURE_SHARE = 0.1
# Proper nouns that the corpus uses but never marks as a person or place.
KEEP_NAMES = set("""
allah incil budizm watergate windows mercedes renault airbus alzheimer chanel athena
sienna dedeman anasol
""".split())

CLASS_FLAGS = {"CL_ISIM", "CL_ISIN", "CL_FIIL", "IS_ADJ", "IS_ADVERB", "IS_ZM", "IS_SAYI",
               "IS_ORD", "IS_DET", "IS_POSTP", "IS_CONJ", "IS_INTERJ", "IS_QUES", "IS_DUP",
               "IS_KIS", "CL_NONE", "IS_PUREADJ", "EK", "PASSIVE-HN"}


# --------------------------------------------------------------------------
# Reading the source.

def read_dictionary(path: Path) -> dict[str, set[str]]:
    words: dict[str, set[str]] = {}
    with open(path, encoding="utf-8") as f:
        for raw in f:
            fields = raw.split()
            if not fields:
                continue
            word = turkish_lower(fields[0])
            flags = set(fields[1:])
            if "IS-OA" in flags:  # one misspelt flag
                flags.add("IS_OA")
            if "CL_ISIN" in flags:  # one misspelt flag
                flags.add("CL_ISIM")
            words.setdefault(word, set()).update(flags)
    return words


ENAMEX = re.compile(r'<b_enamex TYPE="(\w+)">(.*?)<e_enamex>')


def read_name_evidence(path: Path) -> tuple[collections.Counter, collections.Counter]:
    """Counts, per lowercased token, its uses inside person and location
    names and its uses outside any marked name."""
    in_names: collections.Counter = collections.Counter()
    outside: collections.Counter = collections.Counter()
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            for m in ENAMEX.finditer(line):
                if m.group(1) in ("PERSON", "LOCATION"):
                    for tok in m.group(2).split():
                        in_names[turkish_lower(tok)] += 1
            for tok in ENAMEX.sub(" ", line).split():
                outside[turkish_lower(tok)] += 1
    return in_names, outside


# --------------------------------------------------------------------------
# Checks of the sound-change flags against the spelling of their words.

def check_voicing(w: str) -> bool:
    return len(w) >= 2 and w[-1] in SOFTENABLE


def check_vowel_drop(w: str) -> bool:
    return (len(w) >= 3 and w[-2] in HIGH_VOWELS and is_consonant_letter(w[-1])
            and is_consonant_letter(w[-3]))


def check_doubling(w: str) -> bool:
    return len(w) >= 2 and is_consonant_letter(w[-1])


def check_inverse_harmony(w: str) -> bool:
    # The override only means something when the written last vowel is back
    # (saat, saatler) or there is none (an abbreviation read letter by letter).
    v = last_vowel(w)
    return v is None or v in BACK_VOWELS


def check_verb_voicing(w: str) -> bool:
    return len(w) >= 2 and w[-1] in SOFTENABLE


def check_vowel_mutation(w: str) -> bool:
    return w in ("ye", "de")


P3SG_AFTER_CONSONANT = ("ı", "i", "u", "ü")
P3SG_AFTER_VOWEL = ("sı", "si", "su", "sü")
SOFTENED = {"b": "p", "c": "ç", "d": "t", "ğ": "k", "g": "k"}


def compound_head(w: str, nouns: set[str]) -> str | None:
    """The noun that carries the third-person possessive at the end of the
    compound w (veritabanı -> taban), or None if w is not such a compound:
    w must be a non-empty first part followed by a noun of the source,
    possibly softened or with its last vowel dropped, and a possessive
    ending that fits the noun's last letter."""
    if w.endswith("suyu") and len(w) > 6 and "su" in nouns:  # su, suyu: the one irregular form
        return "su"
    for suffix_set, after_vowel in ((P3SG_AFTER_VOWEL, True), (P3SG_AFTER_CONSONANT, False)):
        for suf in suffix_set:
            if not w.endswith(suf):
                continue
            stem = w[: -len(suf)]
            for i in range(2, len(stem) - 1):
                tail = stem[i:]
                candidates = [tail]
                if not after_vowel:
                    if tail[-1] in SOFTENED:
                        candidates.append(tail[:-1] + SOFTENED[tail[-1]])
                    if len(tail) >= 2 and is_consonant_letter(tail[-1]) and is_consonant_letter(tail[-2]):
                        candidates += [tail[:-1] + v + tail[-1] for v in HIGH_VOWELS]
                for c in candidates:
                    if len(c) >= 2 and c in nouns and (c[-1] in VOWELS) == after_vowel:
                        return c
    return None


class Stats:
    def __init__(self):
        self.flag_kept = collections.Counter()
        self.flag_rejected = collections.Counter()
        self.rejected_examples = collections.defaultdict(list)
        self.skipped = collections.Counter()
        self.notes = collections.Counter()
        self.names_left_out = collections.Counter()

    def flag(self, name: str, ok: bool, word: str):
        if ok:
            self.flag_kept[name] += 1
        else:
            self.flag_rejected[name] += 1
            if len(self.rejected_examples[name]) < 8:
                self.rejected_examples[name].append(word)


# --------------------------------------------------------------------------
# From source words to lines.

def is_abbreviation(w: str, flags: set[str]) -> bool:
    if "IS_KIS" in flags or "." in w or "&" in w:
        return True
    # A name-flagged word of consonant letters only (cnn, tbmm, trt): read
    # letter by letter. Words with y or foreign vowels (flynn, máté) are names.
    if "IS_OA" in flags and not (flags & (CLASS_FLAGS - {"IS_KIS"})):
        letters = [c for c in w if c.isalpha()]
        if letters and all(c in "bcçdfgğhjklmnprsştvzqwx" for c in letters):
            return True
    return False


def is_distributive(w: str, cardinals: set[str]) -> bool:
    for suf in ("şar", "şer", "ar", "er"):
        if not w.endswith(suf):
            continue
        base = w[: -len(suf)]
        if suf.startswith("ş") != (base[-1:] in VOWELS):
            continue
        if base in cardinals or (base[-1:] == "d" and base[:-1] + "t" in cardinals):
            return True
    return False


def decide_names(words, in_names, outside):
    """Which name-flagged words get a ProperNoun line.

    Every ProperNoun line makes its lemma a person-name candidate for the
    named-entity rules and gives the analyser a proper-noun reading, so the
    name flag of the source is weighed against the annotated news corpus,
    where `hits` counts a word's uses inside marked person and location names
    and `total` all its uses:

    * a word that the source lists only as a name is one, unless the corpus
      shows it as an ordinary word form (at least MIN_COMMON_USES uses, fewer
      than MIN_PURE_SHARE of them in names: eden, bence, yola, seni), apart
      from the proper nouns of KEEP_NAMES that the corpus does not mark;
    * a word that is also an ordinary word (deniz, umut, başkan, ganalı) is
      one only if hits >= MIN_NAME_HITS and hits >= MIN_NAME_SHARE * total,
      so that a frequent common word with an occasional name use (alan,
      özel, genç) stays common;
    * titles and forms of address are never names, nor are abbreviations.
    Returns the set of names and counts of the words left out."""
    names = set()
    left_out = collections.Counter()
    for w, flags in words.items():
        if "IS_OA" not in flags:
            continue
        if w in NEVER_NAMES:
            left_out["title or form of address"] += 1
            continue
        if is_abbreviation(w, flags):
            left_out["abbreviation"] += 1
            continue
        hits = in_names[w]
        total = hits + outside[w]
        if not (flags & CLASS_FLAGS):
            if w in KEEP_NAMES or total < MIN_COMMON_USES or hits >= MIN_PURE_SHARE * total:
                names.add(w)
            else:
                left_out["name-only word used as a common word form"] += 1
            continue
        if hits >= MIN_NAME_HITS and hits >= MIN_NAME_SHARE * total:
            names.add(w)
        else:
            left_out["ordinary word without name evidence"] += 1
    return names, left_out


# Source sound-change flags of noun-like readings: the attribute each maps
# to and the spelling check a word must pass to keep it.
NOMINAL_FLAG_CHECKS = (
    ({"IS_SD", "IS_KG", "IS_SDD"}, "Voicing", lambda w: check_voicing(w)),
    ({"IS_UD", "IS_UDD"}, "VowelDrop", lambda w: check_vowel_drop(w)),
    ({"IS_ST", "IS_STT"}, "Doubling", lambda w: check_doubling(w)),
    ({"IS_UU", "IS_UUU"}, "InverseHarmony", lambda w: check_inverse_harmony(w)),
    ({"IS_CA"}, "Plural", lambda w: True),
)
# The same for verbs: flag, attribute, label in the summary, check.
VERB_FLAG_CHECKS = (
    ("F_SD", "Voicing", "Voicing (verb)", lambda w: check_verb_voicing(w)),
    ("F_GUDO", "VowelMutation", "VowelMutation", lambda w: check_vowel_mutation(w)),
)


def lines_for_word(w, flags, ctx, stats: Stats) -> list[Line]:
    if "IS_HEADER" in flags or w in SKIP_WORDS:
        stats.skipped["not a root"] += 1
        return []
    if not w or any(c in w for c in "()<>/’") or not any(c.isalnum() for c in w):
        stats.skipped["malformed word"] += 1
        return []
    if flags & NOT_ROOT_FLAGS and not (flags & CLASS_FLAGS):
        stats.skipped["inflected helper form"] += 1
        return []

    # Word classes.
    classes: list[str] = []
    if w in CLASS_OVERRIDES:
        classes = list(CLASS_OVERRIDES[w])
        stats.notes["class override"] += 1
    else:
        numeric = bool(flags & {"IS_SAYI", "IS_ORD"}) or is_distributive(w, ctx.cardinals)
        if flags & {"CL_ISIM"}:
            classes.append("Noun")
        if "IS_ADJ" in flags and not numeric:
            classes.append("Adj")
        if "IS_PUREADJ" in flags and not (flags & (CLASS_FLAGS - {"IS_PUREADJ"})):
            classes.append("Adj")
        if "IS_ADVERB" in flags:
            classes.append("Adv")
        if "IS_ZM" in flags:
            classes.append("Pron")
        if "IS_DET" in flags:
            classes.append("Det")
        if numeric:
            classes.append("Num")
        if "IS_POSTP" in flags:
            classes.append("Postp")
        if "IS_CONJ" in flags:
            classes.append("Conj")
        if "IS_INTERJ" in flags:
            classes.append("Interj")
        if "CL_NONE" in flags and not (flags & (CLASS_FLAGS - {"CL_NONE"})):
            classes.append("Interj")
        if "IS_QUES" in flags:
            classes.append("Q")
        if "IS_DUP" in flags:
            classes.append("Dup")
        if "CL_FIIL" in flags or ("PASSIVE-HN" in flags and not (flags & (CLASS_FLAGS - {"PASSIVE-HN"}))):
            classes.append("Verb")

    abbreviation = is_abbreviation(w, flags)
    proper = w in ctx.names

    # Sound changes of the nominal readings, checked once per word.
    nominal: set[str] = set()
    wants_nominal = any(c in ("Noun", "Adj", "Pron", "Num", "Dup") for c in classes) or abbreviation
    if wants_nominal:
        for source_flags, attribute, check in NOMINAL_FLAG_CHECKS:
            if flags & source_flags:
                ok = check(w)
                stats.flag(attribute, ok, w)
                if ok:
                    nominal.add(attribute)
    compound = False
    if "Noun" in classes and flags & {"IS_BILEŞ", "IS_B_SI", "IS_B_SD", "IS_B_UD"}:
        compound = compound_head(w, ctx.nouns) is not None
        stats.flag("CompoundP3sg", compound, w)

    out: list[Line] = []
    for c in classes:
        if c == "Verb":
            attrs = set()
            for source_flag, attribute, label, check in VERB_FLAG_CHECKS:
                if source_flag in flags:
                    ok = check(w)
                    stats.flag(label, ok, w)
                    if ok:
                        attrs.add(attribute)
            lemma = w if w == "değil" else infinitive(w)
            out.append(make_line(lemma, w, "Verb", "None", attrs))
            continue
        secondary = "None"
        attrs = set()
        if c in ("Noun", "Adj", "Pron", "Num", "Dup"):
            attrs |= nominal
        if c == "Noun":
            if compound:
                attrs.add("CompoundP3sg")
            if w in NOUN_TIME:
                secondary = "Time"
        elif c == "Adj":
            attrs.discard("Plural")
        elif c == "Pron":
            secondary = PRONOUN_SECONDARY.get(w, "None")
        elif c == "Det":
            secondary = DETERMINER_SECONDARY.get(w, "None")
        elif c == "Adv":
            secondary = ADVERB_SECONDARY.get(w, "None")
        elif c == "Num":
            if "IS_ORD" in flags:
                secondary = "Ord"
            elif "IS_SAYI" in flags:
                secondary = "Card"
            else:
                secondary = "Dist"
            attrs.discard("Plural")
        elif c == "Q":
            secondary = "Ques"
        out.append(make_line(w, w, c, secondary, attrs))
    if abbreviation:
        attrs = nominal & {"InverseHarmony"}
        out.append(make_line(w, w, "Noun", "Abbrv", attrs))
    if proper:
        # Names keep their written root before suffixes (Zeynep'i, Ahmet'e,
        # Sinop'a), so of the sound changes only the harmony override, which
        # the spelling of the suffix shows (Kemal'e), is carried over.
        out.append(make_line(w, w, "Noun", "ProperNoun", {"ProperNoun"} | (nominal & {"InverseHarmony"})))
    if not out:
        stats.skipped["no usable class"] += 1
    return out


@dataclass
class Context:
    names: set[str]
    nouns: set[str]
    cardinals: set[str]


def build_lines(words: dict[str, set[str]], in_names, outside, stats: Stats) -> list[Line]:
    names, left_out = decide_names(words, in_names, outside)
    stats.names_left_out = left_out
    stats.notes["name-flagged words read as names"] = len(names)
    stats.notes["of them also ordinary words"] = sum(1 for w in names if words[w] & CLASS_FLAGS)
    nouns = {w for w, f in words.items() if "CL_ISIM" in f}
    cardinals = {w for w, f in words.items() if "IS_SAYI" in f}
    ctx = Context(names, nouns, cardinals)

    lines: set[Line] = set()
    for w in sorted(words):
        for line in lines_for_word(w, words[w], ctx, stats):
            lines.add(line)
    # The analyser folds â, î, û to a, i, u before it looks a stem up, so a
    # word that the source spells only with a circumflex is also listed
    # without it.
    present = {l.root for l in lines}
    for line in sorted(lines, key=Line.sort_key):
        plain_root = line.root.translate(CIRCUMFLEX)
        if plain_root != line.root and plain_root not in present and plain_root not in words:
            lines.add(Line(line.lemma.translate(CIRCUMFLEX), plain_root, line.primary,
                           line.secondary, line.attributes))
            stats.notes["lines added without circumflex"] += 1
    return sorted(lines, key=Line.sort_key)


# --------------------------------------------------------------------------
# The built-in roots of the C++ lexicon, for comparison.

BUILTIN_GROUP = re.compile(
    r"\{\s*PrimaryPos::(\w+)\s*,\s*SecondaryPos::(\w+)\s*,\s*([^,]*?)\s*,\s*((?:\"[^\"]*\"\s*)+)\}")
SECONDARY_WORD = {"None": "None", "ProperNoun": "ProperNoun", "Time": "Time", "Ordinal": "Ord",
                  "Cardinal": "Card", "Distributive": "Dist", "Percentage": "Percent",
                  "Demonstrative": "Demons", "Personal": "Pers", "Reflexive": "Reflex",
                  "Reciprocal": "Recip", "Quantitive": "Quant", "Question": "Ques",
                  "Relative": "Rel", "Abbreviation": "Abbrv"}


def read_builtins(path: Path) -> list[Line]:
    text = path.read_text(encoding="utf-8")
    m = re.search(r"BEGIN BUILT-IN ROOTS(.*?)END BUILT-IN ROOTS", text, re.S)
    if not m:
        raise SystemExit(f"{path}: no built-in root table found")
    out = []
    for g in BUILTIN_GROUP.finditer(m.group(1)):
        primary, secondary, attrs, literals = g.groups()
        attributes = set(re.findall(r"RootAttribute::(\w+)", attrs))
        roots = "".join(re.findall(r"\"([^\"]*)\"", literals)).split()
        for r in roots:
            out.append(make_line(r, r, primary, SECONDARY_WORD[secondary], attributes))
    return out


def compare_builtins(builtins: list[Line], lines: list[Line]) -> dict[str, list[str]]:
    """Sorts every built-in root by how the generated lines see it."""
    by_root = collections.defaultdict(list)
    for l in lines:
        by_root[l.root].append(l)
    result = collections.defaultdict(list)
    for b in builtins:
        same_root = by_root.get(b.root, [])
        same_class = [l for l in same_root if l.primary == b.primary]
        if not same_root:
            result["unknown to the source"].append(b.root)
        elif not same_class:
            result["disagree: the source has other classes"].append(
                f"{b.root}:{b.primary}/{'|'.join(sorted({l.primary for l in same_root}))}")
        elif any(l.lemma == b.lemma and l.secondary == b.secondary and l.attributes == b.attributes
                 for l in same_class):
            result["agree: identical line, not added again"].append(b.root)
        elif not any(l.attributes == b.attributes for l in same_class):
            result["disagree: other attributes"].append(
                f"{b.root}:{'+'.join(b.attributes) or '-'}/"
                f"{'|'.join('+'.join(l.attributes) or '-' for l in same_class)}")
        elif not any(l.secondary == b.secondary for l in same_class):
            result["disagree: other secondary class"].append(
                f"{b.root}:{b.secondary}/{'|'.join(l.secondary for l in same_class)}")
        else:
            # Built-in verbs have the stem as lemma, the text the infinitive.
            result["agree: only the lemma form differs (verbs)"].append(b.root)
    return result


# --------------------------------------------------------------------------

def render(lines: list[str], final_newline: bool) -> bytes:
    text = "\r\n".join(lines)
    if final_newline:
        text += "\r\n"
    return text.encode("utf-8")


def main(argv=None) -> int:
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--dictionary", type=Path, default=DEFAULT_DICTIONARY)
    ap.add_argument("--ner-corpus", type=Path, default=DEFAULT_NER_CORPUS)
    ap.add_argument("--out-dir", type=Path, default=DEFAULT_OUT_DIR)
    ap.add_argument("--check", action="store_true",
                    help="do not write; fail if the files on disk differ from a fresh build")
    args = ap.parse_args(argv)

    words = read_dictionary(args.dictionary)
    in_names, outside = read_name_evidence(args.ner_corpus)
    stats = Stats()
    lines = build_lines(words, in_names, outside, stats)

    root_bytes = render([l.text() for l in lines], final_newline=True)
    syntactic = [l.text() for l in lines if l.primary in SYNTACTIC_PRIMARIES]
    syn_bytes = render(list(SYNTACTIC_HEADER) + syntactic, final_newline=False)

    outputs = {args.out_dir / "root_lexicon.txt": root_bytes,
               args.out_dir / "syntactic_lexicon.txt": syn_bytes}
    if args.check:
        stale = [p for p, data in outputs.items() if not p.exists() or p.read_bytes() != data]
        for p in stale:
            print(f"out of date: {p}", file=sys.stderr)
        return 1 if stale else 0
    args.out_dir.mkdir(parents=True, exist_ok=True)
    for p, data in outputs.items():
        p.write_bytes(data)

    # ---- summary
    print(f"source: {args.dictionary} ({len(words)} words)")
    print(f"root lexicon: {len(lines)} lines, {len(root_bytes)} bytes, "
          f"{len({l.root for l in lines})} distinct roots")
    print(f"syntactic lexicon: {len(syntactic)} entry lines, {len(syn_bytes)} bytes, "
          f"{len({l.lemma for l in lines if l.primary in SYNTACTIC_PRIMARIES})} distinct keys")
    for title, counter in (
            ("primary", collections.Counter(l.primary for l in lines)),
            ("secondary", collections.Counter(l.secondary for l in lines)),
            ("attribute", collections.Counter(a for l in lines for a in l.attributes)),
            ("fields per line", collections.Counter(4 + len(l.attributes) for l in lines))):
        print(f"{title}: " + ", ".join(f"{k} {v}" for k, v in counter.most_common()))
    print("flag checks (kept / rejected, examples of rejected):")
    for name in sorted(set(stats.flag_kept) | set(stats.flag_rejected)):
        ex = " ".join(stats.rejected_examples[name])
        print(f"  {name}: {stats.flag_kept[name]} / {stats.flag_rejected[name]}"
              + (f"  [{ex}]" if ex else ""))
    print("skipped words: " + ", ".join(f"{k} {v}" for k, v in sorted(stats.skipped.items())))
    print("notes: " + ", ".join(f"{k} {v}" for k, v in sorted(stats.notes.items())))
    print("name-flagged words without a ProperNoun line: "
          + ", ".join(f"{k} {v}" for k, v in sorted(stats.names_left_out.items())))

    builtins = read_builtins(BUILTIN_SOURCE)
    cmp = compare_builtins(builtins, lines)
    disagree = sum(len(v) for k, v in cmp.items() if k.startswith("disagree"))
    print(f"built-in roots: {len(builtins)}; disagreeing with the source: {disagree}")
    for kind in sorted(cmp):
        items = cmp[kind]
        shown = " ".join(items[:14]) + (" ..." if len(items) > 14 else "")
        print(f"  {kind}: {len(items)}  [{shown}]")
    return 0


if __name__ == "__main__":
    sys.exit(main())
