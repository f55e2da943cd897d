#include "platform/win32/whole_file.h"

#include <cerrno>
#include <cstdio>

WholeFile ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes,
                        int& error) {
    bytes.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = errno;
        return WholeFile::NotOpened;
    }
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
