#pragma once
// What poppler-utils make of a PDF: its text as pdftotext reads it (in
// layout order), its number of pages, and a page rendered as a PNG picture
// by pdftoppm.

#include "tests/support/cli_run.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

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

// What pdfinfo or pdffonts (tool) print about a PDF; empty when it failed.
inline std::string pdf_tool(const char* tool, const std::filesystem::path& pdf)
{
    const cli_output r =
        run_command_line(std::string(tool) + " '" + pdf.string() + "'", pdf_tool_messages());
    std::filesystem::remove(pdf_tool_messages());
    return r.status == 0 ? r.out : std::string();
}

// The number of pages pdfinfo reads; 0 when it cannot read the file.
inline int pdf_pages(const std::filesystem::path& pdf)
{
    const std::string info = pdf_tool("pdfinfo", pdf);
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 6);
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

// The fonts pdffonts lists for a PDF, each line whole, and which of them are
// not embedded.
struct s_pdf_fonts {
    std::vector<std::string> fonts;
    std::vector<std::string> not_embedded;
};
inline s_pdf_fonts pdf_fonts(const std::filesystem::path& pdf)
{
    s_pdf_fonts out;
    const std::string table = pdf_tool("pdffonts", pdf);
    const size_t rule = table.rfind("---");
    std::stringstream lines(rule == std::string::npos ? "" : table.substr(rule + 3));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty())
            continue;
        out.fonts.push_back(line);
        // name, type (one or two words), encoding, then emb sub uni yes/no
        std::stringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.size() < 5 || w[w.size() - 5] != "yes")
            out.not_embedded.push_back(line);
    }
    return out;
}
