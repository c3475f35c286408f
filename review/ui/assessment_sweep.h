#pragma once
// One step of a transformer assessment swept: an FRA sweep of the
// instrument with the settings it holds (the FRA mode's), run by the FRA
// sweep engine behind the progress dialog, then stored as a test of the
// unit's session named after the step, with its winding. A test of the same
// step already in the session is replaced, once the new one is stored.
#include "base/command_seam.h"
#include "base/progress_block.h"
#include "fra/sweep_context.h"
#include "review/assessment_plan.h"

#include <cstdint>
#include <memory>
#include <string>

class QWidget;

struct s_step_sweep {
    const s_plan_step* step = nullptr;
    int64_t session_no = 0;
    std::string description; // the stored test's description
    int sweep_number = 1;    // the sweep file: sweep<number>.dat in the data folder
};

class assessment_sweeper : public command_target {
public:
    explicit assessment_sweeper(QWidget* owner);
    ~assessment_sweeper() override;

    // Sweeps and stores; returns once both are over. True when the test is
    // stored; otherwise the user has been told why (a cancel is not told).
    bool sweep(const s_step_sweep& request);
    void on_command(int id, intptr_t lparam) override;

private:
    bool store(const s_step_sweep& request);

    QWidget* owner_;
    std::unique_ptr<FraSweepContext> ctx_;
    s_progress_block block_;
    bool complete_ = false;
};
