// X-file loading through the stand-in: a small hand-written text file into frames, a mesh
// builder and animation sets with the file's own coordinates, winding and key conventions;
// callbacks and texture names; damaged input refused with nothing built; the sample models
// of Debian's assimp-testmodels.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform/d3drm/d3drm_test_support.h"

namespace {

const char kScene[] = R"(xof 0302txt 0032
template AnimationOptions { <E2BF56C0-840F-11cf-8F52-0040333594A3> DWORD openclosed; DWORD positionquality; }
Frame Root {
  FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,5.0,1.0;; }
  Frame Child {
    FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 1.0,2.0,3.0,1.0;; }
    Mesh Quad {
      4;
      -1.0;-1.0;0.5;,
      -1.0;1.0;0.5;,
      1.0;1.0;0.5;,
      1.0;-1.0;0.5;;
      1;
      4;0,1,2,3;;
      MeshTextureCoords { 4; 0.0;0.0;, 0.0;1.0;, 1.0;1.0;, 1.0;0.25;; }
      MeshMaterialList {
        1; 1; 0;;
        Material Orange {
          0.8;0.4;0.2;1.0;;
          0.0;
          0.0;0.0;0.0;;
          0.1;0.0;0.0;;
          TextureFilename { "wood.bmp"; }
        }
      }
    }
  }
  Frame Spinner {
  }
}
AnimationSet Walk {
  Animation {
    {Child}
    AnimationKey { 2; 2; 0;3;0.0,0.0,0.0;;, 10;3;10.0,0.0,0.0;;; }
    AnimationOptions { 1; 1; }
  }
  Animation {
    {Spinner}
    AnimationKey { 0; 2; 0;4;1.0,0.0,0.0,0.0;;, 10;4;0.707107,0.0,0.0,0.707107;;; }
  }
}
AnimationSet Second {
  Animation { {Spinner} AnimationKey { 2; 1; 0;3;0.0,7.0,0.0;;; } }
}
)";

struct Received {
    std::vector<std::string> types;
    IDirect3DRMAnimationSet* lastSet = nullptr;
    std::vector<std::string> textures;
};

void OnLoaded(LPDIRECT3DRMOBJECT object, const GUID* type, LPVOID argument) {
    auto* r = static_cast<Received*>(argument);
    if (std::memcmp(type, &IID_IDirect3DRMAnimationSet, sizeof(GUID)) == 0) {
        r->types.push_back("set");
        if (r->lastSet) r->lastSet->Release();
        r->lastSet = static_cast<IDirect3DRMAnimationSet*>(object);  // handed over
    } else if (std::memcmp(type, &IID_IDirect3DRMFrame, sizeof(GUID)) == 0) {
        r->types.push_back("frame " + object->name);  // lent
    } else {
        r->types.push_back("other");
    }
}

HRESULT OnTexture(char* name, LPVOID argument, LPDIRECT3DRMTEXTURE* texture) {
    static_cast<Received*>(argument)->textures.push_back(name);
    *texture = nullptr;
    return D3DRMERR_FILENOTFOUND;
}

GUID* kAllTypes[4] = {const_cast<GUID*>(&IID_IDirect3DRMMeshBuilder),
                      const_cast<GUID*>(&IID_IDirect3DRMAnimationSet),
                      const_cast<GUID*>(&IID_IDirect3DRMAnimation),
                      const_cast<GUID*>(&IID_IDirect3DRMFrame)};

HRESULT LoadText(IDirect3DRM* rm, const std::string& text, IDirect3DRMFrame* parent,
                 Received* received) {
    D3DRMLOADMEMORY memory{const_cast<char*>(text.data()), static_cast<DWORD>(text.size())};
    return rm->Load(&memory, nullptr, kAllTypes, 4, D3DRMLOAD_FROMMEMORY, OnLoaded, received,
                    OnTexture, received, parent);
}

IDirect3DRMFrame* Named(IDirect3DRMFrame* frame, const std::string& name) {
    if (frame->name == name) return frame;
    for (IDirect3DRMFrame* c : frame->children)
        if (IDirect3DRMFrame* f = Named(c, name)) return f;
    return nullptr;
}

class RmLoadTest : public RmTest {};

