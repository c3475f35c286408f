// Painting the closed drop-down list with its text cut at the end.

#include "base/ui/eliding_combo.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace {

// The style leaves a pixel either side of the text in the edit field.
constexpr int TEXT_INSET = 2;

} // namespace

QString eliding_combo::shown_text() const
{
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    return fontMetrics().elidedText(opt.currentText, Qt::ElideRight, field.width() - TEXT_INSET);
}

void eliding_combo::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    if (!isEditable())
        opt.currentText = shown_text();
    painter.drawControl(QStyle::CE_ComboBoxLabel, opt);
}
