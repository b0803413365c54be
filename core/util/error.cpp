#include "util/error.h"

#include <cstring>

namespace selvo {

void internal_fault(const char* file, int line, const std::string& what) {
  const char* base = std::strrchr(file, '/');
  throw InternalFault(what + " (" + (base ? base + 1 : file) + ":" + std::to_string(line) + ")");
}

}  // namespace selvo
