// Loading and freeing modules: the file read whole, then handed to libopenmpt with the
// library's render settings. Errors name the file and say what failed.
#include <algorithm>
#include <cstring>

#include "platform/midas/library.h"
#include "platform/testing/hooks.h"
#include "platform/win32/paths.h"
#include "platform/win32/whole_file.h"

namespace {

// Far above any real module; stops a device file or a mistaken huge file from eating memory.
constexpr size_t kMaxModuleBytes = 256u << 20;

// Why libopenmpt refused the data: its header probe tells an unknown format from a known
// one that is damaged or cut short.
std::string WhyNotAModule(const std::vector<uint8_t>& data, const char* openmptMessage) {
    std::string why = openmptMessage && *openmptMessage ? openmptMessage : "error loading file";
    int probe = openmpt_probe_file_header(OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT, data.data(),
                                          data.size(), data.size(), openmpt_log_func_silent,
                                          nullptr, openmpt_error_func_ignore, nullptr, nullptr,
                                          nullptr);
    if (data.empty()) return why + " (the file is empty)";
    if (probe == OPENMPT_PROBE_FILE_HEADER_RESULT_FAILURE) return why + " (unknown format)";
    if (probe == OPENMPT_PROBE_FILE_HEADER_RESULT_WANTMOREDATA)
        return why + " (the file is too short: " + std::to_string(data.size()) + " bytes)";
    if (probe == OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS)
        return why + " (the header is recognised; the rest is damaged or cut short)";
    return why;
}

void ApplyRenderSettings(openmpt_module* mod) {
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH,
                                    kMidasInterpolationTaps);
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_STEREOSEPARATION_PERCENT,
                                    kMidasStereoSeparationPercent);
    // Set as an integer: libopenmpt 0.6.9 accepts the text form but keeps dithering.
    openmpt_module_ctl_set_integer(mod, "dither", kMidasDither);
}

}  // namespace

MIDASmodule MIDASloadModule(const char* fileName) {
    if (MidasEnter("MIDASloadModule", fileName ? fileName : "(null)")) return nullptr;
    if (!fileName || !*fileName) {
        MidasFail(kMidasErrorFileOpen, "MIDASloadModule: no file name given");
        return nullptr;
    }
    std::vector<uint8_t> data;
    int error = 0;
    switch (ReadWholeFile(ResolvePath(fileName), kMaxModuleBytes, data, error)) {
    case WholeFile::NotOpened:
        MidasFail(kMidasErrorFileOpen,
                  std::string("cannot open ") + fileName + ": " + strerror(error));
        return nullptr;
    case WholeFile::NotRead:
        MidasFail(kMidasErrorFileRead,
                  std::string("cannot read ") + fileName + ": " + strerror(error));
        return nullptr;
    case WholeFile::TooLarge:
        MidasFail(kMidasErrorFileTooLarge, std::string(fileName) + " is too large for a module (over " +
                                               std::to_string(kMaxModuleBytes >> 20) + " MiB)");
        return nullptr;
    case WholeFile::Read:
        break;
    }

    int openmptError = OPENMPT_ERROR_OK;
    const char* openmptMessage = nullptr;
    // libopenmpt walks every sub-song of a module at load to learn its length; a crafted file
    // makes that walk take seconds and gigabytes. The show plays from the start and never
    // seeks, so the walk is skipped.
    const openmpt_module_initial_ctl ctls[] = {{"load.skip_subsongs_init", "1"}, {nullptr, nullptr}};
    openmpt_module* mod = openmpt_module_create_from_memory2(
        data.data(), data.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_store,
        nullptr, &openmptError, &openmptMessage, ctls);
    if (!mod) {
        bool outOfMemory = openmptError == OPENMPT_ERROR_OUT_OF_MEMORY;
        std::string why = WhyNotAModule(data, openmptMessage);
        openmpt_free_string(openmptMessage);
        if (outOfMemory)
            MidasFail(kMidasErrorOutOfMemory, std::string("out of memory loading ") + fileName);
        else
            MidasFail(kMidasErrorBadModule,
                      std::string(fileName) + " is not a module libopenmpt can read: " + why);
        return nullptr;
    }
    openmpt_free_string(openmptMessage);
    ApplyRenderSettings(mod);

    auto* record = new MIDASmoduleRecord;
    record->mod = mod;
    Midas.modules.push_back(record);
    standin::ObjectCreated("MIDASmodule");
    return record;
}

void MidasDestroyModule(MIDASmoduleRecord* record) {
    if (Midas.playing == record) MidasStopPlaying();
    Midas.modules.erase(std::find(Midas.modules.begin(), Midas.modules.end(), record));
    openmpt_module_destroy(record->mod);
    delete record;
    standin::ObjectDestroyed("MIDASmodule");
}

BOOL MIDASfreeModule(MIDASmodule module) {
    if (MidasEnter("MIDASfreeModule")) return FALSE;
    if (std::find(Midas.modules.begin(), Midas.modules.end(), module) == Midas.modules.end())
        return MidasFail(kMidasErrorInvalidModule,
                         "MIDASfreeModule: not a loaded module (never loaded, or already freed)");
    MidasDestroyModule(module);
    return TRUE;
}
