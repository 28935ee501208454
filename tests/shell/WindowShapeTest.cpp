#include "shell/WindowShape.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace dormivo;

TEST(WindowShape, RoundsEachCornerOfTheWindow) {
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(301, 226);
    RoundWindow(&window, 15, 15);
    const QRegion mask = window.mask();
    EXPECT_EQ(mask.boundingRect(), QRect(0, 0, 301, 226));
    const std::pair<QPoint, bool> points[] = {
        {{150, 113}, true},  {{0, 113}, true},    {{300, 113}, true}, {{150, 0}, true},
        {{150, 225}, true},  {{0, 0}, false},     {{300, 0}, false},  {{0, 225}, false},
        {{300, 225}, false}, {{1, 1}, false},     {{8, 0}, true},     {{0, 8}, true},
        {{4, 4}, true},      {{301, 113}, false},
    };
    for (const auto& [point, inside] : points)
        EXPECT_EQ(mask.contains(point), inside) << point.x() << "," << point.y();
}
