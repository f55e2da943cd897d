// --wav and --video files are written under a temporary name in their own folder and renamed
// onto the name the user gave only when the run succeeds. A run that fails leaves no partial
// file behind, and a file the user already had under that name stays as it was.
#pragma once

#include <string>

class PendingFile {
  public:
    PendingFile() = default;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile() { Discard(); }

    // Makes the empty temporary file beside `path`: ".NAME-XXXXXX.EXT", the extension kept so
    // that ffmpeg picks the container from it, and the permissions a new file (or the file it
    // will replace) has. False with `why`, naming `path`, when the folder is missing or not
    // writable or `path` is a folder.
    bool Create(const std::string& path, std::string& why);
    bool IsCreated() const { return !temp_.empty(); }
    const std::string& Path() const { return path_; }
    const std::string& Temporary() const { return temp_; }
    // Renames the temporary file onto the path, replacing what was there.
    bool Commit(std::string& why);
    // Removes the temporary file, if there is one.
    void Discard();

  private:
    std::string path_, temp_;
};

// Files and (empty) folders to remove should the capture be ended by SIGINT, SIGTERM or SIGHUP,
// before it ends as the signal would have ended it. Up to eight at a time.
void RemoveOnInterrupt(const std::string& path);
void KeepOnInterrupt(const std::string& path);
