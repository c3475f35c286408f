// Fitting a label's font to its box.

#include "base/ui/fit_font.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

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

void fit_label_font(QLabel* label, const QFont& base)
{
    label->setWordWrap(false);
    const int margin = label->margin() + std::max(label->indent(), 0);
    const QRect box = label->contentsRect().adjusted(margin, 0, -margin, 0);
    const QString text = label->text();
    if (QFontMetrics(base, label).horizontalAdvance(text) <= box.width())
        label->setFont(base);
    else
        label->setFont(fit_font(label, &base, text, box, 0, base.bold()));
}
