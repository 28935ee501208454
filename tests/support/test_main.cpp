#include "common/Flags.h"

#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

#include <optional>

namespace {

// Every case starts on the process-wide flags as a new process finds them.
class FreshFlags final : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { dormivo::resetFlags(); }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshFlags);
    // Periods are typed as an English user types them, whatever the machine's locale.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Listing the cases (ctest's discovery at build time) needs no display.
    std::optional<QApplication> app;
    if (!GTEST_FLAG_GET(list_tests))
        app.emplace(argc, argv);
    return RUN_ALL_TESTS();
}
