#pragma once
// The menu bar, with the top-level item of the current mode shown
// highlighted (a raised, tinted box behind it).

#include <QMenuBar>
#include <QPointer>

class mode_menu_bar : public QMenuBar {
    Q_OBJECT
public:
    using QMenuBar::QMenuBar;
    void set_highlighted(QAction* action);
    QAction* highlighted() const { return highlighted_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QAction> highlighted_;
};
