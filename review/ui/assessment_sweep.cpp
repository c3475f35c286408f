#include "review/ui/assessment_sweep.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "base/off_window.h"
#include "base/ui/mode_window_parts.h"
#include "base/ui/progress_dialog.h"
#include "base/ui_seam.h"
#include "config/config_current.h"
#include "db/db_access.h"
#include "db/db_error.h"
#include "fra/sweep_complete.h"
#include "fra/sweep_worker.h"
#include "link/link.h"

#include <ctime>
#include <vector>

namespace {

// The tests of a session named name, other than keep.
class named_tests : public db_row_sink {
public:
    named_tests(std::string name, int64_t keep) : name_(std::move(name)), keep_(keep) {}
    void add_row(const std::string& text, int64_t key) override
    {
        if (key != keep_ && text.substr(0, text.find('\t')) == name_)
            keys.push_back(key);
    }
    std::vector<int64_t> keys;

private:
    std::string name_;
    int64_t keep_;
};

// Removes the tests the new one replaces; 0 or the SQLite code.
int drop_replaced(const s_test& stored)
{
    named_tests earlier(stored.Name, stored.TestNo);
    int rc = db_list_tests(earlier, stored.SessionNo, true);
    for (size_t i = 0; rc == 0 && i < earlier.keys.size(); ++i)
        rc = db_delete_test(earlier.keys[i]);
    return rc;
}

} // namespace

assessment_sweeper::assessment_sweeper(QWidget* owner)
    : owner_(owner), ctx_(std::make_unique<FraSweepContext>())
{
    block_.title = "Sweeping\x85";
    block_.worker = run_on_context<FraSweepContext, fra_sweep_worker>;
    block_.cancel = run_on_context<FraSweepContext, fra_sweep_cancel>;
    block_.context = ctx_.get();
}

assessment_sweeper::~assessment_sweeper()
{
    progress_wait_idle(block_);
}

void assessment_sweeper::on_command(int id, intptr_t)
{
    if (id == CMD_FRA_SWEEP_COMPLETE)
        complete_ = true;
}

bool assessment_sweeper::sweep(const s_step_sweep& request)
{
    ctx_->owner = this;
    ctx_->notify = this;
    ctx_->link = &g_link;
    ctx_->config = &config_current();
    fra_context_arm_sweep(*ctx_);
    complete_ = false;
    // The worker posts its completion before the dialog's end, so a sweep
    // that came to its end is known as soon as the dialog has closed.
    const int ran = run_progress_dialog(owner_, block_);
    if (ran < 0)
        ui_message_box(owner_, "The last sweep is still being cancelled. Try again in a moment.",
                       "Transformer Assessment", MB_OK | MB_ICONINFORMATION);
    return ran >= 0 && complete_ && store(request);
}

bool assessment_sweeper::store(const s_step_sweep& request)
{
    s_test test;
    test.SessionNo = request.session_no;
    test.Name = db_fit(request.step->name, DB_NAME_WIDTH);
    test.Winding = db_fit(request.step->winding, DB_WINDING_WIDTH);
    test.TestDescription = db_fit(request.description, DB_DESCRIPTION_WIDTH);
    const s_sweep_store where{current_app_paths().data_folder, request.sweep_number, &test,
                              std::time(nullptr), nullptr};
    auto results = std::make_unique<FraResults>();
    s_sweep_outcome out;
    int replaced = 0;
    run_off_window("Storing the sweep\x85", [&](const std::atomic<bool>&) {
        out = fra_complete_sweep(*ctx_, *results, where);
        if (out.stored)
            replaced = drop_replaced(test);
        return true;
    });
    if (!out.stored)
        db_report_sweep_kept(out.file);
    else if (replaced != 0)
        db_report_error_code(replaced);
    return out.stored;
}
