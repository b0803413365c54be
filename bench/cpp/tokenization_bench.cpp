// Throughput of the word tokenizer and the sentence segmenter, and their
// agreement with the gold sentences and tokens of the UD Turkish treebanks.
//
//   tokenization_bench [treebank folder]   (default /work/shared/data/ud-turkish)
//
// (a) MB/s of TurkishTokenizer::tokenize and SentenceSegmenter::segment over
//     the "# text =" lines of every *-dev.conllu file, joined by line feeds
//     and repeated to several MB.
// (b) For every dev file except IMST and imst2: sentence-boundary precision
//     and recall of segment() over the file's sentences joined by a space,
//     and the share of gold surface tokens (multi-word tokens as their
//     surface form) that tokenize() reproduces with exactly the same span;
//     then the kinds of disagreement, with counts and examples.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tokenization/sentence_segmenter.h"
#include "tokenization/tokenizer.h"
#include "util/utf8.h"

namespace fs = std::filesystem;
using namespace selvo;

namespace {

struct GoldSentence {
  std::string text;
  std::vector<std::string> forms;  // surface tokens in order
};

std::vector<GoldSentence> read_conllu(const fs::path& path) {
  std::ifstream in(path);
  std::vector<GoldSentence> out;
  GoldSentence cur;
  bool open = false;
  long skip_until = 0;
  std::string line;
  auto close = [&] {
    if (open && !cur.text.empty()) out.push_back(std::move(cur));
    cur = GoldSentence{};
    open = false;
    skip_until = 0;
  };
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      close();
      continue;
    }
    if (line.rfind("# text = ", 0) == 0) {
      cur.text = std::string(utf8::trim_space(std::string_view(line).substr(9)));
      open = true;
      continue;
    }
    if (line[0] == '#') continue;
    const size_t tab1 = line.find('\t');
    if (tab1 == std::string::npos) continue;
    const size_t tab2 = line.find('\t', tab1 + 1);
    const std::string id = line.substr(0, tab1);
    const std::string form = line.substr(tab1 + 1, tab2 == std::string::npos ? std::string::npos : tab2 - tab1 - 1);
    if (id.find('.') != std::string::npos) continue;  // empty node
    const size_t dash = id.find('-');
    if (dash != std::string::npos) {
      skip_until = std::stol(id.substr(dash + 1));
      cur.forms.push_back(form);
      continue;
    }
    if (std::stol(id) <= skip_until) continue;  // part of a multi-word token
    cur.forms.push_back(form);
  }
  close();
  return out;
}

// A UTF-8-safe excerpt of `text` around byte `at`, with "‸" marking `at`.
std::string context(std::string_view text, size_t at, size_t before = 40, size_t after = 30) {
  size_t b = at > before ? at - before : 0;
  size_t e = std::min(text.size(), at + after);
  while (b > 0 && (static_cast<unsigned char>(text[b]) & 0xC0) == 0x80) --b;
  while (e < text.size() && (static_cast<unsigned char>(text[e]) & 0xC0) == 0x80) ++e;
  std::string s = std::string(text.substr(b, at - b)) + "‸" + std::string(text.substr(at, e - at));
  for (char& c : s) {
    if (c == '\n' || c == '\t') c = ' ';
  }
  return "…" + s + "…";
}

// Counts and the first few examples of each kind of disagreement.
class Tally {
 public:
  void add(const std::string& kind, const std::string& example) {
    auto& k = kinds_[kind];
    ++k.count;
    if (k.examples.size() < 4) k.examples.push_back(example);
  }
  void add_form(const std::string& kind, const std::string& form) { ++forms_[kind][form]; }
  size_t total() const {
    size_t n = 0;
    for (const auto& [_, k] : kinds_) n += k.count;
    return n;
  }
  void print(const char* title) const {
    std::printf("\n%s: %zu\n", title, total());
    std::vector<std::pair<std::string, const Kind*>> sorted;
    for (const auto& [name, k] : kinds_) sorted.emplace_back(name, &k);
    std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.second->count > b.second->count; });
    for (const auto& [name, k] : sorted) {
      std::printf("  %-58s %6zu\n", name.c_str(), k->count);
      auto f = forms_.find(name);
      if (f != forms_.end()) {
        std::vector<std::pair<size_t, std::string>> top;
        for (const auto& [form, n] : f->second) top.emplace_back(n, form);
        std::sort(top.rbegin(), top.rend());
        std::printf("      most frequent:");
        for (size_t i = 0; i < top.size() && i < 12; ++i) std::printf(" ‹%s›×%zu", top[i].second.c_str(), top[i].first);
        std::printf("\n");
      }
      for (const auto& ex : k->examples) std::printf("      %s\n", ex.c_str());
    }
  }

 private:
  struct Kind {
    size_t count = 0;
    std::vector<std::string> examples;
  };
  std::map<std::string, Kind> kinds_;
  std::map<std::string, std::map<std::string, size_t>> forms_;
};