TEST_F(RmLoadTest, TextFileBecomesFramesMeshAndAnimationSets) {
    MakeScene();
    Received got;
    ASSERT_EQ(LoadText(rm, kScene, scene, &got), D3DRM_OK);
    EXPECT_EQ(got.types, (std::vector<std::string>{"frame Root", "set", "set"}));
    EXPECT_EQ(got.textures, std::vector<std::string>{"wood.bmp"});

    IDirect3DRMFrame* root = Named(scene, "Root");
    IDirect3DRMFrame* child = Named(scene, "Child");
    ASSERT_TRUE(root && child);
    EXPECT_EQ(root->parent, scene);
    EXPECT_EQ(child->parent, root);
    EXPECT_FLOAT_EQ(root->transform[3][2], 5.0f);  // the file's z, not mirrored
    EXPECT_FLOAT_EQ(child->transform[3][1], 2.0f);

    ASSERT_EQ(child->visuals.size(), 1u);
    auto* mb = dynamic_cast<IDirect3DRMMeshBuilder*>(child->visuals[0]);
    ASSERT_NE(mb, nullptr);
    ASSERT_EQ(mb->GetFaceCount(), 1);
    ASSERT_EQ(mb->faces[0].cornerCount, 4u);  // the quad stays one polygon
    EXPECT_EQ(mb->GetVertexCount(), 4);
    // Corners in the file's order (clockwise front), positions and v as the file has them.
    const float expectX[4] = {-1, -1, 1, 1}, expectY[4] = {-1, 1, 1, -1};
    for (int i = 0; i < 4; ++i) {
        const D3DVECTOR& p = mb->vertices[mb->corners[i].vertex];
        EXPECT_FLOAT_EQ(p.x, expectX[i]);
        EXPECT_FLOAT_EQ(p.y, expectY[i]);
        EXPECT_FLOAT_EQ(p.z, 0.5f);
    }
    EXPECT_FLOAT_EQ(mb->corners[3].v, 0.25f);
    // No normals in the file: generated, facing the viewer at -z.
    EXPECT_NEAR(mb->normals[mb->corners[0].normal].z, -1.0f, 1e-6);
    EXPECT_NEAR(mb->faces[0].normal.z, -1.0f, 1e-6);
    ASSERT_EQ(mb->materials.size(), 1u);
    EXPECT_FLOAT_EQ(mb->materials[0].faceColor[1], 0.4f);
    EXPECT_FLOAT_EQ(mb->materials[0].emissive[0], 0.1f);
    EXPECT_EQ(mb->materials[0].texture, nullptr);  // the callback refused it

    // The last set reported is "Second".
    ASSERT_NE(got.lastSet, nullptr);
    EXPECT_EQ(got.lastSet->name, "Second");
    got.lastSet->Release();
}

TEST_F(RmLoadTest, SetTimeInterpolatesKeysWithTheFilesOptions) {
    MakeScene();
    Received got;
    // Keep the first set, "Walk": drop the second one as it arrives.
    std::string text = kScene;
    text.resize(text.find("AnimationSet Second"));
    ASSERT_EQ(LoadText(rm, text, scene, &got), D3DRM_OK);
    IDirect3DRMAnimationSet* walk = got.lastSet;
    ASSERT_NE(walk, nullptr);
    ASSERT_EQ(walk->animations.size(), 2u);
    EXPECT_EQ(walk->animations[0]->GetOptions(),
              static_cast<DWORD>(D3DRMANIMATION_OPEN | D3DRMANIMATION_LINEARPOSITION));
    EXPECT_EQ(walk->animations[1]->GetOptions(),
              static_cast<DWORD>(D3DRMANIMATION_CLOSED | D3DRMANIMATION_LINEARPOSITION));
    IDirect3DRMFrame* child = Named(scene, "Child");
    IDirect3DRMFrame* spinner = Named(scene, "Spinner");

    ASSERT_EQ(walk->SetTime(2.5f), D3DRM_OK);
    EXPECT_FLOAT_EQ(child->transform[3][0], 2.5f);
    ASSERT_EQ(walk->SetTime(40.0f), D3DRM_OK);  // open: holds the last key
    EXPECT_FLOAT_EQ(child->transform[3][0], 10.0f);
    ASSERT_EQ(walk->SetTime(-3.0f), D3DRM_OK);  // before the first: holds the first
    EXPECT_FLOAT_EQ(child->transform[3][0], 0.0f);

    // The key at 10 is the file's quaternion (0.707107; 0, 0, 0.707107): as a row-vector
    // matrix it turns +x toward -y. The animation is closed, so 10 wraps to 0 and 15 to 5.
    D3DRMQUATERNION fileKey{0.707107f, D3DVECTOR{0, 0, 0.707107f}};
    D3DRMMATRIX4D expected;
    D3DRMMatrixFromQuaternion(expected, &fileKey);
    ASSERT_EQ(walk->SetTime(9.9999f), D3DRM_OK);
    EXPECT_NEAR(spinner->transform[0][1], expected[0][1], 1e-3);
    EXPECT_LT(spinner->transform[0][1], -0.99f);
    walk->SetTime(10.0f);
    EXPECT_NEAR(spinner->transform[0][0], 1.0f, 1e-6);
    walk->SetTime(15.0f);
    EXPECT_NEAR(spinner->transform[0][0], std::sqrt(0.5f), 1e-4);
    EXPECT_NEAR(spinner->transform[0][1], -std::sqrt(0.5f), 1e-4);
    walk->Release();
}

