// Temporary output files, renamed into place at success, and their removal on an interrupt.
#include "tools/capture/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The interrupt list: fixed storage, so the signal handler reads it without allocating.
const int kSlots = 8;
char interruptPaths[kSlots][PATH_MAX];
volatile sig_atomic_t interruptUsed[kSlots];

void OnInterrupt(int signal) {
    // The files first, then the folders they emptied.
    for (int i = 0; i < kSlots; i++)
        if (interruptUsed[i]) unlink(interruptPaths[i]);
    for (int i = 0; i < kSlots; i++)
        if (interruptUsed[i]) rmdir(interruptPaths[i]);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallInterruptHandlers() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        sigaction(signal, nullptr, &old);
        if (old.sa_handler == SIG_IGN) continue;  // started with it ignored (nohup): keep it so
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

}  // namespace

void RemoveOnInterrupt(const std::string& path) {
    if (path.size() >= PATH_MAX) return;
    InstallInterruptHandlers();
    for (int i = 0; i < kSlots; i++)
        if (!interruptUsed[i]) {
            std::memcpy(interruptPaths[i], path.c_str(), path.size() + 1);
            interruptUsed[i] = 1;
            return;
        }
}

void KeepOnInterrupt(const std::string& path) {
    for (int i = 0; i < kSlots; i++)
        if (interruptUsed[i] && path == interruptPaths[i]) interruptUsed[i] = 0;
}

bool PendingFile::Create(const std::string& path, std::string& why) {
    Discard();
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    struct stat existing {};
    const bool exists = stat(path.c_str(), &existing) == 0;
    if (name.empty() || (exists && S_ISDIR(existing.st_mode))) {
        why = "cannot write " + path + ": " + std::strerror(EISDIR);
        return false;
    }
    const size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
    std::string pattern = folder + (slash == std::string::npos ? "/." : ".") +
                          name.substr(0, name.size() - extension.size()) + "-XXXXXX" + extension;
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkstemps(buffer.data(), static_cast<int>(extension.size()));
    if (fd < 0) {
        why = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    // mkstemps makes the file readable by its owner only; give it what the file it replaces
    // has, or what a new file would get.
    mode_t mode = 0;
    if (exists && S_ISREG(existing.st_mode)) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(fd, mode);
    close(fd);
    path_ = path;
    temp_ = buffer.data();
    RemoveOnInterrupt(temp_);
    return true;
}

bool PendingFile::Commit(std::string& why) {
    if (temp_.empty()) return true;
    if (std::rename(temp_.c_str(), path_.c_str()) != 0) {
        why = "cannot write " + path_ + ": " + std::strerror(errno);
        Discard();
        return false;
    }
    KeepOnInterrupt(temp_);
    temp_.clear();
    return true;
}

void PendingFile::Discard() {
    if (temp_.empty()) return;
    KeepOnInterrupt(temp_);
    unlink(temp_.c_str());
    temp_.clear();
}
