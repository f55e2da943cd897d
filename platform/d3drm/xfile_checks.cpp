// Reads an X file the way the importer's parser does, without building anything, and then
// checks each mesh against what the importer's conversion indexes. The reading has to match
// the importer's step for step: in the binary form its number reads take list headers where
// they find them and carry a list's remaining count from block to block, so where a block
// ends depends on every number read before it. Positions are signed: the importer's token
// skips can move past the end, and some of its reads check for that and some do not.
#include "platform/d3drm/xfile_checks.h"

#include "platform/d3drm/xfile_inflate.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

// Thrown to stop reading: `why` null when the importer stops with an error of its own, else
// the damage that makes the file refused.
struct Stop {
    const char* why;
};

constexpr const char* kCountPastEnd = "a count asks for more data than the file holds";

struct MeshFacts {
    uint32_t positions = 0;
    std::vector<uint32_t> faceSizes;  // indices kept per face (the importer drops those past the count)
    bool indexAtCount = false;        // a kept index equal to the vertex count
    std::vector<uint32_t> faceMaterials;
    uint32_t materials = 0;  // inline and referenced
    uint32_t normals = 0;
    bool normalIndexOut = false;
    bool weightOut = false;
    int textureSets = 0;  // the importer takes at most 8 of each
    int colourSets = 0;
};

bool IsSpace(uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }  // C locale
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
uint8_t Lower(uint8_t c) { return c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c + 32) : c; }

class ImporterReader {
  public:
    // `inflated`: the body of a compressed file, read from its start; else the file itself,
    // read from after its header (a text one from the line after it).
    ImporterReader(const uint8_t* bytes, size_t size, bool binary, uint32_t floatBytes, bool inflated)
        : p_(bytes), end_(static_cast<int64_t>(size)), binary_(binary), floatBytes_(floatBytes),
          headerLine_(!inflated && !binary), pos_(inflated ? 0 : 16) {}

    // The whole file; returns the first conversion fault of its meshes, or null. Stops as the
    // importer fails when the file holds neither a frame nor a mesh (it has no root then).
    const char* File() {
        bool content = false;
        if (headerLine_) EndOfLine();
        for (;;) {
            std::string_view name = Token();
            if (name.empty()) break;
            if (name == "template") Template();
            else if (name == "Frame") { Frame(1); content = true; }
            else if (name == "Mesh") { Mesh(); content = true; }
            else if (name == "AnimTicksPerSecond") { Head(); Int(); Close(); }
            else if (name == "AnimationSet") AnimationSet();
            else if (name == "Material") Material();
            else if (name != "}") Unknown();
        }
        if (!content) Fails();
        return fault_;
    }

  private:
    // A byte of the buffer; the importer's copy ends in a zero, and nothing past that is read
    // where this is used.
    uint8_t At(int64_t i) const { return i >= 0 && i < end_ ? p_[i] : 0; }
    uint32_t Word(int64_t i) const { return At(i) | At(i + 1) << 8; }
    uint32_t Dword(int64_t i) const {
        return At(i) | At(i + 1) << 8 | At(i + 2) << 16 | static_cast<uint32_t>(At(i + 3)) << 24;
    }
    int64_t Left() const { return end_ - pos_; }
    std::string_view View(int64_t from, int64_t n) const {
        return std::string_view(reinterpret_cast<const char*>(p_ + from), static_cast<size_t>(n));
    }
    [[noreturn]] static void Fails() { throw Stop{nullptr}; }

