#pragma once
// The limits panel of the LCR and FRA windows: the limit set chosen (its
// file remembered in the settings per window), the last sweep's verdict
// shown large, PASS on green or FAIL on red, with its bin and the checks it
// failed, and, where the window sorts parts into bins, the parts of the run
// per bin with Reset Counts.

#include "db/db_verdict.h"
#include "sweep/bin_tally.h"
#include "sweep/limit_set.h"

#include <QGroupBox>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QTreeWidget;

class verdict_panel : public QGroupBox {
public:
    // settings_key names the window in the settings ("LCR", "FRA").
    verdict_panel(QWidget* parent, const char* settings_key, bool with_bins);

    // The limit set in use; none until one is chosen or the remembered one
    // was read.
    const limit_set* limits() const { return set_ ? &*set_ : nullptr; }
    // Reads the remembered limit set again (a missing or broken file leaves
    // none, silently: the user chooses again).
    void load_remembered();
    // Shows the verdict large and counts the part in its bin; null shows none.
    void show_verdict(const s_test_verdict* verdict);
    const s_bin_tally& tally() const { return tally_; }
    // The verdict shown, for the exports; null when none is.
    const s_test_verdict* shown() const { return shown_ ? &*shown_ : nullptr; }

    // Called once the user has chosen a limit set and it was read.
    std::function<void()> chosen;

private:
    void choose();
    bool load(const std::string& path, std::string& error);
    void reset_counts();
    void show_tally();

    const char* settings_key_;
    bool with_bins_;
    std::optional<limit_set> set_;
    s_bin_tally tally_;
    std::optional<s_test_verdict> shown_;
    QPushButton* choose_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* word_ = nullptr;
    QLabel* bin_ = nullptr;
    QTreeWidget* failed_ = nullptr;
    QTreeWidget* counts_ = nullptr;
    QPushButton* reset_ = nullptr;
};
