// The user guide's scenes, walked as the guide tells them: each step a
// reader takes, and the picture the guide shows of it. scripts/shots runs
// these journeys and copies the pictures docs/guide.md names into
// docs/shots/, so the guide never shows an old window. Each scene is also
// checked for what the guide says of it, so a picture of a failure is never
// taken for the scene.

#include "base/app_settings.h"
#include "base/profile_file.h"
#include "tests/journeys/fra_journey.h"
#include "tests/journeys/mode_journey.h"
#include "tests/support/build_path.h"

#include <QLabel>
#include <QMainWindow>
#include <algorithm>
#include <cstdlib>
#include <regex>

namespace fs = std::filesystem;

namespace {

constexpr int LCR_SWEEP = 14707;
constexpr int PIEZO_START = 15241;
constexpr int SWEEP_PAGE = 13003;
constexpr int CAPTURE_DOWNLOAD = 15234;
const char* const CAPTURE_WINDOW = "QXTarvelo2CapWClass";
const char* const GRAPH_CHART = "QXTarvelo2GraphChart";
const char* const FRA_CHART = "QXTarvelo2FRAResultsWClass";
const char* const LCR_CHART = "QXTarvelo2LCRResultsWClass";

// A chart's results are drawn once the completion of its sweep has run, off
// the window thread: its cursor readouts then stand on the points.
bool starts_a_text(const std::vector<s_chart_text>& texts, const char* head)
{
    return std::any_of(texts.begin(), texts.end(), [&](const s_chart_text& t) {
        return t.text.startsWith(QString::fromLatin1(head));
    });
}

// The guide's scenes happen in the reader's home folder: the program starts
// there, and the status line names its database as "~/default.db" as it
// would on the reader's desktop, not by a scratch folder's path.
class home_folder {
public:
    explicit home_folder(const std::string& folder)
    {
        if (const char* home = std::getenv("HOME"))
            saved_ = home;
        ::setenv("HOME", folder.c_str(), 1);
    }
    ~home_folder() { ::setenv("HOME", saved_.c_str(), 1); }

private:
    std::string saved_;
};

// The guide's text with every run of white space one space, as a reader
// sees a paragraph.
std::string guide_text()
{
    std::ifstream in(tarvelo_built(TARVELO_GUIDE));
    std::stringstream text;
    text << in.rdbuf();
    return std::regex_replace(text.str(), std::regex("\\s+"), " ");
}

} // namespace

