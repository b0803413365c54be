// Resources compiled into the library (see util/resource.h).
//
// SELVO_RESOURCE name, file embeds the file as the read-only byte array
// selvo_resource_<name>, followed by a NUL that is not part of it, and its
// length as the 64-bit value selvo_resource_<name>_size. Files are named
// relative to core/data, which CMakeLists.txt puts on the assembler's include
// path; it also rebuilds this object whenever a data file changes.

.macro SELVO_RESOURCE name, file
  .section .rodata.selvo_resource_\name, "a", @progbits
  .balign 16
  .globl selvo_resource_\name
  .hidden selvo_resource_\name
  .type selvo_resource_\name, @object
selvo_resource_\name:
  .incbin "\file"
.Lselvo_resource_\name\()_end:
  .byte 0
  .size selvo_resource_\name, . - selvo_resource_\name
  .balign 8
  .globl selvo_resource_\name\()_size
  .hidden selvo_resource_\name\()_size
  .type selvo_resource_\name\()_size, @object
selvo_resource_\name\()_size:
  .quad .Lselvo_resource_\name\()_end - selvo_resource_\name
  .size selvo_resource_\name\()_size, 8
.endm

SELVO_RESOURCE root_lexicon, lexicon/root_lexicon.txt
SELVO_RESOURCE syntactic_lexicon, lexicon/syntactic_lexicon.txt
SELVO_RESOURCE embedding_tokenizer, embeddings/tokenizer.json
SELVO_RESOURCE embedding_weights, embeddings/embeddings.npz

// No executable stack.
.section .note.GNU-stack, "", @progbits
