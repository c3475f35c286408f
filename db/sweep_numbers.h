#pragma once
// Numbers in sweep files. Files are read and written with "." as the decimal
// point whatever the desktop's locale, and the scientific form carries three
// exponent digits ("1.23456E+003"), so a file reads the same on every
// machine the program runs on.

#include <string>
#include <string_view>

// A plain decimal number ("12.5", "-3", "1.5E+003"), blanks around it
// allowed. False for anything else, including infinities and NaN.
bool sweep_parse_number(std::string_view text, double& value);

// A frequency that may carry digit grouping. With both "." and "," the one
// that occurs last is the decimal mark and the other separates groups of
// three digits ("1,234.5" and "1.234,5" are 1234.5). A single "," is a
// decimal mark ("12,5"); a mark that occurs more than once only groups
// ("1,234,567"). Anything else is a plain number.
bool sweep_parse_frequency(std::string_view text, double& value);

std::string sweep_format_fixed4(double value);                   // "%.4f"
std::string sweep_format_scientific5(double value);              // "%.5E", three exponent digits
std::string sweep_format_scientific(double value, int decimals); // the same, any precision
