// tarvelo2.report(): the PDF reports. They are painted by the windows' own
// chart painters, which are Qt, and the module links no Qt (a script's
// process may hold a Qt of its own, or run where none is installed), so the
// module has the program's command line write them: `tarvelo2-cli report`
// beside the module (the build folder), in the install prefix's bin folder,
// or on PATH; TARVELO2_CLI names another.

#include "python/py_support.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <optional>
#include <pybind11/stl.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace tarvelo_py {

namespace {

fs::path module_folder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&module_folder), &info) == 0 || !info.dli_fname)
        return {};
    return fs::path(info.dli_fname).parent_path();
}

std::string command_line_program()
{
    if (const char* named = std::getenv("TARVELO2_CLI"); named && *named)
        return named;
    const fs::path here = module_folder();
    // The build folder holds both; an install puts the module three levels
    // below the prefix (lib/python3/dist-packages) and the program in bin.
    for (const fs::path& p : {here / "tarvelo2-cli", here / "../../../bin/tarvelo2-cli"})
        if (!here.empty() && ::access(p.c_str(), X_OK) == 0)
            return fs::weakly_canonical(p).string();
    return "tarvelo2-cli";
}

std::string joined(const std::vector<int>& tests)
{
    std::string text;
    for (int t : tests)
        text += (text.empty() ? "" : ",") + std::to_string(t);
    return text;
}

struct s_report_request {
    std::string kind;
    std::optional<std::string> db;
    std::vector<int> tests;
    std::optional<std::string> sweep_file;
    bool piezo = false;
    std::optional<std::string> paper;
    bool points = false, nyquist = false, nichols = false;
    // An assessment's: session keys, the unit and the user's texts.
    std::vector<std::pair<const char*, std::optional<std::string>>> assessment;
    bool store = false;
};

std::vector<std::string> arguments(const std::string& out, const s_report_request& r)
{
    std::vector<std::string> a{command_line_program(), "report", "--kind", r.kind, "--out", out};
    if (r.db)
        a.insert(a.end(), {"--db", *r.db});
    if (!r.tests.empty())
        a.insert(a.end(), {"--tests", joined(r.tests)});
    if (r.sweep_file)
        a.insert(a.end(), {"--from-sweep-file", *r.sweep_file});
    if (r.paper)
        a.insert(a.end(), {"--paper", *r.paper});
    const std::pair<bool, const char*> flags[] = {{r.piezo, "--piezo"},
                                                  {r.points, "--points"},
                                                  {r.nyquist, "--nyquist"},
                                                  {r.nichols, "--nichols"}};
    for (const auto& [on, flag] : flags)
        if (on)
            a.emplace_back(flag);
    for (const auto& [option, value] : r.assessment)
        if (value)
            a.insert(a.end(), {option, *value});
    if (r.store)
        a.emplace_back("--store");
    return a;
}

// The program's messages without their "[caption] " fronts.
std::string messages(const std::string& err)
{
    std::string text;
    size_t at = 0;
    while (at < err.size()) {
        size_t end = err.find('\n', at);
        if (end == std::string::npos)
            end = err.size();
        std::string line = err.substr(at, end - at);
        if (line.rfind('[', 0) == 0 && line.find("] ") != std::string::npos)
            line = line.substr(line.find("] ") + 2);
        if (!line.empty() && line.rfind("QStandardPaths:", 0) != 0)
            text += (text.empty() ? "" : "\n") + line;
        at = end + 1;
    }
    return text;
}

[[noreturn]] void fail(const std::string& text)
{
    const py::object error = py::module_::import("tarvelo2").attr("Error");
    PyErr_SetObject(error.ptr(), py::str(text).ptr());
    throw py::error_already_set();
}

// A path-like object's text; none for None.
std::optional<std::string> path_of(const py::object& path)
{
    if (path.is_none())
        return std::nullopt;
    return py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
}

int report(const py::object& out, const s_report_request& r)
{
    const py::module_ subprocess = py::module_::import("subprocess");
    const std::string path = *path_of(out);
    py::object done;
    try {
        done = subprocess.attr("run")(arguments(path, r), py::arg("capture_output") = true,
                                      py::arg("text") = true, py::arg("errors") = "replace");
    } catch (py::error_already_set& e) {
        if (!e.matches(PyExc_OSError))
            throw;
        fail("The reports are written by tarvelo2-cli, which could not be started: " +
             std::string(e.what()));
    }
    const int status = done.attr("returncode").cast<int>();
    const std::string said = messages(done.attr("stderr").cast<std::string>());
    if (status == 2 || status == 4)
        throw py::value_error(said.empty() ? "the report's arguments were refused" : said);
    if (status != 0)
        fail(said.empty() ? "the report could not be written" : said);
    const std::string printed = done.attr("stdout").cast<std::string>();
    const size_t pages = printed.find("pages\t");
    return pages == std::string::npos ? 0 : std::atoi(printed.c_str() + pages + 6);
}

} // namespace

void init_report(py::module_& m)
{
    using text = std::optional<std::string>;
    using key = std::optional<int64_t>;
    m.def(
        "report",
        [](const py::object& out, const std::string& kind, const py::object& db,
           std::vector<int> tests, const py::object& sweep_file, bool piezo, text paper,
           bool points, bool nyquist, bool nichols, key session, key fingerprint, key sister,
           text vector_group, text tap, text conclusion, text assessed_by, bool store) {
            if (out.is_none())
                throw py::value_error("out names the PDF file to write");
            const auto number = [](key k) { return k ? text(std::to_string(*k)) : text(); };
            s_report_request r;
            r.kind = kind;
            r.db = path_of(db);
            r.tests = std::move(tests);
            r.sweep_file = path_of(sweep_file);
            r.piezo = piezo;
            r.paper = std::move(paper);
            r.points = points;
            r.nyquist = nyquist;
            r.nichols = nichols;
            r.assessment = {{"--session", number(session)},
                            {"--fingerprint", number(fingerprint)},
                            {"--sister", number(sister)},
                            {"--vector-group", vector_group},
                            {"--tap", tap},
                            {"--conclusion", conclusion},
                            {"--assessed-by", assessed_by}};
            r.store = store;
            return report(out, r);
        },
        py::arg("out"), py::kw_only(), py::arg("kind"), py::arg("db") = py::none(),
        py::arg("tests") = std::vector<int>{}, py::arg("sweep_file") = py::none(),
        py::arg("piezo") = false, py::arg("paper") = py::none(), py::arg("points") = false,
        py::arg("nyquist") = false, py::arg("nichols") = false, py::arg("session") = py::none(),
        py::arg("fingerprint") = py::none(), py::arg("sister") = py::none(),
        py::arg("vector_group") = py::none(), py::arg("tap") = py::none(),
        py::arg("conclusion") = py::none(), py::arg("assessed_by") = py::none(),
        py::arg("store") = false,
        R"(Writes a PDF report to out and returns its number of pages.

kind "fra": the FRA test report of stored test tests=[K] of database db
(nyquist, nichols and points add those); "compare": the comparison report
of the stored tests; "component": the component report of an LCR or piezo
sweep file (piezo adds the resonator's analysis); "assessment": the
transformer assessment of the unit's session against its fingerprint
session (and a sister unit's session), for the unit of vector_group (and
tap), with the conclusion and assessed_by texts, also stored with the
session when store is true. paper "a4" or "letter"
(the locale's by default). Written by tarvelo2-cli, as the command line
writes it; its messages raise tarvelo2.Error, refused arguments ValueError.)");
}

} // namespace tarvelo_py
