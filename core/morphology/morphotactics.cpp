#include "morphology/morphotactics.h"

#include <initializer_list>

#include "phonology/alphabet.h"
#include "util/utf8.h"

namespace selvo {

namespace {

constexpr std::string_view kSuffixTags[kSuffixTypeCount] = {
    "A3pl", "P1sg", "P2sg", "P3sg", "P1pl", "P2pl", "P3pl", "Nom", "Acc", "Dat", "Loc", "Abl",
    "Gen", "Ins", "Equ", "RelClitic", "QuesClitic", "Dim", "CopPres1sg", "CopPres2sg",
    "CopPres3sg", "CopPres1pl", "CopPres2pl", "CopPres3pl", "CopPast", "CopEvid", "CopCond",
    "Neg", "Abil", "NegAbil", "Past", "Evid", "Prog", "Aor", "Fut", "Nec", "Opt", "Cond",
    "A1sg", "A2sg", "A3sg", "A1pl", "A2pl", "A3pl", "Ness", "With", "Without", "Agt",
    "NounToVerb", "BecomeVerb", "CausVerb", "Inf", "ActN", "Manner", "DevN", "DevGi", "DevGin",
    "DevGen", "PresPart", "PastPart", "FutPart", "AdvErek", "AdvInce", "AdvIp", "Caus", "Pass",
    "While", "SinceDoingSo", "WithoutHavingDoneSo", "Ly", "Related", "Imp",
};

constexpr std::string_view kPosTags[kPrimaryPosCount] = {
    "Noun", "Verb", "Adj", "Adv", "Pron", "Num", "Conj", "Postp", "Interj", "Q", "Punc", "Dup", "Unk", "Det",
};

using S = MorphState;
using T = SuffixType;

struct Row {
  S from;
  T suffix;
  S to;
  std::initializer_list<const char*> forms;
};

// The transitions in the order the analyser tries them.
const Row kRows[] = {
    {S::NominalRoot, T::Dim, S::NominalRoot, {"cik", "cık", "cuk", "cük", "çik", "çık", "çuk", "çük", "ıcık", "icik", "ucuk", "ücük"}},
    {S::NominalRoot, T::A3pl, S::AfterPlural, {"lar", "ler"}},
    {S::NominalRoot, T::P1sg, S::AfterPossessive, {"m", "ım", "im", "um", "üm"}},
    {S::NominalRoot, T::P2sg, S::AfterPossessive, {"n", "ın", "in", "un", "ün"}},
    {S::NominalRoot, T::P3sg, S::AfterPossessive, {"ı", "i", "u", "ü", "sı", "si", "su", "sü"}},
    {S::NominalRoot, T::P1pl, S::AfterPossessive, {"mız", "miz", "muz", "müz", "ımız", "imiz", "umuz", "ümüz"}},
    {S::NominalRoot, T::P2pl, S::AfterPossessive, {"nız", "niz", "nuz", "nüz", "ınız", "iniz", "unuz", "ünüz"}},
    {S::NominalRoot, T::P3pl, S::AfterPossessive, {"ları", "leri"}},
    {S::AfterPlural, T::P1sg, S::AfterPossessive, {"ım", "im"}},
    {S::AfterPlural, T::P2sg, S::AfterPossessive, {"in", "ın"}},
    {S::AfterPlural, T::P3sg, S::AfterPossessive, {"i", "ı"}},
    {S::AfterPlural, T::P1pl, S::AfterPossessive, {"imiz", "ımız"}},
    {S::AfterPlural, T::P2pl, S::AfterPossessive, {"iniz", "ınız"}},
    {S::NominalRoot, T::Acc, S::AfterCase, {"ı", "i", "u", "ü", "yı", "yi", "yu", "yü"}},
    {S::AfterPlural, T::Acc, S::AfterCase, {"ı", "i"}},
    {S::AfterPossessive, T::Acc, S::AfterCase, {"ı", "i", "u", "ü", "nı", "ni", "nu", "nü"}},
    {S::NominalRoot, T::Dat, S::AfterCase, {"a", "e", "ya", "ye"}},
    {S::AfterPlural, T::Dat, S::AfterCase, {"a", "e"}},
    {S::AfterPossessive, T::Dat, S::AfterCase, {"a", "e", "na", "ne"}},
    {S::NominalRoot, T::Loc, S::AfterCase, {"da", "de", "ta", "te"}},
    {S::AfterPlural, T::Loc, S::AfterCase, {"da", "de"}},
    {S::AfterPossessive, T::Loc, S::AfterCase, {"da", "de", "nda", "nde"}},
    {S::NominalRoot, T::Abl, S::AfterCase, {"dan", "den", "tan", "ten"}},
    {S::AfterPlural, T::Abl, S::AfterCase, {"dan", "den"}},
    {S::AfterPossessive, T::Abl, S::AfterCase, {"dan", "den", "ndan", "nden"}},
    {S::NominalRoot, T::Gen, S::AfterCase, {"ın", "in", "un", "ün", "nın", "nin", "nun", "nün"}},
    {S::AfterPlural, T::Gen, S::AfterCase, {"ın", "in"}},
    {S::AfterPossessive, T::Gen, S::AfterCase, {"ın", "in", "un", "ün", "nın", "nin", "nun", "nün"}},
    {S::NominalRoot, T::Ins, S::AfterCase, {"la", "le", "yla", "yle"}},
    {S::AfterPlural, T::Ins, S::AfterCase, {"la", "le"}},
    {S::AfterPossessive, T::Ins, S::AfterCase, {"la", "le", "yla", "yle"}},
    {S::AfterCase, T::RelClitic, S::NominalRoot, {"ki", "kü"}},
    {S::NominalRoot, T::RelClitic, S::NominalRoot, {"ki", "kü"}},
    {S::NominalRoot, T::CopPres3sg, S::AfterCopula, {"dır", "dir", "dur", "dür", "tır", "tir", "tur", "tür"}},
    {S::AfterCase, T::CopPres3sg, S::AfterCopula, {"dır", "dir", "dur", "dür"}},
    {S::NominalRoot, T::CopPast, S::AfterCopula, {"dı", "di", "du", "dü", "tı", "ti", "tu", "tü", "ydı", "ydi", "ydu", "ydü"}},
    {S::NominalRoot, T::Ness, S::DerivedNoun, {"lık", "lik", "luk", "lük", "lığ", "liğ", "luğ", "lüğ"}},
    {S::DerivedNoun, T::Ness, S::NominalRoot, {"lık", "lik", "luk", "lük", "lığ", "liğ", "luğ", "lüğ"}},
    {S::NominalRoot, T::Agt, S::DerivedNoun, {"cı", "ci", "cu", "cü", "çı", "çi", "çu", "çü"}},
    {S::DerivedNoun, T::Agt, S::DerivedNoun, {"cı", "ci", "cu", "cü", "çı", "çi", "çu", "çü"}},
    {S::DerivedNoun, T::Dat, S::AfterCase, {"e", "a", "ye", "ya"}},
    {S::DerivedNoun, T::Loc, S::AfterCase, {"de", "da", "te", "ta"}},
    {S::DerivedNoun, T::Abl, S::AfterCase, {"den", "dan", "ten", "tan"}},
    {S::DerivedNoun, T::Acc, S::AfterCase, {"i", "ı", "u", "ü", "yi", "yı", "yu", "yü"}},
    {S::DerivedNoun, T::Gen, S::AfterCase, {"in", "ın", "un", "ün", "nin", "nın", "nun", "nün"}},
    {S::DerivedNoun, T::A3pl, S::AfterPlural, {"ler", "lar"}},
    {S::NominalRoot, T::With, S::DerivedAdjective, {"lı", "li", "lu", "lü"}},
    {S::NominalRoot, T::Without, S::DerivedAdjective, {"sız", "siz", "suz", "süz"}},
    {S::NominalRoot, T::NounToVerb, S::VerbalRoot, {"le", "la"}},
    {S::NominalRoot, T::BecomeVerb, S::VerbalRoot, {"leş", "laş"}},
    {S::DerivedAdjective, T::BecomeVerb, S::VerbalRoot, {"leş", "laş"}},
    {S::NominalRoot, T::CausVerb, S::VerbalRoot, {"lendir", "landır"}},
    {S::VerbalRoot, T::Abil, S::AfterAbility, {"ebil", "abil", "yebil", "yabil"}},
    {S::AfterAbility, T::Prog, S::AfterTense, {"iyor", "ıyor", "uyor", "üyor", "yor", "mekte", "makta"}},
    {S::AfterAbility, T::Aor, S::AfterTense, {"ir", "ır", "ur", "ür", "er", "ar"}},
    {S::AfterAbility, T::Fut, S::AfterTense, {"ecek", "acak"}},
    {S::AfterAbility, T::Past, S::AfterTense, {"di", "dı", "du", "dü"}},
    {S::VerbalRoot, T::Pass, S::VerbalRoot, {"il", "ıl", "ul", "ül", "in", "ın", "un", "ün", "nil", "nıl"}},
    {S::VerbalRoot, T::Caus, S::VerbalRoot, {"dir", "dır", "dur", "dür", "tir", "tır", "tur", "tür", "t", "it", "ıt", "ut", "üt"}},
    {S::VerbalRoot, T::Neg, S::AfterNegation, {"me", "ma", "mi", "mı", "mu", "mü"}},
    {S::VerbalRoot, T::NegAbil, S::AfterNegation, {"eme", "ama", "yeme", "yama", "yemi", "yamı", "emi", "amı"}},
    {S::AfterAbility, T::Neg, S::AfterNegation, {"me", "ma", "mi", "mı", "mu", "mü"}},
    {S::VerbalRoot, T::Past, S::AfterTense, {"di", "dı", "du", "dü", "ti", "tı", "tu", "tü"}},
    {S::AfterNegation, T::Past, S::AfterTense, {"di", "dı", "du", "dü"}},
    {S::VerbalRoot, T::Evid, S::AfterTense, {"miş", "mış", "muş", "müş"}},
    {S::AfterNegation, T::Evid, S::AfterTense, {"miş", "mış", "muş", "müş"}},
    {S::VerbalRoot, T::Prog, S::AfterTense, {"iyor", "ıyor", "uyor", "üyor", "yor", "mekte", "makta"}},
    {S::AfterNegation, T::Prog, S::AfterTense, {"yor", "mıyor", "miyor", "muyor", "müyor"}},
    {S::VerbalRoot, T::Fut, S::AfterTense, {"ecek", "acak", "yecek", "yacak", "eceğ", "acağ", "yeceğ", "yacağ"}},
    {S::AfterNegation, T::Fut, S::AfterTense, {"yecek", "yacak", "yeceğ", "yacağ"}},
    {S::VerbalRoot, T::Aor, S::AfterTense, {"r", "ar", "er", "ır", "ir", "ur", "ür"}},
    {S::AfterNegation, T::Aor, S::AfterTense, {"z", "mez", "maz"}},
    {S::VerbalRoot, T::Nec, S::AfterTense, {"meli", "malı"}},
    {S::VerbalRoot, T::Opt, S::AfterTense, {"e", "a", "ye", "ya"}},
    {S::VerbalRoot, T::Cond, S::AfterTense, {"se", "sa"}},
    {S::AfterTense, T::A1sg, S::AfterPerson, {"m", "ım", "im", "um", "üm", "yım", "yim", "yum", "yüm"}},
    {S::AfterTense, T::A2sg, S::AfterPerson, {"n", "sın", "sin", "sun", "sün"}},
    {S::AfterTense, T::A1pl, S::AfterPerson, {"k", "ız", "iz", "uz", "üz", "yız", "yiz", "yuz", "yüz"}},
    {S::AfterTense, T::A2pl, S::AfterPerson, {"nız", "niz", "nuz", "nüz", "sınız", "siniz", "sunuz", "sünüz"}},
    {S::AfterTense, T::VA3pl, S::AfterPerson, {"ler", "lar"}},
    {S::VerbalRoot, T::Inf, S::NominalRoot, {"mek", "mak"}},
    {S::VerbalRoot, T::ActN, S::NominalRoot, {"me", "ma"}},
    {S::VerbalRoot, T::Manner, S::NominalRoot, {"iş", "ış", "uş", "üş", "yiş", "yış", "yuş", "yüş"}},
    {S::VerbalRoot, T::DevN, S::NominalRoot, {"im", "ım", "um", "üm"}},
    {S::VerbalRoot, T::DevGi, S::NominalRoot, {"gi", "gı", "gu", "gü", "ki", "kı", "ku", "kü"}},
    {S::VerbalRoot, T::DevGin, S::DerivedAdjective, {"gin", "gın", "gun", "gün", "kin", "kın", "kun", "kün"}},
    {S::VerbalRoot, T::DevGen, S::DerivedAdjective, {"gen", "gan", "ken", "kan"}},
    {S::VerbalRoot, T::PresPart, S::DerivedAdjective, {"en", "an", "yen", "yan"}},
    {S::AfterNegation, T::PresPart, S::DerivedAdjective, {"yen", "yan", "en", "an"}},
    {S::DerivedAdjective, T::A3pl, S::AfterPlural, {"lar", "ler"}},
    {S::DerivedAdjective, T::A3pl, S::NominalRoot, {"lar", "ler"}},
    {S::VerbalRoot, T::PastPart, S::DerivedAdjective, {"dik", "dık", "duk", "dük", "tik", "tık", "tuk", "tük", "diğ", "dığ", "duğ", "düğ", "tiğ", "tığ", "tuğ", "tüğ"}},
    {S::DerivedAdjective, T::P1sg, S::AfterPossessive, {"im", "ım", "um", "üm"}},
    {S::DerivedAdjective, T::P2sg, S::AfterPossessive, {"in", "ın", "un", "ün"}},
    {S::DerivedAdjective, T::P3sg, S::AfterPossessive, {"i", "ı", "u", "ü"}},
    {S::DerivedAdjective, T::P1pl, S::AfterPossessive, {"imiz", "ımız", "umuz", "ümüz"}},
    {S::DerivedAdjective, T::P2pl, S::AfterPossessive, {"iniz", "ınız", "unuz", "ünüz"}},
    {S::DerivedAdjective, T::P3pl, S::AfterPossessive, {"leri", "ları"}},
    {S::DerivedAdjective, T::Loc, S::AfterCase, {"de", "da", "te", "ta"}},
    {S::DerivedAdjective, T::Abl, S::AfterCase, {"tan", "ten", "dan", "den"}},
    {S::AfterTense, T::CopPres3sg, S::AfterCopula, {"dur", "dür", "dır", "dir", "tur", "tür", "tır", "tir"}},
    {S::AfterTense, T::CopPast, S::AfterCopula, {"du", "dü", "dı", "di", "tu", "tü", "tı", "ti", "ydu", "ydi", "ydı", "ydü"}},
    {S::AfterTense, T::CopEvid, S::AfterEvidentialCopula, {"muş", "müş", "mış", "miş"}},
    {S::AfterCopula, T::VA3pl, S::AfterPerson, {"lar", "ler"}},
    {S::AfterCopula, T::A1sg, S::AfterPerson, {"m"}},
    {S::AfterCopula, T::A1pl, S::AfterPerson, {"k"}},
    {S::VerbalRoot, T::Pass, S::VerbalRoot, {"ıl", "il", "ul", "ül", "ın", "in", "un", "ün", "n"}},
    {S::VerbalRoot, T::Caus, S::VerbalRoot, {"dır", "dir", "dur", "dür", "tır", "tir", "tur", "tür", "t", "ıt", "it", "ut", "üt"}},
    {S::VerbalRoot, T::AdvErek, S::AfterConverb, {"erek", "arak", "yerek", "yarak"}},
    {S::VerbalRoot, T::AdvInce, S::AfterConverb, {"ince", "ınca", "ünce", "unca", "yince", "yınca", "yünce", "yunca"}},
    {S::VerbalRoot, T::AdvIp, S::AfterConverb, {"ip", "ıp", "up", "üp", "yip", "yıp", "yup", "yüp"}},
};

}  // namespace

std::string_view tag(SuffixType type) noexcept {
  auto i = static_cast<size_t>(type);
  return i < kSuffixTypeCount ? kSuffixTags[i] : std::string_view();
}

std::string_view short_tag(PrimaryPos pos) noexcept {
  auto i = static_cast<size_t>(pos);
  return i < kPrimaryPosCount ? kPosTags[i] : std::string_view();
}

std::string_view name(MorphState state) noexcept {
  switch (state) {
    case S::NominalRoot: return "NominalRoot";
    case S::AfterPlural: return "AfterPlural";
    case S::AfterPossessive: return "AfterPossessive";
    case S::AfterCase: return "AfterCase";
    case S::AfterCopula: return "AfterCopula";
    case S::VerbalRoot: return "VerbalRoot";
    case S::AfterAbility: return "AfterAbility";
    case S::AfterNegation: return "AfterNegation";
    case S::AfterTense: return "AfterTense";
    case S::AfterPerson: return "AfterPerson";
    case S::DerivedNoun: return "DerivedNoun";
    case S::DerivedAdjective: return "DerivedAdjective";
    case S::AfterConverb: return "AfterConverb";
    case S::QuestionRoot: return "QuestionRoot";
    case S::AfterEvidentialCopula: return "AfterEvidentialCopula";
  }
  return {};
}

StartState start_state(PrimaryPos pos, std::string_view root) noexcept {
  switch (pos) {
    case PrimaryPos::Noun:
    case PrimaryPos::Adj:
    case PrimaryPos::Pron:
    case PrimaryPos::Num:
    case PrimaryPos::Dup:
      return {true, S::NominalRoot};
    case PrimaryPos::Verb:
      return {true, root == "değil" ? S::AfterCase : S::VerbalRoot};
    case PrimaryPos::Q:
      return {true, S::QuestionRoot};
    default:
      return {false, S::NominalRoot};
  }
}

bool suffix_allowed(SuffixType type, PrimaryPos pos, size_t depth) noexcept {
  switch (type) {
    case T::DevN:
    case T::DevGi:
    case T::DevGin:
    case T::DevGen:
      return depth == 0;
    case T::Ly:
      return pos == PrimaryPos::Adj;
    case T::Equ:
      return pos != PrimaryPos::Adj;
    default:
      return true;
  }
}

PrimaryPos pos_after(SuffixType type, PrimaryPos pos) noexcept {
  switch (type) {
    case T::RelClitic: case T::With: case T::Without: case T::PresPart: case T::PastPart:
    case T::FutPart: case T::Related: case T::DevGin: case T::DevGen:
      return PrimaryPos::Adj;
    case T::Dim: case T::Ness: case T::Agt: case T::Inf: case T::ActN: case T::Manner:
    case T::DevN: case T::DevGi:
      return PrimaryPos::Noun;
    case T::NounToVerb: case T::BecomeVerb: case T::CausVerb:
      return PrimaryPos::Verb;
    case T::AdvErek: case T::AdvInce: case T::AdvIp: case T::While: case T::SinceDoingSo:
    case T::WithoutHavingDoneSo: case T::Ly:
      return PrimaryPos::Adv;
    case T::A3pl: case T::P1sg: case T::P2sg: case T::P3sg: case T::P1pl: case T::P2pl:
    case T::P3pl: case T::Acc: case T::Dat: case T::Loc: case T::Abl: case T::Gen: case T::Ins:
      return pos == PrimaryPos::Adj ? PrimaryPos::Noun : pos;
    default:
      return pos;
  }
}

bool passive_form_allowed(std::string_view form, char32_t last_letter) noexcept {
  const bool vowel = is_vowel(last_letter);
  if (form == "n" || form == "nil" || form == "nıl") return vowel;
  if (form == "in" || form == "ın" || form == "un" || form == "ün") return last_letter == U'l';
  if (form == "il" || form == "ıl" || form == "ul" || form == "ül") return !vowel && last_letter != U'l';
  return true;
}

bool surface_allowed(SuffixType type, std::string_view form, char32_t last_letter) noexcept {
  return type != T::Pass || passive_form_allowed(form, last_letter);
}

TurkishMorphotactics::TurkishMorphotactics() {
  transitions_.reserve(std::size(kRows));
  for (const Row& row : kRows) {
    SuffixTransition t{row.from, row.suffix, row.to, {}};
    t.surfaces.reserve(row.forms.size());
    for (const char* f : row.forms) t.surfaces.emplace_back(f);
    leaving_[static_cast<size_t>(row.from)].push_back(static_cast<uint16_t>(transitions_.size()));
    transitions_.push_back(std::move(t));
  }
  SELVO_ASSERT(transitions_.size() == 111, "the suffix graph must have 111 transitions");
}

const TurkishMorphotactics& TurkishMorphotactics::shared() {
  static const TurkishMorphotactics graph;
  return graph;
}

}  // namespace selvo
