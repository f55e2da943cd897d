// Checks on an X file before the importer sees it, for damage the importer does not survive.
// Stand-in internal.
#pragma once

#include <cstddef>
#include <cstdint>

// What the importer would make of a file, found by reading it the way the importer does.
enum class XFileVerdict {
    Reads,    // it reads the file and builds a scene from it
    Fails,    // it stops with an error of its own
    Refused,  // it would crash, or ask for memory the file cannot fill: not handed to it
};

struct XFileCheck {
    XFileVerdict verdict;
    const char* why;  // for Refused: the damage found; else null
};

// Reads text and binary files, compressed ones once inflated as the importer inflates them, as
// the importer's parser does (its tokens, its number lists, the blocks it knows), then applies
// the conversions it makes to each mesh. Refused:
// - a number or string whose count runs past the end of the file: the importer sizes its
//   arrays from the count before finding the data missing;
// - a read the importer would make past the end of its buffer;
// - a mesh whose faces use material 0 while its material list holds no material, or whose
//   material list names more faces than it has;
// - a face naming the vertex one past the last, a normal index past the last normal, a
//   skin weight on a vertex past the last;
// - frames nested deeper than kMaxXFileFrameDepth (the importer recurses per level);
// - a compressed file whose blocks would inflate past kMaxInflatedXFile.
XFileCheck CheckXFile(const uint8_t* bytes, size_t size);

constexpr int kMaxXFileFrameDepth = 1000;

// Null when the file may be handed to the importer, else why it is refused.
const char* CheckXFileStructure(const uint8_t* bytes, size_t size);
