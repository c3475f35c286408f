#pragma once
// Limit sets: the checks a measured part must pass and the bins it is sorted
// into, read from a JSON file.
//
//   {"checks": [...], "bins": [{"name": "A", "checks": [...]}, ...]}
//
// A check is one of
//   {"quantity": "<column heading>", "at_hz": F, "low": A, "high": B}
//   {"fitted": "R"|"L"|"C"|"Cp", "nominal": V, "tolerance_pct": P [, "model": M]}
//   {"resonance": "fr"|"fa", "low_hz": A, "high_hz": B}
//   {"margin": "gain"|"phase", "at_least": V}
//   {"mask": "gain"|"phase", "upper": [[f, v], ...], "lower": [[f, v], ...]}
// The file's text is UTF-8; its names are kept in Windows-1252 as the rest
// of the program's texts. A file that breaks any rule is refused whole,
// with a message that names where ("checks[2]: \"low\" is above \"high\"").

#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class limit_kind { quantity, fitted, resonance, margin, mask };

struct limit_check {
    limit_kind kind = limit_kind::quantity;
    std::string name; // the quantity's heading, the element, "fr"/"fa", "gain"/"phase"
    double at_hz = 0; // quantity
    double low = 0;   // quantity; resonance (Hz)
    double high = 0;  // quantity; resonance (Hz)
    double nominal = 0, tolerance_pct = 0; // fitted
    std::string model;                     // fitted: the model's name, "" for the best one
    double at_least = 0;                   // margin
    std::vector<std::pair<double, double>> upper, lower; // mask: (Hz, value) corners
};

struct limit_bin {
    std::string name;
    std::vector<limit_check> checks;
};

struct limit_set {
    std::string name; // the file's name without its folder, for verdicts
    std::vector<limit_check> checks;
    std::vector<limit_bin> bins;
};

// Reads a limit set from JSON text (set.name is kept); false with the reason
// in error.
bool limit_set_parse(std::string_view text, limit_set& set, std::string& error);

// Reads a limit set file; false with the reason (naming the file) in error.
bool limit_set_read(const std::string& path, limit_set& set, std::string& error);

// The check as a reader names it: "Z Magnitude (Ohms) at 1000 Hz",
// "fitted C", "fr", "phase margin", "gain mask".
std::string limit_check_caption(const limit_check& check);
