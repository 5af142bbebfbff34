#pragma once

// A file's bytes as a test reads and writes them: binary, all at once.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace orvo::testing {

// Empty when the file cannot be read.
inline std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace orvo::testing
