// A resonator analysed from a piezo sweep, its report written and read
// back, then a sweep file imported: the four circuit values shown are the
// file's. A piezo sweep that fails or is cancelled says so and leaves the
// window empty and the menus usable.

#include "base/number_format.h"
#include "sweep/sweep_core.h"
#include "tests/journeys/mode_journey.h"

#include <cmath>
#include <cstdlib>

namespace fs = std::filesystem;

namespace {

constexpr int PIEZO_START = 15241;
constexpr int PIEZO_IMPORT = 15242;
const char* const VALUES[] = {"R", "Cp", "C", "L"};

// "201.5 " or "2.4861 n": the number with its engineering prefix applied.
double engineering_value(const std::string& text)
{
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    // The unit (Ohm, F or H) ends the text; the prefix stands before it.
    QString unit_less = QString::fromStdString(end).trimmed();
    for (const QString& unit : {QStringLiteral("\u03A9"), QStringLiteral("F"), QStringLiteral("H")})
        if (unit_less.endsWith(unit))
            unit_less.chop(unit.size());
    const std::string rest = unit_less.toStdString();
    static const std::pair<const char*, double> prefixes[] = {
        {"p", 1e-12}, {"n", 1e-9}, {"\xC2\xB5", 1e-6}, {"u", 1e-6},
        {"m", 1e-3},  {"k", 1e3},  {"M", 1e6},         {"G", 1e9}};
    for (const auto& [p, scale] : prefixes)
        if (rest == p)
            return v * scale;
    return v;
}

// The text the window shows for a value, in its character set.
std::string shown_as(double value, const QString& unit)
{
    return (QString::fromLatin1(format_engineering(value).c_str()) + unit).toStdString();
}

// A sweep as the LCR text export writes it: a resonance at 1 kHz (10 Ohm)
// and the anti-resonance at 1.1 kHz (100 kOhm).
void write_sweep_file(const fs::path& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "Steps,Frequency (Hz),Q,tan delta,Impedance (Ohm),Phase (deg),Parallel L (H),"
           "Parallel C (F),Parallel R (Ohm)\r\n";
    const double rows[][2] = {{900, 1000}, {1000, 10}, {1100, 100000}, {1200, 50000}};
    int step = 1;
    for (const auto& [f, z] : rows) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "%d,%.5E,1.0E+00,1.0E+00,%.5E,0.0E+00,1.0E-03,1.0E-09,%.5E\r\n", step++, f, z,
                      z);
        out << line;
    }
}

} // namespace

class piezo_journey : public mode_journey {
protected:
    void expect_empty_window()
    {
        EXPECT_TRUE(wait_for([&] { return control_text(PIEZO_START) == "Start Sweep"; }));
        EXPECT_EQ(control_text(PIEZO_IMPORT), "Import");
        for (const char* v : VALUES)
            EXPECT_EQ(field_text(v), "") << v;
        for (const char* top : {"Configure", "Display", "FRA", "LCR", "Capture"})
            EXPECT_TRUE(menu_usable(top)) << top;
    }
};

