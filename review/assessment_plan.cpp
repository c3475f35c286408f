#include "review/assessment_plan.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// The winding connections. A neutral brings the terminal N out; the
// parities tell which clock numbers a pair of windings can have.
struct s_connection {
    const char* letters;
    bool neutral;
    bool odd; // delta and zigzag turn the voltage by an odd multiple of 30 degrees
};
const s_connection CONNECTIONS[] = {
    {"D", false, true}, {"Y", false, false}, {"YN", true, false},
    {"Z", false, true}, {"ZN", true, true},
};

const char* const LABELS[] = {"HV", "LV", "TV"};
constexpr size_t MOST_WINDINGS = 3;

// The measurement types: the windings each one is taken on, and how the
// step's name reads ("{W}" the winding or pair, "{S}" the shorted winding,
// "{T}" the terminals). A group's name is the step's name without "{T}".
enum class scope { each_winding, hv_with_each_shorted, each_pair };
struct s_measurement_type {
    assessment_kind kind;
    scope over;
    const char* pattern;
};
const s_measurement_type MEASUREMENTS[] = {
    {assessment_kind::open_circuit, scope::each_winding, "{W} open circuit {T}"},
    {assessment_kind::short_circuit, scope::hv_with_each_shorted,
     "{W} short circuit {T} ({S} shorted)"},
    {assessment_kind::capacitive_interwinding, scope::each_pair,
     "{W} capacitive inter-winding {T}"},
    {assessment_kind::inductive_interwinding, scope::each_pair, "{W} inductive inter-winding {T}"},
};

const s_connection* find_connection(const std::string& letters)
{
    for (const s_connection& c : CONNECTIONS)
        if (letters == c.letters)
            return &c;
    return nullptr;
}

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The group as the message repeats it: cut short and without control bytes.
std::string shown(std::string_view group)
{
    std::string out(group.substr(0, 30));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    return group.size() > 30 ? out + "..." : out;
}

// Reads one winding at `at`: its letters and, after the first, its clock.
bool read_winding(const std::string& text, size_t& at, bool first, s_winding_spec& winding,
                  std::string& why)
{
    const s_connection* found = nullptr; // the longest that fits: YN before Y
    for (const s_connection& c : CONNECTIONS)
        if (text.compare(at, std::strlen(c.letters), c.letters) == 0 &&
            (!found || std::strlen(c.letters) > std::strlen(found->letters)))
            found = &c;
    if (!found)
        return false;
    winding.connection = found->letters;
    at += winding.connection.size();
    const size_t digits = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
        ++at;
    if (first)
        return at == digits;
    if (at == digits || at - digits > 2)
        return false;
    winding.clock = std::stoi(text.substr(digits, at - digits));
    if (winding.clock > 11)
        why = "the clock number runs from 0 to 11";
    return true;
}

bool parities_fit(const s_transformer& unit)
{
    const bool hv_odd = find_connection(unit.windings[0].connection)->odd;
    return std::all_of(unit.windings.begin() + 1, unit.windings.end(), [&](const auto& w) {
        return (w.clock % 2 == 1) == (find_connection(w.connection)->odd != hv_odd);
    });
}

// The line terminal of a winding's phase and the other end of that phase:
// the neutral where there is one, else the line terminal whose winding shares
// the phase's limb. A delta winding's limb carries a voltage in phase with
// the star windings' U (or with the HV delta's U-V where no star winding is):
// U-V turns 30 degrees ahead of the winding's own U, U-W 30 degrees behind,
// so the clock number says which one lies on the U limb (Dyn11's HV and
// YNd1's LV go U to V, Dyn1's HV and YNd11's LV go U to W).
std::string line_terminal(const s_winding_spec& w, int phase)
{
    return std::string{w.terminal, "UVW"[phase]};
}

bool runs_backwards(const s_transformer& unit, const s_winding_spec& w)
{
    int limb = -1; // the U limb's angle in steps of 30 degrees behind HV's U
    for (const s_winding_spec& s : unit.windings)
        if (limb < 0 && !find_connection(s.connection)->odd)
            limb = s.clock;
    if (limb < 0)
        limb = 11; // no star winding: the HV delta's U-V
    return (w.clock + 1 - limb + 12) % 6 == 0;
}

std::string other_end(const s_transformer& unit, const s_winding_spec& w, int phase)
{
    if (find_connection(w.connection)->neutral)
        return std::string{w.terminal, 'N'};
    const bool backwards = w.connection == "D" && runs_backwards(unit, w);
    return line_terminal(w, (phase + (backwards ? 2 : 1)) % 3);
}

std::vector<std::string> terminals_of(const s_transformer& unit)
{
    std::vector<std::string> out;
    for (const s_winding_spec& w : unit.windings) {
        for (int phase = 0; phase < 3; ++phase)
            out.push_back(line_terminal(w, phase));
        if (find_connection(w.connection)->neutral)
            out.push_back(std::string{w.terminal, 'N'});
    }
    return out;
}

std::string replaced(std::string text, const std::string& key, const std::string& value)
{
    const size_t at = text.find(key);
    return at == std::string::npos ? text : text.replace(at, key.size(), value);
}

