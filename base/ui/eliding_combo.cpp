// Painting the closed drop-down list with its text cut at the end, and its
// tooltip.

#include "base/ui/eliding_combo.h"

#include <QHelpEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolTip>

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

QString eliding_combo::tip_text() const
{
    return !isEditable() && shown_text() != currentText() ? currentText() : toolTip();
}

bool eliding_combo::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QComboBox::event(event);
    const QString tip = tip_text();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
    return true;
}
