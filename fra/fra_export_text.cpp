#include "base/sweep_numbers.h"
#include "base/ui_seam.h"
#include "config/config_text_block.h"
#include "db/db_access.h"
#include "db/db_verdict.h"
#include "db/sweep_file.h"
#include "fra/fra_export.h"

#include <filesystem>

namespace {

constexpr const char* SIX_COLUMN_NAMES[] = {"Frequency (Hz)", "Magnitude1 (V)", "Magnitude2 (V)",
                                            "Gain (dB)",      "Phase (\xB0)",   "Delay (s)"};
constexpr const char* THREE_COLUMN_NAMES[] = {"Frequency (Hz)", "Gain (dB)", "Phase (\xB0)"};

void show(const std::string& text)
{
    ui_message_box(nullptr, text, EXPORT_ERROR_CAPTION, MB_OK | MB_ICONINFORMATION);
}

std::string pad13(const std::string& field)
{
    return field.size() >= 13 ? field : std::string(13 - field.size(), ' ') + field;
}

// The stored test's verdict as export lines; none when it was not judged.
std::string stored_verdict(int64_t test_no)
{
    s_test_verdict verdict;
    bool found = false;
    return db_read_verdict(test_no, verdict, found) == 0 && found ? verdict_export_lines(verdict)
                                                                  : std::string();
}

} // namespace

std::string fra_export_number(double value, bool european)
{
    return european ? sweep_format_european(value) : sweep_format_scientific5(value);
}

std::string fra_export_line(std::span<const double> values, bool european)
{
    std::string line;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += european ? ';' : ',';
        line += pad13(fra_export_number(values[i], european));
    }
    return line;
}

std::string fra_export_columns(bool six_columns, bool european)
{
    const std::span<const char* const> names =
        six_columns ? std::span<const char* const>(SIX_COLUMN_NAMES)
                    : std::span<const char* const>(THREE_COLUMN_NAMES);
    std::string line;
    for (size_t i = 0; i < names.size(); ++i)
        line += (i > 0 ? (european ? ";" : ",") : "") + std::string(names[i]);
    return line;
}

std::string fra_export_head(const s_export_header& header, bool six_columns, bool european)
{
    return config_block_text(*header.cfg, *header.link, header.calibration) + header.verdict +
           "data start sweep 1\n" + fra_export_columns(six_columns, european) + "\n";
}

bool fra_series_exportable(const std::string& data_folder, int done, int total)
{
    return total > 0 && done == total && sweep_file_read_mode(data_folder).rfind("LCR", 0) != 0;
}

int fra_export_single_text(const std::string& path, const FraResults& results,
                           const s_export_header& header, bool european)
{
    if (results.count <= 0) {
        show(NO_DATA_TEXT);
        return -1;
    }
    std::string text = fra_export_head(header, true, european);
    for (int i = 0; i < results.count; ++i) {
        if (i > 0)
            text += '\n';
        text += fra_export_line(std::span(results.points[i].v, FRA_VALUES_USUAL), european);
    }
    const int written = export_write_text_files({{path, std::move(text)}});
    return written > 0 ? 0 : written;
}

int fra_export_series_text(const std::string& chosen, const std::string& data_folder, int done,
                           int total, const s_export_header& header, bool european,
                           std::vector<std::string>* written)
{
    if (!fra_series_exportable(data_folder, done, total)) {
        show(NO_DATA_TEXT);
        return -1;
    }
    std::vector<s_export_file> files;
    std::string skipped;
    for (int k = 1; k <= total; ++k) {
        sweep_file_contents sweep;
        const std::string source = sweep_file_path(data_folder, k);
        if (sweep_file_read(source, sweep) != sweep_file_status::ok ||
            (!sweep.rows.empty() && sweep.rows.front().size() < 1 + FRA_VALUES_USUAL)) {
            skipped +=
                (skipped.empty() ? "" : ", ") + std::filesystem::path(source).filename().string();
            continue;
        }
        std::string text = fra_export_head(unjudged(header), true, european);
        for (const auto& row : sweep.rows)
            text += fra_export_line(std::span(row).subspan(1, FRA_VALUES_USUAL), european) + "\n";
        files.push_back({export_series_file_name(chosen, k, sweep.date_line), std::move(text)});
    }
    const int count = files.empty() ? -1 : export_write_text_files(files, written);
    if (count != EXPORT_DECLINED && !skipped.empty())
        show("These sweep files could not be read and were not exported: " + skipped);
    return count;
}

int fra_export_db_text(const std::string& chosen, const std::vector<int>& test_keys,
                       const s_export_header& header, bool european,
                       std::vector<std::string>* written)
{
    const std::string base = export_strip_extension(chosen);
    std::vector<s_export_file> files;
    for (size_t i = 0; i < test_keys.size(); ++i) {
        s_test test;
        if (db_get_test(test, test_keys[i], true) != 0 || test.points.count() == 0)
            continue;
        s_export_header judged = header;
        judged.verdict = stored_verdict(test_keys[i]);
        std::string text = fra_export_head(judged, false, european);
        for (int p = 0; p < test.points.count(); ++p) {
            const s_test_point& point = test.points[p];
            const double values[] = {point.Frequency, point.Amplitude, point.Phase};
            text += (p > 0 ? "\n" : "") + fra_export_line(values, european);
        }
        files.push_back({base + std::to_string(i + 1) + ".txt", std::move(text)});
    }
    if (files.empty()) {
        show(NO_DATA_TEXT);
        return -1;
    }
    return export_write_text_files(files, written);
}
