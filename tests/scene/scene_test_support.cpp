// Shared set-up of the 3D scene tests.
#include "tests/scene/scene_test_support.h"

#include <cstdio>

#include "display/display.h"

void SceneTest::SetUp() {
    ShowTest::SetUp();
    OpenTestDisplay();
    ASSERT_EQ(Create3DDevice(IID_IDirect3DHALDevice, DisplayObject, BackSurface), 0);
}

void SceneTest::TearDown() {
    Release3DDevice();
    ReleaseDisplay();
}

void WriteTextFile(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

// Written one value group a line with decimal points, as the built-in models are.
std::string BoxXFile(int animationSets, const std::string& textureName) {
    std::string x =
        "xof 0302txt 0032\n"
        "Header {\n 1;\n 0;\n 1;\n}\n"
        "Frame Box {\n"
        " FrameTransformMatrix {\n"
        "  1.000000,0.000000,0.000000,0.000000,\n"
        "  0.000000,1.000000,0.000000,0.000000,\n"
        "  0.000000,0.000000,1.000000,0.000000,\n"
        "  0.000000,0.000000,0.000000,1.000000;;\n"
        " }\n"
        " Mesh BoxMesh {\n"
        "  8;\n"
        "  -1.000000;-1.000000;-1.000000;,\n  -1.000000;1.000000;-1.000000;,\n"
        "  1.000000;1.000000;-1.000000;,\n  1.000000;-1.000000;-1.000000;,\n"
        "  -1.000000;-1.000000;1.000000;,\n  -1.000000;1.000000;1.000000;,\n"
        "  1.000000;1.000000;1.000000;,\n  1.000000;-1.000000;1.000000;;\n"
        "  6;\n"
        "  4;0,1,2,3;,\n  4;7,6,5,4;,\n  4;4,5,1,0;,\n  4;3,2,6,7;,\n  4;1,5,6,2;,\n  4;4,0,3,7;;\n";
    if (!textureName.empty()) {
        x += "  MeshTextureCoords {\n   8;\n"
             "   0.000000;0.000000;,\n   0.000000;1.000000;,\n   1.000000;1.000000;,\n"
             "   1.000000;0.000000;,\n   0.000000;0.000000;,\n   0.000000;1.000000;,\n"
             "   1.000000;1.000000;,\n   1.000000;0.000000;;\n  }\n"
             "  MeshMaterialList {\n   1;\n   6;\n   0,\n   0,\n   0,\n   0,\n   0,\n   0;\n"
             "   Material {\n    1.000000;1.000000;1.000000;1.000000;;\n    0.000000;\n"
             "    0.000000;0.000000;0.000000;;\n    0.000000;0.000000;0.000000;;\n"
             "    TextureFilename {\n     \"" +
             textureName + "\";\n    }\n   }\n  }\n";
    }
    x += " }\n}\n";
    for (int i = 1; i <= animationSets; i++) {
        x += "AnimationSet Set" + std::to_string(i) +
             " {\n"
             " Animation {\n"
             "  {Box}\n"
             "  AnimationKey {\n   2;\n   2;\n   0;3;0.000000,0.000000,0.000000;;,\n   100;3;" +
             std::to_string(i) + ".000000,0.000000,0.000000;;;\n  }\n }\n}\n";
    }
    return x;
}

std::vector<IDirect3DRMLight*> SceneLights(const SceneRecord& record) {
    std::vector<IDirect3DRMLight*> lights;
    for (IDirect3DRMFrame* child : record.sceneFrame->children) {
        if (child == record.cameraFrame) continue;
        for (IDirect3DRMLight* light : child->lights) lights.push_back(light);
    }
    return lights;
}

IDirect3DRMFrame* SceneLightFrame(const SceneRecord& record, size_t i) {
    for (IDirect3DRMFrame* child : record.sceneFrame->children) {
        if (child == record.cameraFrame || child->lights.empty()) continue;
        if (i == 0) return child;
        i--;
    }
    return nullptr;
}

D3DVECTOR FramePosition(const SceneRecord& record, IDirect3DRMFrame* frame) {
    D3DVECTOR v{};
    frame->GetPosition(record.sceneFrame, &v);
    return v;
}

void FrameOrientation(const SceneRecord& record, IDirect3DRMFrame* frame, D3DVECTOR* direction,
                      D3DVECTOR* up) {
    frame->GetOrientation(record.sceneFrame, direction, up);
}