    // ---- text layer
    void EndOfLine() {
        while (pos_ < end_) {
            uint8_t c = At(pos_++);
            if (c == '\n' || c == '\r') return;
        }
    }
    void SkipSpace() {
        if (binary_) return;
        for (;;) {
            while (pos_ < end_ && IsSpace(At(pos_))) ++pos_;
            if (pos_ >= end_) return;
            if ((At(pos_) == '/' && At(pos_ + 1) == '/') || At(pos_) == '#') EndOfLine();
            else return;
        }
    }
    bool Match(const char* text) const {
        for (int64_t i = 0; text[i]; ++i)
            if (At(pos_ + i) != static_cast<uint8_t>(text[i])) return false;
        return true;
    }
    bool MatchNoCase(int64_t at, const char* text) const {
        for (int64_t i = 0; text[i]; ++i)
            if (Lower(At(at + i)) != static_cast<uint8_t>(text[i])) return false;
        return true;
    }
    // Digits as the importer's unsigned reader takes them: false (and nothing taken) when the
    // value overflows 64 bits the way it notices.
    bool Digits(int64_t& at) const {
        if (!IsDigit(At(at))) Fails();
        uint64_t value = 0;
        int64_t i = at;
        while (IsDigit(At(i))) {
            uint64_t next = value * 10 + (At(i) - '0');
            if (next < value) return false;
            value = next;
            ++i;
        }
        at = i;
        return true;
    }
    // The importer's text float: sign, nan/inf, digits, a '.' or ',' before a digit, exponent.
    void TextFloat() {
        int64_t c = pos_;
        if (At(c) == '-' || At(c) == '+') ++c;
        if (MatchNoCase(c, "nan")) { pos_ = c + 3; return; }
        if (MatchNoCase(c, "inf")) {
            c += 3;
            if (MatchNoCase(c, "inity")) c += 5;
            pos_ = c;
            return;
        }
        auto point = [&](int64_t i) { return (At(i) == '.' || At(i) == ',') && IsDigit(At(i + 1)); };
        if (!IsDigit(At(c)) && !point(c)) Fails();
        if (At(c) != '.' && At(c) != ',') Digits(c);
        if (point(c)) {
            ++c;
            while (IsDigit(At(c))) ++c;  // decimals: never overflow, the reader stops at 15
        } else if (At(c) == '.') {
            ++c;
        }
        if (At(c) == 'e' || At(c) == 'E') {
            ++c;
            if (At(c) == '-' || At(c) == '+') ++c;
            Digits(c);
        }
        pos_ = c;
    }

    // ---- tokens
    std::string_view Token() { return binary_ ? BinaryToken() : TextToken(); }
    std::string_view TextToken() {
        SkipSpace();
        if (pos_ >= end_) return {};
        int64_t start = pos_;
        while (pos_ < end_ && !IsSpace(At(pos_))) {
            uint8_t c = At(pos_);
            if (c == ';' || c == '}' || c == '{' || c == ',') {
                if (pos_ == start) ++pos_;
                break;
            }
            ++pos_;
        }
        return View(start, pos_ - start);
    }
    std::string_view BinaryToken() {
        if (Left() < 2) return {};
        uint32_t code = Word(pos_);
        pos_ += 2;
        uint32_t len = 0;
        switch (code) {
        case 0x01:  // name
            if (Left() < 4) return {};
            len = Dword(pos_);
            pos_ += 4;
            if (static_cast<int32_t>(len) < 0 || Left() < static_cast<int32_t>(len)) return {};
            pos_ += len;
            return View(pos_ - len, len);
        case 0x02:  // string, then its terminator token
            if (Left() < 4) return {};
            len = Dword(pos_);
            pos_ += 4;
            // The importer compares with the length as a signed int: from 2^31 on it copies
            // that many bytes from a buffer that holds fewer.
            if (static_cast<int32_t>(len) < 0) throw Stop{"a string longer than the file"};
            if (Left() < static_cast<int32_t>(len)) return {};
            pos_ += int64_t{len} + 2;
            return View(pos_ - len - 2, len);
        case 0x03: pos_ += 4; return "<integer>";
        case 0x05: pos_ += 16; return "<guid>";
        case 0x06:
            if (Left() < 4) return {};
            len = Dword(pos_);
            pos_ += 4;
            pos_ += static_cast<uint32_t>(len * 4u);  // 32-bit, wrapping, as the importer's
            return "<int_list>";
        case 0x07:
            if (Left() < 4) return {};
            len = Dword(pos_);
            pos_ += 4;
            pos_ += static_cast<uint32_t>(len * floatBytes_);
            return "<flt_list>";
        case 0x0a: return "{";
        case 0x0b: return "}";
        case 0x1f: return "template";
        default:
            // Punctuation and type words stand for themselves (only the separators matter
            // here); any other code reads as the end.
            if (code == 0x13) return ",";
            if (code == 0x14) return ";";
            if (code >= 0x0c && code <= 0x12) return "<punctuation>";
            if (code >= 0x28 && code <= 0x34) return "<type>";
            return {};
        }
    }
    std::string_view Required() {
        std::string_view t = Token();
        if (t.empty()) Fails();
        return t;
    }
    void Head() {
        if (Token() != "{" && Token() != "{") Fails();
    }
    void Close() {
        if (Token() != "}") Fails();
    }
    void Semicolon() {
        if (!binary_ && Token() != ";") Fails();
    }
    void Separator() {
        if (binary_) return;
        std::string_view t = Token();
        if (t != "," && t != ";") Fails();
    }
    void TestSeparator() {
        if (binary_) return;
        SkipSpace();
        if (pos_ < end_ && (At(pos_) == ';' || At(pos_) == ',')) ++pos_;
    }
    void String() {
        if (binary_) {
            Token();
            return;
        }
        SkipSpace();
        if (pos_ >= end_ || At(pos_) != '"') Fails();
        ++pos_;
        while (pos_ < end_ && At(pos_) != '"') ++pos_;
        if (pos_ >= end_ - 1 || At(pos_ + 1) != ';') Fails();
        pos_ += 2;
    }

