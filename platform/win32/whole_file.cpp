#include "platform/win32/whole_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

WholeFile ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes,
                        int& error) {
    bytes.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = errno;
        return WholeFile::NotOpened;
    }
    // A regular file's size is known: one buffer of it, not a growing copy per chunk. The
    // reads below still decide what was read, should the file change meanwhile.
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        static_cast<uint64_t>(info.st_size) <= maxBytes)
        bytes.reserve(static_cast<size_t>(info.st_size));
    WholeFile result = WholeFile::Read;
    uint8_t chunk[64 * 1024];
    for (;;) {
        size_t n = std::fread(chunk, 1, sizeof chunk, file);
        if (n > maxBytes - bytes.size()) {
            result = WholeFile::TooLarge;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (n < sizeof chunk) {
            if (std::ferror(file)) {
                error = errno;
                result = WholeFile::NotRead;
            }
            break;
        }
    }
    std::fclose(file);
    if (result != WholeFile::Read) bytes.clear();
    return result;
}

std::string WhyNotRead(WholeFile result, int error, const char* kind) {
    if (result == WholeFile::TooLarge) return std::string("too large for ") + kind;
    if (result == WholeFile::NotRead) return std::string("cannot read: ") + std::strerror(error);
    return std::strerror(error);
}

void ReportFileProblem(const std::string& path, const std::string& what) {
    // A module's log may speak from the sound thread while it plays.
    static std::mutex lock;
    static std::set<std::string> reported;
    std::lock_guard<std::mutex> hold(lock);
    if (!reported.insert(path).second) return;
    // A name read from a damaged file may hold anything; control bytes never reach the terminal.
    std::string line = "zelk6: " + path + ": " + what;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    std::fprintf(stderr, "%s\n", line.c_str());
}
