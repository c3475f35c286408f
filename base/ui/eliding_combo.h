#pragma once
// A drop-down list whose closed box ends a text too long for it with "…";
// the opened list is as wide as its longest option and shows every text
// whole.

#include <QComboBox>

class eliding_combo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    // The text the closed box shows for the current option.
    QString shown_text() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
