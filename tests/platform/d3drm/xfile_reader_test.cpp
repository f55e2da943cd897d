// The X-file reader on its own: the sample files of Debian's assimp-testmodels read with the
// counts their text gives, the three forms of one cube read alike, options and matrix keys in
// the binary form, named materials, and the inputs it refuses whole.
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/d3drm/xfile/parse.h"
#include "platform/d3drm/xfile/tokens.h"
#include <gtest/gtest.h>

#include "platform/d3drm/d3drm.h"
#include "tests/tools/showdata_files.h"

namespace {

const std::string kSamples = "/usr/share/assimp/models/X/";

// Reads `bytes`; the reason it was refused, or "" when it was read.
std::string Read(const std::string& bytes, XFileData& file) {
    try {
        ReadXFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), file);
    } catch (const XFileBad& bad) {
        return bad.why;
    }
    return "";
}

std::string Sample(const std::string& name) {
    std::vector<uint8_t> bytes = showdata_test::ReadBytes(kSamples + name);
    return std::string(bytes.begin(), bytes.end());
}

// The binary form, token by token.
struct BinaryX {
    std::string bytes = "xof 0302bin 0032";
    void Code(uint16_t c) { bytes.append(reinterpret_cast<const char*>(&c), 2); }
    void Dword(uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); }
    void Name(const std::string& s) {
        Code(0x01);
        Dword(static_cast<uint32_t>(s.size()));
        bytes += s;
    }
    void Ints(std::vector<uint32_t> v) {
        Code(0x06);
        Dword(static_cast<uint32_t>(v.size()));
        for (uint32_t x : v) Dword(x);
    }
    void Floats(std::vector<float> v) {
        Code(0x07);
        Dword(static_cast<uint32_t>(v.size()));
        for (float x : v) bytes.append(reinterpret_cast<const char*>(&x), 4);
    }
    void Open() { Code(0x0a); }
    void Close() { Code(0x0b); }
};

// A text or binary file in the compressed form: one MSZIP block per 32 KiB of the body.
std::string Compress(const std::string& plain) {
    std::string out = plain.substr(0, 16);
    out.replace(8, 4, plain.compare(8, 4, "bin ") == 0 ? "bzip" : "tzip");
    uint32_t total = static_cast<uint32_t>(plain.size());
    out.append(reinterpret_cast<const char*>(&total), 4);
    for (size_t at = 16; at < plain.size(); at += 32768) {
        std::string block = plain.substr(at, 32768);
        z_stream z{};
        deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        std::string packed(deflateBound(&z, block.size()), '\0');
        z.next_in = reinterpret_cast<Bytef*>(block.data());
        z.avail_in = static_cast<uInt>(block.size());
        z.next_out = reinterpret_cast<Bytef*>(packed.data());
        z.avail_out = static_cast<uInt>(packed.size());
        deflate(&z, Z_FINISH);
        packed.resize(z.total_out);
        deflateEnd(&z);
        uint16_t sizes[2] = {static_cast<uint16_t>(block.size()), static_cast<uint16_t>(packed.size() + 2)};
        out.append(reinterpret_cast<const char*>(sizes), 4);
        out += "CK" + packed;
    }
    return out;
}

struct Counts {
    size_t frames = 0, meshes = 0, vertices = 0, faces = 0, materials = 0, keys = 0;
};

void CountFrames(const std::vector<XFrameData>& frames, size_t& n) {
    for (const XFrameData& f : frames) {
        ++n;
        CountFrames(f.children, n);
    }
}

Counts CountOf(const XFileData& file) {
    Counts c;
    CountFrames(file.frames, c.frames);
    c.meshes = file.meshes.size();
    for (const XMeshData& m : file.meshes) {
        c.vertices += m.positions.size();
        c.faces += m.faceSizes.size();
    }
    c.materials = file.materials.size();
    for (const XAnimationSetData& s : file.sets)
        for (const XAnimationData& a : s.animations) c.keys += a.rotation.size() + a.scale.size() + a.position.size();
    return c;
}

