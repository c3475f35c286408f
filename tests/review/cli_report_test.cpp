// tarvelo2-cli report, run as a child process on a stored database and a
// resonator sweep file: each kind's PDF read back holds the numbers the
// windows show for the same data in the same form (margins as the FRA
// window reports them, the piezo analysis as the piezo window shows it),
// and a refused or failed report writes no file.

#include "../db/db_form_support.h"
#include "base/number_format.h"
#include "base/sweep_numbers.h"
#include "db/db_verdict.h"
#include "fra/margins.h"
#include "lcr/equivalent_circuit.h"
#include "lcr/piezo_analysis.h"
#include "lcr/piezo_import.h"
#include "tests/support/build_path.h"
#include "tests/support/cli_run.h"
#include "tests/support/pdf_tools.h"

#include <cmath>
#include <complex>
#include <cstdio>
#include <fstream>

namespace {

std::vector<s_margin_sample> loop(double crossing, bool flat)
{
    std::vector<s_margin_sample> out;
    for (int i = 0; i <= 60; ++i) {
        const double f = std::pow(10.0, i / 10.0);
        out.push_back({f, flat ? -12.0 : 20 * std::log10(crossing / f),
                       flat ? 40.0 : 45 * std::log10(5 * crossing / f)});
    }
    return out;
}

std::string two(const char* format, double v)
{
    char text[64];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

// The numbers of the FRA window's margin boxes for the points.
std::vector<std::string> window_margins(const std::vector<s_margin_sample>& points)
{
    std::vector<std::string> out;
    const auto db = margin_search(points, margin_kind::zero_db);
    const auto phase = margin_search(points, margin_kind::zero_phase);
    if (const s_gain_phase_point* p = margin_main_crossing(db))
        out.insert(out.end(), {two("%.2f Hz", p->frequency), two("%.2f deg", p->phase)});
    if (const s_gain_phase_point* g = margin_main_crossing(phase))
        out.insert(out.end(), {two("%.2f Hz", g->frequency), two("%.2f dB", -g->gain)});
    return out;
}

// A resonator's |Z| and phase as the older comma-separated sweep file.
void write_resonator(const std::string& path)
{
    std::ofstream out(path);
    out << "Frequency\nunits\n";
    const double r = 20, l = 0.1, c = 2.5e-9, cp = 20e-9;
    for (int i = 0; i < 400; ++i) {
        const double f = 8000 + 10 * i, w = 2 * M_PI * f;
        const std::complex<double> zs(r, w * l - 1 / (w * c)), zp(0, -1 / (w * cp));
        const std::complex<double> z = zs * zp / (zs + zp);
        out << f << ",1,2," << std::abs(z) << "," << std::arg(z) * 180 / M_PI << ",5,6,7\n";
    }
}

struct s_case {
    const char* args;
    int status;
    std::vector<std::string> shown; // texts the PDF holds
    const char* paper = "";         // its page size as pdfinfo prints it
};

class CliReport : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        create();
        s_session session;
        session.Name = "Contract K7";
        session.PerformedBy = "R. Tester";
        session.day = 3;
        session.month = 4;
        session.year = 2026;
        ASSERT_EQ(db_save_session(session, false), 0);
        for (const auto& [name, flat] :
             {std::pair{"Loop winding", false}, {"Flat winding", true}}) {
            s_test test;
            test.SessionNo = session.SessionNo;
            test.Name = name;
            for (const s_margin_sample& p : loop(150, flat)) {
                const s_test_point point{p.frequency, p.gain, p.phase};
                test_add_point(test, &point);
            }
            ASSERT_TRUE(db_store_test(test));
        }
        ASSERT_EQ(db_store_verdict(1, {false, 0, "", {"phase margin: 30.00 deg"}, "loop.json"}), 0);
        db_close();
        write_resonator(path("resonator.txt"));
    }