bool ends_with_final_mark(std::string_view s) {
  // Strip closing marks (and any spaces between them), then look for . ! ? …
  static const std::string_view closers[] = {"\u201D", "\u2019", "\u00BB", "\"", "'", ")", "]"};
  bool stripped = true;
  while (stripped && !s.empty()) {
    stripped = false;
    const std::string_view t = utf8::trim_space(s);
    if (t.size() != s.size()) {
      s = t;
      stripped = true;
    }
    for (std::string_view c : closers) {
      if (s.size() >= c.size() && s.substr(s.size() - c.size()) == c) {
        s.remove_suffix(c.size());
        stripped = true;
      }
    }
  }
  if (s.empty()) return false;
  const char b = s.back();
  return b == '.' || b == '!' || b == '?' || (s.size() >= 3 && s.substr(s.size() - 3) == "\u2026");
}

std::string show_tokens(const std::vector<Token>& tokens, size_t from, size_t to) {
  std::string s;
  for (size_t i = from; i < to; ++i) {
    if (!s.empty()) s += " · ";
    s += std::string(tokens[i].text) + "/" + std::string(token_kind_name(tokens[i].kind));
  }
  return s;
}

// The token index whose span ends at or before `pos`, last such.
size_t last_token_ending_by(const std::vector<Token>& tokens, size_t pos) {
  auto it = std::upper_bound(tokens.begin(), tokens.end(), pos, [](size_t p, const Token& t) { return p < t.end; });
  return static_cast<size_t>(it - tokens.begin()) - 1;  // may wrap when none; callers check
}

struct FileResult {
  std::string name;
  size_t gold_sentences = 0, predicted_sentences = 0;
  size_t gold_boundaries = 0, predicted_boundaries = 0, matched_boundaries = 0;
  size_t gold_tokens = 0, reproduced_tokens = 0;
};

void classify_missed(std::string_view text, const std::vector<Token>& tokens, const std::set<size_t>& predicted,
                     size_t b, std::string_view gold_sentence, Tally& tally) {
  const std::string ex = context(text, b);
  // A predicted boundary a few bytes later, past only whitespace and quotes.
  auto later = predicted.upper_bound(b);
  if (later != predicted.end() && *later - b <= 4) {
    tally.add("split moved past the next sentence's opening quote", ex);
    return;
  }
  if (!ends_with_final_mark(gold_sentence)) {
    tally.add("gold sentence has no final punctuation", ex);
    return;
  }
  size_t i = last_token_ending_by(tokens, b);
  if (i >= tokens.size() || tokens[i].end != b) {
    tally.add("final mark inside a longer token", ex);
    return;
  }
  // Skip closing marks back to the terminator.
  size_t t = i;
  while (t > 0 && (tokens[t].text == "\u201D" || tokens[t].text == "\u2019" || tokens[t].text == "\u00BB" ||
                   tokens[t].text == "\"" || tokens[t].text == "'" || tokens[t].text == ")" || tokens[t].text == "]"))
    --t;
  const Token& term = tokens[t];
  if (term.kind == TokenKind::Abbreviation) {
    tally.add("final period kept inside an abbreviation", ex);
  } else if (term.kind != TokenKind::Punctuation) {
    tally.add(std::string("final period inside a ") + std::string(token_kind_name(term.kind)) + " token", ex);
  } else if (term.text == "." && t > 0 && tokens[t - 1].kind == TokenKind::Abbreviation) {
    tally.add("period after an abbreviation", ex);
  } else if (term.text == "." && t > 0 && tokens[t - 1].kind == TokenKind::Number) {
    tally.add("number + period + lowercase word (ordinal rule)", ex);
  } else {
    tally.add("other", ex + "  [" + show_tokens(tokens, t > 1 ? t - 2 : 0, std::min(tokens.size(), t + 2)) + "]");
  }
}

