#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "normalization/number_words.h"

namespace selvo {
namespace {

using NC = TurkishNumberConverter;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

struct SpellCase {
  int64_t n;
  const char* expected;
};

TEST(NumberToWords, Cardinals) {
  const SpellCase cases[] = {
      {0, "sıfır"},
      {7, "yedi"},
      {10, "on"},
      {19, "on dokuz"},
      {100, "yüz"},
      {101, "yüz bir"},
      {110, "yüz on"},
      {200, "iki yüz"},
      {999, "dokuz yüz doksan dokuz"},
      {1000, "bin"},
      {1001, "bin bir"},
      {2000, "iki bin"},
      {2024, "iki bin yirmi dört"},
      {11000, "on bir bin"},
      {100000, "yüz bin"},
      {101000, "yüz bir bin"},
      {1000000, "bir milyon"},
      {1001000, "bir milyon bin"},
      {1000000001, "bir milyar bir"},
      {-15, "eksi on beş"},
      {-1000, "eksi bin"},
      {kMax,
       "dokuz kentilyon iki yüz yirmi üç katrilyon üç yüz yetmiş iki trilyon otuz altı milyar "
       "sekiz yüz elli dört milyon yedi yüz yetmiş beş bin sekiz yüz yedi"},
      {kMin,
       "eksi dokuz kentilyon iki yüz yirmi üç katrilyon üç yüz yetmiş iki trilyon otuz altı "
       "milyar sekiz yüz elli dört milyon yedi yüz yetmiş beş bin sekiz yüz sekiz"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NC::number_to_words(c.n), c.expected) << c.n;
  }
}

TEST(OrdinalToWords, SuffixFollowsLastWord) {
  const SpellCase cases[] = {
      {1, "birinci"},
      {2, "ikinci"},
      {3, "üçüncü"},
      {4, "dördüncü"},
      {5, "beşinci"},
      {6, "altıncı"},
      {7, "yedinci"},
      {8, "sekizinci"},
      {9, "dokuzuncu"},
      {10, "onuncu"},
      {20, "yirminci"},
      {24, "yirmi dördüncü"},
      {30, "otuzuncu"},
      {40, "kırkıncı"},
      {50, "ellinci"},
      {60, "altmışıncı"},
      {70, "yetmişinci"},
      {80, "sekseninci"},
      {90, "doksanıncı"},
      {100, "yüzüncü"},
      {1000, "bininci"},
      {1000000, "bir milyonuncu"},
      {1000000000, "bir milyarıncı"},
      {1000000000000, "bir trilyonuncu"},
      {1000000000000000, "bir katrilyoninci"},
      {0, "sıfırıncı"},
      {-3, "eksi üçüncü"},
      {-4004, "eksi dört bin dördüncü"},
      {kMin,
       "eksi dokuz kentilyon iki yüz yirmi üç katrilyon üç yüz yetmiş iki trilyon otuz altı "
       "milyar sekiz yüz elli dört milyon yedi yüz yetmiş beş bin sekiz yüz sekizinci"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NC::ordinal_to_words(c.n), c.expected) << c.n;
  }
}

struct CurrencyCase {
  double amount;
  const char* currency;
  const char* expected;
};

TEST(CurrencyToWords, UnitsAndSubunits) {
  EXPECT_EQ(NC::currency_to_words(12.5), "on iki lira elli kuruş");
  const CurrencyCase cases[] = {
      {12.5, "TL", "on iki lira elli kuruş"},
      {3, "usd", "üç dolar"},
      {3, "UsD", "üç dolar"},
      {3, "$", "üç dolar"},
      {1.99, "€", "bir avro doksan dokuz sent"},
      {1.99, "eur", "bir avro doksan dokuz sent"},
      {2.05, "gbp", "iki sterlin beş peni"},
      {2.05, "£", "iki sterlin beş peni"},
      {5, "XYZ", "beş lira"},
      {5, "try", "beş lira"},
      {5, "", "beş lira"},
      {5, " usd", "beş lira"},  // codes are not trimmed
      {0, "TL", "sıfır lira"},
      {0.01, "TL", "sıfır lira bir kuruş"},
      {0.004, "TL", "sıfır lira"},
      {0.005, "TL", "sıfır lira bir kuruş"},  // half away from zero
      {1000.25, "TL", "bin lira yirmi beş kuruş"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NC::currency_to_words(c.amount, c.currency), c.expected)
        << c.amount << " " << c.currency;
  }
}

TEST(CurrencyToWords, RoundedSubunitsCarryIntoWholePart) {
  const CurrencyCase cases[] = {
      {0.999, "TL", "bir lira"},
      {1.996, "USD", "iki dolar"},
      {-0.999, "TL", "eksi bir lira"},
      {0.994, "TL", "sıfır lira doksan dokuz kuruş"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NC::currency_to_words(c.amount, c.currency), c.expected) << c.amount;
  }
}

TEST(CurrencyToWords, NegativeAmountsKeepSignAndSubunits) {
  const CurrencyCase cases[] = {
      {-2.5, "TL", "eksi iki lira elli kuruş"},
      {-0.5, "TL", "eksi sıfır lira elli kuruş"},
      {-3, "USD", "eksi üç dolar"},
      {-0.0, "TL", "sıfır lira"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NC::currency_to_words(c.amount, c.currency), c.expected) << c.amount;
  }
}

TEST(CurrencyToWords, NonFiniteAndOutOfRangeSaturate) {
  const std::string max_words = NC::number_to_words(kMax);
  const std::string min_words = NC::number_to_words(kMin);
  const CurrencyCase cases[] = {
      {std::nan(""), "TL", "sıfır lira"},
      {-std::nan(""), "TL", "sıfır lira"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NC::currency_to_words(c.amount, c.currency), c.expected);
  }
  EXPECT_EQ(NC::currency_to_words(std::numeric_limits<double>::infinity(), "TL"), max_words + " lira");
  EXPECT_EQ(NC::currency_to_words(1e300, "TL"), max_words + " lira");
  // 2^63 is just out of range: it saturates, with no subunits from the excess.
  EXPECT_EQ(NC::currency_to_words(9223372036854775808.0, "TL"), max_words + " lira");
  EXPECT_EQ(NC::currency_to_words(-std::numeric_limits<double>::infinity(), "TL"), min_words + " lira");
  EXPECT_EQ(NC::currency_to_words(-9223372036854775808.0, "TL"), min_words + " lira");
  EXPECT_EQ(NC::currency_to_words(-1e300, "TL"), min_words + " lira");
}

struct ReadCase {
  const char* text;
  int64_t expected;
};

TEST(WordsToNumber, ReadsPhrases) {
  const ReadCase cases[] = {
      {"iki yüz bin", 200000},
      {"Bin Dokuz Yüz Seksen Dört", 1984},
      {"bin milyon", 1001000},  // each scale word closes its own group
      {"sıfır", 0},
      {"yüz", 100},
      {"bir yüz", 100},
      {"bin", 1000},
      {"bir bin", 1000},
      {"iki bin yirmi dört", 2024},
      {"  on\tiki\n", 12},
      {"on\u00A0iki\u3000bin", 12000},  // Unicode whitespace separates words
      {"İKİ YÜZ", 200},                 // Turkish lowercase: İ is i
      {"KIRK", 40},                     // and I is ı
      {"dokuz yüz doksan dokuz trilyon", 999000000000000},
      // A group may grow past 999 ("yüz" multiplies it): the largest value.
      {"dokuz yüz yirmi iki yüz otuz üç yüz yetmiş iki trilyon otuz altı milyar "
       "sekiz yüz elli dört milyon yedi yüz yetmiş beş bin sekiz yüz yedi",
       kMax},
  };
  for (const auto& c : cases) {
    Result<int64_t> r = NC::words_to_number(c.text);
    ASSERT_TRUE(r.ok()) << c.text << ": " << r.error().message;
    EXPECT_EQ(r.value(), c.expected) << c.text;
  }
}

TEST(WordsToNumber, RoundTripsSpelledNumbers) {
  const int64_t values[] = {0, 1, 15, 100, 999, 1000, 1001, 2024, 200000, 1234567, 987654321012};
  for (int64_t v : values) {
    Result<int64_t> r = NC::words_to_number(NC::number_to_words(v));
    ASSERT_TRUE(r.ok()) << v << ": " << r.error().message;
    EXPECT_EQ(r.value(), v);
  }
}

struct ErrorCase {
  const char* text;
  const char* message;
};

TEST(WordsToNumber, ReportsDomainErrors) {
  const ErrorCase cases[] = {
      {"", "Empty input"},
      {" \t\n\u00A0\u2003", "Empty input"},
      {"iki elma", "Unrecognized number word: elma"},
      {"iki ELMA", "Unrecognized number word: ELMA"},  // the word as written
      {"eksi beş", "Unrecognized number word: eksi"},
      {"bir katrilyon", "Unrecognized number word: katrilyon"},
      {"on-iki", "Unrecognized number word: on-iki"},
      {"iki\u200Bbin", "Unrecognized number word: iki\u200Bbin"},  // ZWSP is not whitespace
      {"iki \xFF", "Unrecognized number word: \xFF"},
      // The first unrecognized word stops the reading.
      {"elma armut", "Unrecognized number word: elma"},
      // Values beyond the signed 64-bit range.
      {"yüz yüz yüz yüz trilyon", "Number out of range: yüz yüz yüz yüz trilyon"},
      {"yüz yüz yüz yüz yüz yüz yüz yüz yüz yüz", "Number out of range: yüz yüz yüz yüz yüz yüz yüz yüz yüz yüz"},
      // One more than the largest value overflows only in the final sum.
      {"dokuz yüz yirmi iki yüz otuz üç yüz yetmiş iki trilyon otuz altı milyar "
       "sekiz yüz elli dört milyon yedi yüz yetmiş beş bin sekiz yüz sekiz",
       "Number out of range: dokuz yüz yirmi iki yüz otuz üç yüz yetmiş iki trilyon "
       "otuz altı milyar sekiz yüz elli dört milyon yedi yüz yetmiş beş bin sekiz yüz sekiz"},
  };
  for (const auto& c : cases) {
    Result<int64_t> r = NC::words_to_number(c.text);
    ASSERT_FALSE(r.ok()) << c.text << " gave " << r.value();
    EXPECT_EQ(r.error().kind, ErrorKind::Domain) << c.text;
    EXPECT_EQ(r.error().message, c.message) << c.text;
  }
}

}  // namespace
}  // namespace selvo
