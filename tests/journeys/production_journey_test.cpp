// A production run at the LCR window: a limit set chosen (and remembered),
// ten parts of a spread run swept one after another with Space, each shown
// PASS or FAIL with its bin or its failed checks, the parts counted per bin,
// every verdict kept in the bench's journal, and the counts reset.

#include "tests/journeys/mode_journey.h"

#include <map>

namespace fs = std::filesystem;

namespace {

constexpr int LCR_SWEEP = 14707;
constexpr int LCR_EXPORT = 14709;
constexpr int PARTS = 10;
const char* const RESULTS_VIEW = "QXTarvelo2LCRResultsWClass";

// An inductor of 10 mH with 100 Ohm of winding: R within 3 %, sorted into
// grade A (L within 2 %) and grade B (within 5 %).
const char* const LIMITS = R"({
  "checks": [{"fitted": "R", "nominal": 100, "tolerance_pct": 3, "model": "R-L series"}],
  "bins": [
    {"name": "Grade A", "checks": [{"fitted": "L", "nominal": 0.01, "tolerance_pct": 2,
                                    "model": "R-L series"}]},
    {"name": "Grade B", "checks": [{"fitted": "L", "nominal": 0.01, "tolerance_pct": 5,
                                    "model": "R-L series"}]}
  ]
})";

struct s_seen {
    std::string word;                // PASS or FAIL
    std::string bin;                 // "1 Grade A", "" for none
    std::vector<std::string> failed; // the checks listed
};

} // namespace

class production_journey : public mode_journey {
protected:
    // Space at the bench, once the desktop has given the main window back
    // its activation after the last sweep's dialog (the test platform has
    // no window manager to do it).
    void next_part()
    {
        act([] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QStringLiteral("QXTarvelo2WClass"))
                    w->activateWindow();
        });
        key(Qt::Key_Space);
    }

    // The verdict as the window shows it once the part's sweep has ended.
    s_seen seen()
    {
        s_seen s{text_of("Verdict"), "", list_rows("Failed Checks")};
        const std::string bin = text_of("Bin");
        if (bin.rfind("Bin ", 0) == 0) {
            const size_t line = bin.find('\n');
            s.bin = bin.substr(4, line - 4) + " " + bin.substr(line + 1);
        }
        return s;
    }

    // The parts each bin's row counts.
    std::map<std::string, int> counts()
    {
        std::map<std::string, int> out;
        for (const auto& row : list_cells("Parts per Bin"))
            out[row[0]] = std::stoi(row[1]);
        return out;
    }

    int counted()
    {
        int n = 0;
        for (const auto& [bin, parts] : counts())
            n += parts;
        return n;
    }
};

TEST_F(production_journey, TenPartsSweptWithSpaceAreJudgedCountedAndKept)
{
    const fs::path limits = dir() / "inductor.json";
    std::ofstream(limits, std::ios::binary) << LIMITS;
    run("HXM4100",
        [&] {
            connect_to_instrument();
            enter_mode("LCR", LCR_SWEEP);
            test_ui().push_file(limits.string());
            click("Limit Set...");
            EXPECT_EQ(text_of("Limit Set"), "inductor.json");
            choose("Model", "R-L series");
            std::map<std::string, int> expected{{"1 Grade A", 0}, {"2 Grade B", 0}, {"FAIL", 0}};
            std::vector<s_seen> parts;
            for (int part = 1; part <= PARTS; ++part) {
                next_part();
                // The lists are looked at once the sweep's progress dialog has gone.
                ASSERT_TRUE(
                    wait_for([&] { return modal_title().empty() && counted() == part; }, 60000))
                    << "part " << part << " was not judged";
                const s_seen s = seen();
                parts.push_back(s);
                // A part passes in a bin and lists nothing, or fails and lists why.
                EXPECT_TRUE(s.word == "PASS" ? !s.bin.empty() && s.failed.empty()
                                             : s.word == "FAIL" && !s.failed.empty())
                    << "part " << part << ": " << s.word << " " << s.bin;
                ++expected[s.word == "PASS" ? s.bin : "FAIL"];
                EXPECT_EQ(counts(), expected) << "after part " << part;
                if (part == 1 || (s.word == "FAIL" && expected["FAIL"] == 1))
                    screenshot("part_" + std::to_string(part) + "_" + s.word);
            }
            // The run spreads its parts over more than one outcome.
            int outcomes = 0;
            for (const auto& [bin, n] : expected)
                outcomes += n > 0 ? 1 : 0;
            EXPECT_GE(outcomes, 2);
            // The graph with the model laid over it reads, its legend too.
            std::vector<s_chart_text> texts;
            EXPECT_EQ(painted(RESULTS_VIEW, texts), std::vector<std::string>{});
            EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const s_chart_text& t) {
                return t.text.contains(QStringLiteral("fitted: R-L series"));
            }));
            // Every verdict is in the journal, in order, as it was shown.
            const auto journals = files_under(dir().str(), "Verdicts.csv");
            ASSERT_EQ(journals.size(), 1u);
            const auto lines = file_lines(journals[0]);
            ASSERT_EQ(lines.size(), static_cast<size_t>(PARTS + 1));
            EXPECT_EQ(lines[0], "Part,Date,Limit Set,Verdict,Bin,Failed Checks");
            for (int part = 1; part <= PARTS; ++part) {
                const s_seen& s = parts[static_cast<size_t>(part - 1)];
                const std::string& line = lines[static_cast<size_t>(part)];
                EXPECT_EQ(line.rfind(std::to_string(part) + ",", 0), 0u) << line;
                EXPECT_NE(line.find(",inductor.json," + s.word + "," + s.bin + ","),
                          std::string::npos)
                    << line;
            }
            // The last part's export tells its verdict after the configuration.
            const fs::path exported = dir() / "last_part.csv";
            click_id(LCR_EXPORT);
            await_dialog("Export Tests");
            click("CSV");
            test_ui().push_file(exported.string());
            click("OK");
            await_dialog("");
            const std::string text = file_bytes(exported);
            EXPECT_NE(text.find("Verdict,result," + parts.back().word), std::string::npos) << text;
            EXPECT_LT(text.find("Verdict,result,"), text.find("data start sweep 1"));
            // The limit set is remembered for the next start.
            const auto settings = files_under(dir().str(), "Tarvelo.ini");
            ASSERT_EQ(settings.size(), 1u);
            EXPECT_NE(file_bytes(settings[0]).find("LCR=" + limits.string()), std::string::npos);
            click("Reset Counts");
            EXPECT_EQ(counted(), 0);
            screenshot("counts_reset");
        },
        {"--lcr-dut", "series:R=100,L=10m", "--lcr-spread", "0.05"});
}
