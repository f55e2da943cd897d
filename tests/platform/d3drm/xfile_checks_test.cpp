// X files the importer would crash on are refused before it sees them, in text and binary form,
// and the check reads real files to the same end as the importer does.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

#include "platform/d3drm/xfile_checks.h"
#include "platform/d3drm/xfile_inflate.h"
#include "tests/platform/d3drm/d3drm_test_support.h"

namespace {

GUID kMeshType = IID_IDirect3DRMMeshBuilder;
GUID kFrameType = IID_IDirect3DRMFrame;
GUID* kTypes[2] = {&kMeshType, &kFrameType};

// A one-triangle mesh whose material list holds `child` (its per-face index is 0).
std::string TextMesh(const std::string& materialCount, const std::string& child) {
    return "xof 0302txt 0032\n"
           "Mesh M {\n 3;\n 0.0;0.0;1.0;, 1.0;0.0;1.0;, 0.0;1.0;1.0;;\n 1;\n 3;0,1,2;;\n"
           " MeshMaterialList {\n  " + materialCount + ";\n  1;\n  0;\n  " + child + "\n }\n}\n";
}

// The same mesh in the binary form: names, integer and float lists, braces.
struct BinaryX {
    std::string bytes = "xof 0302bin 0032";
    void Code(uint16_t c) { bytes.append(reinterpret_cast<const char*>(&c), 2); }
    void Dword(uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); }
    void Name(const std::string& s) { Code(0x01); Dword(static_cast<uint32_t>(s.size())); bytes += s; }
    void Ints(std::vector<uint32_t> v) { Code(0x06); Dword(static_cast<uint32_t>(v.size())); for (uint32_t x : v) Dword(x); }
    void Floats(std::vector<float> v) {
        Code(0x07);
        Dword(static_cast<uint32_t>(v.size()));
        for (float x : v) bytes.append(reinterpret_cast<const char*>(&x), 4);
    }
    void Open() { Code(0x0a); }
    void Close() { Code(0x0b); }
    // A float-list header for `count` floats, without them.
    void FloatHeader(uint32_t count) { Code(0x07); Dword(count); }
};

std::string BinaryMesh(bool withMaterial) {
    BinaryX x;
    x.Name("Mesh"); x.Name("M"); x.Open();
    x.Ints({3}); x.Floats({0, 0, 1, 1, 0, 1, 0, 1, 1}); x.Ints({1, 3, 0, 1, 2});
    x.Name("MeshMaterialList"); x.Open(); x.Ints({1, 1, 0});
    if (withMaterial) {
        x.Name("Material"); x.Open(); x.Floats({1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}); x.Close();
    } else {
        x.Name("Other"); x.Open(); x.Close();
    }
    x.Close(); x.Close();
    return x.bytes;
}

class XFileCheckTest : public RmTest {
  protected:
    HRESULT LoadBytes(const std::string& bytes) {
        D3DRMLOADMEMORY memory{const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size())};
        return rm->Load(&memory, nullptr, kTypes, 2, D3DRMLOAD_FROMMEMORY, nullptr, nullptr,
                        nullptr, nullptr, scene);
    }
};