    // ---- numbers
    // One number of a binary list, taking the list's header first when the last one is used
    // up: any other code there stands for a single number.
    void TakeNumber(uint32_t listCode) {
        if (count_ == 0 && Left() >= 2) {
            uint32_t code = Word(pos_);
            pos_ += 2;
            if (code == listCode && Left() >= 4) {
                count_ = Dword(pos_);
                pos_ += 4;
            } else {
                count_ = 1;
            }
        }
        --count_;
    }
    uint32_t Int() {
        if (!binary_) {
            SkipSpace();
            bool negative = At(pos_) == '-';
            if (negative) ++pos_;
            if (!IsDigit(At(pos_))) Fails();
            uint32_t n = 0;
            while (pos_ < end_ && IsDigit(At(pos_))) n = n * 10 + (At(pos_++) - '0');
            Separator();
            return negative ? 0u - n : n;
        }
        TakeNumber(0x06);
        // The importer measures what is left unsigned here: past the end it reads on.
        if (static_cast<uint64_t>(Left()) >= 4) {
            if (pos_ > end_) throw Stop{"a number read past the end of the file"};
            pos_ += 4;
            return Dword(pos_ - 4);
        }
        pos_ = end_;
        return 0;
    }
    void Float() {
        if (!binary_) {
            SkipSpace();
            if (Match("-1.#IND00") || Match("1.#IND00")) pos_ += 9;
            else if (Match("1.#QNAN0")) pos_ += 8;
            else TextFloat();
            Separator();
            return;
        }
        TakeNumber(0x07);
        if (Left() >= floatBytes_) pos_ += floatBytes_;
        else pos_ = end_;
    }
    void Floats(int n) {
        for (int i = 0; i < n; ++i) Float();
        TestSeparator();
    }
    // The importer sizes an array from `count` before reading its elements, each at least
    // `binaryBytes` or `textBytes` long: a count the rest of the file cannot hold is refused.
    void Fits(uint64_t count, uint64_t binaryBytes, uint64_t textBytes) const {
        uint64_t left = Left() > 0 ? static_cast<uint64_t>(Left()) : 0;
        if (count > left / (binary_ ? binaryBytes : textBytes)) throw Stop{kCountPastEnd};
    }

