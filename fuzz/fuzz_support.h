// Set-up shared by the fuzz targets: a private folder for each execution's input file, the
// stand-in's display and 3D device made once per process, and a check that every execution
// gives back the platform objects it made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

// The process's private temporary folder, absolute; made on first use, removed at exit.
// The targets change into it while the show's code runs, so crash files land there unless
// libFuzzer is given an absolute -artifact_prefix (scripts/fuzz does that).
const std::string& FuzzFolder();

// Writes the input to FuzzFolder()/relativePath ('/'-separated, folders made as needed) and
// returns the file's absolute path. Aborts when the file cannot be written: that is a broken
// harness, not a finding.
std::string WriteFuzzFile(const std::string& relativePath, const uint8_t* data, size_t size);

// Makes FuzzFolder() the working directory for its lifetime, where the show looks for
// "images\...", "models\..." and "textures\...".
class FuzzWorkingDir {
  public:
    FuzzWorkingDir();
    ~FuzzWorkingDir();
    FuzzWorkingDir(const FuzzWorkingDir&) = delete;
    FuzzWorkingDir& operator=(const FuzzWorkingDir&) = delete;
};

// Opens the offscreen display once in each pixel layout and makes the one asked for the
// show's display (DisplayObject, PrimarySurface, BackSurface, IsRgb555).
void UseFuzzDisplay(bool rgb555);

// The 5-6-5 display with the hardware 3D device on its back buffer, made once.
void UseFuzz3DDevice();

// Live platform objects, by kind.
using ObjectCounts = std::map<std::string, int>;
ObjectCounts LivePlatformObjects();
// Aborts, naming the kinds, when the live objects differ from `before`: the execution kept
// (or gave back too many of) what it made.
void CheckObjectsGivenBack(const ObjectCounts& before, const char* what);
