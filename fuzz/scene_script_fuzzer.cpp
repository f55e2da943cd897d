// Fuzzes LoadSceneScript: a scene script read, its scene built and lit, the camera placed, then drawn once.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_scene.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UseFuzz3DDevice();
    WriteSceneFolder();
    WriteFuzzFile("scripts/fuzz.scr", data, size);

    ObjectCounts before = LivePlatformObjects();
    {
        FuzzWorkingDir inFolder;  // the script names its X file relative to here
        SceneRecord record = LoadSceneScript("scripts\\fuzz.scr", 0, 0, kFuzzViewportWidth, kFuzzViewportHeight);
        RenderAndReleaseScene(record, 50.0f);
    }
    CheckObjectsGivenBack(before, "LoadSceneScript");
    return 0;
}
