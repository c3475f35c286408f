#pragma once
// Command ids exchanged between windows, workers and the timer service.
// The numbers are the ones the windows have always used; later windows add
// their own ids here so that every id is defined once.

enum command_id : int {
    CMD_MAIN_REFRESH = 121,        // main window: refresh enabled/connected/realtime state
    CMD_FRA_VIEW_REDRAW = 122,     // FRA view: redraw (lparam 1: recompute layout and fonts)
    CMD_GRAPH_REPAINT = 123,       // graph dialog: repaint the chart
    CMD_FRA_REALTIME_READY = 129,  // FRA window: realtime reading ready
    CMD_FRA_SWEEP_COMPLETE = 130,  // FRA window: sweep data complete
    CMD_FRA_VIEW_NEW_SWEEP = 131,  // FRA view: new sweep, recompute ranges and cursors
    CMD_LCR_REALTIME_READY = 184,  // LCR window: realtime reading ready
    CMD_LCR_SWEEP_COMPLETE = 185,  // LCR window: sweep data complete
    CMD_FRA_START_SWEEP = 32800,   // FRA window: start one sweep
    CMD_PROGRESS_FINISHED = 10001, // progress dialog: worker finished, close
    CMD_PROGRESS_STARTED = 10002,  // progress dialog: worker started
    CMD_PROGRESS_RANGE = 10003,    // progress dialog: set range (lparam = steps)
    CMD_PROGRESS_STEP = 10004,     // progress dialog: one step done
    CMD_PROGRESS_STATUS = 10007,   // progress dialog: status text (lparam = text)
    CMD_SET_TEXT = 12,             // any display: replace its text (lparam = text)
};
