#pragma once
// A drop-down list whose closed box ends a text too long for it with "…";
// the opened list is as wide as its longest option and shows every text
// whole, and so does the tooltip of a closed box whose text is cut.

#include <QComboBox>

class eliding_combo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    // The text the closed box shows for the current option.
    QString shown_text() const;
    // The tooltip: the whole text when the closed box cuts it, else the
    // tooltip set on the box.
    QString tip_text() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};
