// Feeds every file of the folders it is given through a fuzz target's property, in name order,
// as the test run does with the seed corpus and each input that ever broke a property.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::size_t inputs = 0;
    for (int i = 1; i < argc; ++i) {
        std::set<std::filesystem::path> files;
        std::error_code error; // a folder that is not there holds no input
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error))
            files.insert(entry.path());
        for (const auto& file : files) {
            std::cout << file.string() << std::endl; // names the input that breaks a property
            std::ifstream in(file, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++inputs;
        }
    }
    std::cout << inputs << " inputs, every property holds" << std::endl;
    return inputs ? 0 : 1;
}