// Connect, configure, sweep, export; the database, the graph dialog of three
// stored sweeps and their comparison; the margins of the last sweep.
TEST_F(fra_journey, GuideFraSweepsAndTheirReview)
{
    const fs::path exported = dir() / "loop.csv";
    const home_folder home(dir().str());
    run("HXM4100", [&] {
        menu({"Configure", "Connection..."});
        await_dialog("Connect");
        screenshot("connect");
        click("Connect");
        await_dialog("");

        click("READ HXM");
        ASSERT_TRUE(wait_for([&] { return !dialog_open() && enabled("SET UP HXM"); }));
        EXPECT_EQ(field_text("Min cycles"), "1") << "the factory setting read back";
        screenshot("configuration");

        fill_sweep_details("Bench A", "Loop A");
        screenshot("test_details");
        click("Start Sweep");
        ASSERT_TRUE(sweep_ended());
        // The right cursor's readout stands on the last point once drawn.
        EXPECT_TRUE(wait_for(
            [&] { return starts_a_text(painted_texts(FRA_CHART), "Frequency: 100.00"); }, 60000))
            << "the sweep was not drawn";
        screenshot("fra_sweep");

        click_id(FRA_EXPORT);
        await_dialog("Export Tests");
        click("CSV");
        screenshot("export");
        test_ui().push_file(exported.string());
        click("OK");
        await_dialog("");

        // Three tests whose names differ at the end only: the legend tells
        // them apart.
        for (const char* test : {"Loop B", "Loop A after repair"}) {
            click_id(FRA_SWEEP); // CLEAR
            start_sweep(0, test);
            ASSERT_TRUE(sweep_ended());
        }

        ASSERT_TRUE(select_stored_tests("Bench A", {"Loop A", "Loop B", "Loop A after repair"}));
        screenshot("database");

        click("Graph Selected Tests");
        await_window("Graph");
        const std::vector<s_chart_text> legend = painted_texts(GRAPH_CHART);
        for (const char* name : {"Loop A", "Loop B"})
            EXPECT_TRUE(std::any_of(legend.begin(), legend.end(),
                                    [&](const s_chart_text& t) { return t.text == name; }))
                << name << " not whole in the legend";
        EXPECT_EQ(unreadable_texts(GRAPH_CHART), std::vector<std::string>{});
        screenshot("graph");
        menu({"Analyze", "Compare with Reference…"}, "Graph");
        await_window("Compare with Reference");
        screenshot("compare");
        click("Close");
        await_dialog("");

        // Last, as message boxes open on screen from here on.
        click("MEASURE");
        const size_t before = boxes().size();
        show_boxes_live();
        click("Find Gain/Phase Margin");
        await_dialog("Tarvelo2");
        screenshot("margins");
        click("OK");
        ASSERT_TRUE(wait_for([&] { return boxes().size() == before + 2; }));
        await_dialog("Tarvelo2");
        click("OK");
        await_dialog("");
        const std::vector<ui_shown_box> shown = boxes();
        EXPECT_EQ(shown[before].text.rfind("0dB point", 0), 0u) << shown[before].text;
        EXPECT_EQ(shown[before + 1].text.rfind("0Phase point", 0), 0u) << shown[before + 1].text;
    });
    EXPECT_FALSE(exported_numbers(exported).empty())
        << "the export the guide shows wrote no points";
}

class guide_modes_journey : public mode_journey {};

// The three-channel instrument's piezo analysis, screen capture and LCR sweep.
TEST_F(guide_modes_journey, GuidePiezoCaptureAndLcr)
{
    const home_folder home(dir().str());
    run("HXM6300", [&] {
        connect_to_instrument();
        enter_mode("Piezo", PIEZO_START);
        // Around the resonance, as the guide advises: R is read at 200 ohms.
        click_id(SWEEP_PAGE);
        for (const auto& [field, value] :
             {std::pair{"Start", "8.0000E3"}, {"End", "1.6000E4"}, {"Steps", "200"}}) {
            click_field(field);
            key(Qt::Key_A, Qt::ControlModifier);
            type(value);
        }
        click("SET UP HXM");
        ASSERT_TRUE(piezo_analysed()) << "no analysis shown";
        EXPECT_NEAR(std::strtod(field_text("R").c_str(), nullptr), 200, 2) << field_text("R");
        screenshot("piezo");
        click("Clear"); // the other modes are chosen from an empty piezo window

        enter_mode("Capture", CAPTURE_DOWNLOAD);
        const QImage before = view_picture(CAPTURE_WINDOW);
        click("Download");
        ASSERT_TRUE(wait_for([&] { return view_picture(CAPTURE_WINDOW) != before; }))
            << "no capture is shown";
        screenshot("capture");

        enter_mode("LCR", LCR_SWEEP);
        start_single_sweep(LCR_SWEEP);
        ASSERT_TRUE(wait_for([&] { return control_text(LCR_SWEEP) == "CLEAR"; }));
        EXPECT_TRUE(
            wait_for([&] { return starts_a_text(painted_texts(LCR_CHART), "Frequency: "); }, 60000))
            << "the sweep was not drawn";
        screenshot("lcr");
    });
}