    cli_output run(const std::string& args)
    {
        std::filesystem::remove(path("r.pdf"));
        return run_command_line(std::string(TARVELO_CLI) + " report --db " + path("tests.db") +
                                    " --out " + path("r.pdf") + " " + args,
                                path("err.txt"));
    }
};

TEST_F(CliReport, EveryKindShowsTheWindowsNumbersAndRefusalsWriteNothing)
{
    LcrResults resonator;
    std::string message;
    piezo_import_file(path("resonator.txt"), resonator, message);
    const s_piezo_values piezo = *piezo_analyse(resonator).values;
    std::vector<std::string> circuit;
    for (double v : {piezo.r, piezo.l, piezo.c, piezo.cp, piezo.fr, piezo.fa})
        circuit.push_back(format_engineering(v));

    std::vector<std::string> fra = window_margins(loop(150, false));
    ASSERT_EQ(fra.size(), 4u);
    const s_margin_sample last = loop(150, false).back(); // as the window's data table shows it
    fra.insert(fra.end(),
               {sweep_format_fixed4(last.frequency), sweep_format_scientific5(last.gain),
                sweep_format_scientific5(last.phase), "FRA Test Report", "Contract: Contract K7",
                "Performed by: R. Tester", "3/4/2026", "Loop winding", "page 1 of", "FAIL",
                "loop.json", "phase margin: 30.00 deg"});
    const s_case cases[] = {
        {"--kind fra --tests 1 --nyquist --nichols --points --paper a4", 0, fra, "595 x 842"},
        {"--kind fra --tests 2 --paper letter", 0, {"Flat winding", "not found"}, "612 x 792"},
        {"--kind compare --tests 1,2", 0, {"Loop winding", "Flat winding", fra[0], "not found"}},
        {"--kind component --piezo --from-sweep-file x", 2, {}},
        {"--kind fra --tests 1,2", 2, {}},
        {"--kind fra --tests 3", 1, {}},
        {"--kind bode --tests 1", 2, {}},
        {"--kind fra --tests 1 --paper a5", 2, {}},
        {"--kind component --model rc --from-sweep-file x", 2, {}},
    };
    for (const s_case& c : cases) {
        SCOPED_TRACE(c.args);
        const cli_output r = run(c.args);
        ASSERT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(std::filesystem::exists(path("r.pdf")), c.status == 0);
        const std::string text = c.status == 0 ? pdf_text(path("r.pdf")) : "";
        for (const std::string& shown : c.shown)
            EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
        const s_pdf_fonts fonts = c.status == 0 ? pdf_fonts(path("r.pdf")) : s_pdf_fonts{};
        EXPECT_EQ(fonts.not_embedded, std::vector<std::string>{});
        const std::string info = *c.paper ? pdf_tool("pdfinfo", path("r.pdf")) : "";
        EXPECT_NE(info.find(c.paper), std::string::npos) << info;
    }

    // A sweep file's component report, with and without a fitted model.
    const circuit_fit fit = fit_circuit(lcr_impedance(resonator), circuit_model::resonator);
    std::vector<std::string> fitted{circuit_model_name(fit.model)};
    for (const fitted_element& e : fit.elements)
        fitted.push_back(format_engineering(e.value));
    const std::pair<const char*, std::vector<std::string>> components[] = {
        {"--piezo", circuit}, {"--model resonator", fitted}};
    for (const auto& [args, shown] : components) {
        const cli_output r = run_command_line(
            std::string(TARVELO_CLI) + " report --kind component --from-sweep-file " +
                path("resonator.txt") + " --out " + path("c.pdf") + " " + args,
            path("err.txt"));
        ASSERT_EQ(r.status, 0) << args << ": " << r.err;
        const std::string text = pdf_text(path("c.pdf"));
        for (const std::string& value : shown)
            EXPECT_NE(text.find(value), std::string::npos) << args << ": " << value << "\n" << text;
    }
}

} // namespace
