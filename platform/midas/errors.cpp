// The music library's last error and its texts, and the fault/log hook at each call's start.
#include "platform/midas/library.h"
#include "platform/testing/hooks.h"

namespace {

// Generic texts, for codes that are not the last error (whose text is more precise).
const char* const kErrorTexts[kMidasErrorCount] = {
    "no error",
    "a music library call was made to fail",
    "the music library is not initialized",
    "the music library is already initialized",
    "cannot open the module file",
    "cannot read the module file",
    "the module file is too large",
    "the file is not a module libopenmpt can read",
    "out of memory while loading the module",
    "not a loaded module",
    "not the handle of the playing module",
};

}  // namespace

bool MidasEnter(const char* call, const char* detail) {
    if (standin::CallLogEnabled())
        standin::LogCall(detail ? std::string(call) + " " + detail : std::string(call));
    if (!standin::TakeFault(call)) return false;
    MidasFail(kMidasErrorForced, std::string(call) + " failed: made to fail by a test");
    return true;
}

int MidasFail(int code, const std::string& text) {
    Midas.lastError = code;
    Midas.lastErrorText = text;
    return 0;
}

int MIDASgetLastError() { return Midas.lastError; }

const char* MIDASgetErrorMessage(int errorCode) {
    if (errorCode == Midas.lastError && !Midas.lastErrorText.empty())
        return Midas.lastErrorText.c_str();
    if (errorCode >= 0 && errorCode < kMidasErrorCount) return kErrorTexts[errorCode];
    return "unknown music library error";
}
