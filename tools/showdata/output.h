// Writing the generated files: folders created as needed, every failure a one-line error.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace showdata {

// Thrown when a folder or file cannot be made; what() is the whole message.
struct WriteError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The folder that receives the show data; set once by main before anything is written.
extern std::string OutputRoot;

// `name` is relative to OutputRoot with '/' separators ("images/load.bmp"); missing folders
// are created. The file is replaced whole.
void WriteOutputFile(std::string_view name, const std::vector<uint8_t>& bytes);
void WriteOutputText(std::string_view name, std::string_view text);

}  // namespace showdata
