// X files the importer would crash on are refused before it sees them: a mesh's material list
// without a material, in text and in binary form; the same files with a material still load.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/d3drm/xfile_checks.h"
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

const char* Check(const std::string& bytes) {
    return CheckXFileStructure(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

TEST_F(XFileCheckTest, MaterialListWithoutAMaterialIsRefusedInTextAndBinary) {
    MakeScene();
    // An unknown block where the material belongs (also when "Material" is only its second
    // word); a list that counts none at all.
    const std::string junkFirst =
        TextMesh("1", "Junk Material { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }");
    for (const std::string& bytes :
         {TextMesh("1", "Other { }"), junkFirst, TextMesh("0", ""), BinaryMesh(false)}) {
        EXPECT_NE(Check(bytes), nullptr);
        EXPECT_EQ(LoadBytes(bytes), D3DRMERR_BADFILE);
    }
    EXPECT_TRUE(scene->visuals.empty());
    EXPECT_EQ(scene->children.size(), 1u);  // the camera only
}

TEST_F(XFileCheckTest, MaterialListsWithAMaterialStillLoad) {
    MakeScene();
    const std::string inlineMaterial =
        TextMesh("1", "Material Red { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }");
    const std::string referenced =
        "xof 0302txt 0032\n"
        "Material Red { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n" +
        TextMesh("1", "{ Red }").substr(17);  // the mesh, after its own header line
    for (const std::string& bytes : {inlineMaterial, referenced, BinaryMesh(true)}) {
        EXPECT_EQ(Check(bytes), nullptr);
        EXPECT_EQ(LoadBytes(bytes), D3DRM_OK);
    }
    // Each load hangs its mesh on the root.
    EXPECT_EQ(scene->visuals.size(), 3u);
}

TEST(XFileCheck, CutOrOddTokensEndTheScanWithoutRefusing) {
    // Lists and names whose counts run past the end, unknown codes, compressed files: the scan
    // stops where it cannot go on and leaves the verdict to the importer.
    BinaryX pastEnd;
    pastEnd.Name("Mesh"); pastEnd.Open(); pastEnd.Code(0x07); pastEnd.Dword(0xFFFFFFFFu);
    BinaryX longName;
    longName.Code(0x01); longName.Dword(0x7FFFFFFFu); longName.bytes += "Mesh";
    BinaryX unknown;
    unknown.Name("Mesh"); unknown.Open(); unknown.Name("MeshMaterialList"); unknown.Open();
    unknown.Code(0x99); unknown.Close(); unknown.Close();
    for (const std::string& bytes : {pastEnd.bytes, longName.bytes, unknown.bytes,
                                     std::string("xof 0302tzip0032") + std::string(40, '\x01'),
                                     std::string("xof 0302txt 0032 Mesh { MeshMaterialList { \"")})
        EXPECT_EQ(Check(bytes), nullptr);
}
