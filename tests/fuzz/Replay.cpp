// Feeds every file of the given folders, in name order, through a fuzz target's property.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::set<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        std::error_code error; // a folder that is not there holds no input
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error))
            files.insert(entry.path());
    }
    for (const auto& file : files) {
        std::cout << file.string() << std::endl; // names the input that breaks a property
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::cout << files.size() << " inputs, every property holds" << std::endl;
    return files.empty();
}
