// Rendering through the stand-in's device: lighting of one face against the lighting
// formula, culling, light off, wireframe, clear, depth, texture and repeatability.
#include <cmath>
#include <vector>

#include "platform/d3drm/render.h"
#include "tests/platform/d3drm/d3drm_test_support.h"

namespace {

struct Rgb {
    int r, g, b;  // 5-bit channels (green reduced to 5 bits too)
};

Rgb Unpack(uint16_t p, bool rgb555) {
    if (rgb555) return Rgb{p >> 10 & 31, p >> 5 & 31, p & 31};
    return Rgb{p >> 11 & 31, p >> 6 & 31, p & 31};
}

// The 5-bit value of a channel 0..1, as a 16-bit device would store it, give or take the
// rasterizer's rounding.
int Five(double c) { return std::min(255, static_cast<int>(c * 256.0)) >> 3; }

void ExpectColour(uint16_t pixel, double r, double g, double b, bool rgb555 = false) {
    Rgb got = Unpack(pixel, rgb555);
    EXPECT_NEAR(got.r, Five(r), 1) << "red of " << std::hex << pixel;
    EXPECT_NEAR(got.g, Five(g), 1) << "green of " << std::hex << pixel;
    EXPECT_NEAR(got.b, Five(b), 1) << "blue of " << std::hex << pixel;
}

class RmRenderTest : public RmTest {
  protected:
    // A 2x2 square at depth z facing the camera (clockwise on screen), on a new frame.
    IDirect3DRMMeshBuilder* AddSquare(D3DVALUE z, RmMaterial material, bool reversed = false) {
        IDirect3DRMMeshBuilder* mb = nullptr;
        EXPECT_EQ(rm->CreateMeshBuilder(&mb), D3DRM_OK);
        mb->vertices = {{-1, -1, z}, {-1, 1, z}, {1, 1, z}, {1, -1, z}};
        mb->normals = {{0, 0, reversed ? 1.0f : -1.0f}};
        for (uint32_t i = 0; i < 4; ++i) {
            uint32_t v = reversed ? 3 - i : i;
            mb->corners.push_back(RmCorner{v, 0, (v == 2 || v == 3) ? 1.0f : 0.0f,
                                           (v == 1 || v == 2) ? 1.0f : 0.0f, 0xffffffffu});
        }
        mb->faces.push_back(RmFace{0, 4, 0, mb->normals[0]});
        mb->materials.push_back(material);
        IDirect3DRMFrame* frame = nullptr;
        rm->CreateFrame(scene, &frame);
        frame->AddVisual(mb);
        frame->Release();
        mb->Release();
        return mb;
    }

    IDirect3DRMFrame* AddLight(D3DRMLIGHTTYPE type, D3DVALUE c, D3DVALUE attenuation = 1) {
        IDirect3DRMFrame* frame = nullptr;
        IDirect3DRMLight* light = nullptr;
        rm->CreateFrame(scene, &frame);
        rm->CreateLightRGB(type, c, c, c, &light);
        light->SetConstantAttenuation(attenuation);
        frame->AddLight(light);
        light->Release();
        frame->Release();
        return frame;
    }

    void Draw() {
        ASSERT_EQ(viewport->Clear(), D3DRM_OK);
        ASSERT_EQ(viewport->Render(scene), D3DRM_OK);
        ASSERT_EQ(device->Update(), D3DRM_OK);
    }

    uint16_t Centre() const { return Pixel(kWidth / 2, kHeight / 2); }

