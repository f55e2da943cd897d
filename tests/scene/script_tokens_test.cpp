// The scene-script token reader: words never overrun the buffer, numbers stop at the next
// keyword and leave it whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "scene/script_tokens.h"

namespace {

// A script's text in a temporary file, rewound for reading.
FILE* ScriptFile(const std::string& text) {
    FILE* f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    return f;
}

TEST(ScriptTokens, WordsLongerThanTheBufferAreCutAndTheRestSkipped) {
    std::string longWord(300, 'x');
    FILE* f = ScriptFile(longWord + "\nCAMERA 1 2 3");
    // Guard bytes after the buffer catch any write past its 260 bytes.
    char guarded[kScriptTokenSize + 16];
    std::memset(guarded, 0x5A, sizeof(guarded));
    EXPECT_EQ(ReadScriptWord(f, guarded), kWordCut);
    EXPECT_EQ(std::strlen(guarded), 259u);
    for (size_t i = kScriptTokenSize; i < sizeof(guarded); i++) ASSERT_EQ(guarded[i], 0x5A) << i;

    EXPECT_EQ(ReadScriptWord(f, guarded), kWordRead);
    EXPECT_STREQ(guarded, "CAMERA");
    float slots[9] = {};
    EXPECT_EQ(ReadScriptNumbers(f, slots, 9), 3);
    EXPECT_EQ(ReadScriptWord(f, guarded), kWordNone);
    EXPECT_STREQ(guarded, "CAMERA");  // unchanged at the end
    std::fclose(f);
}

TEST(ScriptTokens, AWordOfExactly259CharactersIsWhole) {
    std::string word(259, 'y');
    FILE* f = ScriptFile(word + " next");
    char buffer[kScriptTokenSize];
    EXPECT_EQ(ReadScriptWord(f, buffer), kWordRead);
    EXPECT_EQ(std::string(buffer), word);
    EXPECT_EQ(ReadScriptWord(f, buffer), kWordRead);
    EXPECT_STREQ(buffer, "next");
    std::fclose(f);
}

TEST(ScriptTokens, NumbersStopAtTheNextKeywordAndKeepTheOtherSlots) {
    FILE* f = ScriptFile("0.5 -2 3e1 .25\tinf 7\n");
    float slots[9] = {9, 9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(ReadScriptNumbers(f, slots, 9), 4);
    EXPECT_FLOAT_EQ(slots[0], 0.5f);
    EXPECT_FLOAT_EQ(slots[1], -2.0f);
    EXPECT_FLOAT_EQ(slots[2], 30.0f);
    EXPECT_FLOAT_EQ(slots[3], 0.25f);
    EXPECT_FLOAT_EQ(slots[4], 9.0f);
    // A keyword spelled like infinity is a word, not a number.
    char buffer[kScriptTokenSize];
    EXPECT_EQ(ReadScriptWord(f, buffer), kWordRead);
    EXPECT_STREQ(buffer, "inf");
    EXPECT_EQ(ReadScriptNumbers(f, slots, 9), 1);
    EXPECT_FLOAT_EQ(slots[0], 7.0f);
    EXPECT_EQ(ReadScriptNumbers(f, slots, 9), 0);
    std::fclose(f);
}

}  // namespace
