// Loading and freeing modules: the file read whole, then handed to libopenmpt with the
// library's render settings. Errors name the file and say what failed.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

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

// How far an XM file's own headers (patterns, instruments, sample headers and data) reach, as far
// as they can be followed, when that is past the file's end; else 0. libopenmpt plays a module cut short without a word, so this
// is how such a file is told from a whole one. Other formats, and XM headers too odd to follow,
// give 0.
uint64_t XmDescribedSizeWhenShort(const std::vector<uint8_t>& data) {
    auto word = [&data](uint64_t at) -> uint64_t {
        return at + 2 <= data.size() ? data[at] | data[at + 1] << 8 : 0;
    };
    auto dword = [&data](uint64_t at) -> uint64_t {
        return at + 4 <= data.size() ? data[at] | data[at + 1] << 8 | data[at + 2] << 16 | uint64_t{data[at + 3]} << 24 : 0;
    };
    if (data.size() < 80 || std::memcmp(data.data(), "Extended Module: ", 17) != 0 || word(58) != 0x0104) return 0;
    const uint64_t patterns = word(70), instruments = word(72);
    uint64_t at = 60 + dword(60);
    for (uint64_t p = 0; p < patterns && at < data.size(); p++) at += dword(at) + word(at + 7);
    for (uint64_t i = 0; i < instruments && at < data.size(); i++) {
        uint64_t size = dword(at);
        if (size == 0) size = 263;  // how the common loaders read it
        if (size < 29) return 0;
        const uint64_t samples = word(at + 27), sampleHeader = samples ? dword(at + 29) : 0;
        if (samples > 16 || (samples && sampleHeader < 18)) return 0;
        uint64_t sampleData = 0;
        for (uint64_t s = 0; s < samples; s++) sampleData += dword(at + size + s * sampleHeader);
        at += size + samples * sampleHeader + sampleData;
    }
    return at > data.size() ? at : 0;
}

// libopenmpt's log while a module loads: what it had to skip or guess (a module cut short says
// so here), gathered for the one line that names the file.
void CollectLoadLog(const char* message, void* user) {
    auto* record = static_cast<MIDASmoduleRecord*>(user);
    if (!record->loading || !message || !*message) return;
    if (!record->loadLog.empty()) record->loadLog += "; ";
    record->loadLog += message;
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
    const std::string path = ResolvePath(fileName);
    switch (ReadWholeFile(path, kMaxModuleBytes, data, error)) {
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
    // The record exists first: libopenmpt keeps the log's user pointer for the module's life.
    auto* record = new MIDASmoduleRecord;
    openmpt_module* mod = openmpt_module_create_from_memory2(
        data.data(), data.size(), CollectLoadLog, record, openmpt_error_func_store,
        nullptr, &openmptError, &openmptMessage, ctls);
    record->loading = false;
    if (!mod) {
        delete record;
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
    // Loaded, perhaps only in part: the show plays what there is, and says what is missing.
    std::string problems;
    if (uint64_t declared = XmDescribedSizeWhenShort(data))
        problems = "cut short at " + std::to_string(data.size()) + " bytes, where its headers describe at least " +
                   std::to_string(declared) + "; the music plays what there is";
    if (!record->loadLog.empty()) problems += (problems.empty() ? "" : "; ") + ("libopenmpt: " + record->loadLog);
    if (!problems.empty()) ReportFileProblem(path, problems);

    record->mod = mod;
    Midas.modules.push_back(record);
    standin::ObjectCreated("MIDASmodule", record);
    return record;
}

void MidasDestroyModule(MIDASmoduleRecord* record) {
    if (Midas.playing == record) MidasStopPlaying();
    Midas.modules.erase(std::find(Midas.modules.begin(), Midas.modules.end(), record));
    standin::ObjectDestroyed("MIDASmodule", record);
    openmpt_module_destroy(record->mod);
    delete record;
}

BOOL MIDASfreeModule(MIDASmodule module) {
    if (MidasEnter("MIDASfreeModule")) return FALSE;
    if (std::find(Midas.modules.begin(), Midas.modules.end(), module) == Midas.modules.end())
        return MidasFail(kMidasErrorInvalidModule,
                         "MIDASfreeModule: not a loaded module (never loaded, or already freed)");
    MidasDestroyModule(module);
    return TRUE;
}
