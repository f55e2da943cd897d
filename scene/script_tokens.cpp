// The token reader of the scene scripts, on the C library's formatted reading. The width of
// the word conversion keeps a long word inside the buffer; the rest of it is skipped.
#include "scene/script_tokens.h"

#include <cctype>

void SkipByteOrderMark(FILE* file) {
    unsigned char mark[3];
    if (std::fread(mark, 1, sizeof mark, file) == sizeof mark && mark[0] == 0xEF && mark[1] == 0xBB &&
        mark[2] == 0xBF)
        return;
    std::rewind(file);  // not a mark: read from the first byte
}

int ReadScriptWord(FILE* file, char* buffer) {
    // 259 = kScriptTokenSize - 1, the room left for the terminator.
    if (std::fscanf(file, "%259s", buffer) != 1) return kWordNone;
    int c = std::fgetc(file);
    if (c == EOF || std::isspace(c)) {
        if (c != EOF) std::ungetc(c, file);
        return kWordRead;
    }
    // The conversion stopped at its width inside the word: drop what is left of it.
    while (c != EOF && !std::isspace(c)) c = std::fgetc(file);
    return kWordCut;
}

int ReadScriptNumbers(FILE* file, float* slots, int count) {
    int read = 0;
    while (read < count) {
        // Only a sign, a digit or a point starts a number. Checked here so that a keyword
        // that happens to spell "inf" or "nan" is left whole for the next word.
        if (std::fscanf(file, " ") < 0) break;
        int c = std::fgetc(file);
        if (c == EOF) break;
        std::ungetc(c, file);
        if (!std::isdigit(c) && c != '+' && c != '-' && c != '.') break;
        if (std::fscanf(file, "%f", &slots[read]) != 1) break;
        read++;
    }
    return read;
}
