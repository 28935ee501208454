// Build-time tool: makes the default settings file from its seed statements, unless a
// settings file is already there (a user's settings are never replaced).
#include "store/Connection.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: dormivo-seed SEED.sql TARGET\n";
        return 2;
    }
    const std::filesystem::path target = argv[2];
    if (std::filesystem::exists(target))
        return 0;
    std::ifstream seedFile(argv[1]);
    if (!seedFile) {
        std::cerr << "dormivo-seed: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::stringstream seed;
    seed << seedFile.rdbuf();

    // Written beside the target and renamed into place, so an interrupted build leaves no
    // half-made settings file behind.
    std::filesystem::path partial = target;
    partial += ".partial";
    std::filesystem::remove(partial);
    try {
        dormivo::Connection::create(partial.string(), dormivo::kDatabasePassword)
            .execute(seed.str());
    } catch (const dormivo::StoreError& error) {
        std::filesystem::remove(partial);
        std::cerr << "dormivo-seed: " << error.what() << "\n";
        return 1;
    }
    std::filesystem::rename(partial, target);
    return 0;
}
