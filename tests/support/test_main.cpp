#include <QApplication>
#include <gtest/gtest.h>

#include <optional>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases (ctest's discovery at build time) needs no display.
    std::optional<QApplication> app;
    if (!GTEST_FLAG_GET(list_tests))
        app.emplace(argc, argv);
    return RUN_ALL_TESTS();
}