    static RmMaterial Orange() {
        RmMaterial m;
        m.faceColor[0] = 0.8f;
        m.faceColor[1] = 0.4f;
        m.faceColor[2] = 0.2f;
        m.emissive[0] = 0.1f;
        return m;
    }
};

TEST_F(RmRenderTest, AmbientAndDirectionalLightFollowTheFormula) {
    MakeScene();
    AddSquare(5, Orange());
    AddLight(D3DRMLIGHT_AMBIENT, 0.2f);
    AddLight(D3DRMLIGHT_DIRECTIONAL, 0.5f);  // its frame's +z: straight onto the face
    for (DWORD quality : {DWORD{D3DRMRENDER_FLAT}, DWORD{D3DRMRENDER_GOURAUD}}) {
        device->SetQuality(quality);
        Draw();
        // emissive + colour * ambient + colour * light * N.L
        ExpectColour(Centre(), 0.1 + 0.8 * 0.2 + 0.8 * 0.5, 0.4 * 0.7, 0.2 * 0.7);
        EXPECT_EQ(Pixel(1, 1), 0) << "outside the square stays the background";
    }
}

TEST_F(RmRenderTest, PointLightAttenuatesAndSpecularAddsOn) {
    MakeScene();
    RmMaterial m = Orange();
    AddSquare(5, m);
    AddLight(D3DRMLIGHT_POINT, 1.0f, 2.0f);  // at the camera, attenuation 1/2
    device->SetQuality(D3DRMRENDER_FLAT);
    Draw();
    // Flat faces are lit at their first corner (-1, -1, 5): N.L = 5 / sqrt(27).
    double ndl = 5.0 / std::sqrt(27.0);
    ExpectColour(Centre(), 0.1 + 0.8 * ndl * 0.5, 0.4 * ndl * 0.5, 0.2 * ndl * 0.5);

    // Specular with a viewer along the camera's -z: the half vector of a light straight
    // behind the camera is the face normal, so N.H = 1 and the full term adds on.
    IDirect3DRMFrame* frame = scene->children.back();
    frame->lights[0]->SetType(D3DRMLIGHT_DIRECTIONAL);
    frame->lights[0]->SetColorRGB(0.25f, 0.25f, 0.25f);
    auto* mb = static_cast<IDirect3DRMMeshBuilder*>(scene->children[1]->visuals[0]);
    mb->materials[0].power = 8;
    mb->materials[0].specular[2] = 1;
    Draw();
    ExpectColour(Centre(), 0.1 + 0.8 * 0.25, 0.4 * 0.25, 0.2 * 0.25 + 0.25);
}

TEST_F(RmRenderTest, LightOffShowsTheFaceColourAndBackFacesAreCulled) {
    MakeScene();
    AddSquare(5, Orange());
    AddLight(D3DRMLIGHT_AMBIENT, 1.0f);
    device->SetQuality(D3DRMRENDER_UNLITFLAT);
    Draw();
    ExpectColour(Centre(), 0.8, 0.4, 0.2);
    scene->DeleteChild(scene->children[1]);
    AddSquare(5, Orange(), true);  // counter-clockwise on screen: its back
    Draw();
    EXPECT_EQ(Centre(), 0);
}

TEST_F(RmRenderTest, MeshQualityLowersTheDevicesFieldByField) {
    MakeScene();
    IDirect3DRMMeshBuilder* mb = AddSquare(5, Orange());
    AddLight(D3DRMLIGHT_AMBIENT, 0.5f);
    device->SetQuality(D3DRMRENDER_GOURAUD);
    mb->SetQuality(D3DRMRENDER_UNLITFLAT);  // light off wins over the device's light on
    Draw();
    ExpectColour(Centre(), 0.8, 0.4, 0.2);
    mb->SetQuality(D3DRMRENDER_GOURAUD);
    Draw();
    ExpectColour(Centre(), 0.1 + 0.8 * 0.5, 0.4 * 0.5, 0.2 * 0.5);
}

TEST_F(RmRenderTest, WireframeDrawsOnlyThePolygonsOwnEdges) {
    MakeScene();
    AddSquare(5, Orange());
    AddLight(D3DRMLIGHT_AMBIENT, 1.0f);
    device->SetQuality(73);  // wireframe, lit, Gouraud
    Draw();
    EXPECT_EQ(Centre(), 0);
    // The square spans 2 * 64/2 * 1/(5 * 0.5) = 25.6 pixels; its diagonal from corner 0 to
    // corner 2 (a triangulation edge) must not be drawn, its outline must.
    int drawn = 0, diagonal = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) drawn += Pixel(x, y) != 0;
    for (int i = -8; i <= 8; ++i) diagonal += Pixel(kWidth / 2 + i, kHeight / 2 - i) != 0;
    EXPECT_GT(drawn, 80);
    EXPECT_EQ(diagonal, 0);
}

