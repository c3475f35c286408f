#pragma once
// What poppler-utils make of a PDF: its text as pdftotext reads it (in
// layout order), also of a PDF's bytes kept in memory, and a page rendered
// as a PNG picture by pdftoppm.

#include "tests/support/cli_run.h"

#include <filesystem>
#include <fstream>
#include <string>

inline std::string pdf_text(const std::filesystem::path& pdf)
{
    const std::filesystem::path err = pdf.string() + ".err";
    const cli_output r =
        run_command_line("pdftotext -layout '" + pdf.string() + "' -", err.string());
    std::filesystem::remove(err);
    return r.status == 0 ? r.out : "pdftotext failed: " + r.err;
}

inline std::string pdf_text_of_bytes(const std::string& bytes, const std::filesystem::path& where)
{
    std::ofstream(where, std::ios::binary) << bytes;
    return pdf_text(where);
}

// Page `page` (1-based) as a PNG at dpi dots per inch; false when pdftoppm
// failed.
inline bool pdf_page_png(const std::filesystem::path& pdf, int page, int dpi,
                         const std::filesystem::path& png)
{
    std::filesystem::path stem = png;
    stem.replace_extension();
    const std::string p = std::to_string(page);
    const cli_output r =
        run_command_line("pdftoppm -png -singlefile -r " + std::to_string(dpi) + " -f " + p +
                             " -l " + p + " '" + pdf.string() + "' '" + stem.string() + "'",
                         stem.string() + ".err");
    std::filesystem::remove(stem.string() + ".err");
    return r.status == 0 && std::filesystem::exists(png);
}
