#pragma once

#include <complex>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

// What a frequency response device gives the analyser at one frequency: the
// measured voltage over the voltage at the device's input, and that voltage
// over the generator's (1 when the generator drives the input directly).
struct fra_response {
    std::complex<double> transfer;
    std::complex<double> input = 1.0;
};

// A transformer winding as a frequency response analyser sees it: a ladder
// of equal sections, each a resistance and a self inductance in series with
// a capacitance across them, and a capacitance to earth shared by the
// section's two nodes. Neighbouring sections couple magnetically (the mutual
// inductance of sections i and j is L k^|i-j|), and the core's flux links
// the whole winding: an inductance Lm with the capacitance Cm and the loss
// resistance Rc across it, in series with the sections' own. The source
// (Rsrc behind the generator) drives the first node; the response is taken
// across the measuring impedance Rmeas, either at the far end of the winding
// or, when another winding is coupled to it, at that winding's terminal.
//
// Open circuit: Lm is the magnetising inductance. Short circuit: Lm is the
// much smaller leakage inductance (the other winding's shorted turns cancel
// the core flux). Capacitive inter-winding: Cc couples the winding, spread
// evenly along it, to the other winding's terminal, the far end left open.
// Inductive inter-winding: ratio times the core flux's voltage drives the
// other winding's terminal through its leakage Lk and resistance Rk, the far
// end earthed.
struct ladder_dut {
    enum class far_end { load, open, earth };

    int sections = 0;
    double l = 0;  // self inductance of a section, H
    double k = 0;  // magnetic coupling of neighbouring sections, 0..1
    double r = 0;  // resistance of a section, ohm
    double cs = 0; // capacitance across a section, F
    double cg = 0; // capacitance of a section to earth, F
    double lm = 0; // inductance of the core's flux through the winding, H; 0: none
    double cm = 0; // capacitance across it, F
    double rc = 0; // core loss resistance across it, ohm; 0: none
    double ce = 0; // capacitance between the winding's two ends, F
    far_end end = far_end::load;
    double cc = 0;    // capacitance to the other winding's terminal, F
    double ratio = 0; // voltage the core flux induces in the other winding, per volt
    double lk = 0;    // the other winding's leakage inductance, H
    double rk = 1;    // and resistance, ohm
    double r_source = 50;
    double r_measure = 50;
    int moved_first = 0; // sections moved (counted from 1); 0: none
    int moved_last = 0;
    double moved_cg = 0; // relative change of the moved sections' capacitance to earth
    double moved_cs = 0; // and of the capacitance across them

    bool coupled() const { return cc > 0 || ratio > 0; }

    fra_response respond(double hz) const;
};

// "ladder=N;L=..;k=..;R=..;Cs=..;Cg=..;Lm=..;Cm=..;Rc=..;Ce=..;end=load|open|earth;
// Cc=..;ratio=..;Lk=..;Rk=..;Rsrc=..;Rmeas=..;moved=A-B;dCg=..;dCs=.." (values may
// carry p n u m k M G); ladder and L are required, the rest default to 0
// (Rk to 1, Rsrc and Rmeas to 50) and end to load.
std::optional<ladder_dut> parse_ladder_dut(std::string_view description, std::string& error);

constexpr int k_ladder_max_sections = 64;

} // namespace sim
