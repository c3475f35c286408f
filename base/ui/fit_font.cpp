// Fitting a label's font to its box.

#include "base/ui/fit_font.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>

QFont fit_font(QPaintDevice* device, const QFont* base, const QString& text, const QRect& box,
               int extra_height, bool bold)
{
    QFont font = base ? *base : QApplication::font();
    int height = base ? QFontInfo(*base).pixelSize() : box.height() + extra_height;
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    for (;;) {
        font.setPixelSize(height > 0 ? height : 1);
        const QFontMetrics metrics = device ? QFontMetrics(font, device) : QFontMetrics(font);
        if (metrics.horizontalAdvance(text) < box.width() || height <= 1)
            return font;
        --height;
    }
}
