// Scene set-up shared by the X-file and scene-script fuzz targets.
#include "fuzz/fuzz_scene.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

// A cube with texture coordinates and one textured material, and an animation set moving it.
const char kBoxXFile[] =
    "xof 0302txt 0032\n"
    "Frame Box {\n"
    " FrameTransformMatrix {\n"
    "  1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,4.0,1.0;;\n"
    " }\n"
    " Mesh BoxMesh {\n"
    "  8;\n"
    "  -1.0;-1.0;-1.0;, -1.0;1.0;-1.0;, 1.0;1.0;-1.0;, 1.0;-1.0;-1.0;,\n"
    "  -1.0;-1.0;1.0;, -1.0;1.0;1.0;, 1.0;1.0;1.0;, 1.0;-1.0;1.0;;\n"
    "  6;\n"
    "  4;0,1,2,3;, 4;7,6,5,4;, 4;4,5,1,0;, 4;3,2,6,7;, 4;1,5,6,2;, 4;4,0,3,7;;\n"
    "  MeshTextureCoords {\n"
    "   8;\n"
    "   0.0;0.0;, 0.0;1.0;, 1.0;1.0;, 1.0;0.0;, 0.0;0.0;, 0.0;1.0;, 1.0;1.0;, 1.0;0.0;;\n"
    "  }\n"
    "  MeshMaterialList {\n"
    "   1;\n"
    "   6;\n"
    "   0, 0, 0, 0, 0, 0;\n"
    "   Material {\n"
    "    1.0;1.0;1.0;1.0;;\n"
    "    10.0;\n"
    "    1.0;1.0;1.0;;\n"
    "    0.0;0.0;0.0;;\n"
    "    TextureFilename {\n"
    "     \"tiles.bmp\";\n"
    "    }\n"
    "   }\n"
    "  }\n"
    " }\n"
    "}\n"
    "AnimationSet Spin {\n"
    " Animation {\n"
    "  {Box}\n"
    "  AnimationKey {\n"
    "   2;\n"
    "   2;\n"
    "   0;3;0.0,0.0,4.0;;,\n"
    "   100;3;1.0,0.0,4.0;;;\n"
    "  }\n"
    " }\n"
    "}\n";

// A 2 x 2 24-bit bottom-up BMP: red, green / blue, white.
std::vector<uint8_t> SmallBmp() {
    std::vector<uint8_t> b = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,          // file header: size 70, data at 54
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,        // info header: 2 x 2, 24 bits
        0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,         // uncompressed, 16 bytes of rows
        0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 255, 0, 255, 0, 0, 0,                              // bottom row: red, green, pad
        255, 0, 0, 255, 255, 255, 0, 0,                          // top row: blue, white, pad
    };
    return b;
}

}  // namespace

void WriteSceneFolder() {
    static bool written = false;
    if (written) return;
    written = true;
    const uint8_t* box = reinterpret_cast<const uint8_t*>(kBoxXFile);
    for (const char* name : {"models/credits.x", "models/baller.x", "models/scene1.x"})
        WriteFuzzFile(name, box, sizeof(kBoxXFile) - 1);
    std::vector<uint8_t> bmp = SmallBmp();
    for (const char* name : {"ball.bmp", "tiles.bmp", "floor.bmp", "moon.bmp", "sunset.bmp"})
        WriteFuzzFile(std::string("textures/") + name, bmp.data(), bmp.size());
}

void RenderAndReleaseScene(const SceneRecord& record, D3DVALUE time) {
    if (SceneIsLoaded(record) && record.cameraFrame) RenderScene(time, record);
    ReleaseScene(record);
    if (record.viewport) record.viewport->Release();
}
