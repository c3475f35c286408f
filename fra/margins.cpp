#include "fra/margins.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Largest phase step between two neighbouring points that is still a change
// of the loop's phase rather than a wrap of the instrument's phase range.
constexpr double PHASE_WRAP_JUMP = 180.0;
constexpr int REPORT_LIST_MAX = 10;

double quantity(const s_margin_sample& s, margin_kind kind)
{
    return kind == margin_kind::zero_db ? s.gain : s.phase;
}

double other(const s_margin_sample& s, margin_kind kind)
{
    return kind == margin_kind::zero_db ? s.phase : s.gain;
}

bool sign_change(double a, double b)
{
    return (a >= 0 && b < 0) || (a <= 0 && b > 0);
}

bool is_phase_wrap(double a, double b, margin_kind kind)
{
    return kind == margin_kind::zero_phase && std::fabs(a - b) > PHASE_WRAP_JUMP;
}

s_gain_phase_point interpolate(const s_margin_sample& lo, const s_margin_sample& hi,
                               margin_kind kind)
{
    const double a = quantity(lo, kind);
    const double b = quantity(hi, kind);
    double fc = lo.frequency;
    double oc = 0;
    if (lo.frequency != hi.frequency) {
        const double s = (a - b) / (lo.frequency - hi.frequency);
        fc = lo.frequency - a / s;
        oc = other(lo, kind) + (fc - lo.frequency) * (other(lo, kind) - other(hi, kind)) /
                                   (lo.frequency - hi.frequency);
    } else {
        // Two readings at one frequency: the crossing lies at that frequency,
        // the other quantity in proportion to where the sign changes.
        oc = other(lo, kind) + (other(hi, kind) - other(lo, kind)) * a / (a - b);
    }
    s_gain_phase_point p;
    p.frequency = fc;
    if (kind == margin_kind::zero_db)
        p.phase = oc;
    else
        p.gain = oc;
    return p;
}

} // namespace

LList<s_gain_phase_point> margin_search(std::span<const s_margin_sample> samples, margin_kind kind)
{
    LList<s_gain_phase_point> found;
    const int pairs = static_cast<int>(samples.size()) - 1;
    std::vector<s_gain_phase_point> hits;
    for (int j = 0; j < pairs; ++j) {
        const double a = quantity(samples[j], kind);
        const double b = quantity(samples[j + 1], kind);
        if (!sign_change(a, b) || is_phase_wrap(a, b, kind))
            continue;
        s_gain_phase_point p = interpolate(samples[j], samples[j + 1], kind);
        p.index = j;
        hits.push_back(p);
    }
    for (size_t k = 0; k < hits.size(); ++k) {
        if (kind == margin_kind::zero_db) {
            const int until = k + 1 < hits.size() ? hits[k + 1].index : pairs - 1;
            hits[k].span = until - hits[k].index;
        } else {
            const int since = k > 0 ? hits[k - 1].index : -1;
            hits[k].span = hits[k].index - since;
        }
        found.append(hits[k]);
    }
    return found;
}

LList<s_gain_phase_point> margin_search(const s_fra_result* points, int count, margin_kind kind)
{
    std::vector<s_margin_sample> samples(count > 0 ? count : 0);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = {points[i].frequency(), points[i].gain(), points[i].phase()};
    return margin_search(samples, kind);
}

const char* margin_none_text(margin_kind kind)
{
    return kind == margin_kind::zero_db ? "No gain 0dB point found" : "No 0Phase point found";
}

std::string margin_report(LList<s_gain_phase_point>& found, margin_kind kind)
{
    const bool db = kind == margin_kind::zero_db;
    char line[256];
    if (found.size() == 0)
        return margin_none_text(kind);
    found.rewind();
    if (found.size() == 1) {
        const s_gain_phase_point* p = found.next();
        std::snprintf(line, sizeof line,
                      db ? "0dB point = freq: %.2lf Hz phase: %.2lf deg"
                         : "0Phase point = freq: %.2lf Hz gain: %.2lf dB",
                      p->frequency, db ? p->phase : p->gain);
        return line;
    }
    std::snprintf(line, sizeof line,
                  db ? "There were %d 0dB points found\n\n"
                     : "There were %d 0Phase points found\n\n",
                  found.size());
    std::string text = line;
    int n = 0;
    while (const s_gain_phase_point* p = found.next()) {
        if (++n > REPORT_LIST_MAX) {
            text += "...";
            break;
        }
        std::snprintf(line, sizeof line,
                      db ? "0dB point %d =  freq: %.2lf Hz  phase: %.2lf deg \n"
                         : "0Phase point %d =  freq: %.2lf Hz  gain: %.2lf dB \n",
                      n, p->frequency, db ? p->phase : p->gain);
        text += line;
    }
    return text;
}

const s_gain_phase_point* margin_main_crossing(const LList<s_gain_phase_point>& list)
{
    const s_gain_phase_point* best = nullptr;
    for (auto* n = list.head; n; n = n->next)
        if (!best || n->element->span > best->span)
            best = n->element;
    return best;
}

std::string margin_text(const s_gain_phase_point& crossing, bool gain)
{
    char text[128];
    // -0.0 would print as "-0.00": a crossing exactly at 0 dB has no margin.
    if (gain)
        std::snprintf(text, sizeof text, "%.2f dB at %.2f Hz",
                      crossing.gain == 0 ? 0.0 : -crossing.gain, crossing.frequency);
    else
        std::snprintf(text, sizeof text, "%.2f deg at %.2f Hz", crossing.phase, crossing.frequency);
    return text;
}

std::string margin_summary(const LList<s_gain_phase_point>& zero_db,
                           const LList<s_gain_phase_point>& zero_phase)
{
    const s_gain_phase_point* g = margin_main_crossing(zero_phase);
    const s_gain_phase_point* p = margin_main_crossing(zero_db);
    return "gain margin: " + (g ? margin_text(*g, true) : std::string("not found")) +
           "; phase margin: " + (p ? margin_text(*p, false) : std::string("not found"));
}
