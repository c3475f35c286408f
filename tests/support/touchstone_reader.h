#pragma once
// One-port Touchstone files read as the format defines them, apart from the
// program's writer, so that tests check the files against the format itself.

#include <cctype>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

// A one-port file read as the format defines it, independently of the
// writer: "!" starts a comment (also after data), the option line "#" may
// name the frequency unit, the parameter, the format (RI, MA or DB) and
// "R <resistance>" in any order and case; data are whitespace-separated.
struct s_touchstone_file {
    std::string unit = "GHZ", parameter = "S", format = "MA";
    double r = 50;
    int option_lines = 0;
    std::vector<std::string> comments;
    std::vector<double> hz;
    std::vector<std::complex<double>> value; // as real and imaginary parts
};

inline std::string touchstone_upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

inline double touchstone_unit_factor(const std::string& unit)
{
    return unit == "HZ" ? 1 : unit == "KHZ" ? 1e3 : unit == "MHZ" ? 1e6 : 1e9;
}

inline void touchstone_option_line(const std::string& line, s_touchstone_file& f)
{
    std::istringstream in(line.substr(1));
    for (std::string word; in >> word;) {
        word = touchstone_upper(word);
        if (word == "R")
            in >> f.r;
        else if (word.ends_with("HZ"))
            f.unit = word;
        else if (word == "RI" || word == "MA" || word == "DB")
            f.format = word;
        else
            f.parameter = word;
    }
    ++f.option_lines;
}

inline s_touchstone_file read_touchstone(const std::string& text)
{
    s_touchstone_file f;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (const size_t bang = line.find('!'); bang != std::string::npos) {
            f.comments.push_back(line.substr(bang + 1));
            line.resize(bang);
        }
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        if (line[line.find_first_not_of(" \t")] == '#') {
            touchstone_option_line(line, f);
            continue;
        }
        std::istringstream fields(line);
        double hz = 0, a = 0, b = 0;
        fields >> hz >> a >> b;
        EXPECT_FALSE(fields.fail()) << line;
        if (f.format == "MA")
            f.value.push_back(std::polar(a, b * M_PI / 180));
        else if (f.format == "DB")
            f.value.push_back(std::polar(std::pow(10.0, a / 20), b * M_PI / 180));
        else
            f.value.push_back({a, b});
        f.hz.push_back(hz * touchstone_unit_factor(f.unit));
    }
    return f;
}