XFileCheck CheckBytes(const std::string& bytes) {
    return CheckXFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
const char* Check(const std::string& bytes) {
    return CheckXFileStructure(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A text mesh of `vertices` vertices and the given faces and extra blocks.
std::string TextMeshWith(const std::string& vertices, const std::string& faces, const std::string& blocks) {
    return "xof 0302txt 0032\nMesh M {\n" + vertices + "\n" + faces + "\n" + blocks + "\n}\n";
}
// `body` as a compressed X file: the header, 6 bytes the importer skips, and blocks of raw
// deflate data, each "length, CK, data", of at most `blockInput` bytes of the body each.
std::string Compressed(const std::string& format, const std::string& body, size_t blockInput = 32768) {
    std::string file = "xof 0302" + format + "0032" + std::string(6, '\0');
    for (size_t at = 0; at < body.size(); at += blockInput) {
        std::string part = body.substr(at, blockInput);
        z_stream z{};
        EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
        std::string out(deflateBound(&z, part.size()), '\0');
        z.next_in = reinterpret_cast<Bytef*>(part.data());
        z.avail_in = static_cast<uInt>(part.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
        out.resize(z.total_out);
        deflateEnd(&z);
        uint16_t length = static_cast<uint16_t>(out.size());
        file.append(reinterpret_cast<const char*>(&length), 2);
        file += "CK" + out;
    }
    return file;
}

const std::string kTriangle = "3; 0.0;0.0;1.0;, 1.0;0.0;1.0;, 0.0;1.0;1.0;;";
const std::string kRed = "Material Red { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }";

}  // namespace

TEST_F(XFileCheckTest, MaterialListWithoutAMaterialIsRefusedInTextAndBinary) {
    MakeScene();
    // An unknown block where the material belongs (also when "Material" is only its second
    // word); a list that counts none at all; the binary form, also with the list's count
    // running past the end while the importer reads its numbers one by one.
    const std::string junkFirst =
        TextMesh("1", "Junk Material { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }");
    const std::string found =
        ReadAll(std::string(ZELK6_SOURCE_DIR) + "/fuzz/seeds/xfile_fuzzer/binary-material-list-count-past-end.x");
    ASSERT_FALSE(found.empty());
    for (const std::string& bytes : {TextMesh("1", "Other { }"), junkFirst, TextMesh("0", ""),
                                     BinaryMesh(false), found}) {
        EXPECT_STREQ(Check(bytes), "a mesh's material list holds no material");
        EXPECT_EQ(LoadBytes(bytes), D3DRMERR_BADFILE);
    }
    EXPECT_TRUE(scene->visuals.empty());
    EXPECT_EQ(scene->children.size(), 1u);  // the camera only
}

TEST_F(XFileCheckTest, MaterialListsWithAMaterialStillLoad) {
    MakeScene();
    const std::string inlineMaterial = TextMesh("1", kRed);
    const std::string referenced =
        "xof 0302txt 0032\n" + kRed + "\n" + TextMesh("1", "{ Red }").substr(17);  // the mesh, after its header
    for (const std::string& bytes : {inlineMaterial, referenced, BinaryMesh(true)}) {
        EXPECT_EQ(CheckBytes(bytes).verdict, XFileVerdict::Reads);
        EXPECT_EQ(LoadBytes(bytes), D3DRM_OK);
    }
    // Each load hangs its mesh on the root.
    EXPECT_EQ(scene->visuals.size(), 3u);
}

TEST_F(XFileCheckTest, IndicesPastWhatTheMeshHoldsAreRefused) {
    MakeScene();
    const std::string face = "1; 3;0,1,2;;";
    const std::string normals3 = "MeshNormals { 3; 0.0;0.0;1.0;, 0.0;0.0;1.0;, 0.0;0.0;1.0;; 1; 3;0,1,";
    const std::string skin = "SkinWeights { \"Bone\"; 1; ";
    const std::string matrix = "1.0;0.0;0.0;0.0;0.0;1.0;0.0;0.0;0.0;0.0;1.0;0.0;0.0;0.0;0.0;1.0;;";
    struct Case {
        std::string bytes;
        const char* why;  // null: reads
    } cases[] = {
        // The vertex one past the last (the importer keeps it), and with no vertices at all.
        {TextMeshWith(kTriangle, "1; 3;0,1,3;;", ""), "a face names the vertex past the last"},
        {TextMeshWith("0;", "1; 1;0;;", ""), "a face names the vertex past the last"},
        {TextMeshWith(kTriangle, "1; 3;0,1,4;;", ""), nullptr},  // dropped by the importer
        {TextMeshWith(kTriangle, face, normals3 + "3;; }"), "a normal index past the last normal"},
        {TextMeshWith(kTriangle, face, normals3 + "2;; }"), nullptr},
        {TextMeshWith(kTriangle, face, skin + "5; 1.0; " + matrix + " }"), "a skin weight on a vertex past the last"},
        {TextMeshWith(kTriangle, face, skin + "2; 1.0; " + matrix + " }"), nullptr},
        // Two material lists: the second one's indices go to faces that do not exist.
        {TextMeshWith(kTriangle, face,
                      "MeshMaterialList { 1; 1; 0;; " + kRed + " } MeshMaterialList { 1; 1; 0;; " + kRed + " }"),
         "a material list names more faces than the mesh has"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(CheckBytes(c.bytes).verdict, c.why ? XFileVerdict::Refused : XFileVerdict::Reads);
        if (c.why) {
            EXPECT_STREQ(Check(c.bytes), c.why);
        }
        EXPECT_EQ(LoadBytes(c.bytes), c.why ? D3DRMERR_BADFILE : D3DRM_OK);
    }
}

TEST(XFileCheck, CountsAndLengthsPastTheEndAreRefusedBeforeTheImporterSizesArrays) {
    // The inputs that made the importer ask for gigabytes, a float list of 4 billion, a text
    // count of 100 million, a binary string whose length the importer reads as negative.
    for (const char* name : {"huge-vertex-count-binary.x", "huge-count-text.x"}) {
        std::string bytes = ReadAll(std::string(ZELK6_SOURCE_DIR) + "/fuzz/seeds/xfile_fuzzer/" + name);
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_STREQ(Check(bytes), "a count asks for more data than the file holds") << name;
    }
    BinaryX floats;
    floats.Name("Mesh"); floats.Open(); floats.Ints({0xFFFFFFFFu}); floats.FloatHeader(0xFFFFFFFFu);
    EXPECT_STREQ(Check(floats.bytes), "a count asks for more data than the file holds");
    EXPECT_STREQ(Check(TextMeshWith("100000000;", "", "")), "a count asks for more data than the file holds");
    // A count that fits is read on: this one then fails on its own (no faces follow).
    EXPECT_EQ(CheckBytes(TextMeshWith("1; 0.0;0.0;0.0;;", "", "")).verdict, XFileVerdict::Fails);

    BinaryX string;  // where a block's name is read
    string.Code(0x02); string.Dword(0x80000000u); string.bytes += "abcd";
    EXPECT_STREQ(Check(string.bytes), "a string longer than the file");
    // An integer token as the last thing in the file moves the importer past its end; the
    // skin weights then read their count from beyond it.
    BinaryX past;
    past.Name("Mesh"); past.Open(); past.Ints({3}); past.Floats({0, 0, 1, 1, 0, 1, 0, 1, 1});
    past.Ints({1, 3, 0, 1, 2}); past.Name("SkinWeights"); past.Open(); past.Code(0x03);
    EXPECT_STREQ(Check(past.bytes), "a number read past the end of the file");
}

TEST_F(XFileCheckTest, CompressedFilesAreCheckedOnceInflated) {
    MakeScene();
    // The same meshes as above, compressed: the one the importer would crash on is refused, the
    // other loads, also when its blocks are cut mid-word (each inflates on its own).
    const std::string bad = TextMesh("1", "Other { }").substr(17), good = TextMesh("1", kRed).substr(17);
    EXPECT_STREQ(Check(Compressed("tzip", bad)), "a mesh's material list holds no material");
    EXPECT_EQ(LoadBytes(Compressed("tzip", bad)), D3DRMERR_BADFILE);
    const std::string binary = BinaryMesh(false).substr(16);
    EXPECT_STREQ(Check(Compressed("bzip", binary)), "a mesh's material list holds no material");
    for (size_t block : {size_t{32768}, size_t{7}}) {
        EXPECT_EQ(CheckBytes(Compressed("tzip", good, block)).verdict, XFileVerdict::Reads);
        EXPECT_EQ(LoadBytes(Compressed("tzip", good, block)), D3DRM_OK);
    }
    // Empty blocks inflate to nothing, but the importer sets 32786 bytes aside for each first.
    std::string empties = Compressed("tzip", good);
    const size_t blocks = kMaxInflatedXFile / 32786 + 1;
    for (size_t i = 0; i < blocks; ++i) empties += std::string("\0\0CK", 4);
    EXPECT_STREQ(Check(empties), "a compressed file that would inflate past 256 MB");
    // Damaged deflate data: the importer fails on it by itself.
    std::string damaged = Compressed("tzip", good);
    damaged[26] = '\xff';
    damaged[27] = '\xff';
    EXPECT_EQ(CheckBytes(damaged).verdict, XFileVerdict::Fails);
    EXPECT_EQ(LoadBytes(damaged), D3DRMERR_BADFILE);
}

TEST(XFileCheck, FramesNestedPastTheLimitAreRefused) {
    auto nested = [](int depth) {
        std::string text = "xof 0302txt 0032\n";
        for (int i = 0; i < depth; ++i) text += "Frame {\n";
        for (int i = 0; i < depth; ++i) text += "}\n";
        return text;
    };
    EXPECT_EQ(CheckBytes(nested(kMaxXFileFrameDepth)).verdict, XFileVerdict::Reads);
    EXPECT_STREQ(Check(nested(kMaxXFileFrameDepth + 1)), "frames nested too deep");
}

TEST(XFileCheck, OddHeadersAndCutFilesAreLeftToTheImporter) {
    BinaryX longName;
    longName.Name("Frame"); longName.Open(); longName.Close();
    longName.Code(0x01); longName.Dword(0x7FFFFFFFu); longName.bytes += "Mesh";
    BinaryX unknownCode;
    unknownCode.Name("Frame"); unknownCode.Open(); unknownCode.Code(0x99);
    const std::pair<std::string, XFileVerdict> cases[] = {
        {longName.bytes, XFileVerdict::Reads},  // a name longer than the file reads as the end
        {unknownCode.bytes, XFileVerdict::Fails},
        {std::string("xof 0302tzip0032") + std::string(40, '\x01'), XFileVerdict::Fails},  // no "CK" blocks
        {"xof 0302txt 0016\n", XFileVerdict::Fails},  // float size neither 32 nor 64
        {"xof 0302abc 0032\n", XFileVerdict::Fails},
        {"xof 0302txt 0032 Frame { }", XFileVerdict::Fails},  // on the header line: no content
        {"xof 0302txt 0032\nFrame { }", XFileVerdict::Reads},
        {"xof 0302txt 0032\nMesh { MeshMaterialList { \"", XFileVerdict::Fails},
    };
    for (const auto& [bytes, verdict] : cases) EXPECT_EQ(CheckBytes(bytes).verdict, verdict) << bytes;
}

TEST_F(XFileCheckTest, RealFilesReadAsTheImporterReadsThem) {
    // The show's models and the importer's own X test files (when installed): whatever the
    // check says the importer does, the load does; none is refused.
    MakeScene();
    std::vector<std::filesystem::path> files;
    for (const char* dir : {ZELK6_BUILTIN_DATA "/models", "/usr/share/assimp/models/X"}) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
            if (entry.path().extension() == ".x" || entry.path().extension() == ".X") files.push_back(entry.path());
    }
    ASSERT_GE(files.size(), 3u);
    int read = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const std::string bytes = ReadAll(path);
        XFileCheck check = CheckBytes(bytes);
        EXPECT_NE(check.verdict, XFileVerdict::Refused) << check.why;
        EXPECT_EQ(LoadBytes(bytes), check.verdict == XFileVerdict::Reads ? D3DRM_OK : D3DRMERR_BADFILE);
        read += check.verdict == XFileVerdict::Reads;
    }
    EXPECT_GE(read, 3);
}
