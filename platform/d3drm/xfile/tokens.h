// The three forms of an X file (text, binary, and either of them compressed) read as one
// stream of tokens: names, strings, numbers, GUIDs, braces and the template keyword.
// Separators and other punctuation are dropped, and a binary list is handed out one number
// at a time, so the parser reads every form alike. Stand-in internal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Thrown by the reader and the parser when the file is refused; `why` is said on stderr.
struct XFileBad {
    const char* why;
};

// Far beyond any scene of the show; bounds the file as read and a compressed file once
// inflated, so a small file cannot ask for gigabytes.
constexpr size_t kMaxXFileSize = size_t{256} << 20;

enum class XToken { End, Name, String, Number, Guid, Open, Close, Template };

struct XTokenValue {
    XToken kind = XToken::End;
    std::string_view text;  // Name and String: points into the file's bytes
    double number = 0;      // Number
    bool integral = false;  // Number: a whole number from 0 to 2^32 - 1
};

class XTokens {
  public:
    // Checks the 16-byte header and inflates a compressed body; throws XFileBad.
    XTokens(const uint8_t* bytes, size_t size);

    XTokenValue Next();
    const XTokenValue& Peek();
    // Bytes not yet read. Every token takes at least one, so no count of items may exceed it.
    size_t Left() const { return size_ - pos_ + 1; }

  private:
    XTokenValue ReadText();
    XTokenValue ReadBinary();
    XTokenValue ListItem();
    uint32_t Dword();
    void Need(size_t bytes) const;

    std::vector<uint8_t> inflated_;
    const uint8_t* p_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    bool binary_ = false;
    size_t floatBytes_ = 4;
    uint32_t listLeft_ = 0;  // numbers left in the binary list being read
    bool listOfFloats_ = false;
    bool peeked_ = false;
    XTokenValue peek_;
};
