// The picture settings: the settings file, then the environment, over the defaults.
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/host/sdl/scaling.h"

namespace {

// Far more than any settings file needs; a larger "file" is something else named by mistake.
const long kMaxSettingsBytes = 64 * 1024;

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

bool SameWord(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && strncasecmp(a.c_str(), b, a.size()) == 0;
}

// Applies one setting; false when the key is known but the value is not.
bool SetValue(ScaleSettings& s, bool isScale, const std::string& value) {
    for (ScaleMode m : {ScaleMode::Aspect, ScaleMode::Integer, ScaleMode::Stretch}) {
        if (isScale && SameWord(value, ScaleModeName(m))) {
            s.mode = m;
            return true;
        }
    }
    for (ScaleFilter f : {ScaleFilter::Sharp, ScaleFilter::Nearest, ScaleFilter::Linear}) {
        if (!isScale && SameWord(value, ScaleFilterName(f))) {
            s.filter = f;
            return true;
        }
    }
    return false;
}

// One line on stderr for a value that cannot be used; `where` is "file:line" or the variable.
void BadValue(const std::string& where, bool isScale, const std::string& value, const ScaleSettings& s) {
    std::fprintf(stderr, "zelk6: %s: unknown %s '%s'; using %s\n", where.c_str(), isScale ? "scale" : "filter",
                 value.c_str(), isScale ? ScaleModeName(s.mode) : ScaleFilterName(s.filter));
}

void ReadLine(const std::string& where, std::string line, ScaleSettings& s) {
    line = Trim(line.substr(0, line.find('#')));
    if (line.empty()) return;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        std::fprintf(stderr, "zelk6: %s: not a 'key = value' line; ignored\n", where.c_str());
        return;
    }
    const std::string key = Trim(line.substr(0, equals)), value = Trim(line.substr(equals + 1));
    const bool isScale = SameWord(key, "scale");
    if (!isScale && !SameWord(key, "filter")) {
        std::fprintf(stderr, "zelk6: %s: unknown key '%s'; ignored\n", where.c_str(), key.c_str());
        return;
    }
    if (!SetValue(s, isScale, value)) BadValue(where, isScale, value, s);
}

std::string SettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // The convention: a relative XDG_CONFIG_HOME is ignored.
    if (config && config[0] == '/') return std::string(config) + "/zelk6/zelk6.conf";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.config/zelk6/zelk6.conf";
    return "";
}

// The whole file, or false after one line on stderr; a file that is not there is no error.
bool ReadWholeFile(const std::string& path, std::string& text) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            std::fprintf(stderr, "zelk6: %s: %s; ignored\n", path.c_str(), std::strerror(errno));
        return false;
    }
    // Not a FIFO or a device either, which could block or never end.
    if (!S_ISREG(info.st_mode) || info.st_size > kMaxSettingsBytes) {
        std::fprintf(stderr, "zelk6: %s: not a settings file (a regular file of at most 64 KiB); ignored\n",
                     path.c_str());
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "zelk6: %s: %s; ignored\n", path.c_str(), std::strerror(errno));
        return false;
    }
    text.resize(static_cast<size_t>(kMaxSettingsBytes));
    text.resize(std::fread(text.data(), 1, text.size(), file));
    const bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) std::fprintf(stderr, "zelk6: %s: cannot be read; ignored\n", path.c_str());
    return !failed;
}

void ReadSettingsFile(const std::string& path, ScaleSettings& s) {
    std::string text;
    if (path.empty() || !ReadWholeFile(path, text)) return;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);  // a UTF-8 byte-order mark
    int number = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ReadLine(path + ":" + std::to_string(++number), text.substr(start, end - start), s);
        start = end + 1;
    }
}

void ReadVariable(const char* name, bool isScale, ScaleSettings& s) {
    const char* value = std::getenv(name);
    if (!value || !*value) return;
    if (!SetValue(s, isScale, Trim(value))) BadValue(name, isScale, value, s);
}

}  // namespace

ScaleSettings ReadScaleSettings() {
    ScaleSettings s;
    ReadSettingsFile(SettingsPath(), s);
    ReadVariable("ZELK6_SCALE", true, s);
    ReadVariable("ZELK6_FILTER", false, s);
    return s;
}
