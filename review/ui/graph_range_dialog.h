#pragma once
// The range dialog: "Min :" and "Max :", OK, Cancel and Preview. OK and
// Preview apply through the model's checks; Cancel or closing restores the
// range held when it opened.

#include "review/graph_model.h"

#include <QDialog>
#include <functional>

class QLineEdit;

class graph_range_dialog : public QDialog {
    Q_OBJECT
public:
    graph_range_dialog(QWidget* parent, graph_model& model, bool frequency,
                       std::function<void()> repaint);
    QLineEdit* min_field() const { return min_; }
    QLineEdit* max_field() const { return max_; }
    void press_ok();
    void press_preview();
    void reject() override;

private:
    bool apply();
    graph_model& model_;
    bool frequency_;
    std::function<void()> repaint_;
    s_freq_range freq_before_;
    s_gain_range gain_before_;
    graph_range_mode mode_before_;
    QLineEdit* min_ = nullptr;
    QLineEdit* max_ = nullptr;
};
