#include "base/ui/fit_font.h"
#include "tests/support/qt_test_app.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

TEST(FitFont, LargestFontNarrowerThanTheBox)
{
    ensure_qt_app();
    const QRect box(0, 0, 120, 30);
    const QString text = QStringLiteral("Gain (dB)");
    const QFont f = fit_font(nullptr, nullptr, text, box, 4, true);
    EXPECT_LT(QFontMetrics(f).horizontalAdvance(text), box.width());
    EXPECT_LE(f.pixelSize(), 34);
    EXPECT_EQ(f.weight(), QFont::Bold);
    QFont bigger = f;
    bigger.setPixelSize(f.pixelSize() + 1);
    if (f.pixelSize() < 34) {
        EXPECT_GE(QFontMetrics(bigger).horizontalAdvance(text), box.width());
    }
}

TEST(FitFont, StartsFromTheBaseFontAndStopsAtOnePixel)
{
    ensure_qt_app();
    QFont base;
    base.setPixelSize(9);
    const QFont small =
        fit_font(nullptr, &base, QStringLiteral("x"), QRect(0, 0, 500, 2), 0, false);
    EXPECT_EQ(small.pixelSize(), 9); // fits already: the base height, not the box's
    const QFont tiny =
        fit_font(nullptr, nullptr, QString(200, QChar('W')), QRect(0, 0, 10, 12), 0, false);
    EXPECT_EQ(tiny.pixelSize(), 1);
}
