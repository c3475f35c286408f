// Parameters of the two-channel instrument. Texts are Windows-1252; "\xB0"
// is the degree sign. Ranges apply to the list position when writing and to
// the instrument's own value when reading, so a few maxima exceed the number
// of choices where the instrument numbers its values differently.

#include "config/param_table.h"

namespace {

constexpr param_kind L = param_kind::list;
constexpr param_kind I = param_kind::integer;
constexpr param_kind T = param_kind::text;
constexpr double NONE = -99;

#define OFF_ON                                                                                     \
    {                                                                                              \
        "Off", "On"                                                                                \
    }
#define INPUT_4100                                                                                 \
    {                                                                                              \
        "Disabled", "Voltage input", "External shunt"                                              \
    }
#define RANGE_4100                                                                                 \
    {                                                                                              \
        "1mV", "3mV", "10mV", "30mV", "100mV", "300mV", "1V", "3V", "10V"                          \
    }
#define AUTORANGE                                                                                  \
    {                                                                                              \
        "Full autorange", "Autorange up", "Manual"                                                 \
    }
#define CONNECTION_4100                                                                            \
    {                                                                                              \
        "Main (Right)", "Secondary (Left)", "Differential (Both)"                                  \
    }
#define WINDINGS "W1", "W2+3", "W2", "W3"

constexpr s_param_def params[] = {
    {1,
     "Operation Mode",
     L,
     0,
     6,
     {"RMS voltmeter", "Frequency response analyser", "Power meter", "LCR meter",
      "Vector voltmeter", "Harmonic analyser", "Transformer analyser"}},
    {2, "Unused", L, 0, 2, {"RS232", "USB", "LAN"}},
    {3, "Bandwidth", L, 0, 2, {"Auto", "Wide", "Low"}},
    {4, "Autozero", L, 0, 1, {"Auto", "Manual"}},
    {5, "Low blanking", L, 0, 1, OFF_ON},
    {6,
     "Phase convention",
     L,
     0,
     2,
     {"-180\xB0 to 180\xB0", "0\xB0 to -360\xB0", "0\xB0 to +360\xB0"}},
    {7, "Output", L, 0, 1, OFF_ON},
    {8, "Graph", L, 0, 1, {"Dots", "Lines"}},
    {9, "Keyboard beep", L, 0, 1, OFF_ON},
    {11, "Low frequency", L, 0, 1, OFF_ON},
    {12, "Window", T, NONE, NONE},
    {13, "Speed", L, 0, 5, {"Very Slow", "Slow", "Medium", "Fast", "Very Fast", "Window"}},
    {14, "Filter", L, 0, 2, {"Normal", "Slow", "None"}},
    {15, "Filter dynamics", L, 0, 1, {"Auto reset", "Fixed time"}},
    {16, "Unused", L, 0, 3, {"38400", "19200", "9600", "1200"}},
    {18, "Steps", I, 2, 3000},
    {19, "Start", T, NONE, NONE},
    {20, "End", T, NONE, NONE},
    {21, "Type", L, 0, 1, {"Single", "Repeat"}},
    {22, "Conditions", L, 0, 2, {"Auto frequency", "Manual", "Auto shunt"}},
    {23, "Shunt", L, 0, 1, {"Default", "Manual"}},
    {24, "Input", L, 0, 2, INPUT_4100},
    {25, "Input", L, 0, 2, INPUT_4100},
    {26, "Minimum range", L, 0, 8, RANGE_4100},
    {27, "Minimum range", L, 0, 8, RANGE_4100},
    {28, "Autoranging", L, 0, 2, AUTORANGE},
    {29, "Autoranging", L, 0, 2, AUTORANGE},
    {30, "Coupling", L, 0, 1, {"AC+DC", "AC"}},
    {31, "Coupling", L, 0, 1, {"AC+DC", "AC"}},
    {32, "Scale factor", T, NONE, NONE},
    {33, "Scale factor", T, NONE, NONE},
    {34, "External shunt", T, NONE, NONE},
    {35, "External shunt", T, NONE, NONE},
    {36, "Connection", L, 0, 2, CONNECTION_4100},
    {37, "Connection", L, 0, 2, CONNECTION_4100},
    {38, "Unused", L, 0, 1, {"Normal", "High", "Binary"}},
    {39, "Phase reference", L, 0, 1, {"Ch1", "Ch2"}},
    {48, "Frequency", T, NONE, NONE},
    {49, "Amplitude", T, NONE, NONE},
    {50, "Offset", T, NONE, NONE},
    {51, "Waveform", L, 0, 2, {"Sinewave", "Squarewave"}}, // squarewave is instrument value 2
    {52, "Frequency step", T, NONE, NONE},
    {53, "Amplitude step", T, NONE, NONE},
    {54, "Amplitude", T, NONE, NONE},
    {55, "Gen. when complete", L, 0, 2, {"Off", "On", "DC only"}},
    {57, "Ceiling", T, NONE, NONE},
    {58, "Datalog", L, 0, 2, {"Disabled", "RAM", "Non-volatile"}},
    {59, "Interval", T, NONE, NONE},
    {64, "Frequency marker", L, 0, 2, OFF_ON},
    {65, "Marker 1", T, NONE, NONE},
    {66, "Prog. 1-6 direct", L, 0, 2, {"Disabled", "Enabled"}},
    {83, "Integration", L, 0, 1, {"Signed", "Magnitude"}},
    {95, "Mode", L, 0, 3, {"Normal", "Streaming", "Fast analogue output", "Single"}},
    {99, "Scan", L, 0, 2, {"Single", "Difference THD", "Series THD"}},
    {100, "Harmonic", T, NONE, NONE},
    {101, "Harmonics", T, NONE, NONE},
    {102, "Parameter", L, 0, 2, {"%", "dB"}},
    {103, "Bargraph scale", T, NONE, NONE},
    {116, "Control", L, 0, 1, {"V", "dBm"}},
    {117, "Step message", L, 0, 1, {"Enabled", "Disabled"}},
    {119, "Length unit", L, 0, 1, {"M", "Inch"}},
    {121,
     "Parameter",
     L,
     0,
     11,
     {"Turns ratio", "Inductance", "Leakage inductance", "AC resistance", "DC resistance",
      "Interwinding C", "Magnetising current", "Return loss", "Insertion loss", "Single harmonic",
      "Thd", "Longitudinal balance"}},
    {122, "Fixture", L, 0, 6, {"None", "LCR Active head", "QFX01", "ZAX", "High Z interface"}},
    {123, "Winding", L, 0, 4, {WINDINGS}},
    {124,
     "Turns ratio",
     L,
     0,
     7,
     {"W1:W2+3", "W2+3:W1", "W1:W2", "W2:W1", "W1:W3", "W3:W1", "W2:W3", "W3:W2"}},
    {125, "Source", T, NONE, NONE},
    {126, "Load", T, NONE, NONE},
    {127, "Nominal", T, NONE, NONE},
    {130, "Source", L, 0, 7, {WINDINGS, "Trim", "None"}}, // trim and none are values 6 and 7
    {131, "Load", L, 0, 7, {WINDINGS, "None"}},
    {132, "Input 1", L, 0, 3, {WINDINGS}},
    {133, "Input 2", L, 0, 7, {WINDINGS, "Current"}},
    {137, "Parameter", L, 0, 4, {"Auto", "Capacitance", "Inductance", "Impedance", "Admittance"}},
    {138, "Sweep", L, 0, 1, {"Series", "Parallel"}},
    {139, "Graph", L, 0, 2, {"Single", "Tan \xF0 / QF", "Resistance"}},
    {140, "LCR head shunt", L, 0, 2, {"Normal", "High", "Very high"}},
    {141, "Graph", L, 0, 2, {"Linear", "Log"}},
    {145, "Connection", L, 0, 1, {"Shunt", "Divider Zx low", "Divider Zx high"}},
    {147, "Graph", L, 0, 1, {"Phase", "Delay"}},
    {148, "Offset", T, NONE, NONE},
    {149, "Gain/Phase margins", L, 0, 1, {"Disabled", "Enabled"}},
    {150, "Ratio", L, 0, 1, {"ch2/ch1", "ch1/ch2"}},
    {151, "Min cycles", T, 1, 100, {"1"}},
    {152, "Delay", T, 0, 60},
    {173, "Graph 2 scaling", L, 0, 1, {"Auto", "Manual"}},
    {174, "Upper limit", T, NONE, NONE},
    {175, "Lower limit", T, NONE, NONE},
    {177,
     "Parameter",
     L,
     0,
     9,
     {"In-phase", "Quadrature", "Tan \xF8", "Magnitude", "Phase", "In-phase ratio", "Rms",
      "Rms2/Rms1", "LVDT diff", "LVDT ratio"}},
    {178, "Scale factor", T, NONE, NONE},
    {179, "Null meter", L, 0, 2, {"Off", "Auto", "Manual"}},
    {180, "Upper limit", T, NONE, NONE},
    {181, "Offset", T, NONE, NONE},
    {186, "AC Trim", L, 0, 2, {"Disabled", "Ch1", "Ch2"}},
    {188, "AC Level", T, NONE, NONE},
    {190, "Tolerance", T, NONE, NONE},
    {192, "Step scale", L, 0, 1, {"Logarithmic", "Linear"}},
    {193, "Graph 1 scaling", L, 0, 1, {"Auto", "Manual"}},
    {194, "Upper limit", T, NONE, NONE},
    {195, "Lower limit", T, NONE, NONE},
};

} // namespace

std::span<const s_param_def> hxm_4100_params()
{
    return params;
}
