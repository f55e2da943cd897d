// Files of the show data, written under one root folder with clear errors.
#include "tools/showdata/output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace showdata {

std::string OutputRoot;

namespace {

std::string Describe(const std::error_code& error) { return error.message(); }

}  // namespace

void WriteOutputFile(std::string_view name, const std::vector<uint8_t>& bytes) {
    std::filesystem::path path = std::filesystem::path(OutputRoot) / name;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error)
        throw WriteError("cannot create folder " + path.parent_path().string() + ": " +
                         Describe(error));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw WriteError("cannot write " + path.string() + ": " + std::strerror(errno));
    size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
    int writeErrno = errno;
    bool closed = std::fclose(file) == 0;
    if (written != bytes.size() || !closed)
        throw WriteError("cannot write " + path.string() + ": " +
                         std::strerror(written != bytes.size() ? writeErrno : errno));
}

void WriteOutputText(std::string_view name, std::string_view text) {
    WriteOutputFile(name, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace showdata
