// Person names: the gazetteers of given names, surnames, polysemous names
// and title words, and the name detector that reads them.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "pii/types.h"

namespace selvo {

class TurkishPiiEngine;

// Inserts each word and, when it differs, its diacritic-free form.
void insert_with_ascii(std::unordered_set<std::string>& set, std::initializer_list<const char*> words);

// The process-wide gazetteers (lower case, with diacritic-free forms).
const std::unordered_set<std::string>& TITLE_TRIGGERS();
const std::unordered_set<std::string>& POLYSEMOUS_NAMES();
const std::unordered_set<std::string>& GIVEN_NAMES();
const std::unordered_set<std::string>& SURNAMES();

// Step 5 of the pipeline: "AD" entities at 0.95. A polysemous name with no
// title, surname or capitalised neighbour is confirmed only by the
// engine's embedding scorer; an engine without one reports nothing for it.
void detect_names_and_persons(const TurkishPiiEngine& engine, std::string_view text, std::vector<PiiEntity>& out);

}  // namespace selvo
