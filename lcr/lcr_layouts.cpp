#include "lcr/lcr_layouts.h"

namespace {

// Headings are Windows-1252 text: 0xF0 is the delta of "tan delta", 0xB0
// the degree sign.
#define DEG "\xB0"
#define DELTA "\xF0"

const s_lcr_layout LAYOUTS[] = {
    {LCR_LAYOUT_STANDARD,
     8,
     {{"Q", "", "Q", "Q", "", false},
      {"Tan" DELTA, "", "TAN" DELTA, "Tan" DELTA, "", false},
      {"Impedance", "Ohms", "IMPEDANCE (ohms)", "Imped", "Ohms", false, true},
      {"Phase", DEG, "PHASE (" DEG ")", "Phase", DEG, true},
      {"L", "H", "L (H)", "L", "H", false, true},
      {"C", "F", "C (F)", "C", "F", false, true},
      {"R", "Ohms", "R (ohms)", "R", "Ohms", false, true}}},
    {LCR_LAYOUT_FULL,
     13,
     {{"Q Factor", "", "Q FACTOR", "Q Factor", "", false},
      {"Tan" DELTA, "", "TAN" DELTA, "Tan" DELTA, "", false},
      {"Z Magnitude", "Ohms", "Z MAGNITUDE (Ohms)", "Z Magnitude", "Ohms", false, true},
      {"Z Phase", DEG, "Z PHASE (" DEG ")", "Z Phase", DEG, true},
      {"Series L", "H", "SERIES L (H)", "Series L", "H", false, true},
      {"Series C", "F", "SERIES C (F)", "Series C", "F", false, true},
      {"Series R", "Ohms", "SERIES R (Ohms)", "Series R", "Ohms", false, true},
      // The instrument reports the admittance in siemens.
      {"Y Magnitude", "S", "Y MAGNITUDE (S)", "Y Magnitude", "S", false, true},
      {"Y Phase", DEG, "Y PHASE (" DEG ")", "Y Phase", DEG, true},
      {"Parallel L", "H", "PARALLEL L (H)", "Parallel L", "H", false, true},
      {"Parallel C", "F", "PARALLEL C (F)", "Parallel C", "F", false, true},
      {"Parallel R", "Ohms", "PARALLEL R (Ohms)", "Parallel R", "Ohms", false, true}}},
    {LCR_LAYOUT_IMPEDANCE,
     5,
     {{"Z Real", "Ohms", "Z REAL (ohms)", "Z Real", "Ohms", false},
      {"Z Quadrature", "Ohms", "Z QUADRATURE (ohms)", "Z Quadrature", "Ohms", false},
      {"Z Magnitude", "Ohms", "Z MAGNITUDE (ohms)", "Z Magnitude", "Ohms", false, true},
      {"Z Phase", DEG, "Z PHASE(" DEG ")", "Z Phase", DEG, true}}},
    {LCR_LAYOUT_ADMITTANCE,
     5,
     {{"Y Real", "S", "Y REAL (S)", "Y Real", "S", false},
      {"Y Quadrature", "S", "Y QUADRATURE (S)", "Y Quadrature", "S", false},
      {"Y Magnitude", "S", "Y MAGNITUDE (S)", "Y Magnitude", "S", false, true},
      {"Y Phase", DEG, "Y PHASE (" DEG ")", "Y Phase", DEG, true}}},
};

} // namespace

int lcr_layout_for(const s_instrument_caps& caps, int quantity_param)
{
    if (!caps.lcr_quantity_layouts)
        return LCR_LAYOUT_STANDARD;
    if (quantity_param == LCR_QUANTITY_ADMITTANCE)
        return LCR_LAYOUT_ADMITTANCE;
    if (quantity_param == LCR_QUANTITY_IMPEDANCE)
        return LCR_LAYOUT_IMPEDANCE;
    return LCR_LAYOUT_FULL;
}

bool lcr_layout_known(long code)
{
    for (const s_lcr_layout& l : LAYOUTS)
        if (l.code == code)
            return true;
    return false;
}

const s_lcr_layout& lcr_layout(int code)
{
    for (const s_lcr_layout& l : LAYOUTS)
        if (l.code == code)
            return l;
    return LAYOUTS[0];
}

std::vector<std::string> lcr_list_headings(int code)
{
    std::vector<std::string> out{"Steps", "Frequency (Hz)"};
    for (const s_lcr_quantity& q : lcr_layout(code).quantities)
        out.push_back(*q.unit ? std::string(q.name) + " (" + q.unit + ")" : q.name);
    return out;
}

std::vector<std::string> lcr_box_items(int code)
{
    if (code == 0)
        return {"IMPEDANCE (ohms)", "PHASE (" DEG ")"};
    std::vector<std::string> out;
    for (const s_lcr_quantity& q : lcr_layout(code).quantities)
        out.push_back(q.box_item);
    return out;
}
