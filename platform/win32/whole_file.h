// Reading a file whole, up to a limit: the first step of every loader that hands a file's bytes
// to a decoder (pictures, textures, X files, modules); and the one line that says what is wrong
// with a data file. Stand-in internal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class WholeFile { Read, NotOpened, NotRead, TooLarge };

// Reads the file at `path` (already resolved) into `bytes`. Reads in chunks rather than trusting
// the size the system reports, which is near 2^63 for a directory and 0 for a pipe; stops once
// the file holds more than `maxBytes`. On NotOpened and NotRead, `error` is the errno.
WholeFile ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes,
                        int& error);

// Why a read that did not give WholeFile::Read failed, for ReportFileProblem; `kind` names what
// the file should have been ("a texture"), for one too large.
std::string WhyNotRead(WholeFile result, int error, const char* kind);

// Says on stderr what is wrong with a data file the show goes on without, or with only part of:
// "zelk6: images/zuzuv.bmp: No such file or directory". Once per file: a file drawn from every
// frame is named once, and a second problem with it is not added.
void ReportFileProblem(const std::string& path, const std::string& what);
