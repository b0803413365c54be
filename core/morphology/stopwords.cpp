#include "morphology/stopwords.h"

#include "phonology/alphabet.h"

namespace selvo {

namespace {

constexpr std::string_view kStopwords[] = {
    "ve", "veya", "ile", "ama", "ancak", "fakat", "lakin", "çünkü", "oysa", "oysaki", "halbuki",
    "madem", "mademki", "meğer", "nitekim", "zira", "bu", "şu", "o", "bunlar", "şunlar", "onlar",
    "buna", "şuna", "ona", "bunu", "şunu", "onu", "bunda", "şunda", "onda", "bundan", "şundan",
    "ondan", "ben", "sen", "biz", "siz", "bana", "sana", "bize", "size", "beni", "seni", "bizi",
    "sizi", "bende", "sende", "bizde", "sizde", "benden", "senden", "bizden", "sizden", "benim",
    "senin", "onun", "bizim", "sizin", "onların", "gibi", "kadar", "için", "göre", "doğru", "karşı",
    "rağmen", "karşın", "dolayı", "ötürü", "de", "da", "ki", "mi", "mı", "mu", "mü", "misin",
    "mısın", "musun", "müsün", "ya", "hem", "ne", "gerek", "ister", "ha", "daha", "en", "pek",
    "çok", "az", "fazla", "gayet", "oldukça", "biraz", "her", "bazı", "bütün", "tüm", "kimi",
    "birçok", "çoğu", "hiçbiri", "herkes", "kimse", "şey", "şeyler", "biri", "birisi", "başkası",
    "diğeri", "öteki", "hiç", "nasıl", "neden", "niçin", "niye", "kim", "kime", "kimde", "kimden",
    "nerede", "nereye", "nereden", "neresi", "neresini", "hangisi", "kaç", "kaçı", "var", "yok",
    "olan", "olarak", "eden", "ederek", "yapan", "yapılan", "edilmiş", "edilen", "olduğu",
    "olduğunu", "oldukları", "olmak", "etmek", "yapmak", "ise", "iken", "idi", "imiş", "yine",
    "tekrar", "artık", "zaten", "henüz", "şimdi",
};
static_assert(std::size(kStopwords) == 156);

}  // namespace

const StopwordSet& DEFAULT_STOPWORDS() {
  static const StopwordSet set = [] {
    StopwordSet s;
    for (std::string_view w : kStopwords) s.emplace(w);
    return s;
  }();
  return set;
}

TurkishStopwords::TurkishStopwords() : words_(DEFAULT_STOPWORDS()) {}

bool TurkishStopwords::is_stopword(std::string_view word) const {
  return words_.contains(to_turkish_lower(word));
}

std::vector<std::string> TurkishStopwords::filter_tokens(const std::vector<std::string>& tokens) const {
  std::vector<std::string> kept;
  kept.reserve(tokens.size());
  for (const std::string& t : tokens) {
    if (!is_stopword(t)) kept.push_back(t);
  }
  return kept;
}

const TurkishStopwords& TurkishStopwords::shared() {
  static const TurkishStopwords stopwords;
  return stopwords;
}

}  // namespace selvo
