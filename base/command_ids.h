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
    CMD_FRA_REALTIME_FAILED = 132, // FRA window: realtime gave up, no valid readings
    CMD_SWEEP_ENDED = 133,        // sweep-mode windows: a sweep ended unfinished (lparam = outcome)
    CMD_LCR_VIEW_REDRAW = 182,    // LCR results view: redraw (lparam 1: recompute layout)
    CMD_LCR_VIEW_NEW_SWEEP = 183, // LCR results / piezo view: recompute the axes
    CMD_LCR_REALTIME_READY = 184, // LCR window: realtime reading ready
    CMD_LCR_SWEEP_COMPLETE = 185, // LCR and piezo windows: sweep data complete
    CMD_LCR_REALTIME_FAILED = 186, // LCR window: realtime gave up, no valid readings
    CMD_START_SWEEP = 32800,       // FRA and LCR windows: start one sweep
    CMD_PROGRESS_FINISHED = 10001, // progress dialog: worker finished, close
    CMD_PROGRESS_STARTED = 10002,  // progress dialog: worker started
    CMD_PROGRESS_RANGE = 10003,    // progress dialog: set range (lparam = steps)
    CMD_PROGRESS_STEP = 10004,     // progress dialog: one step done
    CMD_PROGRESS_STATUS = 10007,   // progress dialog: status text (lparam = text)
    CMD_SET_TEXT = 12,             // any display: replace its text (lparam = text)
};

// The main window's menu and strip, and the progress dialog's own commands.
enum shell_command_id : int {
    CMD_CANCEL = 2,                    // a dialog's Cancel button
    CMD_ABOUT = 104,                   // main window: About box
    CMD_CONNECTION = 110,              // main window: connection dialog and flow
    CMD_MODE_LCR = 181,                // main window: LCR mode
    CMD_MODE_CAPTURE = 187,            // main window: capture mode
    CMD_MODE_PIEZO = 188,              // main window: piezo mode
    CMD_COMMS_LOG = 204,               // main window: comms log on/off
    CMD_PROGRESS_START_WORKER = 10006, // progress dialog: start the worker (its own timer)
    CMD_PROGRESS_ESTIMATE = 10010,     // progress dialog: estimate mode
    CMD_PROGRESS_POSITION = 10011,     // progress dialog: set position (lparam = position)
    CMD_MEASURE = 12001,               // MEASURE button
    CMD_DATABASE = 12002,              // DATABASE button
    CMD_HIDE_SETTINGS = 12003,         // HIDE/SHOW SETTINGS button
    CMD_LOGO = 12005,                  // logo button: the maker's home page
    CMD_READ_HXM = 12006,              // READ HXM: read the whole configuration
    CMD_SET_UP_HXM = 12007,            // SET UP HXM: write the whole configuration
    CMD_CONFIG_ACQU = 13002,           // configuration panel: Acquisition Control page
    CMD_SAVE_BITMAP = 32771,           // main window: graph picture to a bitmap file
    CMD_COPY_CLIPBOARD = 32772,        // main window: graph picture to the clipboard
    CMD_MODE_FRA = 32773,              // main window: FRA mode
    CMD_SUPPORT = 32775,               // main window: the maker's support page
    CMD_ARCHIVE_PUSH = 32790,          // main window: push the selected session to the archive
    CMD_ARCHIVE_SEARCH = 32791,        // main window: search the archive and pull tests
    CMD_PRINT = 32792,                 // main window: the current mode's report to a printer
    CMD_PRINT_PREVIEW = 32793,         // main window: the same report on screen, page by page
    CMD_EXPORT_PDF = 32794,            // main window: the same report as a PDF file
};

// The FRA window's controls and its view's: a click arrives as a command
// with the control's id.
enum fra_control_id : int {
    CMD_FRA_LIST = 14500,
    CMD_FRA_VIEW_REALTIME = 14502, // views 0, 1, 2 follow one another
    CMD_FRA_VIEW_GRAPH = 14503,
    CMD_FRA_VIEW_TABLE = 14504,
    CMD_FRA_START = 14506,
    CMD_FRA_SWEEP = 14507,
    CMD_FRA_EXPORT = 14509,
    CMD_FRA_NEXT_CAPTION = 14510,
    CMD_FRA_COUNTDOWN = 14511,
    CMD_FRA_SWEEP_NO_CAPTION = 14512,
    CMD_FRA_SWEEP_NO = 14513,
    CMD_FRA_CURSOR_LEFT = 14601,
    CMD_FRA_CURSOR_RIGHT = 14602,
    CMD_FRA_MARGINS = 14603,
    CMD_FRA_CENTRE = 14604,
    CMD_FRA_SCALING = 14605,
    CMD_FRA_BACKGROUND = 14606,
};

// The LCR window's controls, its results view's and the piezo window's: a
// click arrives as a command with the control's id.
enum lcr_control_id : int {
    CMD_LCR_LIST = 14700,
    CMD_LCR_VIEW_REALTIME = 14702, // views 0, 1, 2 follow one another
    CMD_LCR_VIEW_GRAPH = 14703,
    CMD_LCR_VIEW_TABLE = 14704,
    CMD_LCR_START = 14706,
    CMD_LCR_SWEEP = 14707,
    CMD_LCR_EXPORT = 14709,
    CMD_LCR_NEXT_CAPTION = 14710,
    CMD_LCR_COUNTDOWN = 14711,
    CMD_LCR_SWEEP_NO_CAPTION = 14712,
    CMD_LCR_SWEEP_NO = 14713,
    CMD_LCR_CURSOR_LEFT = 14801,
    CMD_LCR_CURSOR_RIGHT = 14802,
    CMD_LCR_LEFT_QUANTITY = 14803,
    CMD_LCR_RIGHT_QUANTITY = 14804,
    CMD_LCR_SCALING = 14805,
    CMD_LCR_BACKGROUND = 14806,
    CMD_LCR_LEFT_LOG = 14807, // logarithmic value axes, left and right
    CMD_LCR_RIGHT_LOG = 14808,
    CMD_PIEZO_START = 15241,
    CMD_PIEZO_IMPORT = 15242,
    CMD_PIEZO_R = 15245,
    CMD_PIEZO_C = 15247,
    CMD_PIEZO_CP = 15249,
    CMD_PIEZO_L = 15251,
    CMD_PIEZO_Z_TICKS_2 = 15252, // 15252..15254: impedance ticks 2, 1, 0
    CMD_PIEZO_Z_TICKS_0 = 15254,
    CMD_PIEZO_PHASE_TICKS_2 = 15255, // 15255..15257: phase ticks 2, 1, 0
    CMD_PIEZO_PHASE_TICKS_0 = 15257,
    CMD_PIEZO_LOG_IMPEDANCE = 15258,
};
