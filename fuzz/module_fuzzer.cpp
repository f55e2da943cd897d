// Fuzzes MIDASloadModule: a module file read whole and handed to libopenmpt, then freed.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "platform/midas/midas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = WriteFuzzFile("zelkmod.xm", data, size);

    ObjectCounts before = LivePlatformObjects();
    // Loading needs no output device: MIDASinit is not called.
    MIDASmodule module = MIDASloadModule(path.c_str());
    if (module && !MIDASfreeModule(module)) __builtin_trap();  // a loaded module must free
    CheckObjectsGivenBack(before, "MIDASloadModule");
    return 0;
}