void classify_spurious(std::string_view text, const std::vector<Token>& tokens, const std::set<size_t>& gold, size_t p,
                       Tally& tally) {
  const std::string ex = context(text, p);
  auto near = gold.lower_bound(p >= 4 ? p - 4 : 0);
  if (near != gold.end() && *near < p) {
    tally.add("split moved past the next sentence's opening quote", ex);
    return;
  }
  size_t i = last_token_ending_by(tokens, p);
  if (i >= tokens.size()) {
    tally.add("other", ex);
    return;
  }
  size_t t = i;
  while (t > 0 && (tokens[t].text == "\u201D" || tokens[t].text == "\u2019" || tokens[t].text == "\u00BB" ||
                   tokens[t].text == "\"" || tokens[t].text == "'" || tokens[t].text == ")" || tokens[t].text == "]"))
    --t;
  while (t > 0 && (tokens[t - 1].text == "." || tokens[t - 1].text == "!" || tokens[t - 1].text == "?" ||
                   tokens[t - 1].text == "\u2026"))
    --t;  // the first terminator of the run
  const Token& term = tokens[t];
  const Token* prev = t > 0 ? &tokens[t - 1] : nullptr;
  if (term.text == "?" || term.text == "!") {
    tally.add("? or ! inside a gold sentence", ex);
  } else if (term.text == "\u2026" || (t + 1 < tokens.size() && tokens[t + 1].text == "." && term.text == ".")) {
    tally.add("ellipsis inside a gold sentence", ex);
  } else if (prev && prev->kind == TokenKind::Number) {
    tally.add("period after a number, next word capitalised or not a word", ex);
  } else if (prev && (prev->kind == TokenKind::Word) && utf8::count(prev->text) <= 3) {
    tally.add("period after a short word (initials, T.C., unlisted abbreviation)", ex);
    tally.add_form("period after a short word (initials, T.C., unlisted abbreviation)", std::string(prev->text) + ".");
  } else if (term.text == ".") {
    tally.add("period inside a gold sentence, other", ex);
  } else {
    tally.add("other", ex);
  }
}

FileResult evaluate(const fs::path& path, Tally& missed, Tally& spurious, Tally& token_kinds) {
  const std::vector<GoldSentence> gold = read_conllu(path);
  FileResult r;
  r.name = path.stem().string();
  r.gold_sentences = gold.size();

  // (1) Sentence boundaries over the running text.
  std::string text;
  std::set<size_t> gold_ends;  // internal boundaries: end of every gold sentence but the last
  std::vector<size_t> offsets;
  for (size_t i = 0; i < gold.size(); ++i) {
    if (i > 0) text += ' ';
    offsets.push_back(text.size());
    text += gold[i].text;
    if (i + 1 < gold.size()) gold_ends.insert(text.size());
  }
  const std::vector<Sentence> sentences = SentenceSegmenter::segment(text);
  const std::vector<Token> tokens = TurkishTokenizer::tokenize(text);
  r.predicted_sentences = sentences.size();
  std::set<size_t> predicted_ends;
  for (size_t i = 0; i + 1 < sentences.size(); ++i) {
    predicted_ends.insert(static_cast<size_t>(sentences[i].text.data() - text.data()) + sentences[i].text.size());
  }
  r.gold_boundaries = gold_ends.size();
  r.predicted_boundaries = predicted_ends.size();
  for (size_t b : gold_ends) {
    if (predicted_ends.count(b)) {
      ++r.matched_boundaries;
    } else {
      size_t k = static_cast<size_t>(std::upper_bound(offsets.begin(), offsets.end(), b) - offsets.begin()) - 1;
      classify_missed(text, tokens, predicted_ends, b, gold[k].text, missed);
    }
  }
  for (size_t p : predicted_ends) {
    if (!gold_ends.count(p)) classify_spurious(text, tokens, gold_ends, p, spurious);
  }

  // (2) Surface tokens, sentence by sentence.
  for (const GoldSentence& g : gold) {
    const std::vector<Token> toks = TurkishTokenizer::tokenize(g.text);
    size_t pos = 0;
    for (const std::string& form : g.forms) {
      ++r.gold_tokens;
      const size_t at = g.text.find(form, pos);
      if (form.empty() || at == std::string::npos) {
        token_kinds.add("gold form not found in the sentence text", "‹" + form + "› in ‹" + g.text.substr(0, 80) + "›");
        token_kinds.add_form("gold form not found in the sentence text", form);
        continue;
      }
      const size_t end = at + form.size();
      pos = end;
      auto first = std::lower_bound(toks.begin(), toks.end(), at, [](const Token& t, size_t p) { return t.end <= p; });
      auto last = first;
      while (last != toks.end() && last->start < end) ++last;
      if (first != toks.end() && first->start == at && first->end == end) {
        ++r.reproduced_tokens;
        continue;
      }
      const size_t fi = static_cast<size_t>(first - toks.begin()), li = static_cast<size_t>(last - toks.begin());
      const std::string shown = "‹" + form + "› → " + show_tokens(toks, fi, li);
      std::string kind;
      if (form.find(' ') != std::string::npos) {
        kind = "gold token contains a space";
      } else if (li - fi >= 2 && first->start >= at && (last - 1)->end <= end) {
        kind = "gold token split into several";
      } else if (li - fi == 1 && first->start <= at && first->end >= end) {
        kind = "gold token is part of a longer token";
      } else {
        kind = "token boundaries cross";
      }
      token_kinds.add(kind, shown);
      if (kind == "gold token is part of a longer token") {
        token_kinds.add_form(kind, std::string(first->text));
      } else {
        token_kinds.add_form(kind, form);
      }
    }
  }
  return r;
}

