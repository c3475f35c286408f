#pragma once
// An instrument exchange run off the window thread: the work, the flag its
// Cancel sets and how it ended. The window thread fills the job, runs it in
// the exchange dialog (base/ui/exchange_dialog.h) and reads the outcome once
// the dialog has closed; the work runs on the dialog's worker thread and is
// the only user of the link meanwhile. Cancel only sets the flag: the work
// sees it at its next read (the link's cancel scope), returns, and only
// then does the dialog close, so the caller never meets a running worker.

#include "base/progress_block.h"

#include <atomic>
#include <functional>

enum class exchange_outcome : int {
    done,      // the work did its job
    failed,    // the work failed (and has told the user why)
    cancelled, // the user cancelled: the caller keeps what it had
};

// True when the work did its job. The flag turns true when the user cancels.
using exchange_work = std::function<bool(const std::atomic<bool>& cancel)>;

struct s_exchange {
    exchange_work work;
    std::atomic<bool> cancel{false};
    exchange_outcome outcome = exchange_outcome::failed;
};

// Points the block at the exchange: no start delay, the worker and cancel
// routines below, the exchange as context.
void exchange_fill_block(s_progress_block& block, s_exchange& exchange, const std::string& title);

// The block's worker: waits until no other progress worker of the process
// runs (one let go of after a cancel may still hold the link), runs the work
// unless cancelled meanwhile, records its outcome (cancelled when the flag
// was set, whatever the work returned) and posts CMD_PROGRESS_FINISHED to
// the dialog.
void exchange_worker(s_progress_block* block);
// The block's cancel routine: sets the flag and nothing else.
void exchange_cancel(s_progress_block* block);
