#pragma once
// The one routine behind every instrument-driven sweep (frequency response,
// LCR and piezo). The instrument sweeps by itself with the settings in its
// configuration; the routine resets it, reads the steps and the phase
// convention, asks datalogging to be switched off, puts the instrument into
// the sweep's operation mode, starts it, polls "DAV?" until the data are
// ready and downloads the whole sweep in one reply stream, reporting to the
// progress dialog by posted commands. What differs between the modes is
// carried by the job: the mode to force, how often "start" is sent, how many
// values a point has, the download request, where points go, the completion
// command and two hooks around the sweep.

#include "base/command_ids.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class command_target;
class instrument_config;
struct s_link;

extern const char* const SWEEP_TEXT_NO_CONNECTION;
extern const char* const SWEEP_TEXT_DATALOG_QUESTION;
extern const char* const SWEEP_TEXT_WAITING;
extern const char* const SWEEP_TEXT_DOWNLOADING;
extern const char* const SWEEP_TEXT_CANCELLING;
extern const char* const SWEEP_TEXT_CONNECTION_LOST;
extern const char* const SWEEP_TEXT_PERFORMING;
extern const char* const SWEEP_TEXT_REFUSED;
extern const char* const SWEEP_TEXT_SETTINGS_UNREADABLE;
extern const char* const SWEEP_TEXT_CANCELLED;

// How a sweep ended. Every outcome but done and cancelled has been told to
// the user by the routine; the window or command that ran the sweep words a
// cancel (the user's Cancel, or No to the Datalog question) and returns to
// its idle state on every outcome but done.
enum class sweep_outcome : int {
    done,       // every point arrived; complete_id was posted
    cancelled,  // the user cancelled, or declined to stop datalogging
    incomplete, // the instrument answers, but the download ended early
    lost,       // the instrument could not be reached or stopped answering
    refused,    // the instrument refused to change into the sweep's mode
    failed,     // the sweep settings read from the instrument cannot be swept
};

// The status line's word for how a sweep ended ("Sweep cancelled").
const char* sweep_outcome_status(sweep_outcome outcome);
// The status line's word for a sweep that ran to its end: "Sweep stored"
// when it went into the database as asked, "Sweep done" when it was not
// to, and otherwise what of it was not kept (its sweep file, its test).
const char* sweep_kept_status(bool file_written, bool store_asked, bool stored);

// Configuration parameters every sweep reads or sets.
enum sweep_param : int {
    SWEEP_PARAM_MODE = 1,
    SWEEP_PARAM_PHASE_CONVENTION = 6,
    SWEEP_PARAM_STEPS = 18,
    SWEEP_PARAM_DATALOG = 58,
};

// The wait after switching the instrument into the sweep's mode.
constexpr int SWEEP_MODE_SWITCH_WAIT_MS = 2000;
constexpr int SWEEP_POLL_INTERVAL_MS = 200;
// Data-available polls in a row that go unanswered for the whole read
// time-out before the sweep counts as lost.
constexpr int SWEEP_POLL_SILENT_LIMIT = 2;
constexpr int SWEEP_DAV_DATA_READY = 4;

// Text of the incomplete-download message: how many points of how many.
std::string sweep_incomplete_text(int received, int steps);
// Text of the message for sweep settings that cannot be swept.
std::string sweep_invalid_steps_text(int steps);

// Values a reply line may carry at most (LCR layout 5 has 13).
constexpr int SWEEP_VALUES_MAX = 14;

struct s_sweep_job {
    s_link* link = nullptr;
    instrument_config* config = nullptr;
    command_target* dialog = nullptr; // the progress dialog
    command_target* notify = nullptr; // receives complete_id
    void* message_owner = nullptr;    // owner of the Datalog question
    std::atomic<uint8_t>* cancel = nullptr;
    std::atomic<uint8_t>* incomplete = nullptr;
    std::atomic<int32_t>* received = nullptr;
    int32_t* steps = nullptr;
    int32_t* phase_convention = nullptr;

    int mode = 1;        // operation mode the sweep needs (parameter 1)
    int start_count = 1; // "start\n" is sent this many times
    const char* download_command = "gainph,sweep?\n";
    int complete_id = 0;
    // Posted to notify with the outcome as lparam when the sweep ends in
    // any other way than done (0: not posted).
    int ended_id = 0;

    // After the steps and the phase convention: the values per point (may
    // read further parameters; a config_error fails the preparation).
    std::function<int(s_link&, instrument_config&)> values_per_point;
    // Stores accepted point number index (values holds values_per_point).
    std::function<void(int index, const double* values, int n)> store_point;
    // Optional: after the reset, before anything is read (the piezo forces
    // its output quantity here) and before the connection closes on every
    // path where the instrument still answers (it restores it here).
    std::function<void(s_link&, instrument_config&)> before_prepare;
    std::function<void(s_link&, instrument_config&)> before_close;
};

// A job with the fields every sweep context shares (link, configuration,
// dialog, window, flags, step count and phase convention) taken from ctx;
// the caller adds what its mode needs.
template <class Context> s_sweep_job sweep_job_of(Context& ctx)
{
    s_sweep_job job;
    job.link = ctx.link;
    job.config = ctx.config;
    job.dialog = ctx.dialog;
    job.notify = ctx.notify;
    job.message_owner = ctx.message_owner;
    job.cancel = &ctx.cancel;
    job.incomplete = &ctx.incomplete;
    job.received = &ctx.received;
    job.steps = &ctx.sweep.count;
    job.phase_convention = &ctx.sweep.phase_convention;
    job.ended_id = CMD_SWEEP_ENDED;
    return job;
}

// Reads one integer parameter from the instrument into the model and
// returns it (the model's value stays when the read fails).
int32_t sweep_read_int(instrument_config& config, s_link& link, int id);

// Runs one sweep on the calling thread. On success the points have gone to
// store_point and complete_id has been posted to notify, else ended_id with
// the outcome; the dialog always gets CMD_PROGRESS_FINISHED last.
sweep_outcome run_sweep_job(s_sweep_job& job);

// The dialog's Cancel: flags the worker, closes the dialog and tells notify
// that the sweep ended cancelled (a worker the dialog had not started yet
// never tells it).
void cancel_sweep_job(std::atomic<uint8_t>& cancel, command_target* dialog, command_target* notify);
