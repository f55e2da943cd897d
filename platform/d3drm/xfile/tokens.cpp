// The X file's header, the inflating of its compressed forms, and the text and binary token
// readers behind XTokens.
#include "platform/d3drm/xfile/tokens.h"

#include <zlib.h>

#include <charconv>
#include <cstring>

namespace {

uint32_t Word(const uint8_t* p) { return p[0] | p[1] << 8; }

// MSZIP: after the header a DWORD with the whole file's inflated size (header included), then
// blocks of a WORD inflated size, a WORD compressed size counting the "CK" that follows, and
// raw deflate data. Each block may refer back into the previous 32 KiB of output.
std::vector<uint8_t> Inflate(const uint8_t* bytes, size_t size) {
    std::vector<uint8_t> out;
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw XFileBad{"the inflater could not start"};
    const char* why = nullptr;
    size_t total = size >= 20 ? (Word(bytes + 16) | size_t{Word(bytes + 18)} << 16) : 0;
    if (total < 16 || total - 16 > kMaxXFileSize) why = "its inflated size is not one of 16 bytes to 256 MiB";
    for (size_t p = 20; p < size && !why; ) {
        if (size - p < 6) { why = "a compressed block is cut short"; break; }
        size_t inflatedSize = Word(bytes + p), packedSize = Word(bytes + p + 2);
        if (packedSize < 2 || packedSize > size - p - 4 || std::memcmp(bytes + p + 4, "CK", 2) != 0) {
            why = "a compressed block is damaged";
            break;
        }
        if (out.size() + inflatedSize > total - 16) { why = "its blocks inflate to more than it says"; break; }
        size_t before = out.size();
        out.resize(before + inflatedSize);
        inflateReset(&z);
        size_t history = before < 32768 ? before : 32768;
        if (history) inflateSetDictionary(&z, out.data() + before - history, static_cast<uInt>(history));
        z.next_in = const_cast<uint8_t*>(bytes + p + 6);
        z.avail_in = static_cast<uInt>(packedSize - 2);
        z.next_out = out.data() + before;
        z.avail_out = static_cast<uInt>(inflatedSize);
        int result = inflate(&z, Z_SYNC_FLUSH);
        if ((result != Z_OK && result != Z_STREAM_END) || z.avail_out != 0)
            why = "a compressed block does not inflate to its size";
        p += 4 + packedSize;
    }
    inflateEnd(&z);
    if (why) throw XFileBad{why};
    return out;
}

XTokenValue Of(XToken kind) {
    XTokenValue t;
    t.kind = kind;
    return t;
}

bool IsCount(double d) { return d >= 0 && d <= 4294967295.0 && d == static_cast<uint32_t>(d); }

bool IsSpace(uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
// Characters that end a word of the text form.
bool EndsWord(uint8_t c) { return IsSpace(c) || std::strchr("{}<>\",;()[]#", c) != nullptr || c == 0; }

}  // namespace

XTokens::XTokens(const uint8_t* bytes, size_t size) : p_(bytes), size_(size), pos_(16) {
    if (size < 16 || std::memcmp(bytes, "xof ", 4) != 0) throw XFileBad{"not an X file"};
    for (int i = 4; i < 8; ++i)
        if (bytes[i] < '0' || bytes[i] > '9') throw XFileBad{"its header has no version"};
    std::string_view format(reinterpret_cast<const char*>(bytes) + 8, 4);
    std::string_view floats(reinterpret_cast<const char*>(bytes) + 12, 4);
    if (floats == "0064") floatBytes_ = 8;
    else if (floats != "0032") throw XFileBad{"its header gives no float size of 32 or 64 bits"};
    if (format == "bin " || format == "bzip") binary_ = true;
    else if (format != "txt " && format != "tzip") throw XFileBad{"its header names no known format"};
    if (format[1] == 'z') {
        inflated_ = Inflate(bytes, size);
        p_ = inflated_.data();
        size_ = inflated_.size();
        pos_ = 0;
    }
}

const XTokenValue& XTokens::Peek() {
    if (!peeked_) {
        peek_ = Next();
        peeked_ = true;
    }
    return peek_;
}

XTokenValue XTokens::Next() {
    if (peeked_) {
        peeked_ = false;
        return peek_;
    }
    if (listLeft_ > 0) return ListItem();
    return binary_ ? ReadBinary() : ReadText();
}

void XTokens::Need(size_t bytes) const {
    if (bytes > size_ - pos_) throw XFileBad{"it ends inside a token"};
}

uint32_t XTokens::Dword() {
    Need(4);
    uint32_t v = Word(p_ + pos_) | Word(p_ + pos_ + 2) << 16;
    pos_ += 4;
    return v;
}

XTokenValue XTokens::ListItem() {
    --listLeft_;
    XTokenValue t = Of(XToken::Number);
    if (!listOfFloats_) {
        t.number = Dword();
    } else if (floatBytes_ == 8) {
        double d;
        std::memcpy(&d, p_ + pos_, 8);
        t.number = d;
        pos_ += 8;
    } else {
        float f;
        std::memcpy(&f, p_ + pos_, 4);
        t.number = f;
        pos_ += 4;
    }
    t.integral = IsCount(t.number);
    return t;
}

// Binary tokens: a WORD code, then for names and strings a DWORD length and the characters,
// for an integer a DWORD, for a GUID 16 bytes, and for the lists a DWORD count and the items
// (whose sizes the header gives for floats). A string's terminator is the separator after it.
XTokenValue XTokens::ReadBinary() {
    for (;;) {
        if (pos_ == size_) return XTokenValue{};
        Need(2);
        uint32_t code = Word(p_ + pos_);
        pos_ += 2;
        switch (code) {
        case 1:
        case 2: {
            uint32_t length = Dword();
            Need(length);
            XTokenValue t = Of(code == 1 ? XToken::Name : XToken::String);
            t.text = std::string_view(reinterpret_cast<const char*>(p_ + pos_), length);
            pos_ += length;
            return t;
        }
        case 5:
            Need(16);
            pos_ += 16;
            return Of(XToken::Guid);
        case 3:  // one integer: a list of one
        case 6:
        case 7: {
            uint32_t count = code == 3 ? 1 : Dword();
            listOfFloats_ = code == 7;
            Need(size_t{count} * (listOfFloats_ ? floatBytes_ : 4));
            listLeft_ = count;
            if (count > 0) return ListItem();
            break;
        }
        case 0x0a: return Of(XToken::Open);
        case 0x0b: return Of(XToken::Close);
        case 0x1f: return Of(XToken::Template);
        default:
            // Punctuation (0x0c-0x14) and the type words of templates (0x28-0x34) say nothing
            // the parser needs.
            if (code < 0x0c || (code > 0x14 && code < 0x28) || code > 0x34)
                throw XFileBad{"it holds an unknown binary token"};
        }
    }
}

XTokenValue XTokens::ReadText() {
    for (;;) {
        while (pos_ < size_ && IsSpace(p_[pos_])) ++pos_;
        if (pos_ == size_) return XTokenValue{};
        uint8_t c = p_[pos_];
        if (c == '#' || (c == '/' && pos_ + 1 < size_ && p_[pos_ + 1] == '/')) {
            while (pos_ < size_ && p_[pos_] != '\n') ++pos_;
            continue;
        }
        if (c == ',' || c == ';' || c == '(' || c == ')' || c == '[' || c == ']' || c == '>') {
            ++pos_;
            continue;
        }
        if (c == '{' || c == '}') {
            ++pos_;
            return Of(c == '{' ? XToken::Open : XToken::Close);
        }
        if (c == '<' || c == '"') {
            const uint8_t* close = static_cast<const uint8_t*>(
                std::memchr(p_ + pos_ + 1, c == '<' ? '>' : '"', size_ - pos_ - 1));
            if (!close) throw XFileBad{"a string or GUID is not closed"};
            XTokenValue t = Of(c == '<' ? XToken::Guid : XToken::String);
            t.text = std::string_view(reinterpret_cast<const char*>(p_ + pos_ + 1), close - (p_ + pos_ + 1));
            pos_ = close - p_ + 1;
            return t;
        }
        size_t start = pos_;
        while (pos_ < size_ && !EndsWord(p_[pos_])) ++pos_;
        const char* first = reinterpret_cast<const char*>(p_ + start);
        const char* last = reinterpret_cast<const char*>(p_ + pos_);
        if (pos_ == start) throw XFileBad{"it holds a character that starts no token"};
        XTokenValue t = Of(XToken::Name);
        t.text = std::string_view(first, last - first);
        if (t.text == "template") return Of(XToken::Template);
        if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') {
            const char* from = c == '+' ? first + 1 : first;
            auto read = std::from_chars(from, last, t.number);
            if (read.ec == std::errc() && read.ptr == last) {
                t.kind = XToken::Number;
                t.text = {};
                t.integral = IsCount(t.number);
            }
        }
        return t;
    }
}
