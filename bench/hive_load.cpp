// Prints how many milliseconds reading the largest hives within the limits takes: one key
// with as many values as the size allows, given in reverse order, and one hex value as long
// as the size allows. Build it in Release to compare with the 100 ms a start may spend.
#include "registry/HiveRegistry.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

#include <unistd.h>

using namespace dormivo::registry;

namespace {

const std::string kStart = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\x]\n";

std::string manyValues() {
    std::string text = kStart;
    const std::size_t line = 13; // "v000000"=""
    for (int i = int((RegFileFormat::kMaxFileBytes - text.size()) / line) - 1; i >= 0; --i) {
        char value[32];
        std::snprintf(value, sizeof value, "\"v%06d\"=\"\"\n", i);
        text += value;
    }
    return text;
}

std::string longHex() {
    std::string text = kStart + "\"h\"=hex:00";
    while (text.size() + 4 <= RegFileFormat::kMaxFileBytes)
        text += ",00";
    return text + "\n";
}

double cpuMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Milliseconds to read the hive, as the clock and as the processor counts them (on a busy
// machine the clock's figure holds others' time too); nothing when it was refused.
std::optional<std::pair<double, double>> loadTime(const std::filesystem::path& file,
                                                  const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuMilliseconds();
    const HiveRegistry hive(file);
    const double cpu = cpuMilliseconds() - cpuStart;
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    const HiveKey* key = hive.findKey(HKEY_LOCAL_MACHINE, "x");
    if (!key || key->values.empty())
        return std::nullopt;
    return std::pair(took.count(), cpu);
}

} // namespace

int main() {
    const auto file = std::filesystem::temp_directory_path() /
                      ("dormivo-hive-bench-" + std::to_string(::getpid()) + ".reg");
    const std::string values = manyValues();
    const std::string hex = longHex();
    const auto valuesTime = loadTime(file, values);
    const auto hexTime = loadTime(file, hex);
    std::filesystem::remove(file);
    if (!valuesTime || !hexTime) {
        std::fputs("dormivo-hive-load: a hive within the limits was refused\n", stderr);
        return 1;
    }
    std::printf("%zu bytes of short values: %.1f ms (%.1f ms of CPU)\n", values.size(),
                valuesTime->first, valuesTime->second);
    std::printf("%zu bytes of one hex value: %.1f ms (%.1f ms of CPU)\n", hex.size(),
                hexTime->first, hexTime->second);
}