TEST_F(RmLoadTest, MeshesOutsideFramesGoToTheParentFrame) {
    MakeScene();
    // One top-level frame with a mesh of its own, and a mesh outside any frame, reported in
    // file order.
    const std::string text = R"(xof 0302txt 0032
Mesh Loose { 3; 0.0;0.0;0.0;, 0.0;1.0;0.0;, 1.0;0.0;0.0;; 1; 3;0,1,2;; }
Frame Single {
  FrameTransformMatrix { 2.0,0.0,0.0,0.0, 0.0,2.0,0.0,0.0, 0.0,0.0,2.0,0.0, 0.0,0.0,0.0,1.0;; }
  Mesh { 4; 0.0;0.0;0.0;, 0.0;1.0;0.0;, 1.0;1.0;0.0;, 1.0;0.0;0.0;; 1; 4;0,1,2,3;; }
}
)";
    Received got;
    ASSERT_EQ(LoadText(rm, text, scene, &got), D3DRM_OK);
    IDirect3DRMFrame* single = Named(scene, "Single");
    ASSERT_NE(single, nullptr);
    ASSERT_EQ(single->visuals.size(), 1u);
    EXPECT_EQ(static_cast<IDirect3DRMMeshBuilder*>(single->visuals[0])->GetVertexCount(), 4);
    ASSERT_EQ(scene->visuals.size(), 1u);
    auto* loose = static_cast<IDirect3DRMMeshBuilder*>(scene->visuals[0]);
    EXPECT_EQ(loose->GetVertexCount(), 3);
    // A mesh without a material list is white.
    ASSERT_EQ(loose->materials.size(), 1u);
    EXPECT_FLOAT_EQ(loose->materials[0].faceColor[0], 1.0f);
    EXPECT_EQ(got.types, (std::vector<std::string>{"other", "frame Single"}));
}

TEST_F(RmLoadTest, ReleasingEverythingLeavesNothingBehind) {
    ASSERT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
    IDirect3DRMFrame* root = nullptr;
    rm->CreateFrame(nullptr, &root);
    Received got;
    ASSERT_EQ(LoadText(rm, kScene, root, &got), D3DRM_OK);
    EXPECT_GT(standin::LiveObjects("IDirect3DRMMeshBuilder"), 0);
    got.lastSet->Release();
    root->Release();
    for (const char* kind : {"IDirect3DRMFrame", "IDirect3DRMMeshBuilder",
                             "IDirect3DRMAnimation", "IDirect3DRMAnimationSet"})
        EXPECT_EQ(standin::LiveObjects(kind), 0) << kind;
    // Without a parent or a callback nothing is kept either.
    D3DRMLOADMEMORY memory{const_cast<char*>(kScene), sizeof(kScene) - 1};
    ASSERT_EQ(rm->Load(&memory, nullptr, kAllTypes, 4, D3DRMLOAD_FROMMEMORY, nullptr, nullptr,
                       OnTexture, &got, nullptr),
              D3DRM_OK);
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMFrame"), 0);
}

