// Prints the median time, in milliseconds, of opening a settings file: almost all of it is
// the key derivation that the program pays once at start-up.
#include "store/Connection.h"
#include "store/SettingsStore.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: dormivo-open-store INFO.velkaro\n";
        return 2;
    }
    std::vector<double> times;
    for (int i = 0; i < 11; ++i) {
        const auto start = std::chrono::steady_clock::now();
        dormivo::Connection::open(argv[1], dormivo::kDatabasePassword);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::nth_element(times.begin(), times.begin() + 5, times.end());
    std::cout << times[5] << "\n";
}
