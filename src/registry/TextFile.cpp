#include "TextFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace dormivo::registry {

std::optional<std::string> readTextFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool writeTextFileAtomically(const std::filesystem::path& path, const std::string& text) {
    std::error_code error;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), error);
    std::filesystem::path partial = path;
    partial += ".partial";
    std::FILE* out = std::fopen(partial.string().c_str(), "wb");
    if (!out)
        return false;
    const bool written =
        std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
#ifdef _WIN32
    _commit(_fileno(out));
#else
    fsync(fileno(out));
#endif
    std::fclose(out);
    if (written)
        std::filesystem::rename(partial, path, error);
    else
        std::filesystem::remove(partial, error);
    return written && !error;
}

} // namespace dormivo::registry
