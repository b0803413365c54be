// TurkishPiiEngine: the settings of personal-data detection and the
// detection pipeline that turns a text into a sorted, non-overlapping list
// of entities. Masking and restoring with a vault are in pii/vault.h.
//
// The pipeline, in order (each step appends to one working list):
//   1. checksum identifiers                     detect_checksum_entities
//   2. pattern rules                            detect_pattern_entities
//   3. spelled-out numbers                      detect_spelled_numbers
//   4. secrets, unless SIFRE is disabled        detect_secrets
//   5. person names, unless AD and KISI are both disabled
//                                               detect_names_and_persons
//   6. postal addresses, unless ADRES is disabled
//   7. blood groups, health and religion terms, unless KAN_GRUBU, SAGLIK and
//      CINSIYET are all disabled
//   8. health words confirmed by the embedding scorer, when the engine has
//      one (inside detect_sensitive_categories)
//   9. entities of disabled categories are dropped
//  10. overlaps are resolved
// Steps 1 to 7 are the entries of `kDetectorSteps` in engine.cpp.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pii/patterns.h"
#include "pii/types.h"

namespace selvo {

class PiiVault;
class PiiEmbeddingScorer;
class TurkishEmbeddings;
struct MaskResult;
enum class MaskMode : uint8_t;

class TurkishPiiEngine {
 public:
  TurkishPiiEngine() = default;

  void disable_type(PiiType t) noexcept { disabled_.insert(t); }
  void enable_type(PiiType t) noexcept { disabled_.erase(t); }
  void set_type_enabled(PiiType t, bool enabled) noexcept { enabled ? enable_type(t) : disable_type(t); }
  bool is_type_enabled(PiiType t) const noexcept { return !disabled_.contains(t); }
  const PiiTypeSet& disabled_types() const noexcept { return disabled_; }

  bool preserve_corporate_emails() const noexcept { return preserve_corporate_emails_; }
  void set_preserve_corporate_emails(bool v) noexcept { preserve_corporate_emails_ = v; }

  // An engine whose embedding scorer confirms doubtful names, private dates
  // and health words by their context. The scorer shares `embeddings`.
  static TurkishPiiEngine with_embeddings(std::shared_ptr<const TurkishEmbeddings> embeddings);

  bool has_embedding_scorer() const noexcept { return scorer_ != nullptr; }
  const PiiEmbeddingScorer* embedding_scorer() const noexcept { return scorer_.get(); }

  // Entities sorted by start, non-overlapping, none of a disabled category.
  std::vector<PiiEntity> detect(std::string_view text) const;

  // Masking and restoring (pii/vault.cpp). mask_with_vault keeps every
  // registration in `vault`; mask uses a new, empty vault.
  MaskResult mask(std::string_view text, MaskMode mode) const;
  MaskResult mask_with_vault(std::string_view text, MaskMode mode, PiiVault& vault) const;
  std::string restore_response(std::string_view text, const PiiVault& vault) const;

  // Steps 7 and 8 of the pipeline.
  void detect_sensitive_categories(std::string_view text, std::vector<PiiEntity>& out) const;

 private:
  PiiTypeSet disabled_;
  bool preserve_corporate_emails_ = true;
  std::shared_ptr<const PiiEmbeddingScorer> scorer_;
};

// Step 6: postal addresses.
void detect_addresses(std::string_view text, std::vector<PiiEntity>& out);

// Step 10: sorts by start (longer first at equal starts, step order kept
// otherwise) and keeps, of overlapping entities, the first unless a later
// one is strictly more confident than the last one kept: the same span
// replaces it; one reaching beyond it is kept after it, the kept entity cut
// back to the part before it (`text` is the input the offsets point into);
// one inside it is dropped. Nothing the overlapping entities covered is
// left unmasked.
std::vector<PiiEntity> resolve_conflicts(std::vector<PiiEntity> entities, std::string_view text);

// The process-wide term sets of step 7 (each word also in its
// diacritic-free form).
const std::vector<std::string>& BLOOD_TYPES();
const std::vector<std::string>& HEALTH_TERMS();
const std::vector<std::string>& RELIGION_TERMS();

}  // namespace selvo
