#pragma once
// The per-sweep file sweepN.dat in the data folder.
//
// Every completed sweep (FRA or LCR) is written as text with Windows line
// ends: a date line with the UTC time of the sweep ("07-12-2026 - 09:35"),
// then one row per point of tab-separated fields: the step number from 1, the
// frequency with four decimals, and every further value of the point in
// "%.5E" form. No line end follows the last row. The first sweep of a series
// and a single sweep both write sweep1.dat; the exports of repeating tests
// read the files back.

#include <cstdio>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// "<folder>/sweep<number>.dat"
std::string sweep_file_path(const std::string& data_folder, int sweep_number);

// "%02d-%02d-%4d - %02d:%02d" with the UTC day, month, year, hour, minute.
std::string sweep_file_date_line(std::time_t when);

// One row: step, then values[0] as the frequency ("%.4f") and the rest in
// "%.5E" form, separated by tabs. The data tables show the same text.
std::string sweep_file_row(int step, std::span<const double> values);

// FRA and LCR sweeps write the same sweepN.dat names; a small file beside
// them ("sweeps.mode") records which mode wrote the present set, "FRA" or
// "LCR <layout>", so that readers can refuse another mode's files.
std::string sweep_file_mode_path(const std::string& data_folder);
bool sweep_file_mark_mode(const std::string& data_folder, const std::string& mode);
// The whole file, date line and rows, through the replacing writer: a failed
// or killed write leaves the previous file as it was.
bool sweep_file_write(const std::string& path, std::time_t when,
                      const std::vector<std::string>& rows);
// What a sweep whose file could not be written says.
std::string sweep_file_failure_text(const std::string& path);
// The recorded mode, or "" when none was recorded.
std::string sweep_file_read_mode(const std::string& data_folder);

class sweep_file_writer {
public:
    sweep_file_writer() = default;
    ~sweep_file_writer();
    sweep_file_writer(const sweep_file_writer&) = delete;
    sweep_file_writer& operator=(const sweep_file_writer&) = delete;

    // Creates (or overwrites) the file and writes the date line.
    bool open(const std::string& path, std::time_t when);
    bool is_open() const { return file_ != nullptr; }
    // Appends a row; rows are separated by line ends, none after the last.
    void write_row(const std::string& row);
    // Closes the file; false when any write failed.
    bool close();

private:
    std::FILE* file_ = nullptr;
    bool first_row_ = true;
    bool failed_ = false;
};

struct sweep_file_contents {
    std::string date_line;
    std::vector<std::vector<double>> rows; // every field of every row, step number first
};

enum class sweep_file_status { ok, cannot_open, malformed };

// Reads a sweep file: the date line, then rows of tab-separated numbers
// (leading blanks and tabs skipped, CR LF or LF line ends, blank lines
// ignored). Every row must hold the same number of fields, at least two.
sweep_file_status sweep_file_read(const std::string& path, sweep_file_contents& out);
sweep_file_status sweep_file_parse(std::string_view text, sweep_file_contents& out);
