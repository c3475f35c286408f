// A transformer assessed from the main window: a database holding the
// unit's fingerprint opened, the assessment window reached through Review,
// the Dyn11 plan swept step by step into a new session against the
// simulated unit whose phase B has moved, the comparison naming phase B,
// and the report written as PDF and stored with the session. Its picture
// of the window is the guide's.

#include "db/db_access.h"
#include "db/db_assessment.h"
#include "db/db_connection.h"
#include "db/db_rows.h"
#include "tests/journeys/fra_journey.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/transformer_unit.h"

#include <regex>

namespace fs = std::filesystem;

namespace {

constexpr int SWEEP_PAGE = 13003;
const char* const UNIT_SESSION = "T1 after the fault";

s_session fingerprint_session()
{
    s_session s;
    s.Name = "T1 fingerprint";
    s.Unit = "T1";
    s.Location = "Substation 4";
    s.year = 2019;
    s.month = 5;
    s.day = 14;
    return s;
}

// The unit's fingerprint, stored as a session of its own in a new database.
bool write_fingerprint(const fs::path& file, const std::vector<s_plan_step>& plan)
{
    bool created = false;
    if (!db_open(file.string(), DB_OPEN_OR_CREATE, &created))
        return false;
    const int64_t key = unit_store_session(fingerprint_session(), plan);
    db_close();
    return created && key > 0;
}

struct s_rows : db_row_sink {
    void add_row(const std::string& text, int64_t key) override { rows.push_back({text, key}); }
    std::vector<std::pair<std::string, int64_t>> rows;
};

// Every run of white space one space, as a reader sees a PDF's text.
std::string words(const std::string& text)
{
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

} // namespace

class assessment_journey : public fra_journey {
protected:
    // The plan's step i as the window lists it: its state.
    std::string state_of(size_t i)
    {
        const auto cells = list_cells("Test Plan");
        return i < cells.size() ? cells[i][2] : "";
    }
};

TEST_F(assessment_journey, GuideTransformerAssessedAgainstItsFingerprint)
{
    std::string error;
    const s_transformer unit = *transformer_parse("Dyn11", error);
    const std::vector<s_plan_step> plan = assessment_plan(unit);
    ASSERT_EQ(plan.size(), 15u);
    const fs::path database = dir() / "T1.db";
    ASSERT_TRUE(write_fingerprint(database, plan));
    const fs::path pdf = dir() / "T1 assessment.pdf";
    const std::string conclusion = "Phase B moved; inspect the windings.";
    std::vector<std::vector<std::string>> summary, indicators;
    run(
        "HXM4100",
        [&] {
            connect_to_instrument();
            // Short sweeps that still judge every band.
            click_id(SWEEP_PAGE);
            retype("Start", "1.0000E3");
            retype("End", "1.0000E6");
            retype("Steps", "160");
            click("SET UP HXM");
            click("DATABASE");
            test_ui().push_answer(IDYES);
            test_ui().push_file(database.string());
            click("Open Database");
            ASSERT_TRUE(wait_for([&] { return main_title() == "T1.db \u2014 Tarvelo2"; }));

            menu({"Review", "Transformer Assessment..."});
            await_window("Transformer Assessment");
            retype("Vector group", "Dyn11");
            retype("Tap position", "5");
            click("New Session...");
            await_dialog("Add Session");
            fill_new_session(UNIT_SESSION);
            await_dialog("");
            for (size_t i = 0; i < plan.size(); ++i) {
                EXPECT_EQ(text_of("Connections"), plan_step_text(plan[i])) << plan[i].name;
                EXPECT_EQ(state_of(i), "not yet") << plan[i].name;
                if (i == 0)
                    screenshot("assessment_plan");
                click("Sweep Step");
                ASSERT_TRUE(wait_for(
                    [&] { return modal_title().empty() && state_of(i) == "swept"; }, 60000))
                    << plan[i].name << " was not swept";
            }
            EXPECT_EQ(unreadable_texts("QXTarvelo2AssessmentTerminals"),
                      std::vector<std::string>{});
            // A step swept again replaces its test (the simulator's set has
            // come round to the first step again).
            click_row("Test Plan", plan[0].name);
            test_ui().push_answer(IDYES);
            click("Sweep Step");
            ASSERT_TRUE(wait_for([&] { return modal_title().empty() && state_of(0) == "swept"; }));

            s_session fingerprint = fingerprint_session();
            choose("Fingerprint",
                   "T1 fingerprint (T1, Substation 4, " + db_list_date(fingerprint) + ")");
            ASSERT_TRUE(wait_for([&] { return !list_rows("Summary").empty(); }));
            EXPECT_NE(text_of("Phase that stands out").find("Phase B"), std::string::npos)
                << text_of("Phase that stands out");
            summary = list_cells("Summary");
            indicators = list_cells("Indicators");
            EXPECT_EQ(unreadable_texts("QXTarvelo2AssessmentOverlay"), std::vector<std::string>{});
            click("Difference");
            EXPECT_EQ(unreadable_texts("QXTarvelo2AssessmentDifference"),
                      std::vector<std::string>{});

            click("Overlay");
            click_field("Conclusion");
            type(conclusion);
            click_field("Assessed by");
            type("A. Engineer");
            screenshot("assessment");
            test_ui().push_file(pdf.string());
            click("Write Report...");
            EXPECT_TRUE(wait_for([&] { return fs::exists(pdf) && modal_title().empty(); }));
        },
        unit_sim_args(plan, {'B'}));

    // What is left: the report naming phase B and every judgement shown,
    EXPECT_FALSE(summary.empty());
    const std::string text = words(pdf_text(pdf));
    // The guide's picture of the report: a measurement's page.
    page_picture(pdf.string(), 5, "report_assessment");
    EXPECT_NE(text.find("Phase B"), std::string::npos) << text;
    EXPECT_NE(text.find(conclusion), std::string::npos);
    for (const auto& row : summary)
        EXPECT_NE(text.find(row[3]), std::string::npos) << row[3];
    for (const auto& row : indicators)
        EXPECT_NE(text.find(row[2]), std::string::npos) << row[0] << " " << row[2];
    // the sixteen sweeps the instrument made,
    const auto received = instrument_received();
    EXPECT_EQ(std::count(received.begin(), received.end(), "gainph,sweep?"), 16);
    // the fifteen tests in the unit's session, and the assessment with its PDF.
    ASSERT_TRUE(db_open(database.string(), DB_OPEN_OR_CREATE));
    const int64_t session = db_find_session_by_name(UNIT_SESSION);
    s_rows tests;
    ASSERT_EQ(db_list_tests(tests, session, true), 0);
    ASSERT_EQ(tests.rows.size(), plan.size());
    // In the order they were stored: the first step, swept again, last.
    for (size_t i = 0; i < plan.size(); ++i) {
        const s_plan_step& step = plan[(i + 1) % plan.size()];
        EXPECT_EQ(tests.rows[i].first, step.name + "\t" + step.winding);
    }
    s_assessment_record record;
    bool found = false;
    EXPECT_EQ(db_read_assessment(session, record, found), 0);
    EXPECT_TRUE(found);
    EXPECT_EQ(record.VectorGroup, "Dyn11");
    EXPECT_EQ(record.Tap, "5");
    EXPECT_EQ(record.Conclusion, conclusion);
    EXPECT_EQ(record.AssessedBy, "A. Engineer");
    EXPECT_EQ(record.Report.rfind("%PDF", 0), 0u);
    db_close();
}