TEST_F(RmLoadTest, DamagedInputIsRefusedCleanly) {
    MakeScene();
    Received got;
    std::string header = "xof 0302txt 0032\n";
    const std::string bad[] = {
        "",
        "xof 0302",
        "not an x file at all, only text that is long enough",
        header,
        header + "Frame A { Mesh { 4; 1.0;",
        header + "Frame A { FrameTransformMatrix { 1.0, 2.0 } } }}}",
        std::string("xof 0302bin 0032") + std::string(40, '\xff'),
        std::string("xof 0302tzip0032") + std::string(40, '\x07'),
    };
    for (const std::string& text : bad) {
        HRESULT r = LoadText(rm, text, scene, &got);
        EXPECT_NE(r, D3DRM_OK) << text;
    }
    EXPECT_EQ(scene->children.size(), 1u);  // the camera only
    got.types.clear();
    EXPECT_EQ(rm->Load(const_cast<char*>("no/such/file.x"), nullptr, kAllTypes, 4,
                       D3DRMLOAD_FROMFILE, OnLoaded, &got, OnTexture, &got, scene),
              D3DRMERR_FILENOTFOUND);
    EXPECT_TRUE(got.types.empty());
}

// A 2x2 24-bit BMP stored bottom-up: its first stored row is the picture's bottom row.
std::string WriteBmp(const std::string& path) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 24, SDL_PIXELFORMAT_BGR24);
    const uint32_t colours[4] = {0xff0000, 0x00ff00, 0x0000ff, 0xffffff};  // top row first
    for (int i = 0; i < 4; ++i) {
        uint8_t* p = static_cast<uint8_t*>(s->pixels) + (i / 2) * s->pitch + (i % 2) * 3;
        p[0] = colours[i] & 0xff;
        p[1] = colours[i] >> 8 & 0xff;
        p[2] = colours[i] >> 16;
    }
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return path;
}

TEST_F(RmLoadTest, LoadTextureKeepsEachFormatsStoredRowOrder) {
    MakeScene();
    std::string dir = testing::TempDir() + "/d3drm_tex";
    std::filesystem::create_directories(dir);
    WriteBmp(dir + "/Wood.bmp");
    IDirect3DRMTexture* t = nullptr;
    // Windows-style name, other case: resolved like every file name of the show.
    ASSERT_EQ(rm->LoadTexture((dir + "\\wood.BMP").c_str(), &t), D3DRM_OK);
    ASSERT_EQ(t->width, 2);
    EXPECT_EQ(t->texels[0], 0x0000ffu);  // bottom-left: v = 0
    EXPECT_EQ(t->texels[3], 0x00ff00u);  // top-right
    ASSERT_NE(t->sampler, nullptr);
    t->Release();
    std::FILE* f = std::fopen((dir + "/junk.bmp").c_str(), "wb");
    std::fputs("BM this is no bitmap", f);
    std::fclose(f);
    EXPECT_EQ(rm->LoadTexture((dir + "/junk.bmp").c_str(), &t), D3DRMERR_BADFILE);
    EXPECT_EQ(rm->LoadTexture((dir + "/none.bmp").c_str(), &t), D3DRMERR_FILENOTFOUND);
    // A directory opens as a file whose size reads as nearly 2^63: it is no texture.
    EXPECT_EQ(rm->LoadTexture(dir.c_str(), &t), D3DRMERR_FILENOTFOUND);
    // A PPM keeps its own top-down order: its first row is v = 0.
    f = std::fopen((dir + "/pic.ppm").c_str(), "wb");
    std::fputs("P3\n2 2\n255\n255 0 0  0 255 0\n0 0 255  255 255 255\n", f);
    std::fclose(f);
    ASSERT_EQ(rm->LoadTexture((dir + "/pic.ppm").c_str(), &t), D3DRM_OK);
    EXPECT_EQ(t->texels[0], 0xff0000u);
    EXPECT_EQ(t->texels[2], 0x0000ffu);
    t->Release();
    std::filesystem::remove_all(dir);
}

