#pragma once
// The equivalent-circuit panel of the LCR and piezo windows: which model to
// fit ("None", "Best Model" or one of the seven), over the whole sweep or
// between the cursors, and the fitted values with their standard
// uncertainties, the residual and the model's resonances and Q.

#include "lcr/equivalent_circuit.h"

#include <QGroupBox>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;

// The choice the panel holds: no fit, the best model or one model.
struct s_fit_choice {
    bool fit = false;
    std::optional<circuit_model> model; // empty: the best model
    bool between_cursors = false;
};

class fit_panel : public QGroupBox {
public:
    // With cursors: the panel offers the range between them.
    fit_panel(QWidget* parent, bool with_cursors, std::optional<circuit_model> first_choice);

    s_fit_choice choice() const;
    // The fit's lines, or an empty panel.
    void show_fit(const circuit_fit* fit);
    // The height the panel needs for its longest fit.
    static int needed_height();

    // Called when the user changes the model or the range.
    std::function<void()> changed;

private:
    QComboBox* model_ = nullptr;
    QComboBox* range_ = nullptr;
    QLabel* lines_ = nullptr;
};

// Fits the choice to the samples (the best model or the one chosen); off
// the window thread behind the progress dialog when it takes long.
circuit_fit fit_choice_off_window(const s_fit_choice& choice,
                                  const std::vector<impedance_sample>& samples);