// One step of a type on windings a and b (b the shorted winding or the
// pair's second; a alone for the per-winding types).
s_plan_step make_step(const s_measurement_type& type, const s_transformer& unit,
                      const s_winding_spec& a, const s_winding_spec* b, int phase)
{
    s_plan_step step;
    step.kind = type.kind;
    step.phase = char('A' + phase);
    step.source = line_terminal(a, phase);
    const bool pair = type.over == scope::each_pair;
    step.measured = pair ? line_terminal(*b, phase) : other_end(unit, a, phase);
    step.winding = pair ? a.label + "-" + b->label : a.label;
    if (type.kind == assessment_kind::short_circuit)
        for (int p = 0; p < 3; ++p)
            step.shorted.push_back(line_terminal(*b, p));
    if (type.kind == assessment_kind::inductive_interwinding)
        step.earthed = {other_end(unit, a, phase), other_end(unit, *b, phase)};
    std::string pattern = replaced(type.pattern, "{W}", step.winding);
    pattern = replaced(pattern, "{S}", b ? b->label : "");
    step.name = replaced(pattern, "{T}", step.source + "-" + step.measured);
    step.group = replaced(pattern, " {T}", "");
    for (const std::string& t : terminals_of(unit)) {
        const auto used = [&](const std::vector<std::string>& v) {
            return std::find(v.begin(), v.end(), t) != v.end();
        };
        if (t != step.source && t != step.measured && !used(step.shorted) && !used(step.earthed))
            step.open.push_back(t);
    }
    return step;
}

void add_phases(std::vector<s_plan_step>& plan, const s_measurement_type& type,
                const s_transformer& unit, const s_winding_spec& a, const s_winding_spec* b)
{
    for (int phase = 0; phase < 3; ++phase)
        plan.push_back(make_step(type, unit, a, b, phase));
}

// "1U", "1U and 1V", "1U, 1V and 1W".
std::string listed(const std::vector<std::string>& terminals)
{
    std::string out;
    for (size_t i = 0; i < terminals.size(); ++i)
        out += (i == 0 ? "" : i + 1 == terminals.size() ? " and " : ", ") + terminals[i];
    return out;
}

} // namespace

std::optional<s_transformer> transformer_parse(std::string_view vector_group, std::string& error)
{
    error.clear();
    const std::string text = upper(vector_group);
    if (text.empty()) {
        error = "No vector group given";
        return std::nullopt;
    }
    s_transformer unit;
    unit.vector_group = std::string(vector_group);
    std::string why;
    size_t at = 0;
    while (at < text.size() && unit.windings.size() < MOST_WINDINGS) {
        s_winding_spec w;
        w.label = LABELS[unit.windings.size()];
        w.terminal = char('1' + unit.windings.size());
        if (!read_winding(text, at, unit.windings.empty(), w, why))
            break;
        unit.windings.push_back(w);
    }
    const bool whole = at == text.size() && unit.windings.size() >= 2;
    if (!whole && unit.windings.size() == MOST_WINDINGS)
        why = "a unit has two or three windings";
    else if (whole && why.empty() && !parities_fit(unit))
        why = "a delta or zigzag winding against a star one has an odd clock number, two alike "
              "an even one";
    if (!whole || !why.empty()) {
        error =
            "Unknown vector group: " + shown(vector_group) + (why.empty() ? "" : " (" + why + ")");
        return std::nullopt;
    }
    return unit;
}

std::vector<s_plan_step> assessment_plan(const s_transformer& unit)
{
    std::vector<s_plan_step> plan;
    if (unit.windings.size() < 2)
        return plan;
    const std::vector<s_winding_spec>& w = unit.windings;
    for (const s_measurement_type& type : MEASUREMENTS) {
        for (size_t i = 0; i < w.size(); ++i) {
            if (type.over == scope::each_winding)
                add_phases(plan, type, unit, w[i], nullptr);
            else if (type.over == scope::hv_with_each_shorted && i > 0)
                add_phases(plan, type, unit, w[0], &w[i]);
            else if (type.over == scope::each_pair)
                for (size_t j = i + 1; j < w.size(); ++j)
                    add_phases(plan, type, unit, w[i], &w[j]);
        }
    }
    return plan;
}

std::string plan_step_text(const s_plan_step& step)
{
    std::string text = "Source on " + step.source + ", response measured on " + step.measured + ".";
    if (!step.shorted.empty())
        text += " " + listed(step.shorted) + " shorted together.";
    if (!step.earthed.empty())
        text += " " + listed(step.earthed) + " earthed.";
    if (!step.open.empty())
        text += " " + listed(step.open) + " left open.";
    return text;
}

const char* assessment_kind_name(assessment_kind kind)
{
    switch (kind) {
    case assessment_kind::open_circuit: return "open circuit";
    case assessment_kind::short_circuit: return "short circuit";
    case assessment_kind::capacitive_interwinding: return "capacitive inter-winding";
    case assessment_kind::inductive_interwinding: return "inductive inter-winding";
    }
    return "";
}
