// tarvelo2-cli report --kind assessment, run as a child process on a
// database that holds a simulated unit with phase B displaced, its
// fingerprint and a sister unit: the PDF holds every judgement and band
// indicator the comparisons give, in the window's forms, and names the phase
// that stands out; the copy stored with the session is the file written;
// what is refused or fails writes nothing and stores nothing, nor writes
// over the database.

#include "../db/db_test_support.h"
#include "db/db_access.h"
#include "db/db_assessment.h"
#include "review/assessment_load.h"
#include "review/assessment_text.h"
#include "tests/support/build_path.h"
#include "tests/support/cli_run.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/transformer_unit.h"

#include <regex>

namespace {

struct s_case {
    const char* args;
    int status;
    bool stored = false;
    const char* out = "r.pdf";
};

// A text that may wrap in its table cell: each of its words, in any place.
bool has_words(const std::string& pdf, const std::string& text)
{
    std::istringstream words(text);
    for (std::string w; words >> w;)
        if (pdf.find(w) == std::string::npos)
            return false;
    return true;
}

// A row of an indicator table: its cells side by side on one line.
bool has_row(const std::string& pdf, const std::vector<std::string>& cells)
{
    std::string pattern;
    for (const std::string& cell : cells)
        if (!cell.empty())
            pattern += (pattern.empty() ? "" : " +") +
                       std::regex_replace(cell, std::regex("[.()%-]"), "\\$&");
    return std::regex_search(pdf, std::regex(pattern));
}

class AssessmentReportCli : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        create();
        std::string error;
        dyn11 = *transformer_parse("Dyn11", error);
        const auto plan = assessment_plan(dyn11);
        s_session s;
        s.Unit = "T1";
        s.day = 10;
        s.month = 12;
        s.year = 2026;
        // Sessions 1 to 3: the unit now (phase B displaced), its fingerprint, a sister.
        for (const auto& [name, displaced] :
             {std::pair{"T1 2026", 'B'}, {"T1 2019", '\0'}, {"T2 2019", '\0'}}) {
            s.Name = name;
            ASSERT_GT(unit_store_session(s, plan, {displaced}), 0);
        }
        s.Name = "Empty";
        ASSERT_EQ(db_save_session(s, false), 0);
        db_close();
    }

    cli_output run(const s_case& c)
    {
        std::filesystem::remove(path("r.pdf"));
        return run_command_line(std::string(TARVELO_CLI) + " report --kind assessment --db " +
                                    path("tests.db") + " --out " + path(c.out) + " " + c.args,
                                path("err.txt"));
    }

    // The texts the comparisons give, checked in the PDF's text.
    void expect_indicators(const std::string& pdf, int64_t sister)
    {
        ASSERT_TRUE(db_open(path("tests.db"), DB_OPEN_EXISTING));
        s_assessment_inputs in;
        ASSERT_EQ(assessment_gather(dyn11, 1, 2, sister, in), 0);
        db_close();
        EXPECT_EQ(in.assessment.comparisons.size(), sister ? 45u : 30u);
        for (const s_assessment_comparison& c : in.assessment.comparisons) {
            const std::string heading = assessment_heading_text(c);
            EXPECT_TRUE(has_words(pdf, heading)) << c.measurement << ": " << heading;
            for (const auto& row : assessment_band_rows(c))
                EXPECT_TRUE(has_row(pdf, row)) << c.measurement << ", " << heading << ": " << row[0]
                                               << " " << row[2] << " " << row[3];
        }
        const std::string suspect = assessment_suspect_text(in.assessment, in.plan);
        EXPECT_EQ(suspect.rfind("Phase B stands out: ", 0), 0u) << suspect;
        EXPECT_TRUE(has_words(pdf, suspect)) << suspect;
    }

    s_transformer dyn11;
};

TEST_F(AssessmentReportCli, HoldsEveryIndicatorStoresWhatItWroteAndRefusalsWriteNothing)
{
    const s_case cases[] = {
        {"--session 1 --fingerprint 2 --sister 3 --vector-group Dyn11 --tap 5 --store "
         "--conclusion 'Phase B to be inspected' --assessed-by 'R. Tester'",
         0, true},
        {"--session 1 --fingerprint 2 --vector-group dyn11", 0},
        {"--session 1 --fingerprint 2 --vector-group Dxx", 2},
        {"--session 1 --vector-group Dyn11", 2},
        {"--session 1 --fingerprint 1 --vector-group Dyn11 --store", 4},
        {"--session 4 --fingerprint 2 --vector-group Dyn11 --store", 4},
        {"--session 9 --fingerprint 2 --vector-group Dyn11", 1},
        {"--session 1 --fingerprint 2 --sister 7 --vector-group Dyn11", 1},
        {"--session 1 --fingerprint 2 --vector-group Dyn11 --store", 1, false, "none/r.pdf"},
        {"--session 1 --fingerprint 2 --vector-group Dyn11 --store", 4, false, "tests.db"},
    };
    for (const s_case& c : cases) {
        SCOPED_TRACE(c.args);
        const cli_output r = run(c);
        ASSERT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(std::filesystem::exists(path("r.pdf")), c.status == 0);
        ASSERT_TRUE(db_open(path("tests.db"), DB_OPEN_EXISTING));
        s_assessment_record stored;
        bool found = false;
        EXPECT_EQ(db_read_assessment(1, stored, found), 0);
        EXPECT_EQ(db_delete_assessments("SessionNo=?1", 1), 0); // for the next case
        db_close();
        EXPECT_EQ(found, c.stored);
        if (c.status != 0)
            continue;
        const std::string pdf = pdf_text(path("r.pdf"));
        expect_indicators(pdf, c.stored ? 3 : 0);
        if (c.stored) {
            EXPECT_EQ(stored.Report, read_file("r.pdf"));
            EXPECT_EQ(stored.Conclusion, "Phase B to be inspected");
            EXPECT_TRUE(has_words(pdf, "Phase B to be inspected R. Tester T1 2019 T2 2019"));
        }
    }
}

} // namespace