    // ---- blocks
    void Template() {
        Head();
        Token();  // its GUID
        for (;;) {
            std::string_view t = Required();
            if (t == "}") return;
        }
    }
    void Unknown() {
        while (Required() != "{") {}
        for (unsigned depth = 1; depth > 0;) {
            std::string_view t = Required();
            if (t == "{") ++depth;
            else if (t == "}") --depth;
        }
    }
    void Frame(int depth) {
        if (depth > kMaxXFileFrameDepth) throw Stop{"frames nested too deep"};
        Head();
        for (;;) {
            std::string_view t = Required();
            if (t == "}") return;
            if (t == "Frame") Frame(depth + 1);
            else if (t == "FrameTransformMatrix") Matrix();
            else if (t == "Mesh") Mesh();
            else Unknown();
        }
    }
    void Matrix() {
        Head();
        for (int i = 0; i < 16; ++i) Float();
        Semicolon();
        Close();
    }
    void Mesh() {
        MeshFacts m;
        Head();
        m.positions = Int();
        Fits(m.positions, 3 * floatBytes_, 6);
        for (uint32_t i = 0; i < m.positions; ++i) Floats(3);
        uint32_t faces = Int();
        Fits(faces, 4, 2);
        m.faceSizes.assign(faces, 0);
        for (uint32_t f = 0; f < faces; ++f) {
            uint32_t n = Int();
            Fits(n, 4, 2);
            for (uint32_t i = 0; i < n; ++i) {
                uint32_t index = Int();
                if (index > m.positions) continue;
                m.faceSizes[f]++;
                if (index == m.positions) m.indexAtCount = true;
            }
            TestSeparator();
        }
        for (;;) {
            std::string_view t = Required();
            if (t == "}") break;
            if (t == "MeshNormals") Normals(m);
            else if (t == "MeshTextureCoords") Coordinates(m);
            else if (t == "MeshVertexColors") Colours(m);
            else if (t == "MeshMaterialList") MaterialList(m);
            else if (t == "XSkinMeshHeader") { Head(); Int(); Int(); Int(); Close(); }
            else if (t == "SkinWeights") Weights(m);
            else Unknown();
        }
        if (!fault_) fault_ = ConversionFault(m);
    }
    void Normals(MeshFacts& m) {
        Head();
        m.normals = Int();
        m.normalIndexOut = false;
        Fits(m.normals, 3 * floatBytes_, 6);
        for (uint32_t i = 0; i < m.normals; ++i) Floats(3);
        uint32_t faces = Int();
        if (faces != m.faceSizes.size()) Fails();
        for (uint32_t f = 0; f < faces; ++f) {
            uint32_t n = Int();
            Fits(n, 4, 2);
            for (uint32_t i = 0; i < n; ++i)
                if (Int() >= m.normals) m.normalIndexOut = true;
            TestSeparator();
        }
        Close();
    }
    void Coordinates(MeshFacts& m) {
        Head();
        if (++m.textureSets > 8) Fails();
        if (Int() != m.positions) Fails();
        for (uint32_t i = 0; i < m.positions; ++i) Floats(2);
        Close();
    }
    void Colours(MeshFacts& m) {
        Head();
        if (++m.colourSets > 8) Fails();
        if (Int() != m.positions) Fails();
        for (uint32_t i = 0; i < m.positions; ++i) {
            if (Int() >= m.positions) Fails();
            Floats(4);
            if (!binary_) {
                SkipSpace();
                if (At(pos_) == ';' || At(pos_) == ',') ++pos_;
            }
        }
        Close();
    }
    void MaterialList(MeshFacts& m) {
        Head();
        Int();  // the count it declares; the blocks that follow are what counts
        uint32_t indices = Int();
        if (indices != m.faceSizes.size() && indices != 1) Fails();
        for (uint32_t i = 0; i < indices; ++i) m.faceMaterials.push_back(Int());
        if (!binary_ && pos_ < end_ && At(pos_) == ';') ++pos_;
        while (m.faceMaterials.size() < m.faceSizes.size()) m.faceMaterials.push_back(m.faceMaterials.front());
        for (;;) {
            std::string_view t = Required();
            if (t == "}") return;
            if (t == "{") {
                Token();
                Close();
                m.materials++;
            } else if (t == "Material") {
                Material();
                m.materials++;
            } else if (t != ";") {
                Unknown();
            }
        }
    }
    void Material() {
        Head();
        Floats(4);
        Float();
        Floats(3);
        Floats(3);
        for (;;) {
            std::string_view t = Required();
            if (t == "}") return;
            if (t == "TextureFilename" || t == "TextureFileName" || t == "NormalmapFilename" ||
                t == "NormalmapFileName") {
                Head();
                String();
                Close();
            } else {
                Unknown();
            }
        }
    }
    void Weights(MeshFacts& m) {
        Head();
        String();
        uint32_t n = Int();
        Fits(n, 4 + floatBytes_, 4);
        for (uint32_t i = 0; i < n; ++i)
            if (Int() >= m.positions) m.weightOut = true;
        for (uint32_t i = 0; i < n; ++i) Float();
        for (int i = 0; i < 16; ++i) Float();
        Semicolon();
        Close();
    }
    void AnimationSet() {
        Head();
        for (;;) {
            std::string_view t = Required();
            if (t == "}") return;
            if (t == "Animation") Animation();
            else Unknown();
        }
    }
    void Animation() {
        Head();
        for (;;) {
            std::string_view t = Required();
            if (t == "}") return;
            if (t == "AnimationKey") Keys();
            else if (t == "{") { Token(); Close(); }
            else Unknown();  // AnimationOptions among them
        }
    }
    void Keys() {
        Head();
        uint32_t type = Int();
        uint32_t keys = Int();
        for (uint32_t k = 0; k < keys; ++k) {
            Int();  // time
            switch (type) {
            case 0: if (Int() != 4) Fails(); for (int i = 0; i < 4; ++i) Float(); Semicolon(); break;
            case 1:
            case 2: if (Int() != 3) Fails(); Floats(3); break;
            case 3:
            case 4: if (Int() != 16) Fails(); for (int i = 0; i < 16; ++i) Float(); Semicolon(); break;
            default: Fails();
            }
            Separator();
        }
        Close();
    }

