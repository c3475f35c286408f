#pragma once
// The progress block: what a long instrument operation hands the progress
// dialog. The caller owns one block per kind of operation (it outlives every
// thread started on it); the dialog starts the worker on a thread of its
// own one second after opening, and Cancel starts the cancel routine on
// another thread. Workers report to `dialog` by posting commands.
//
// A cancelled worker may still be blocked in a read when the dialog closes:
// the dialog lets go of it, but the block counts it as running until it
// returns, and a new run on the same block is refused until then. Such a
// worker may still hold the link: progress_workers_running() counts it.

#include "base/command_seam.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

struct s_progress_block;
using progress_routine = void (*)(s_progress_block* block);

struct s_progress_block {
    std::string title;         // caption; the dialog's own stays when empty
    std::thread worker_thread; // the worker the dialog holds; not joinable when none
    command_target* dialog = nullptr;
    progress_routine worker = nullptr;
    progress_routine cancel = nullptr;
    void* context = nullptr;
    // The dialog starts the worker this long after opening (0: at once).
    int start_delay_ms = 1000;

    std::mutex mutex;
    std::condition_variable ended;
    int running = 0; // workers and cancel routines not yet returned
};

// True while a worker or cancel routine started on the block still runs,
// the dialog still holds a worker, or a dialog is open on the block (its
// worker starts only a second after opening): no new run may start.
bool progress_block_busy(s_progress_block& block);

// Starts the worker on its own thread (nothing when there is none, or when
// the block still holds a worker).
void progress_start_worker(s_progress_block& block);
// The workers started on any block of the process that have not returned,
// those let go of by their dialogs included.
int progress_workers_running();
// Starts the cancel routine on its own thread and lets go of the worker;
// false (and nothing started) when the block has no cancel routine.
bool progress_start_cancel(s_progress_block& block);
// The worker posted "finished": waits up to timeout_ms for the routines to
// return and releases the worker thread either way.
void progress_finish(s_progress_block& block, int timeout_ms);
// Waits without limit until nothing started on the block runs (tests and
// shutdown).
void progress_wait_idle(s_progress_block& block);
