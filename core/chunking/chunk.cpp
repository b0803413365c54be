#include "chunking/chunk.h"

#include "util/utf8.h"

namespace selvo {

std::string Chunk::repr() const {
  std::string shown;
  if (utf8::count(text) > 40) {
    size_t i = 0;
    for (int k = 0; k < 37; ++k) utf8::next(text, i);
    shown = text.substr(0, i) + "...";
  } else {
    shown = text;
  }
  return "<Chunk tokens=" + std::to_string(token_count) + " (" + std::to_string(start_index) + ":" +
         std::to_string(end_index) + ") text='" + shown + "'>";
}

}  // namespace selvo
