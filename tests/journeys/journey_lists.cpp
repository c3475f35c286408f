// What the journeys read and do on lists beyond their rows: the column a
// list is sorted by, a click on a column heading, a horizontal scroll bar.

#include "tests/journeys/journey.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>
#include <QtTest/QTest>

void journey::click_header(const std::string& list, const std::string& column)
{
    auto* tree = qobject_cast<QTreeWidget*>(find_control(list, true));
    if (!tree)
        stop("no usable list \"" + list + "\" is shown");
    bool clicked = false;
    look([&] {
        QHeaderView* header = tree->header();
        for (int c = 0; c < tree->columnCount() && !clicked; ++c)
            if (tree->headerItem()->text(c) == QString::fromStdString(column)) {
                const QPoint at(header->sectionViewportPosition(c) + header->sectionSize(c) / 2,
                                header->height() / 2);
                header->window()->activateWindow();
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
                clicked = true;
            }
    });
    if (!clicked)
        stop("list \"" + list + "\" has no column \"" + column + "\"");
    settle();
}

std::string journey::sorted_by(const std::string& list)
{
    auto* tree = qobject_cast<QTreeWidget*>(find_control(list, false));
    if (!tree)
        stop("no list \"" + list + "\" is shown");
    std::string sorted;
    look([&] {
        const QHeaderView* header = tree->header();
        const int c = header->sortIndicatorSection();
        if (header->isSortIndicatorShown() && c >= 0 && c < tree->columnCount())
            sorted =
                tree->headerItem()->text(c).toStdString() +
                (header->sortIndicatorOrder() == Qt::AscendingOrder ? " ascending" : " descending");
    });
    return sorted;
}

std::vector<std::string> journey::lists_scrolling_sideways()
{
    std::vector<std::string> found;
    look([&] {
        for (QWidget* w : reachable())
            if (auto* view = qobject_cast<QAbstractItemView*>(w);
                view && view->horizontalScrollBar()->isVisible())
                found.push_back(view->property("control_id").toString().toStdString());
    });
    return found;
}
