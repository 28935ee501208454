// Prints how many milliseconds one opening of a settings file takes in a fresh process, as a
// start of the program pays it: almost all of it is the key derivation.
#include "store/Connection.h"
#include "store/SettingsStore.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: dormivo-open-store INFO.velkaro\n", stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    dormivo::Connection::open(argv[1], dormivo::kDatabasePassword);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("%.1f\n", took.count());
}
