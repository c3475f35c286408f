#pragma once
// Whether every text of a window fits its control at the control's own
// font: labels, buttons, check boxes, radio buttons and group box titles
// need their text's advance within the room the style leaves them (a label
// that wraps, its lines within its height); a drop-down list needs every
// option within its closed box unless it ends long texts with "…". A text
// shrunk to fit must stay legible.

#include "base/ui/eliding_combo.h"
#include "base/ui/interface_font.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTextDocument>
#include <QTreeWidget>
#include <optional>
#include <string>
#include <vector>

struct s_text_fit_report {
    int checked = 0;                 // controls with a text that were measured
    std::vector<std::string> faults; // "id \"text\": why"
};

namespace text_fit_detail {

// The smallest a text may be shrunk to and still be read.
constexpr int MIN_PIXELS = INTERFACE_FONT_PIXELS - 2;
// The common style sets a group box title in from each side of the frame.
constexpr int GROUP_TITLE_MARGIN = 8;

inline QString room_fault(int need, int room)
{
    return QStringLiteral("needs %1 px, has %2").arg(need).arg(room);
}

inline std::optional<QString> label_fault(const QLabel* l)
{
    const int m = l->margin() + std::max(l->indent(), 0);
    const QRect box = l->contentsRect().adjusted(m, m, -m, -m);
    const int flags = Qt::TextShowMnemonic | (l->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect need =
        l->fontMetrics().boundingRect(QRect(0, 0, box.width(), 1 << 20), flags, l->text());
    if (need.width() > box.width())
        return room_fault(need.width(), box.width());
    if (need.height() > box.height())
        return QStringLiteral("needs %1 px high, has %2").arg(need.height()).arg(box.height());
    return std::nullopt;
}

inline std::optional<QString> button_fault(const QAbstractButton* b, QStyle::SubElement contents)
{
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.icon = b->icon();
    opt.iconSize = b->iconSize();
    int room = b->style()->subElementRect(contents, &opt, b).width();
    if (!b->icon().isNull())
        room -= b->iconSize().width() + 4;
    const int need = b->fontMetrics().size(Qt::TextShowMnemonic, b->text()).width();
    return need > room ? std::optional(room_fault(need, room)) : std::nullopt;
}

inline std::optional<QString> group_fault(const QGroupBox* g)
{
    const int need = g->fontMetrics().size(Qt::TextShowMnemonic, g->title()).width();
    const int room = g->width() - 2 * GROUP_TITLE_MARGIN;
    return need > room ? std::optional(room_fault(need, room)) : std::nullopt;
}

inline std::optional<QString> combo_fault(const QComboBox* c, QString& text)
{
    if (qobject_cast<const eliding_combo*>(c))
        return std::nullopt; // the closed box ends a long option with "…"
    QStyleOptionComboBox opt;
    opt.initFrom(c);
    opt.editable = c->isEditable();
    opt.frame = c->hasFrame();
    opt.subControls = QStyle::SC_All;
    const int room =
        c->style()
            ->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c)
            .width() -
        2;
    for (int i = 0; i < c->count(); ++i) {
        const int need = c->fontMetrics().horizontalAdvance(c->itemText(i));
        if (need > room) {
            text = c->itemText(i);
            return room_fault(need, room);
        }
    }
    return std::nullopt;
}

// A list's rows: a text wider than its column is cut short unless the list
// wraps it.
inline std::optional<QString> tree_fault(const QTreeWidget* t, QString& text)
{
    for (int i = 0; i < t->topLevelItemCount(); ++i) {
        for (int c = 0; c < t->columnCount(); ++c) {
            const QTreeWidgetItem* item = t->topLevelItem(i);
            const int room = t->visualItemRect(item).isEmpty() ? 0 : t->columnWidth(c) - 8;
            const int need = t->fontMetrics().horizontalAdvance(item->text(c));
            text = item->text(c);
            if (room > 0 && need > room && !t->wordWrap())
                return room_fault(need, room);
        }
    }
    return std::nullopt;
}

// The control's text and what keeps it from fitting; an empty text when
// the control shows none (nothing to measure).
inline std::optional<QString> fault_of(const QWidget* w, QString& text)
{
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        text = l->textFormat() == Qt::RichText || Qt::mightBeRichText(l->text()) ? QString()
                                                                                 : l->text();
        return text.isEmpty() ? std::nullopt : label_fault(l);
    }
    if (auto* b = qobject_cast<const QPushButton*>(w)) {
        text = b->text();
        return button_fault(b, QStyle::SE_PushButtonContents);
    }
    if (auto* b = qobject_cast<const QCheckBox*>(w)) {
        text = b->text();
        return button_fault(b, QStyle::SE_CheckBoxContents);
    }
    if (auto* b = qobject_cast<const QRadioButton*>(w)) {
        text = b->text();
        return button_fault(b, QStyle::SE_RadioButtonContents);
    }
    if (auto* g = qobject_cast<const QGroupBox*>(w)) {
        text = g->title();
        return group_fault(g);
    }
    if (auto* c = qobject_cast<const QComboBox*>(w)) {
        text = c->count() > 0 ? c->itemText(0) : QString();
        return combo_fault(c, text);
    }
    if (auto* t = qobject_cast<const QTreeWidget*>(w))
        return tree_fault(t, text);
    return std::nullopt;
}

inline std::string control_name(const QWidget* w)
{
    const QVariant id = w->property("control_id");
    if (id.isValid())
        return std::to_string(id.toInt());
    const QString name = w->objectName();
    return (name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name)
        .toStdString();
}

} // namespace text_fit_detail

// Measures one control and adds it to the report when it shows a text.
inline void check_text_fit(const QWidget* w, s_text_fit_report& report)
{
    using namespace text_fit_detail;
    QString text;
    std::optional<QString> fault = fault_of(w, text);
    if (text.isEmpty())
        return;
    ++report.checked;
    if (!fault && QFontInfo(w->font()).pixelSize() < MIN_PIXELS)
        fault = QStringLiteral("shrunk to %1 px").arg(QFontInfo(w->font()).pixelSize());
    if (fault)
        report.faults.push_back(control_name(w) + " \"" + text.toStdString() +
                                "\": " + fault->toStdString());
}

// Measures a window and every control in it, shown or hidden; a hidden
// control that nothing has sized yet (a layout places only what shows) has
// no room of its own to measure.
inline void check_window_text_fit(const QWidget* root, s_text_fit_report& report)
{
    check_text_fit(root, report);
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        if (w->isVisibleTo(root) || w->testAttribute(Qt::WA_Resized))
            check_text_fit(w, report);
    }
}
