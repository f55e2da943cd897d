// A small valid XM module made in memory for the music library's tests, and file helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Two channels panned apart, one looped saw-wave instrument, one 16-row pattern played once:
// 1.92 s at speed 6 and 125 BPM.
std::vector<uint8_t> MakeTestModule();
constexpr double kTestModuleSeconds = 1.92;

// A fresh empty directory under the system's temp directory, unique per call.
std::string MakeTempDir();
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
