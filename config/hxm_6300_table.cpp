// Parameters of the three-channel instrument. Texts are Windows-1252: "\xB0"
// is the degree sign, "\xF0" and "\xD8" the letters of the loss-factor names.
// "25%%" and its neighbours are stored with the percent sign doubled, as the
// configuration window shows them; the text block writes them with one.

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
#define DIS_EN                                                                                     \
    {                                                                                              \
        "Disabled", "Enabled"                                                                      \
    }
#define INPUT_6300                                                                                 \
    {                                                                                              \
        "Direct", "External shunt", "External attenuator"                                          \
    }
#define RANGE_6300                                                                                 \
    {                                                                                              \
        "3mV", "10mV", "30mV", "100mV", "300mV", "1V", "3V", "10V", "30V", "100V", "300V", "500V", \
            "300mV*", "1V*", "3V*", "10V*"                                                         \
    }
#define AUTORANGE                                                                                  \
    {                                                                                              \
        "Full autorange", "Autorange up", "Manual"                                                 \
    }
#define CHANNEL_RATIOS                                                                             \
    {                                                                                              \
        "Ch2/Ch1", "Ch1/Ch2", "Ch3/Ch1", "Ch1/Ch3", "Ch3/Ch2", "Ch2/Ch3"                           \
    }
#define SIGN_CONVENTION                                                                            \
    {                                                                                              \
        "Negative lagging", "Negative leading"                                                     \
    }

