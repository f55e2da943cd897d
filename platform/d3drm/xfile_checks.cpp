// Checks on an X file before the importer sees it: a small tokenizer for the text and binary
// forms (words, braces, separators; in binary, numbers, strings, GUIDs and lists skipped) and a
// walk over the blocks it finds.
#include "platform/d3drm/xfile_checks.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

enum class Kind { End, Word, Open, Close, Separator };

struct Token {
    Kind kind = Kind::End;
    std::string word;
};

// The importer's own word rules: C-locale white space, and ; , { } as tokens of their own.
bool IsSpace(uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDelimiter(uint8_t c) { return c == ';' || c == ',' || c == '{' || c == '}'; }

class Tokens {
  public:
    Tokens(const uint8_t* bytes, size_t size, bool binary, size_t floatBytes)
        : p_(bytes), size_(size), binary_(binary), floatBytes_(floatBytes) {}
    Token Next() { return binary_ ? NextBinary() : NextText(); }

  private:
    // Words as the importer cuts them, so a block's first word is the name it sees.
    Token NextText() {
        while (i_ < size_) {
            uint8_t c = p_[i_];
            if (IsSpace(c)) {
                ++i_;
            } else if (c == '#' || (c == '/' && i_ + 1 < size_ && p_[i_ + 1] == '/')) {
                while (i_ < size_ && p_[i_] != '\n') ++i_;
            } else if (IsDelimiter(c)) {
                ++i_;
                return Token{c == '{' ? Kind::Open : c == '}' ? Kind::Close : Kind::Separator, {}};
            } else {
                size_t start = i_;
                while (i_ < size_ && !IsSpace(p_[i_]) && !IsDelimiter(p_[i_])) ++i_;
                return Token{Kind::Word, std::string(reinterpret_cast<const char*>(p_ + start), i_ - start)};
            }
        }
        return Token{};
    }

    bool Take(size_t n) {
        if (size_ - i_ < n) return false;
        i_ += n;
        return true;
    }
    bool Dword(uint32_t* value) {
        if (size_ - i_ < 4) return false;
        std::memcpy(value, p_ + i_, 4);  // little-endian, as this machine
        i_ += 4;
        return true;
    }

    // Token codes of the binary form; a file cut short or an unknown code ends the stream.
    Token NextBinary() {
        if (size_ - i_ < 2) return Token{};
        uint16_t code = static_cast<uint16_t>(p_[i_] | p_[i_ + 1] << 8);
        i_ += 2;
        uint32_t n = 0;
        switch (code) {
        case 0x01:  // name: length, characters
            if (!Dword(&n) || size_ - i_ < n) return Token{};
            i_ += n;
            return Token{Kind::Word, std::string(reinterpret_cast<const char*>(p_ + i_ - n), n)};
        case 0x02:  // string: length, characters, terminator code
            if (!Dword(&n) || !Take(size_t{n} + 2)) return Token{};
            return Token{Kind::Separator, {}};
        case 0x03:  // integer
            return Dword(&n) ? Token{Kind::Separator, {}} : Token{};
        case 0x05:  // GUID
            return Take(16) ? Token{Kind::Separator, {}} : Token{};
        case 0x06:  // integer list: count, values
            if (!Dword(&n) || !Take(size_t{n} * 4)) return Token{};
            return Token{Kind::Separator, {}};
        case 0x07:  // float list: count, values of the header's float size
            if (!Dword(&n) || !Take(size_t{n} * floatBytes_)) return Token{};
            return Token{Kind::Separator, {}};
        case 0x0a:
            return Token{Kind::Open, {}};
        case 0x0b:
            return Token{Kind::Close, {}};
        case 0x1f:
            return Token{Kind::Word, "template"};
        default:
            // Punctuation and the type keywords of templates carry no block names.
            if (code >= 0x0c && code <= 0x34) return Token{Kind::Separator, {}};
            return Token{};
        }
    }

    const uint8_t* p_;
    size_t size_;
    bool binary_;
    size_t floatBytes_;
    size_t i_ = 16;  // after the header
};

struct Block {
    std::string type;   // the first word before its brace; "" for a reference
    int materials = 0;  // for a mesh's material list: the materials it holds
};

}  // namespace

const char* CheckXFileStructure(const uint8_t* bytes, size_t size) {
    if (size < 16 || std::memcmp(bytes, "xof ", 4) != 0) return nullptr;
    bool binary = std::memcmp(bytes + 8, "bin ", 4) == 0;
    if (!binary && std::memcmp(bytes + 8, "txt ", 4) != 0) return nullptr;  // compressed
    size_t floatBytes = std::memcmp(bytes + 12, "0064", 4) == 0 ? 8 : 4;

    Tokens tokens(bytes, size, binary, floatBytes);
    std::vector<Block> open;
    std::vector<std::string> words;  // since the last brace or separator
    int templateDepth = 0;
    bool templatePending = false;
    for (Token t = tokens.Next(); t.kind != Kind::End; t = tokens.Next()) {
        if (t.kind == Kind::Word) {
            if (templateDepth > 0) continue;
            if (t.word == "template") templatePending = true;
            else words.push_back(t.word);
        } else if (t.kind == Kind::Separator) {
            words.clear();
        } else if (t.kind == Kind::Open) {
            if (templateDepth > 0 || templatePending) {
                ++templateDepth;
                templatePending = false;
                continue;
            }
            Block b;
            b.type = words.empty() ? "" : words.front();
            // The importer takes a "Material" block or a reference; any other first word makes
            // an unknown block, whatever follows it.
            bool material = b.type.empty() || b.type == "Material";
            if (!open.empty() && open.back().type == "MeshMaterialList" && material)
                open.back().materials++;
            open.push_back(b);
            words.clear();
        } else {
            words.clear();
            if (templateDepth > 0) {
                --templateDepth;
                continue;
            }
            if (open.empty()) continue;
            Block b = open.back();
            open.pop_back();
            bool inMesh = !open.empty() && open.back().type == "Mesh";
            if (b.type == "MeshMaterialList" && inMesh && b.materials == 0)
                return "a mesh's material list holds no material";
        }
    }
    return nullptr;
}
