#pragma once
// Lines and fields of the text files the sweep readers take: CR LF or LF
// line ends, a UTF-8 byte-order mark at the start ignored.

#include <string>
#include <string_view>
#include <vector>

class sweep_line_reader {
public:
    explicit sweep_line_reader(std::string_view text);
    // The next line without its line end; false at the end of the text. A
    // line end after the last line does not make an empty line.
    bool next(std::string_view& line);

private:
    std::string_view rest_;
};

std::vector<std::string_view> sweep_split(std::string_view line, char separator);

// Reads a whole file, refusing one larger than any sweep file can be.
bool sweep_read_whole_file(const std::string& path, std::string& text);
