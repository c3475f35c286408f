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

std::string sweep_format_fixed4(double value);      // "%.4f"
std::string sweep_format_scientific5(double value); // "%.5E", three exponent digits
std::string sweep_format_fixed5(double value);      // "%.5f"
// "%.*f" whatever the locale; decimal_comma writes "," for the point.
std::string sweep_format_fixed(double value, int decimals, bool decimal_comma = false);
// The scientific form with three exponent digits at any precision.
std::string sweep_format_scientific(double value, int decimals);

// The number that a text of sweep_format_fixed(value, decimals), or of
// sweep_format_scientific(value, decimals), reads back as: the value as the
// tables and exports show it. It costs no allocation.
double sweep_round_fixed(double value, int decimals);
double sweep_round_scientific(double value, int decimals);

// The European short form of a scientific text such as "1.23456E+003": the
// decimal point becomes a comma, the mantissa keeps two decimals (rounded
// half up on the third, the carry running into the higher digits and, out of
// the leading digit, into the exponent), a three-digit exponent loses its
// leading zero only, and four spaces follow: "1,23E+03    ". A sign stays in
// front; a leading "'" (text marker of a spreadsheet cell) counts as one of
// the kept characters. Text without an exponent is returned unchanged.
std::string sweep_european_short(std::string_view scientific);
// sweep_european_short(sweep_format_scientific5(value))
std::string sweep_format_european(double value);

// Trailing zeros of a plain decimal text removed, then a trailing decimal
// mark ("." or ","): "100.00000" gives "100", "2,50" gives "2,5". A text
// without a decimal mark, or with an exponent, is returned unchanged.
std::string sweep_remove_trailing_zeros(std::string_view text);
// The same rule for the mantissa of any number text: plain decimals as
// above, and in a scientific text the zeros before the exponent ("1.50000E+000"
// gives "1.5E+000", "'2,00E+00    " gives "'2E+00    ").
std::string sweep_remove_mantissa_zeros(std::string_view text);
