// Checks on an X file before the importer sees it, for damage the importer does not survive.
// Stand-in internal.
#pragma once

#include <cstddef>
#include <cstdint>

// Null when the file may be handed to the importer, else why it is refused. Reads text and
// binary files; compressed ones pass unchecked (their tokens are known only once inflated).
// Refused: a mesh's material list that holds no material, neither inline nor by reference.
// The importer then indexes its empty material array with the faces' material numbers.
const char* CheckXFileStructure(const uint8_t* bytes, size_t size);