TEST_F(RmLoadTest, FromAFileItsTexturesAreReadAndWhatItLacksIsNamed) {
    MakeScene();
    std::string dir = testing::TempDir() + "/d3drm_load";
    std::filesystem::create_directories(dir);
    WriteBmp(dir + "/wood.bmp");
    std::string text = kScene;
    text.replace(text.find("wood.bmp"), 8, dir + "/wood.bmp");
    std::FILE* f = std::fopen((dir + "/scene.x").c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    Received got;
    ASSERT_EQ(rm->Load(const_cast<char*>((dir + "/scene.x").c_str()), nullptr, kAllTypes, 4,
                       D3DRMLOAD_FROMFILE, OnLoaded, &got, nullptr, nullptr, scene),
              D3DRM_OK);
    auto* mb = static_cast<IDirect3DRMMeshBuilder*>(Named(scene, "Child")->visuals[0]);
    ASSERT_NE(mb->materials[0].texture, nullptr);
    EXPECT_EQ(mb->materials[0].texture->width, 2);
    got.lastSet->Release();
    got.lastSet = nullptr;
    // A reference to a name the file does not hold loads the rest and says so once.
    text.replace(text.find("{Spinner}"), 9, "{Nobody}");
    f = std::fopen((dir + "/named.x").c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    testing::internal::CaptureStderr();
    ASSERT_EQ(rm->Load(const_cast<char*>((dir + "/named.x").c_str()), nullptr, kAllTypes, 4,
                       D3DRMLOAD_FROMFILE, OnLoaded, &got, nullptr, nullptr, scene),
              D3DRM_OK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zelk6: " + dir + "/named.x: names 'Nobody', which it does not hold; a material is white, "
              "anything else left out\n");
    got.lastSet->Release();
    std::filesystem::remove_all(dir);
}

// The sample X files of Debian's assimp-testmodels each load and, seen from
// in front of their bounds, draw something.
void Bounds(IDirect3DRMFrame* frame, const D3DRMMATRIX4D parentWorld, D3DVECTOR& lo,
            D3DVECTOR& hi) {
    D3DRMMATRIX4D world{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) world[i][j] += frame->transform[i][k] * parentWorld[k][j];
    for (IDirect3DRMVisual* v : frame->visuals) {
        auto* mb = dynamic_cast<IDirect3DRMMeshBuilder*>(v);
        if (!mb) continue;
        for (const D3DVECTOR& p : mb->vertices) {
            float w[3];
            for (int j = 0; j < 3; ++j)
                w[j] = p.x * world[0][j] + p.y * world[1][j] + p.z * world[2][j] + world[3][j];
            lo = D3DVECTOR{std::min(lo.x, w[0]), std::min(lo.y, w[1]), std::min(lo.z, w[2])};
            hi = D3DVECTOR{std::max(hi.x, w[0]), std::max(hi.y, w[1]), std::max(hi.z, w[2])};
        }
    }
    for (IDirect3DRMFrame* c : frame->children) Bounds(c, world, lo, hi);
}

TEST_F(RmLoadTest, SampleModelsLoadAndRender) {
    const std::string folder = "/usr/share/assimp/models/X";
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << folder << " is not installed";
    MakeScene();
    int models = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string ext = entry.path().extension().string();
        if (ext != ".x" && ext != ".X") continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++models;
        IDirect3DRMFrame* holder = nullptr;
        rm->CreateFrame(scene, &holder);
        Received got;
        ASSERT_EQ(rm->Load(const_cast<char*>(entry.path().c_str()), nullptr, kAllTypes, 4,
                           D3DRMLOAD_FROMFILE, OnLoaded, &got, nullptr, nullptr, holder),
                  D3DRM_OK);
        if (got.lastSet) got.lastSet->SetTime(0);
        D3DVECTOR lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
        D3DRMMATRIX4D identity = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
        Bounds(scene, identity, lo, hi);
        ASSERT_LE(lo.x, hi.x) << "no geometry";
        float size = std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
        camera->SetPosition(scene, (lo.x + hi.x) / 2, (lo.y + hi.y) / 2, lo.z - 2 * size);
        viewport->SetBack(10 * size + 100);
        IDirect3DRMLight* light = nullptr;
        rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 1, 1, 1, &light);
        holder->AddLight(light);
        light->Release();
        scene->SetSceneBackground(0);
        device->SetQuality(D3DRMRENDER_GOURAUD);
        ASSERT_EQ(viewport->Clear(), D3DRM_OK);
        ASSERT_EQ(viewport->Render(scene), D3DRM_OK);
        int drawn = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) drawn += Pixel(x, y) != 0;
        EXPECT_GT(drawn, 20);
        if (got.lastSet) got.lastSet->Release();
        scene->DeleteChild(holder);
        holder->Release();
    }
    EXPECT_GE(models, 5);
}

}  // namespace