TEST_F(RmRenderTest, ClearUsesTheSceneBackgroundInTheSurfacesLayout) {
    for (bool rgb555 : {false, true}) {
        TearDown();
        rm = nullptr, surface = nullptr, device = nullptr, scene = nullptr, camera = nullptr,
        viewport = nullptr;
        MakeScene(rgb555);
        scene->SetSceneBackgroundRGB(1.0f, 0.5f, 0.0f);
        ASSERT_EQ(viewport->Clear(), D3DRM_OK);
        EXPECT_EQ(Pixel(0, 0), rgb555 ? (31 << 10 | 15 << 5) : (31 << 11 | 31 << 5));
        EXPECT_EQ(Pixel(kWidth - 1, kHeight - 1), Pixel(0, 0));
    }
}

TEST_F(RmRenderTest, DepthBufferDecidesUnlessTheFrameTurnsItOff) {
    MakeScene();
    RmMaterial red, green;
    red.faceColor[1] = red.faceColor[2] = 0;
    green.faceColor[0] = green.faceColor[2] = 0;
    AddSquare(5, red);
    AddSquare(6, green);  // behind, drawn later
    device->SetQuality(D3DRMRENDER_UNLITFLAT);
    scene->SetZbufferMode(D3DRMZBUFFER_ENABLE);
    Draw();
    ExpectColour(Centre(), 1, 0, 0);
    scene->SetZbufferMode(D3DRMZBUFFER_DISABLE);
    Draw();
    ExpectColour(Centre(), 0, 1, 0);
}

// More triangles than one batch holds: the walk draws a full batch and goes on with a new one.
// Every triangle is drawn, in the order of the faces, in the rows above and below the split.
TEST_F(RmRenderTest, AMeshOfMoreTrianglesThanABatchIsDrawnWholeAndInOrder) {
    MakeScene();
    device->SetQuality(D3DRMRENDER_UNLITFLAT);
    scene->SetZbufferMode(D3DRMZBUFFER_DISABLE);  // painter's order: the last face drawn shows
    IDirect3DRMMeshBuilder* mb = AddSquare(5, RmMaterial{});
    // A strip below the square and one above, each only drawn by one face of the first batch.
    const D3DVECTOR strips[8] = {{-1, -2, 5}, {-1, -1.3f, 5}, {1, -1.3f, 5}, {1, -2, 5},
                                 {-1, 1.3f, 5}, {-1, 2, 5},    {1, 2, 5},    {1, 1.3f, 5}};
    mb->vertices.insert(mb->vertices.end(), strips, strips + 8);
    for (uint32_t v = 4; v < 12; ++v) mb->corners.push_back(RmCorner{v, 0, 0, 0, 0xffffffffu});
    RmMaterial red, green, blue;
    red.faceColor[1] = red.faceColor[2] = 0;
    green.faceColor[0] = green.faceColor[2] = 0;
    blue.faceColor[0] = blue.faceColor[1] = 0;
    mb->materials = {red, green, blue};
    const RmFace square = mb->faces[0];
    mb->faces = {RmFace{4, 4, 0, square.normal}, RmFace{8, 4, 1, square.normal}};
    // Two triangles a face: the square alternates red and green past the end of the first
    // batch, and the very last face is blue.
    const uint32_t squares = static_cast<uint32_t>(kRmMaxBatch / 2 + 100);
    for (uint32_t i = 0; i < squares; ++i)
        mb->faces.push_back(RmFace{0, 4, i + 1 == squares ? 2u : i % 2, square.normal});
    Draw();
    for (int y : {kHeight / 2 - 10, kHeight / 2, kHeight / 2 + 10}) ExpectColour(Pixel(kWidth / 2, y), 0, 0, 1);
    ExpectColour(Pixel(kWidth / 2, kHeight / 2 + 19), 1, 0, 0);
    ExpectColour(Pixel(kWidth / 2, kHeight / 2 - 19), 0, 1, 0);
}

TEST_F(RmRenderTest, SameSceneSameBytes) {
    MakeScene();
    AddSquare(5, Orange());
    AddLight(D3DRMLIGHT_AMBIENT, 0.3f);
    AddLight(D3DRMLIGHT_POINT, 0.7f)->SetPosition(scene, 1, 2, 0);
    device->SetQuality(D3DRMRENDER_GOURAUD);
    device->SetDither(TRUE);
    Draw();
    std::vector<uint16_t> first = surface->memory;
    Draw();
    EXPECT_EQ(surface->memory, first);
    EXPECT_NE(Centre(), 0);
}

}  // namespace