// Each statement of the guide that names a file, a folder or a text the
// program shows, held to the program: the quote is in the guide, and after
// the reader's step the program shows or leaves what it says.
TEST_F(fra_journey, GuideStatementsHoldInTheProgram)
{
    const home_folder home(dir().str());
    const s_app_paths paths = app_paths((dir() / "data").string());
    const std::string database = (dir() / "default.db").string();
    const auto nothing = [] {};
    const auto last_box = [&] { return boxes().empty() ? std::string() : boxes().back().text; };
    const auto title = [&] {
        std::string text;
        look([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* m = qobject_cast<QMainWindow*>(w); m && m->isVisible())
                    text = m->windowTitle().toStdString();
        });
        return text;
    };
    const auto labelled = [&](const char* text) {
        bool found = false;
        look([&] {
            for (QWidget* w : reachable())
                if (auto* l = qobject_cast<QLabel*>(w); l && l->text() == QString::fromLatin1(text))
                    found = true;
        });
        return found;
    };
    const auto single_sweep = [&] {
        if (window_text(FRA_SWEEP) == "CLEAR")
            click_id(FRA_SWEEP);
        start_sweep();
        sweep_ended();
    };
    struct statement {
        std::string quote;
        std::function<void()> step;
        std::function<bool()> holds;
    };
    const std::vector<statement> statements = {
        {"says \"Not connected\"", nothing,
         [&] { return status("status_instrument") == "Not connected"; }},
        {"\"default.db \u2014 Tarvelo2\"", nothing,
         [&] { return title() == "default.db \u2014 Tarvelo2"; }},
        {"`default.db` in the folder Tarvelo2 was started from", nothing,
         [&] { return fs::exists(database) && status("status_database") == "~/default.db"; }},
        {"The data folder `~/.local/share/Quellmarsh/Tarvelo/`: the settings file `Tarvelo.ini`",
         nothing,
         [&] {
             return fs::exists(paths.settings_file) &&
                    paths.settings_file == (dir() / "data/Quellmarsh/Tarvelo/Tarvelo.ini").string();
         }},
        {"(\"Delay must be set between 0 and 60\")",
         [&] {
             connect_to_instrument();
             click("READ HXM");
             ASSERT_TRUE(wait_for([&] { return !dialog_open() && enabled("SET UP HXM"); }));
             click("ACQU");
             retype("Delay", "75");
         },
         [&] { return last_box() == "Delay must be set between 0 and 60"; }},
        {"\"Configuration written\"", [&] { click("SET UP HXM"); },
         [&] { return status("status_outcome") == "Configuration written"; }},
        {"a single test to `sweep1.dat`, replacing the one before",
         [&] {
             single_sweep();
             single_sweep();
         },
         [&] {
             std::vector<std::string> dat = files_starting(paths.data_folder, "sweep");
             std::erase_if(dat, [](const std::string& f) { return !f.ends_with(".dat"); });
             return dat == std::vector<std::string>{"sweep1.dat"};
         }},
        {"it says \"Select a session to push\"",
         [&] {
             menu({"Archive", "Push selected session..."});
         },
         [&] { return last_box() == "Select a session to push"; }},
        {"The first use asks for the archive's **Address**",
         [&] {
             menu({"Archive", "Search and pull..."});
             await_dialog("Archive");
         },
         [&] { return modal_title() == "Archive" && labelled("Address") && labelled("Password"); }},
        {"a database made with **New Database** is opened at the next start only once you have "
         "opened it with **Open Database**",
         [&] {
             click("Cancel");
             await_dialog("");
             test_ui().push_file((dir() / "second.db").string());
             click("DATABASE");
             click("New Database");
         },
         [&] {
             return fs::exists(dir() / "second.db") &&
                    profile_read(paths.settings_file, "Init", "DatabaseFile", "") == database;
         }},
        {"Its **Test Details** dialog has the **Single Test** and **Repeating Test** choices only",
         [&] {
             click("MEASURE");
             menu({"LCR"});
             ASSERT_TRUE(wait_for([&] { return shown("14707"); }));
             click_id(14707);
             await_dialog("Test Details");
         },
         [&] {
             return shown("Single Test") && shown("Repeating Test") &&
                    !shown("Save Sweep to Database");
         }},
    };
    const std::string guide = guide_text();
    for (const statement& s : statements)
        EXPECT_NE(guide.find(s.quote), std::string::npos)
            << "the guide no longer says: " << s.quote;
    run("HXM4100", [&] {
        for (const statement& s : statements) {
            s.step();
            EXPECT_TRUE(wait_for(s.holds)) << "the program does not hold to: " << s.quote;
        }
    });
}
