#pragma once
// The block shared by the FRA window and its worker threads (the sweep
// worker and the realtime thread). The window fills the environment and the
// flags before starting a thread; the worker fills the sweep; the window
// reads the sweep only after the worker's "sweep complete" command has
// arrived, when the worker no longer writes it. The flags that both threads
// touch are atomic.

#include "fra/fra_result.h"

#include <atomic>
#include <cstdint>
#include <thread>

class command_target;
class instrument_config;
struct s_link;

struct FraSweepContext {
    command_target* owner = nullptr;  // the window that started the operation
    command_target* notify = nullptr; // the FRA window: realtime reading / sweep complete
    void* message_owner = nullptr;    // owner of the Datalog question (none for a sweep)
    std::thread realtime_thread;
    std::atomic<uint8_t> request{0};
    std::atomic<uint8_t> cancel{0};
    std::atomic<uint8_t> incomplete{0};
    std::atomic<int32_t> received{0};
    s_fra_result realtime;
    // steps, phase convention and points, copied whole into the results
    FraResults sweep;

    // The instrument the operation talks to.
    s_link* link = nullptr;
    instrument_config* config = nullptr;
    // Progress dialog of the running sweep; the worker reports to it.
    command_target* dialog = nullptr;
};

// Configuration parameter ids the FRA engine reads and sets.
enum fra_param : int {
    FRA_PARAM_INPUT = 84,
};

constexpr int FRA_OPERATING_MODE = 1;

// Clears the block's flags, counters and readings (the realtime start);
// the environment pointers and a running thread are left alone.
void fra_context_clear(FraSweepContext& ctx);

// Arms the block for one sweep: a fresh request, no cancel, nothing received
// or incomplete yet. A sweep asks its questions without an owner window; the
// last realtime reading and the environment pointers stay.
void fra_context_arm_sweep(FraSweepContext& ctx);
