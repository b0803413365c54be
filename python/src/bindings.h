// Registration entry points of the binding files, one per subsystem.
#pragma once

#include "frame.h"

namespace selvo::py {

void register_phonology(Registry& r);
void register_normalization(Registry& r);
void register_tokenization(Registry& r);
void register_morphology(Registry& r);
void register_embeddings(Registry& r);
void register_chunking(Registry& r);
void register_pii(Registry& r);

inline void register_all(Registry& r) {
  register_phonology(r);
  register_normalization(r);
  register_tokenization(r);
  register_morphology(r);
  register_embeddings(r);
  register_chunking(r);
  register_pii(r);
}

}  // namespace selvo::py
