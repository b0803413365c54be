// Sizes and scale of the packed embedding forms.
#include "bindings.h"

namespace selvo::py {

void register_embedding_constants(Registry& r) {
  r.constant("EMBEDDING_SCALE_2BIT", check(PyFloat_FromDouble(0.0625)));
  r.constant("HYBRID_VECTOR_BYTES", check(PyLong_FromLong(128)));
  r.constant("PACKED_2BIT_BYTES", check(PyLong_FromLong(64)));
  r.constant("PACKED_1BIT_BYTES", check(PyLong_FromLong(32)));
}

}  // namespace selvo::py
