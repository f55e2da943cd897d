// Reading the tokens of a scene script: words into the fixed-size token buffer, numbers into
// the reader's slots.
#pragma once

#include <cstdio>

// Bytes of the token buffer, terminator included: words of up to 259 characters fit.
const int kScriptTokenSize = 260;

// ReadScriptWord results.
const int kWordRead = 1;   // the whole word is in the buffer
const int kWordCut = 0;    // the word was longer than 259 characters: its first 259 are in the
                           // buffer, the rest was skipped
const int kWordNone = -1;  // end of file, the buffer is unchanged

// Skips a UTF-8 byte-order mark (EF BB BF) at the very start of the file, which many editors
// write; anything else is left to be read. Call it right after opening.
void SkipByteOrderMark(FILE* file);
// Reads the next white-space separated word into buffer (kScriptTokenSize bytes), never
// more than fits.
int ReadScriptWord(FILE* file, char* buffer);
// Reads up to `count` decimal numbers into slots[0..count-1], as a "%f" read takes them.
// Stops at the first token that does not start a number and leaves it unread, so it becomes
// the next word. Slots past the last number read keep their values. Returns the count read.
int ReadScriptNumbers(FILE* file, float* slots, int count);
