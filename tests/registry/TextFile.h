#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The whole text of a file, or "" when it cannot be read.
inline std::string readTextFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