TEST(XFileReader, SampleFilesReadWithTheirCounts) {
    if (!std::filesystem::is_directory(kSamples)) GTEST_SKIP() << kSamples << " is not installed";
    // Checked by hand against the text: anim_test.x has 4 "Frame" lines and one mesh of 1720
    // vertices and 840 faces; BCN_Epileptic.X's meshes start with 1170 and 1196 vertices and its
    // AnimationKey counts add up to 1834; Testwuson.X's one mesh has 3205 vertices; the text
    // cubes have 24 vertices and kwxport's 3 materials.
    const struct {
        const char* name;
        Counts counts;
    } cases[] = {
        {"anim_test.x", {4, 1, 1720, 840, 1, 288}},
        {"BCN_Epileptic.X", {57, 3, 3014, 5126, 0, 1834}},
        {"fromtruespace_bin32.x", {1, 1, 4132, 6656, 1, 0}},
        {"kwxport_test_cubewithvcolors.x", {1, 1, 24, 12, 3, 0}},
        {"test.x", {1, 1, 24, 12, 1, 0}},
        {"test_cube_binary.x", {2, 1, 24, 12, 1, 0}},
        {"test_cube_compressed.x", {2, 1, 24, 12, 1, 0}},
        {"test_cube_text.x", {2, 1, 24, 12, 1, 0}},
        {"Testwuson.X", {39, 1, 3205, 3732, 0, 4565}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XFileData file;
        ASSERT_EQ(Read(Sample(c.name), file), "");
        Counts got = CountOf(file);
        EXPECT_EQ(got.frames, c.counts.frames);
        EXPECT_EQ(got.meshes, c.counts.meshes);
        EXPECT_EQ(got.vertices, c.counts.vertices);
        EXPECT_EQ(got.faces, c.counts.faces);
        EXPECT_EQ(got.materials, c.counts.materials);
        EXPECT_EQ(got.keys, c.counts.keys);
        EXPECT_EQ(file.unknownName, "");
    }
}

TEST(XFileReader, TextBinaryAndCompressedFormsOfOneCubeReadAlike) {
    if (!std::filesystem::is_directory(kSamples)) GTEST_SKIP() << kSamples << " is not installed";
    XFileData text, binary, compressed, recompressed;
    ASSERT_EQ(Read(Sample("test_cube_text.x"), text), "");
    ASSERT_EQ(Read(Sample("test_cube_binary.x"), binary), "");
    ASSERT_EQ(Read(Sample("test_cube_compressed.x"), compressed), "");
    // Our own compressor, in more than one block with the text form.
    std::string padded = Sample("test_cube_text.x") + "\n" + std::string(70000, ' ');
    ASSERT_EQ(Read(Compress(padded), recompressed), "");
    for (const XFileData* other : {&binary, &compressed, &recompressed}) {
        ASSERT_EQ(other->meshes.size(), 1u);
        const XMeshData& a = text.meshes[0];
        const XMeshData& b = other->meshes[0];
        ASSERT_EQ(a.positions.size(), b.positions.size());
        for (size_t i = 0; i < a.positions.size(); ++i) {
            EXPECT_NEAR(a.positions[i].x, b.positions[i].x, 1e-5);
            EXPECT_NEAR(a.positions[i].y, b.positions[i].y, 1e-5);
            EXPECT_NEAR(a.positions[i].z, b.positions[i].z, 1e-5);
        }
        EXPECT_EQ(a.corners, b.corners);
        EXPECT_EQ(a.normalCorners, b.normalCorners);
        EXPECT_EQ(a.normals.size(), b.normals.size());
        EXPECT_EQ(a.uv.size(), b.uv.size());
        EXPECT_EQ(a.faceMaterials, b.faceMaterials);
        ASSERT_EQ(text.materials.size(), other->materials.size());
        for (size_t m = 0; m < text.materials.size(); ++m)
            EXPECT_NEAR(text.materials[m].power, other->materials[m].power, 1e-3);
        ASSERT_EQ(other->frames.size(), 1u);
        EXPECT_EQ(other->frames[0].name, text.frames[0].name);
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(other->frames[0].children[0].transform[i / 4][i % 4],
                        text.frames[0].children[0].transform[i / 4][i % 4], 1e-5);
    }
}

// A binary file: a frame, and an animation of it with a matrix key and options "open, spline".
TEST(XFileReader, BinaryAnimationKeepsItsOptionsAndMatrixKeys) {
    BinaryX x;
    x.Name("Frame");
    x.Name("Arm");
    x.Open();
    x.Close();
    x.Name("AnimationSet");
    x.Name("Swing");
    x.Open();
    x.Name("Animation");
    x.Open();
    x.Open();
    x.Name("Arm");
    x.Close();
    // Scale 2, a quarter turn about z that takes +x to +y, then a move to (1, 2, 3).
    x.Name("AnimationKey");
    x.Open();
    x.Ints({4, 1, 0, 16});
    x.Floats({0, 2, 0, 0, -2, 0, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1});
    x.Close();
    x.Name("AnimationOptions");
    x.Open();
    x.Ints({1, 0});
    x.Close();
    x.Close();
    x.Close();
    for (const std::string& form : {x.bytes, Compress(x.bytes)}) {
        IDirect3DRM* rm = nullptr;
        IDirect3DRMFrame* root = nullptr;
        ASSERT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
        rm->CreateFrame(nullptr, &root);
        IDirect3DRMAnimationSet* set = nullptr;
        auto keep = [](LPDIRECT3DRMOBJECT object, const GUID* type, LPVOID argument) {
            if (std::memcmp(type, &IID_IDirect3DRMAnimationSet, sizeof(GUID)) == 0)
                *static_cast<IDirect3DRMAnimationSet**>(argument) = static_cast<IDirect3DRMAnimationSet*>(object);
        };
        D3DRMLOADMEMORY memory{const_cast<char*>(form.data()), static_cast<DWORD>(form.size())};
        ASSERT_EQ(rm->Load(&memory, nullptr, nullptr, 0, D3DRMLOAD_FROMMEMORY, keep, &set, nullptr, nullptr, root),
                  D3DRM_OK);
        ASSERT_NE(set, nullptr);
        ASSERT_EQ(set->animations.size(), 1u);
        EXPECT_EQ(set->animations[0]->GetOptions(),
                  static_cast<DWORD>(D3DRMANIMATION_OPEN | D3DRMANIMATION_SPLINEPOSITION));
        set->SetTime(0);
        const float expected[16] = {0, 2, 0, 0, -2, 0, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1};
        IDirect3DRMFrame* arm = root->children[0];
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(arm->transform[i / 4][i % 4], expected[i], 1e-5) << i;
        set->Release();
        root->Release();
        rm->Release();
    }
}

TEST(XFileReader, NamedMaterialsResolveAndAnUnknownNameIsWhite) {
    const std::string text = R"(xof 0303txt 0032
Material RedMat { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
Material BlueMat { 0.0;0.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
Mesh {
  3; 0;0;0;, 1;0;0;, 0;1;0;;
  3; 3;0,1,2;, 3;0,2,1;, 3;1,2,0;;
  MeshMaterialList { 3; 3; 0, 1, 2;; {BlueMat} {RedMat} {GreenMat} }
}
)";
    XFileData file;
    ASSERT_EQ(Read(text, file), "");
    const XMeshData& mesh = file.meshes[0];
    ASSERT_EQ(mesh.faceMaterials, (std::vector<uint32_t>{0, 1, 2}));
    auto colour = [&](int face) { return file.materials[mesh.materials[mesh.faceMaterials[face]]].faceColor; };
    EXPECT_EQ(colour(0)[2], 1.0f);  // blue
    EXPECT_EQ(colour(1)[0], 1.0f);  // red
    EXPECT_EQ(colour(1)[2], 0.0f);
    EXPECT_EQ(colour(2)[1], 1.0f);  // white
    EXPECT_EQ(file.unknownName, "GreenMat");
}

TEST(XFileReader, RefusesDamagedInputWhole) {
    const std::string text = "xof 0302txt 0032\n";
    const std::string mesh = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; ";
    std::string deep = text;
    for (int i = 0; i < 10000; ++i) deep += "Frame {";
    BinaryX hugeCount;
    hugeCount.Name("Mesh");
    hugeCount.Open();
    hugeCount.Code(0x06);
    hugeCount.Dword(0x40000000);  // a list of a billion integers, in a file of a few bytes
    BinaryX unknownToken;
    unknownToken.Code(0x99);
    std::string gigabytes = Compress(text + mesh + "}");
    gigabytes[16] = gigabytes[17] = gigabytes[18] = gigabytes[19] = '\xff';
    std::string pastItsTotal = Compress(text + mesh + "}");
    pastItsTotal[16] = 20;  // says 4 bytes after the header, then inflates more
    pastItsTotal[17] = pastItsTotal[18] = pastItsTotal[19] = 0;
    const struct {
        std::string bytes, why;
    } cases[] = {
        {"", "not an X file"},
        {"xof 0302", "not an X file"},
        {"xof 03a2txt 0032", "its header has no version"},
        {"xof 0302txt 0016", "its header gives no float size of 32 or 64 bits"},
        {"xof 0302zip 0032", "its header names no known format"},
        {text, "it holds no frame and no mesh"},
        {text + "Frame A { Mesh { 4; 1.0;", "a count asks for more data than the file holds"},
        {text + "Frame A { Mesh { 1; 1.0;", "a number is missing"},
        {text + "Frame A { FrameTransformMatrix { 1.0, 2.0 } }", "a number is missing"},
        {text + "Mesh { 4000000000; 1.0; }", "a count asks for more data than the file holds"},
        {text + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }", "an index points past what it indexes"},
        {text + mesh + "MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; } }", "an index points past what it indexes"},
        {text + mesh + "MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;; } }", "its normals list another number of faces"},
        {text + mesh + "MeshTextureCoords { 2; 0;0;, 1;1;; } }", "its texture coordinates are not one per vertex"},
        {text + mesh + "MeshMaterialList { 5; 1; 9;; } }", "a face names a material its mesh does not list"},
        {text + mesh + "MeshMaterialList { 1; 2; 0, 0;; } }", "its material list has more entries than faces"},
        {text + mesh + "MeshVertexColors { 1; 3; 1;1;1;1;; } }", "an index points past what it indexes"},
        {text + mesh + "} AnimationSet { Animation { AnimationKey { 7; 0; } } }", "an animation key has an unknown type"},
        {text + mesh + "} AnimationSet { Animation { AnimationKey { 2; 1; 0; 4; 1;2;3;4;;; } } }",
         "an animation key has the wrong number of values"},
        {text + mesh + "} \"loose\"", "it holds data outside any object"},
        {text + mesh + "7; }", "an object holds more data than its template"},
        {text + "Frame { Mesh { \"", "a string or GUID is not closed"},
        {deep, "objects nest too deep"},
        {text + "Unknown {" + std::string(200, '{'), "objects nest too deep"},
        {hugeCount.bytes, "it ends inside a token"},
        {unknownToken.bytes, "it holds an unknown binary token"},
        {gigabytes, "its inflated size is not one of 16 bytes to 256 MiB"},
        {pastItsTotal, "its blocks inflate to more than it says"},
        {Compress(text + mesh + "}").substr(0, 40), "a compressed block is damaged"},
    };
    for (const auto& c : cases) {
        XFileData file;
        EXPECT_EQ(Read(c.bytes, file), c.why) << c.bytes.substr(0, 120);
    }
}

}  // namespace