    // What the importer's conversion of one mesh would index out of bounds, or null.
    static const char* ConversionFault(const MeshFacts& m) {
        const size_t faces = m.faceSizes.size();
        const uint32_t split = std::max(m.materials, 1u);  // one mesh per material
        bool built = false;
        if (m.faceMaterials.empty()) {
            for (uint32_t size : m.faceSizes) built |= size > 0;
        } else {
            for (size_t c = 0; c < m.faceMaterials.size(); ++c) {
                if (m.faceMaterials[c] >= split) continue;
                if (c >= faces) return "a material list names more faces than the mesh has";
                if (m.faceSizes[c] == 0) continue;
                built = true;
                if (m.materials == 0) return "a mesh's material list holds no material";
            }
        }
        if (!built) return nullptr;
        if (m.indexAtCount) return "a face names the vertex past the last";
        if (m.normals > 0 && m.normalIndexOut) return "a normal index past the last normal";
        if (m.weightOut) return "a skin weight on a vertex past the last";
        return nullptr;
    }

    const uint8_t* p_;
    int64_t end_;
    bool binary_;
    uint32_t floatBytes_;
    bool headerLine_;
    int64_t pos_;
    uint32_t count_ = 0;  // numbers left in the binary list being read
    const char* fault_ = nullptr;
};

}  // namespace

XFileCheck CheckXFile(const uint8_t* bytes, size_t size) {
    if (size < 16 || std::memcmp(bytes, "xof ", 4) != 0) return {XFileVerdict::Fails, nullptr};
    const uint8_t* format = bytes + 8;
    bool compressed = std::memcmp(format, "tzip", 4) == 0 || std::memcmp(format, "bzip", 4) == 0;
    bool binary = std::memcmp(format, "bin ", 4) == 0 || std::memcmp(format, "bzip", 4) == 0;
    if (!compressed && !binary && std::memcmp(format, "txt ", 4) != 0) return {XFileVerdict::Fails, nullptr};
    // Four characters as digits, whatever they are, as the importer reads them.
    uint32_t bits = 0;
    for (int i = 12; i < 16; ++i) bits = bits * 10 + static_cast<uint32_t>(static_cast<int8_t>(bytes[i]) - 48);
    if (bits != 32 && bits != 64) return {XFileVerdict::Fails, nullptr};

    std::vector<uint8_t> inflated;
    if (compressed) {
        switch (InflateXFile(bytes, size, inflated)) {
        case XInflate::Done: break;
        case XInflate::Fails: return {XFileVerdict::Fails, nullptr};
        case XInflate::TooLarge: return {XFileVerdict::Refused, "a compressed file that would inflate past 256 MB"};
        }
    }
    ImporterReader reader(compressed ? inflated.data() : bytes, compressed ? inflated.size() : size, binary,
                          bits / 8, compressed);
    try {
        const char* fault = reader.File();
        return fault ? XFileCheck{XFileVerdict::Refused, fault} : XFileCheck{XFileVerdict::Reads, nullptr};
    } catch (const Stop& stop) {
        return stop.why ? XFileCheck{XFileVerdict::Refused, stop.why} : XFileCheck{XFileVerdict::Fails, nullptr};
    }
}

const char* CheckXFileStructure(const uint8_t* bytes, size_t size) {
    XFileCheck check = CheckXFile(bytes, size);
    return check.verdict == XFileVerdict::Refused ? check.why : nullptr;
}
