#pragma once
// What poppler-utils make of a PDF: its text as pdftotext reads it (in
// layout order), its number of pages, and a page rendered as a PNG picture
// by pdftoppm.

#include "tests/support/cli_run.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// Where a tool's messages go: a path without spaces, as the shell's
// redirection takes it.
inline std::string pdf_tool_messages()
{
    return (std::filesystem::temp_directory_path() /
            ("pdf_tool_" + std::to_string(::getpid()) + ".err"))
        .string();
}

inline std::string pdf_text(const std::filesystem::path& pdf)
{
    const std::string err = pdf_tool_messages();
    const cli_output r = run_command_line("pdftotext -layout '" + pdf.string() + "' -", err);
    std::filesystem::remove(err);
    return r.status == 0 ? r.out : "pdftotext failed: " + r.err;
}

// The number of pages pdfinfo reads; 0 when it cannot read the file.
inline int pdf_pages(const std::filesystem::path& pdf)
{
    const cli_output r = run_command_line("pdfinfo '" + pdf.string() + "'", pdf_tool_messages());
    std::filesystem::remove(pdf_tool_messages());
    const size_t at = r.out.find("Pages:");
    return at == std::string::npos ? 0 : std::atoi(r.out.c_str() + at + 6);
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
                         pdf_tool_messages());
    std::filesystem::remove(pdf_tool_messages());
    return r.status == 0 && std::filesystem::exists(png);
}
