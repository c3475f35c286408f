#pragma once
// Gain and phase margins of a measured loop: the frequencies where the gain
// crosses 0 dB (the phase read there gives the phase margin) and where the
// phase crosses 0 degrees (the gain read there gives the gain margin).
//
// A crossing is a sign change between neighbouring points, located by
// linear interpolation in frequency. The instrument reports phase in
// -180..180 degrees (or 0..360, -360..0), so a loop's phase wraps from about
// +180 to about -180 between two neighbours: such a jump of more than 180
// degrees is a wrap of the phase, not a crossing of 0, and is left out.

#include "fra/fra_result.h"
#include "fra/llist.h"

#include <cstdint>
#include <span>
#include <string>

struct s_gain_phase_point {
    double frequency = 0;
    double gain = 0;   // 0 for a 0 dB crossing; the interpolated gain for a 0-phase one
    double phase = 0;  // the interpolated phase for a 0 dB crossing; 0 for a 0-phase one
    int32_t index = 0; // lower point of the pair that holds the crossing
    int32_t span = 0;  // pairs examined between this crossing and its neighbour
};

struct s_margin_sample {
    double frequency = 0;
    double gain = 0;
    double phase = 0;
};

enum class margin_kind {
    zero_db,    // gain crosses 0 dB
    zero_phase, // phase crosses 0 degrees
};

// Every crossing of the kind among the samples, in pair order. Span of a
// 0 dB crossing: the pairs after its own up to and including the next
// crossing's pair (or up to the last pair). Span of a 0-phase crossing: the
// pairs since the previous crossing (or the start), its own included.
LList<s_gain_phase_point> margin_search(std::span<const s_margin_sample> samples, margin_kind kind);

// The same search over the first count points of a sweep.
LList<s_gain_phase_point> margin_search(const s_fra_result* points, int count, margin_kind kind);

// The message-box texts with which the FRA window reports a search.
std::string margin_report(LList<s_gain_phase_point>& found, margin_kind kind);

// The "not found" text of a kind.
const char* margin_none_text(margin_kind kind);

// The main crossing of a list: the one with the largest span (the first of
// equals); null for an empty list.
const s_gain_phase_point* margin_main_crossing(const LList<s_gain_phase_point>& list);

// One margin as the windows show it: "X dB at F Hz" for the gain margin
// (the gain at the 0-degree crossing negated), "Y deg at F Hz" for the phase
// margin (the phase at the 0 dB crossing).
std::string margin_text(const s_gain_phase_point& crossing, bool gain);

// One line of both margins from the main crossings, as an engineer reads
// them: "gain margin: X dB at F Hz; phase margin: Y deg at F Hz" with X the
// gain at the 0-degree crossing negated and Y the phase at the 0 dB
// crossing; a half without a crossing reads "not found".
std::string margin_summary(const LList<s_gain_phase_point>& zero_db,
                           const LList<s_gain_phase_point>& zero_phase);