constexpr s_param_def params[] = {
    {1,
     "Operation Mode",
     L,
     0,
     7, // the oscilloscope is instrument value 7
     {"RMS Voltmeter", "Frequency Response Analyser", "Power Meter", "LCR Meter",
      "Harmonic Analyser", "Vector Voltmeter", "Oscilloscope"}},
    {2, "Unused", L, 0, 1, {"English", "Other"}},
    {3, "Bandwidth", L, 0, 2, {"Wide", "Low", "Auto"}},
    {4, "Autozero", L, 0, 1, {"Auto", "Manual"}},
    {5, "Low blanking", L, 0, 1, OFF_ON},
    {6,
     "Phase convention",
     L,
     0,
     2,
     {"-180\xB0 to 180\xB0", "0\xB0 to -360\xB0", "0\xB0 to +360\xB0"}},
    {7, "Output", L, 0, 2, {"Off", "On", "DC only"}},
    {8, "Graph", L, 0, 1, {"Dots", "Lines"}},
    {9, "Keyboard beep", L, 0, 1, DIS_EN},
    {11, "Low frequency", L, 0, 1, OFF_ON},
    {12, "Window", T, NONE, NONE, {"0.0000E"}},
    {13, "Speed", L, 0, 5, {"Very Slow", "Slow", "Medium", "Fast", "Very Fast", "Window"}},
    {14, "Smoothing", L, 0, 2, {"Normal", "Slow", "None"}},
    {15, "Smoothing response", L, 0, 1, {"Auto reset", "Fixed time"}},
    {16, "Unused", L, 0, 4, {"19200", "9600", "4800", "2400", "1200"}},
    {18, "Steps", I, 2, 3000},
    {19, "Start", T, NONE, NONE},
    {20, "End", T, NONE, NONE},
    {21, "Type", L, 0, 1, {"Single", "Repeat"}},
    {22, "Conditions", L, 0, 2, {"Auto frequency", "Manual", "Auto shunt"}},
    {23, "Shunt", L, 0, 1, {"Default", "Manual"}},
    {24, "Input", L, 0, 3, INPUT_6300}, // the instrument counts inputs from 1
    {25, "Input", L, 0, 3, INPUT_6300},
    {26, "Input", L, 0, 3, INPUT_6300},
    {27, "Minimum range", L, 0, 15, RANGE_6300},
    {28, "Minimum range", L, 0, 15, RANGE_6300},
    {29, "Minimum range", L, 0, 15, RANGE_6300},
    {30, "Autoranging", L, 0, 2, AUTORANGE},
    {31, "Autoranging", L, 0, 2, AUTORANGE},
    {32, "Autoranging", L, 0, 2, AUTORANGE},
    {33, "Coupling", L, 0, 1, {"AC+DC", "AC"}},
    {34, "Coupling", L, 0, 1, {"AC+DC", "AC"}},
    {35, "Coupling", L, 0, 1, {"AC+DC", "AC"}},
    {36, "Scale factor", T, NONE, NONE},
    {37, "Scale factor", T, NONE, NONE},
    {38, "Scale factor", T, NONE, NONE},
    {39, "External Shunt", T, NONE, NONE},
    {40, "External Shunt", T, NONE, NONE},
    {41, "External Shunt", T, NONE, NONE},
    {48, "Frequency", T, NONE, NONE, {"1.0000E3"}},
    {49, "Amplitude", T, NONE, NONE},
    {50, "Offset", T, NONE, NONE},
    {51,
     "Waveform",
     L,
     0,
     6,
     {"Sinewave", "Triangle", "Square wave", "Sawtooth", "Pulse", "White noise"}},
    {52, "Frequency step", T, NONE, NONE},
    {53, "Amplitude step", T, NONE, NONE},
    {54, "Amplitude dBm", T, NONE, NONE},
    {55, "Gen. when complete", L, 0, 1, OFF_ON},
    {58, "Datalog", L, 0, 2, {"Disabled", "RAM", "Non-volatile"}},
    {59, "Interval", T, NONE, NONE},
    {64, "Frequency marker", L, 0, 2, OFF_ON},
    {65, "Marker 1", T, NONE, NONE},
    {66, "Prog. 1-6 direct", L, 0, 2, DIS_EN},
    {67, "Phase reference", L, 0, 1, {"Cosine", "Sine"}},
    {69, "Ignore overload", L, 0, 1, OFF_ON},
    {72, "Phase reference", L, 0, 2, {"Channel 1", "Channel 2", "Channel 3"}},
    {73, "DFT Selectivity", L, 0, 1, {"Normal", "Narrow"}},
    {75, "Frequency lock", L, 0, 1, {"Normal", "Constant"}},
    {78, "High speed", L, 0, 1, DIS_EN},
    {83, "Integration", L, 0, 1, {"Signed", "Magnitude"}},
    {84, "Input", L, 0, 1, {"2 Channels", "3 Channels"}},
    {86, "Difference THD", L, 0, 2, {"Disabled", "Including DC", "Excluding DC"}},
    {87, "PF sign", L, 0, 1, SIGN_CONVENTION},
    {88, "VAr sign", L, 0, 1, SIGN_CONVENTION},
    {92, "Rectified mean", L, 0, 3, {"Absolute", "Normalised"}}, // any value above 1 is normalised
    {93, "Computation 2", L, 0, 5, CHANNEL_RATIOS},
    {99,
     "Computation 1",
     L,
     0,
     6,
     {"Difference THD", "Harmonic series", "TIF", "THF", "TRD", "TDD", "Series harmonic phase"}},
    {100, "Harmonic", T, NONE, NONE, {"2"}},
    {101, "Harmonics", T, NONE, NONE, {"20"}},
    {102, "Parameter", L, 0, 2, {"%", "dB"}},
    {103, "Voltage bargraph scale", T, NONE, NONE},
    {104, "Current bargraph scale", T, NONE, NONE},
    {106, "Frequency", L, 0, 2, {"Single", "Sweep"}},
    {107, "Start", T, NONE, NONE},
    {108, "End", T, NONE, NONE},
    {109, "Steps", T, NONE, NONE},
    {111, "Current rating", T, NONE, NONE},
    {113, "Marker", L, 0, 2, OFF_ON},
    {114, "Marker value", T, NONE, NONE},
    {116, "Control", L, 0, 1, {"V", "dBm"}},
    {117, "Step message", L, 0, 1, {"Enabled", "Disabled"}},
    {118, "Unused", L, 0, 1, {"Primary", "Secondary", "Both"}},
    {119, "Length unit", L, 0, 1, {"M", "Inch"}},
    {122, "Device", L, 0, 4, {"None", "ZAX"}}, // the instrument calls the ZAX fixture 4
    {131, "Scaled range", L, 0, 1, DIS_EN},
    {132, "Zoom 2 hi res", L, 0, 1, DIS_EN},
    {137, "Parameter", L, 0, 4, {"Auto", "Capacitance", "Inductance", "Impedance", "Admittance"}},
    {138, "Sweep", L, 0, 1, {"Series", "Parallel"}},
    {139, "Graph", L, 0, 2, {"Tan \xF0 / QF", "Single", "Resistance"}},
    {140, "LCR head shunt", L, 0, 3, {"Low", "Normal", "High", "Very high"}},
    {141, "Graph", L, 0, 1, {"Linear", "Log"}},
    {142, "Phase reference", T, NONE, NONE},
    {143, "Reference", T, NONE, NONE},
    {144, "Reference", L, 0, 2, {"Capacitance", "Resistance", "Inductance"}},
    {145, "Connection", L, 0, 2, {"Shunt", "Divider Zx low", "Divider Zx high"}},
    {146, "Phase offset", T, NONE, NONE},
    {147, "Graph", L, 0, 1, {"Phase", "Delay"}},
    {148, "Offset", T, NONE, NONE},
    {149, "Gain/Phase margins", L, 0, 1, DIS_EN},
    {150, "Ratio", L, 0, 5, CHANNEL_RATIOS},
    {151, "Cycles", T, 1, 100, {"1"}},
    {152, "Delay", T, 0, 60, {"0"}},
    {153, "Unused", T, 1, 30, {"1"}},
    {154, "Unused", L, 0, 2, {"RS232/USB", "LAN", "GPIB"}},
    {173, "Graph 2 scaling", L, 0, 1, {"Auto", "Manual"}},
    {174, "Upper limit", T, NONE, NONE},
    {175, "Lower limit", T, NONE, NONE},
    {177,
     "Parameter",
     L,
     0,
     9,
     {"In-phase", "Quadrature", "Tan \xD8", "Magnitude", "Phase", "In-phase ratio", "Rms",
      "Rms ratio", "LVDT diff", "LVDT ratio"}},
    {178, "Scale factor", T, NONE, NONE},
    {179, "Null meter", L, 0, 2, {"Auto", "Manual", "Off"}},
    {180, "Upper limit", T, NONE, NONE},
    {181, "Offset", T, NONE, NONE},
    {186, "AC Trim", L, 0, 3, {"Disabled", "Ch1", "Ch2", "Ch3"}},
    {188, "AC Level", T, NONE, NONE},
    {190, "Tolerance", T, NONE, NONE},
    {192, "Step scale", L, 0, 1, {"Log", "Linear"}},
    {193, "Graph 1 scaling", L, 0, 1, {"Auto", "Manual"}},
    {194, "Upper limit", T, NONE, NONE},
    {195, "Lower limit", T, NONE, NONE},
    {198, "Unused", L, 0, 2, {"Normal", "High", "Binary"}},
    {208, "Timebase", T, NONE, NONE},
    {209, "Trigger level", T, NONE, NONE},
    {210, "Pretrigger", L, 0, 3, {"None", "25%%", "50%%", "75%%"}},
    {211, "Trigger polarity", L, 0, 1, {"Rising edge", "Falling edge"}},
    {212, "Trigger mode", L, 0, 2, {"Auto", "Normal", "Single shot"}},
    {215, "Cursors", L, 0, 1, OFF_ON},
    {216, "Trigger HF Reject", L, 0, 1, OFF_ON},
    {219, "Amplitude ceiling", T, NONE, NONE},
    {220, "Phase control", L, 0, 1, OFF_ON},
    {221, "Pulse width", T, NONE, NONE},
    {222, "Amplitude step dBm", T, NONE, NONE},
    {223, "Freq step", T, NONE, NONE},
};

} // namespace

std::span<const s_param_def> hxm_6300_params()
{
    return params;
}
