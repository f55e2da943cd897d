// Windows-style names on a case-sensitive file system, and the C runtime file calls on them.
// The show reads data files only, so a file that cannot be opened or ends short is named on
// stderr (once) as it goes on without it.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "platform/win32/crt.h"
#include "platform/win32/paths.h"
#include "platform/win32/whole_file.h"

namespace {

std::map<int, std::string> g_openFiles;  // descriptor -> path, for what _read reports

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// The entry of `dir` whose name equals `name` ignoring case, or `name` when there is none.
std::string MatchComponent(const std::string& dir, const std::string& name) {
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return name;
    std::string found = name;
    while (dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, name.c_str()) == 0) {
            found = e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

}  // namespace

std::string ResolvePath(const char* windowsName) {
    std::string path = windowsName ? windowsName : "";
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty() || Exists(path)) return path;

    std::string result;
    size_t start = 0;
    if (path[0] == '/') {
        result = "/";
        start = 1;
    }
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string component = path.substr(start, end - start);
        if (!component.empty()) {
            std::string dir = result;
            if (!Exists(result + component)) component = MatchComponent(dir, component);
            result += component;
            if (end < path.size()) result += '/';
        }
        start = end + 1;
    }
    return result;
}

int _open(const char* name, int flags) {
    (void)flags;  // the show opens read-only; binary and text are the same here
    const std::string path = ResolvePath(name);
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        ReportFileProblem(path, std::strerror(errno));
    else
        g_openFiles[fd] = path;
    return fd;
}

int _read(int fd, void* buffer, unsigned int count) {
    unsigned int done = 0;
    int error = 0;
    while (done < count) {
        ssize_t n = read(fd, static_cast<char*>(buffer) + done, count - done);
        if (n < 0) {
            error = errno;
            break;
        }
        if (n == 0) break;
        done += static_cast<unsigned int>(n);
    }
    auto file = g_openFiles.find(fd);
    if (done < count && file != g_openFiles.end())
        ReportFileProblem(file->second, error ? std::string("cannot read: ") + std::strerror(error)
                                              : "too short: " + std::to_string(done) + " bytes where " +
                                                    std::to_string(count) + " are read");
    if (error && !done) return -1;
    return static_cast<int>(done);
}

int _close(int fd) {
    g_openFiles.erase(fd);
    return close(fd);
}

FILE* _fsopen(const char* name, const char* mode, int shareFlag) {
    (void)shareFlag;
    const std::string path = ResolvePath(name);
    FILE* file = fopen(path.c_str(), mode);
    if (!file) ReportFileProblem(path, std::strerror(errno));
    return file;
}
