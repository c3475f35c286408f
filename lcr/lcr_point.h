#pragma once
// One LCR sweep point and the block an LCR or piezo sweep fills.
//
// A point holds the values of one reply line in reply order; which quantity
// sits at which position depends on the layout of the reply (see
// lcr_layouts.h). Positions beyond the layout's count are zero. The results
// carry the layout that produced them, so a later sweep with another layout
// never changes how earlier results are read.

#include "sweep/sweep_points.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

constexpr int LCR_VALUES_MAX = 13;
constexpr int LCR_READING_VALUES_MAX = 14;

struct LcrPoint {
    double v[LCR_VALUES_MAX] = {};
};

struct LcrResults {
    int32_t count = 0;
    int32_t phase_convention = 0;
    int32_t layout = 0; // 0 until a sweep or an import filled the points
    std::array<LcrPoint, MAX_SWEEP_POINTS> points{};

    void clear() { *this = LcrResults{}; }
};

class command_target;
class instrument_config;
struct s_link;

// The block shared by the LCR (or piezo) window and its worker threads. The
// window fills the environment and the flags before starting a thread; the
// threads fill the sweep or the reading; the window reads them only after
// the thread's posted command has arrived.
struct LcrSweepContext {
    command_target* owner = nullptr;
    command_target* notify = nullptr;
    void* message_owner = nullptr;
    std::thread realtime_thread;
    std::atomic<uint8_t> request{0};
    std::atomic<uint8_t> cancel{0};
    std::atomic<uint8_t> incomplete{0};
    std::atomic<int32_t> received{0};
    double realtime[LCR_READING_VALUES_MAX] = {};
    std::atomic<int32_t> reading_type{0}; // set by the realtime thread
    LcrResults sweep;

    s_link* link = nullptr;
    instrument_config* config = nullptr;
    command_target* dialog = nullptr;
};

// The piezo window runs the same sweep on its own block.
using PiezoSweepContext = LcrSweepContext;

// Arms the block for one sweep (request set, no cancel, nothing received).
void lcr_context_arm_sweep(LcrSweepContext& ctx);

// Clears the realtime reading before realtime readings start; the sweep
// results in the block stay.
void lcr_context_clear_reading(LcrSweepContext& ctx);
