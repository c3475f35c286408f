#include "archive/ui/archive_windows.h"

#include "archive/archive_push.h"
#include "archive/ui/archive_connect.h"
#include "archive/ui/archive_search_dialog.h"
#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/ui/progress_dialog.h"
#include "base/ui_seam.h"
#include "base/ui_status.h"
#include "db/db_connection.h"
#include "db/ui/db_form_windows.h"

#include <atomic>

const char* const ARCHIVE_MENU_TEXT = "&Archive";
const char* const ARCHIVE_PUSH_TEXT = "&Push selected session...";
const char* const ARCHIVE_SEARCH_TEXT = "&Search and pull...";

namespace {

// What the push worker needs; lives on the window thread's stack for the
// dialog's whole run (the dialog waits for its worker before it returns).
struct push_job {
    archive_connection* archive = nullptr;
    const std::vector<archive_local_session>* sessions = nullptr;
    std::vector<archive_pushed> pushed;
    archive_outcome outcome;
    std::atomic<bool> stop{false};
};

void push_worker(s_progress_block* block)
{
    auto* job = static_cast<push_job*>(block->context);
    post_command(block->dialog, CMD_PROGRESS_STARTED);
    const archive_cancel_scope scope(*job->archive, job->stop);
    int shown = 0;
    job->outcome =
        archive_push(*job->archive, *job->sessions, job->pushed, [&](int done, int total) {
            if (done == 0)
                post_command(block->dialog, CMD_PROGRESS_RANGE, total);
            for (; shown < done; ++shown)
                post_command(block->dialog, CMD_PROGRESS_STEP);
            return !job->stop.load();
        });
    post_command(block->dialog, CMD_PROGRESS_FINISHED);
}

void push_cancel(s_progress_block* block)
{
    static_cast<push_job*>(block->context)->stop = true;
}

std::string counts(const push_job& job)
{
    int fresh = 0;
    for (const archive_pushed& p : job.pushed)
        fresh += p.is_new;
    return archive_tests_text(fresh) + " pushed, " +
           std::to_string(int(job.pushed.size()) - fresh) + " already archived";
}

std::string summary(const push_job& job)
{
    return job.outcome.ok() ? counts(job) : job.outcome.message + "\n" + counts(job);
}

// The status line: the counts when every test was tried.
std::string status_text(const push_job& job)
{
    switch (job.outcome.status) {
    case archive_status::done: return counts(job);
    case archive_status::refused: return counts(job) + ", some tests refused";
    default: return "Push not completed";
    }
}

} // namespace

void archive_push_selected(QWidget* owner)
{
    db_view_window* view = db_current_view();
    const int64_t session = view ? view->form().sessions.selected_key() : -1;
    if (!db_is_open() || session <= 0) {
        ui_message_box(owner, "Select a session to push", ARCHIVE_CAPTION,
                       MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::vector<archive_local_session> local;
    if (archive_outcome read = archive_read_local({session}, local); !read.ok()) {
        ui_message_box(owner, read.message, ARCHIVE_CAPTION, MB_OK | MB_ICONWARNING);
        return;
    }
    archive_connection archive;
    // Not reached, the archive leaves no earlier outcome standing in the
    // status line.
    if (!archive_ui_connect(owner, archive, archive_use::write))
        return ui_status("Push not completed: the archive was not reached");
    push_job job;
    job.archive = &archive;
    job.sessions = &local;
    static s_progress_block block;
    block.title = "Pushing to the archive";
    block.worker = push_worker;
    block.cancel = push_cancel;
    block.context = &job;
    if (run_progress_dialog(owner, block) < 0)
        return;
    progress_wait_idle(block);
    ui_status(status_text(job));
    ui_message_box(owner, archive_ui_with_notices(summary(job), archive), ARCHIVE_CAPTION,
                   MB_OK | (job.outcome.ok() ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void archive_search_and_pull(QWidget* owner)
{
    if (!db_is_open()) {
        ui_message_box(owner, "Open a test database to pull tests into", ARCHIVE_CAPTION,
                       MB_OK | MB_ICONINFORMATION);
        return;
    }
    archive_connection archive;
    if (!archive_ui_connect(owner, archive, archive_use::read))
        return ui_status("Search not completed: the archive was not reached");
    archive_search_dialog dialog(owner, archive);
    dialog.exec();
}