TEST_F(piezo_journey, SweepIsAnalysedAndReportedAndAnImportedFileShowsItsValues)
{
    const fs::path sweep_file = dir() / "resonance.txt";
    write_sweep_file(sweep_file);
    run("HXM6300", [&] {
        connect_to_instrument();
        enter_mode("Piezo", PIEZO_START);
        ASSERT_TRUE(piezo_analysed()) << "no analysis shown";
        // The simulated resonator: R 200 Ohm, L 0.1 H, C = Cp = 2.5 nF, read
        // at the sweep's steps, within a factor of three.
        const double expected[] = {200, 2.5e-9, 2.5e-9, 0.1};
        for (size_t i = 0; i < 4; ++i) {
            const double v = engineering_value(field_text(VALUES[i]));
            EXPECT_GT(v, expected[i] / 3) << VALUES[i] << " " << field_text(VALUES[i]);
            EXPECT_LT(v, expected[i] * 3) << VALUES[i] << " " << field_text(VALUES[i]);
        }
        EXPECT_EQ(control_text(PIEZO_START), "Clear");
        screenshot("analysed");

        const size_t shown = boxes().size();
        click("Export");
        await_dialog("Export Tests");
        test_ui().push_file((dir() / "piezo report.xlsx").string());
        click("OK");
        await_dialog("");
        ASSERT_TRUE(wait_for([&] { return boxes().size() > shown; }));
        const std::string report = box_after(shown).text;
        const std::string head = "The report was written to ";
        ASSERT_EQ(report.rfind(head, 0), 0u) << report;
        const std::string written = report.substr(head.size(), report.find('\n') - head.size());
        EXPECT_EQ(written, (dir() / "piezo report.xlsx").string());
        const std::string book = archive_text(written);
        for (const char* text : {"Piezo Report", "Sweep Data", "Graph",
                                 "QXL Tarvelo Piezo Circuit Impedance", "Minimum Impedance"})
            EXPECT_NE(book.find(text), std::string::npos) << text;
        const auto circuit = files_under(dir() / "pictures", ".bmp");
        ASSERT_EQ(circuit.size(), 2u) << "the circuit and graph pictures";
        for (const fs::path& picture : circuit) {
            const QImage image(QString::fromStdString(picture.string()));
            const bool is_graph = picture.filename().string().find("graph") != std::string::npos;
            EXPECT_EQ(image.size(), is_graph ? QSize(611, 1009) : QSize(428, 206)) << picture;
        }

        click("Clear");
        expect_empty_window();
        test_ui().push_file(sweep_file.string());
        click("Import");
        ASSERT_TRUE(wait_for([&] { return !field_text("R").empty(); })) << "nothing imported";
        const std::string first_start = test_ui().file_requests().back().start;
        EXPECT_TRUE(fs::is_directory(first_start)) << first_start;
        const double wr = 2 * M_PI * 1000, wa = 2 * M_PI * 1100;
        const double cp = 1 / (wa * std::sqrt(10.0 * 100000.0));
        const double c = cp * (wa * wa / (wr * wr) - 1);
        EXPECT_EQ(field_text("R"), shown_as(10, QStringLiteral("\u03A9")));
        EXPECT_EQ(field_text("Cp"), shown_as(cp, QStringLiteral("F")));
        EXPECT_EQ(field_text("C"), shown_as(c, QStringLiteral("F")));
        EXPECT_EQ(field_text("L"), shown_as(1 / (wr * wr * c), QStringLiteral("H")));
        EXPECT_EQ(control_text(PIEZO_IMPORT), "Export");
        screenshot("imported");

        click("Clear");
        expect_empty_window();
        test_ui().push_file(sweep_file.string());
        click("Import");
        ASSERT_TRUE(wait_for([&] { return !field_text("R").empty(); })) << "nothing imported";
        EXPECT_EQ(test_ui().file_requests().back().start, sweep_file.parent_path().string())
            << "the Import chooser does not open in the last folder";
    });
}

// A sweep that ends without results: the instrument hangs up during the
// download, or the user cancels while the instrument is slow to answer.
struct s_ending {
    const char* name;
    std::vector<std::string> sim_options;
    bool cancel;
    const char* message;
};

void PrintTo(const s_ending& e, std::ostream* out)
{
    *out << e.name;
}

class piezo_sweep_ending : public piezo_journey, public ::testing::WithParamInterface<s_ending> {};

TEST_P(piezo_sweep_ending, LeavesTheWindowEmptyAndSaysWhy)
{
    const s_ending e = GetParam();
    run(
        "HXM6300",
        [&] {
            connect_to_instrument();
            enter_mode("Piezo", PIEZO_START);
            const size_t shown = boxes().size();
            click("Start Sweep");
            if (e.cancel) {
                await_dialog("Performing Sweep");
                click("Cancel");
            }
            ASSERT_TRUE(wait_for([&] { return boxes().size() > shown; })) << "no message";
            EXPECT_EQ(box_after(shown).text, e.message);
            await_dialog("");
            expect_empty_window();
            screenshot("ended");
        },
        e.sim_options);
}

INSTANTIATE_TEST_SUITE_P(
    LostAndCancelled, piezo_sweep_ending,
    ::testing::Values(
        s_ending{
            "Lost", {"--fault", "disconnect-on=LCR,SWEEP?"}, false, SWEEP_TEXT_CONNECTION_LOST},
        s_ending{"Cancelled", {"--fault", "late-reply=20"}, true, SWEEP_TEXT_CANCELLED}),
    [](const auto& info) { return std::string(info.param.name); });