template <class F>
double best_seconds(int rounds, F&& f) {
  double best = 1e300;
  for (int i = 0; i < rounds; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    best = std::min(best, s);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::path("/work/shared/data/ud-turkish");
  std::vector<fs::path> dev;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string n = e.path().filename().string();
    if (n.ends_with("-dev.conllu")) dev.push_back(e.path());
  }
  std::sort(dev.begin(), dev.end());
  if (dev.empty()) {
    std::fprintf(stderr, "no *-dev.conllu files in %s\n", dir.c_str());
    return 1;
  }

  // (a) Throughput.
  std::string base;
  for (const auto& p : dev) {
    for (const auto& s : read_conllu(p)) {
      base += s.text;
      base += '\n';
    }
  }
  std::string big;
  size_t copies = 0;
  while (big.size() < 16u * 1000 * 1000) {
    big += base;
    ++copies;
  }
  const double mb = static_cast<double>(big.size()) / 1e6;
  size_t ntok = 0, nsent = 0;
  (void)TurkishTokenizer::tokenize(base);  // build the tables
  const double t_tok = best_seconds(5, [&] { ntok = TurkishTokenizer::tokenize(big).size(); });
  const double t_seg = best_seconds(5, [&] { nsent = SentenceSegmenter::segment(big).size(); });
  std::printf("throughput: %.1f MB of treebank text (%zu dev files, %.2f MB of \"# text\" lines joined by line feeds, x%zu)\n",
              mb, dev.size(), static_cast<double>(base.size()) / 1e6, copies);
  std::printf("  tokenize  %7.1f MB/s  %6.2f M tokens/s     (%zu tokens, best of 5)\n", mb / t_tok, ntok / t_tok / 1e6, ntok);
  std::printf("  segment   %7.1f MB/s  %6.2f M sentences/s  (%zu sentences, best of 5)\n", mb / t_seg,
              nsent / t_seg / 1e6, nsent);

  // (b) Agreement.
  Tally missed, spurious, token_kinds;
  std::vector<FileResult> results;
  for (const auto& p : dev) {
    const std::string n = p.filename().string();
    if (n.find("imst") != std::string::npos) continue;
    results.push_back(evaluate(p, missed, spurious, token_kinds));
  }
  std::printf("\nagreement with the gold treebanks (dev files; IMST and imst2 left out)\n");
  std::printf("  %-18s %8s %8s %9s %9s %9s %8s %8s\n", "file", "gold sn", "ours", "bnd prec", "bnd rec", "tokens",
              "exact", "share");
  FileResult total;
  total.name = "all";
  auto row = [](const FileResult& r) {
    const double p = r.predicted_boundaries ? 100.0 * r.matched_boundaries / r.predicted_boundaries : 0.0;
    const double rc = r.gold_boundaries ? 100.0 * r.matched_boundaries / r.gold_boundaries : 0.0;
    const double share = r.gold_tokens ? 100.0 * r.reproduced_tokens / r.gold_tokens : 0.0;
    std::printf("  %-18s %8zu %8zu %8.1f%% %8.1f%% %9zu %8zu %7.1f%%\n", r.name.c_str(), r.gold_sentences,
                r.predicted_sentences, p, rc, r.gold_tokens, r.reproduced_tokens, share);
  };
  for (const auto& r : results) {
    row(r);
    total.gold_sentences += r.gold_sentences;
    total.predicted_sentences += r.predicted_sentences;
    total.gold_boundaries += r.gold_boundaries;
    total.predicted_boundaries += r.predicted_boundaries;
    total.matched_boundaries += r.matched_boundaries;
    total.gold_tokens += r.gold_tokens;
    total.reproduced_tokens += r.reproduced_tokens;
  }
  row(total);
  std::printf("  (boundaries: %zu gold, %zu ours, %zu shared; a boundary is the end of a sentence's trimmed text)\n",
              total.gold_boundaries, total.predicted_boundaries, total.matched_boundaries);

  missed.print("gold boundaries not split (recall losses)");
  spurious.print("splits inside a gold sentence (precision losses)");
  token_kinds.print("gold tokens not reproduced");
  return 0;
}
