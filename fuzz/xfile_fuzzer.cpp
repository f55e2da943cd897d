// Fuzzes BuildScene: an X file (text, binary or compressed) loaded through the stand-in's Load, then drawn once.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_scene.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UseFuzz3DDevice();
    WriteSceneFolder();
    WriteFuzzFile("models/fuzz.x", data, size);

    ObjectCounts before = LivePlatformObjects();
    {
        FuzzWorkingDir inFolder;  // textures are read from textures\ here
        SceneRecord record = {nullptr, nullptr, nullptr, nullptr};
        BuildScene("models\\fuzz.x", &record, 0, 0, kFuzzViewportWidth, kFuzzViewportHeight);
        // Half-way through the box's animation; any animation of the input plays at 50 too.
        RenderAndReleaseScene(record, 50.0f);
    }
    CheckObjectsGivenBack(before, "BuildScene");
    return 0;
}
